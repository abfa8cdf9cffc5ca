"""The Python module lomitra against PROJ through pyproj, on the same NumPy
arrays of a million random points, then lomitra.dask on a cluster of two
worker processes against the module on one process. Run by
bench/compare_with_pyproj.sh, which builds the module and the data.

Cases (PROJ runs one thread; lomitra one, and one per processor):
  random YKJ -> ETRS-TM35FIN: PROJ's +proj=tinshift with the triangulation
    file of the same JHS 154 network (the same affine transformations);
  random ETRS-TM35FIN -> KKJ own zone: PROJ has no own-zone operation, so it
    runs the zone 3 tinshift, and lomitra does more work than PROJ (the zone
    of each point, and a re-projection for points outside zone 3);
  random EUREF-FIN latitude, longitude -> YKJ: PROJ's pipeline of the
    ETRS-TM35FIN projection and the tinshift.
Each case alternates the runs (RUNS each), prints the medians of the wall
times, the points per second and the ratios of lomitra's throughput to
PROJ's, and checks that both give the same coordinates to the millimetre.

The Dask path: DASK_POINTS random YKJ points -> ETRS-TM35FIN in partitions
of a million, each drawn and converted where it is computed and reduced to
its status counts: on a LocalCluster of two worker processes of one thread
each, against the same partitions one after another in this process on
one thread. A benchmark, not a test: it fails only when the results differ.
"""

import os
import statistics
import sys
import time

import numpy as np
import pandas as pd
import pyproj

import lomitra

RUNS = int(os.environ.get("RUNS", 5))
DASK_POINTS = int(os.environ.get("DASK_POINTS", 20_000_000))
PARTITION = 1_000_000


def read_points(path):
    points = pd.read_csv(path, sep=r"\s+", header=None, usecols=[1, 2], names=["id", "north", "east"])
    return points["north"].to_numpy(), points["east"].to_numpy()


def medians(contenders, runs, cpu=None):
    """contenders: name -> function; the median wall seconds of each, the runs
    alternating; with a dict `cpu`, also the median CPU seconds of this thread
    (what a one-thread run takes whatever else the machine is doing)."""
    times = {name: [] for name in contenders}
    thread_times = {name: [] for name in contenders}
    for _ in range(runs):
        for name, run in contenders.items():
            start, start_cpu = time.perf_counter(), time.thread_time()
            run()
            times[name].append(time.perf_counter() - start)
            thread_times[name].append(time.thread_time() - start_cpu)
    if cpu is not None:
        cpu.update({name: statistics.median(t) for name, t in thread_times.items()})
    return {name: statistics.median(t) for name, t in times.items()}


def compare(name, source, target, north, east, proj, proj_xy, in_zone=lambda e: np.ones(len(e), bool)):
    """proj: pyproj Transformer; proj_xy: its x, y inputs; in_zone: the results PROJ's are to equal."""
    t = lomitra.Transformer(source, target)
    cpu = {}
    seconds = medians({
        "lomitra 1": lambda: t.transform(north, east, threads=1),
        "lomitra all": lambda: t.transform(north, east),
        "PROJ": lambda: proj.transform(*proj_xy),
    }, RUNS, cpu)
    n, e, status = t.transform(north, east)
    x, y = proj.transform(*proj_xy)
    same = in_zone(e)
    largest = max(np.max(np.abs(n[same] - y[same])), np.max(np.abs(e[same] - x[same]))) * 1000
    rate = {k: len(north) / s for k, s in seconds.items()}
    print(f"{name:<40} {len(north):>9} {seconds['lomitra 1']:>8.3f} {seconds['lomitra all']:>8.3f} "
          f"{seconds['PROJ']:>8.3f} {rate['lomitra 1']:>12.0f} {rate['PROJ']:>12.0f} "
          f"{rate['lomitra 1'] / rate['PROJ']:>6.2f} {cpu['PROJ'] / cpu['lomitra 1']:>6.2f} "
          f"{rate['lomitra all'] / rate['PROJ']:>6.2f} "
          f"{largest:>7.3f} {np.count_nonzero(status != 0):>5} {np.count_nonzero(same):>9}")
    return largest <= 1.0 and not np.any(status != 0)


def partition(seed):
    rng = np.random.default_rng(seed)
    return pd.DataFrame({"N": rng.uniform(6.75e6, 7.45e6, PARTITION), "E": rng.uniform(3.3e6, 3.6e6, PARTITION)})


def status_counts(seed):
    """One partition drawn, converted on one thread and reduced."""
    out = lomitra.transform_frame(partition(seed), "YKJ", "ETRS-TM35FIN", threads=1)
    return np.bincount(out["status_ETRS-TM35FIN"].to_numpy() + 1, minlength=3)


def dask_path():
    import dask.dataframe as dd
    from distributed import Client, LocalCluster

    import lomitra.dask

    seeds = list(range(DASK_POINTS // PARTITION))
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
            Client(cluster) as client:
        def on_cluster():
            points = dd.from_map(partition, seeds)
            result = lomitra.dask.transform(points, "YKJ", "ETRS-TM35FIN", threads=1)
            on_cluster.counts = result["status_ETRS-TM35FIN"].value_counts().compute()

        def one_process():
            one_process.counts = sum(status_counts(seed) for seed in seeds)

        client.run(lambda: lomitra.Transformer("YKJ", "ETRS-TM35FIN").transform([6.7e6], [3.21e6]))  # warm
        seconds = medians({"dask": on_cluster, "one": one_process}, RUNS)
    counts = [int(on_cluster.counts.get(s, 0)) for s in (-1, 0, 1)]
    rate = {k: len(seeds) * PARTITION / s for k, s in seconds.items()}
    print(f"\nDask path: {len(seeds) * PARTITION} random YKJ points -> ETRS-TM35FIN in {len(seeds)} partitions, "
          f"drawn, converted and counted (statuses -1, 0, 1: {counts}); medians of {RUNS} runs")
    print(f"  LocalCluster, 2 worker processes of 1 thread: {seconds['dask']:8.3f} s {rate['dask']:>12.0f} points/s")
    print(f"  one process, one thread:                      {seconds['one']:8.3f} s {rate['one']:>12.0f} points/s")
    print(f"  ratio {rate['dask'] / rate['one']:.2f}")
    return counts == one_process.counts.tolist()


def main(data):
    print(f"lomitra {lomitra.__version__}, pyproj {pyproj.__version__}, PROJ {pyproj.proj_version_str}, "
          f"{os.cpu_count()} processors, load average {os.getloadavg()[0]:.2f}; {RUNS} runs each, alternating")
    print("ratios of lomitra's throughput to PROJ's: r. 1 on one thread, r. CPU the same by CPU time, r. all on one")
    print("thread per processor (PROJ: one); max mm the largest difference of the two; != 0 lomitra's points not inside")
    print(f"{'case':<40} {'points':>9} {'1 thr s':>8} {'all s':>8} {'PROJ s':>8} {'1 thr pts/s':>12} "
          f"{'PROJ pts/s':>12} {'r. 1':>6} {'r. CPU':>6} {'r. all':>6} {'max mm':>7} {'!= 0':>5} {'compared':>9}")
    kkj_north, kkj_east = read_points(f"{data}/random-kkj.txt")
    etrs_north, etrs_east = read_points(f"{data}/random-etrs.txt")
    kkj_to_etrs = pyproj.Transformer.from_pipeline(f"+proj=tinshift +file={data}/kkj-euref.json")
    etrs_to_kkj = pyproj.Transformer.from_pipeline(f"+proj=tinshift +file={data}/euref-kkj.json")
    tm35fin = "+proj=tmerc +lat_0=0 +lon_0=27 +k=0.9996 +x_0=500000 +y_0=0 +ellps=GRS80"
    geographic_to_kkj = pyproj.Transformer.from_pipeline(
        f"+proj=pipeline +step {tm35fin} +step +proj=tinshift +file={data}/euref-kkj.json")
    latitude, longitude, _ = lomitra.Transformer("ETRS-TM35FIN", "EUREF-FIN").transform(etrs_north, etrs_east)
    agree = [
        compare("random YKJ -> ETRS-TM35FIN", "YKJ", "ETRS-TM35FIN", kkj_north, kkj_east,
                kkj_to_etrs, (kkj_east, kkj_north)),
        compare("random ETRS-TM35FIN -> KKJ own zone (*)", "ETRS-TM35FIN", "KKJ-OWN", etrs_north, etrs_east,
                etrs_to_kkj, (etrs_east, etrs_north), in_zone=lambda e: np.floor(e / 1e6) == 3),
        compare("random EUREF-FIN lat, lon -> YKJ", "EUREF-FIN", "YKJ", latitude, longitude,
                geographic_to_kkj, (longitude, latitude)),
    ]
    print("(*) PROJ runs the zone 3 tinshift: the results are compared where the own zone is 3")
    agree.append(dask_path())
    print(f"load average at the end {os.getloadavg()[0]:.2f}")
    return 0 if all(agree) else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
