"""Lomitra's C interface (lomitra_transform, through ctypes) against PROJ
through pyproj, on the same NumPy arrays, one thread each.

Run by bench/compare_c_abi_with_pyproj.sh, which builds the library and the
data and gives the arguments:

    c_abi_against_pyproj.py LIBRARY WORK RUNS HELMERT_PIPELINE

WORK holds kkj-euref.json and euref-kkj.json (the JHS 154 network as PROJ
tinshift files) and the point files random-kkj.txt, random-etrs.txt and
sea-etrs.txt ("P<i> north east"). Lomitra converts the arrays in place
through their data pointers and strides, without a copy; pyproj converts in
place too (inplace=True). Before each timed call both get a fresh copy of the
source points (not timed). The two alternate, RUNS times each; the table
gives the median times, throughputs and their ratio (above 1: Lomitra is
faster). Then both results are compared point by point: inside the network
and at sea they must agree within 1 mm (exit status 1 otherwise).
"""

import ctypes
import statistics
import sys
import time

import numpy as np
import pyproj


def load_points(path):
    """North and east of a point file, two contiguous float64 arrays."""
    table = np.loadtxt(path, usecols=(1, 2), dtype=np.float64)
    return np.ascontiguousarray(table[:, 0]), np.ascontiguousarray(table[:, 1])


class Lomitra:
    """The C interface of liblomitra, by ctypes."""

    def __init__(self, path):
        lib = ctypes.CDLL(path)
        lib.lomitra_transformer_create.restype = ctypes.c_void_p
        lib.lomitra_transformer_create.argtypes = [ctypes.c_char_p, ctypes.c_char_p,
                                                   ctypes.c_char_p, ctypes.c_size_t]
        lib.lomitra_transformer_destroy.argtypes = [ctypes.c_void_p]
        lib.lomitra_transform.restype = ctypes.c_size_t
        lib.lomitra_transform.argtypes = [ctypes.c_void_p, ctypes.c_size_t,
                                          ctypes.c_void_p, ctypes.c_size_t,
                                          ctypes.c_void_p, ctypes.c_size_t, ctypes.c_void_p]
        lib.lomitra_version.restype = ctypes.c_char_p
        self.lib = lib
        self.version = lib.lomitra_version().decode()

    def transformer(self, source, target):
        error = ctypes.create_string_buffer(4096)
        handle = self.lib.lomitra_transformer_create(source.encode(), target.encode(), error, len(error))
        if not handle:
            raise RuntimeError(error.value.decode())
        return handle

    def transform(self, handle, north, east, status):
        """north, east: float64 arrays of one length, any strides; in place."""
        return self.lib.lomitra_transform(handle, north.shape[0],
                                          north.ctypes.data, north.strides[0],
                                          east.ctypes.data, east.strides[0],
                                          status.ctypes.data)


def seconds(call, prepare):
    """The wall time of `call`, after `prepare` (not timed)."""
    prepare()
    started = time.perf_counter()
    call()
    return time.perf_counter() - started


def main():
    library, work, runs, helmert = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
    lomitra = Lomitra(library)
    tm35fin_to_degrees = pyproj.Transformer.from_pipeline(
        "+proj=pipeline +step +inv +proj=tmerc +lat_0=0 +lon_0=27 +k=0.9996 +x_0=500000 +ellps=GRS80")

    ykj = load_points(f"{work}/random-kkj.txt")
    etrs = load_points(f"{work}/random-etrs.txt")
    sea = load_points(f"{work}/sea-etrs.txt")
    # EUREF-FIN latitudes and longitudes of the random network points (not timed).
    lon, lat = tm35fin_to_degrees.transform(etrs[1], etrs[0])
    degrees = (np.ascontiguousarray(lat), np.ascontiguousarray(lon))

    to_degrees_then = "+proj=pipeline +step +proj=tmerc +lat_0=0 +lon_0=27 +k=0.9996 +x_0=500000 +ellps=GRS80 +step "
    # name, points, Lomitra's pair, PROJ's operation (its input in degrees
    # when the points are), whether the results are compared, the status
    # every point must get
    cases = [
        ("random YKJ -> ETRS-TM35FIN (tinshift)", ykj, ("YKJ", "ETRS-TM35FIN"),
         f"+proj=tinshift +file={work}/kkj-euref.json", True, 0),
        ("at sea ETRS-TM35FIN -> YKJ (Helmert)", sea, ("ETRS-TM35FIN", "YKJ"), helmert, True, 1),
        ("EUREF-FIN deg -> KKJ own zone [PROJ: -> YKJ]", degrees, ("EUREF-FIN", "KKJ-OWN"),
         to_degrees_then + f"+proj=tinshift +file={work}/euref-kkj.json", False, 0),
        ("EUREF-FIN deg -> YKJ", degrees, ("EUREF-FIN", "YKJ"),
         to_degrees_then + f"+proj=tinshift +file={work}/euref-kkj.json", True, 0),
    ]

    print(f"liblomitra {lomitra.version} (C interface, ctypes) against pyproj {pyproj.__version__}, "
          f"PROJ {pyproj.proj_version_str}; one thread each")
    print(f"{runs} runs each, alternating; median wall times of one call on the whole array")
    print("ratio = Lomitra throughput / PROJ throughput (above 1: Lomitra is faster)\n")
    print(f"{'case':46} {'points':>9} {'Lomitra s':>10} {'points/s':>11} {'PROJ s':>9} {'points/s':>11} "
          f"{'ratio':>6}")
    failed = False
    checks = []
    for name, (north0, east0), (source, target), operation, compare, expected_status in cases:
        count = north0.shape[0]
        handle = lomitra.transformer(source, target)
        proj = pyproj.Transformer.from_pipeline(operation)
        # The arrays each side converts in place; PROJ takes x (east, or the
        # longitude) first.
        ln, le = np.empty_like(north0), np.empty_like(east0)
        status = np.empty(count, dtype=np.int8)
        px, py = np.empty_like(east0), np.empty_like(north0)

        def prepare_lomitra():
            ln[:] = north0
            le[:] = east0

        def prepare_proj():
            px[:] = east0
            py[:] = north0

        def call_lomitra():
            converted = lomitra.transform(handle, ln, le, status)
            if converted != count:
                raise RuntimeError(f"{name}: Lomitra converted {converted} of {count} points")

        def call_proj():
            proj.transform(px, py, inplace=True, errcheck=False)

        lomitra_times, proj_times = [], []
        for _ in range(runs):
            lomitra_times.append(seconds(call_lomitra, prepare_lomitra))
            proj_times.append(seconds(call_proj, prepare_proj))
        lomitra_s = statistics.median(lomitra_times)
        proj_s = statistics.median(proj_times)
        print(f"{name:46} {count:9d} {lomitra_s:10.3f} {count / lomitra_s:11.0f} {proj_s:9.3f} "
              f"{count / proj_s:11.0f} {proj_s / lomitra_s:6.2f}")

        statuses = np.unique(status)
        if not (statuses.shape[0] == 1 and statuses[0] == expected_status):
            checks.append(f"{name:46} STATUSES {statuses.tolist()}, expected all {expected_status}")
            failed = True
        if compare:
            # PROJ leaves inf where it cannot convert; it counts as a disagreement.
            difference = np.maximum(np.abs(ln - py), np.abs(le - px)) * 1000.0
            finite = np.isfinite(difference)
            largest = float(np.max(difference[finite])) if finite.any() else float("nan")
            beyond = int(np.count_nonzero(~finite) + np.count_nonzero(difference[finite] > 1.0))
            checks.append(f"{name:46} largest difference {largest:.3f} mm, "
                          f"{beyond} of {count} points differ by more than 1 mm")
            failed = failed or beyond > 0
        else:
            checks.append(f"{name:46} not compared: PROJ has no own-zone operation and ran the one to YKJ")
        lomitra.lib.lomitra_transformer_destroy(handle)

    print("\nChecks (status of every point; agreement with PROJ):")
    for line in checks:
        print("  " + line)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
