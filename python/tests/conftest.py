# Shared by the tests of the module lomitra: the systems, points drawn in
# any of them, and the library's C interface through ctypes as the reference.
# CTest sets LOMITRA_BATCH (lomitra-batch) and LOMITRA_LIBRARY (liblomitra).
import ctypes
import os

import numpy as np
import pytest

import lomitra


def _systems():
    """name -> (datum, KKJ or ETRS-GK zone prefix or None, lomitra-batch's
    options naming it as the source, as the result)."""
    geographic = (["--source", "geographic"], ["--result", "geographic"])
    systems = {
        "ETRS-TM35FIN": ("euref", None, [], ["--result-zone", "tm35"]),
        "ETRS-TM34": ("euref", None, ["--source-zone", "tm34"], ["--result-zone", "tm34"]),
        "ETRS-TM36": ("euref", None, ["--source-zone", "tm36"], ["--result-zone", "tm36"]),
        "EUREF-FIN": ("euref", None, *geographic),
        "KKJ": ("kkj", None, *geographic),
        "KKJ-OWN": ("kkj", None, None, ["--result-zone", "own"]),
    }
    for n in range(19, 33):
        systems[f"ETRS-GK{n}"] = ("euref", n, [], ["--result-zone", f"gk{n}"])
    for n in range(6):  # KKJ0 as the result: lomitra-batch's own zone, where that is 0
        systems["YKJ" if n == 3 else f"KKJ{n}"] = ("kkj", n, [], ["--result-zone", str(n) if n else "own"])
    return systems


SYSTEMS = _systems()
SOURCES = [name for name, system in SYSTEMS.items() if system[2] is not None]


def points_in(name, count, seed):
    """Points of system `name`: random over Finland and the seas around it
    (inside the network and outside), each in its zone; then outside the
    accepted area, and values that are not finite."""
    rng = np.random.default_rng(seed)
    latitude, longitude = rng.uniform(59.4, 70.2, count), rng.uniform(18.0, 32.0, count)
    datum, zone = SYSTEMS[name][:2]
    north, east, status = lomitra.Transformer("KKJ" if datum == "kkj" else "EUREF-FIN", name).transform(
        latitude, longitude, threads=1)
    keep = (status == 0) & ((zone is None) | (np.floor(east / 1e6) == (zone or 0)))
    north, east = north[keep], east[keep]
    far = 50.0 if name in ("KKJ", "EUREF-FIN") else 5.5e6
    extra_north = [far, north[0], np.nan, north[0], -np.inf]
    extra_east = [east[0], east[0] * 2 + 1e7, east[0], np.inf, np.nan]
    order = rng.permutation(len(north) + len(extra_north))
    return np.concatenate([north, extra_north])[order], np.concatenate([east, extra_east])[order]


class CInterface:
    """lomitra_transform of liblomitra's C interface, on one thread."""

    def __init__(self, path):
        self.lib = ctypes.CDLL(path)
        self.lib.lomitra_transformer_create.restype = ctypes.c_void_p
        self.lib.lomitra_transformer_create.argtypes = [ctypes.c_char_p, ctypes.c_char_p, ctypes.c_char_p,
                                                        ctypes.c_size_t]
        self.lib.lomitra_transformer_destroy.argtypes = [ctypes.c_void_p]
        self.lib.lomitra_transform.restype = ctypes.c_size_t
        self.lib.lomitra_transform.argtypes = [ctypes.c_void_p, ctypes.c_size_t, ctypes.c_void_p, ctypes.c_size_t,
                                               ctypes.c_void_p, ctypes.c_size_t, ctypes.c_void_p]

    def transform(self, source, target, north, east):
        north, east = np.array(north, dtype=np.float64), np.array(east, dtype=np.float64)
        status = np.empty(len(north), dtype=np.int8)
        t = self.lib.lomitra_transformer_create(source.encode(), target.encode(), None, 0)
        assert t, (source, target)
        try:
            self.lib.lomitra_transform(t, len(north), north.ctypes.data, 8, east.ctypes.data, 8, status.ctypes.data)
        finally:
            self.lib.lomitra_transformer_destroy(t)
        return north, east, status


@pytest.fixture(scope="session")
def c_interface():
    return CInterface(os.environ["LOMITRA_LIBRARY"])


@pytest.fixture(scope="session")
def batch():
    return os.environ["LOMITRA_BATCH"]


def same_bits(a, b):
    return a.dtype == b.dtype and a.shape == b.shape and a.tobytes() == b.tobytes()
