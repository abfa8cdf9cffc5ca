# Python threads beside the conversion: the GIL is free while it runs, and a
# Transformer shared by many threads does not grow with the calls.
import os
import subprocess
import sys
import threading
import time

import numpy as np
import pytest

import lomitra

rng = np.random.default_rng(154)
NORTH, EAST = rng.uniform(6.7e6, 7.4e6, 1_000_000), rng.uniform(3.2e6, 3.6e6, 1_000_000)
T = lomitra.Transformer("YKJ", "ETRS-TM35FIN")


def test_another_thread_runs_while_a_large_transform_runs():
    count = 0
    stop = threading.Event()

    def count_on():
        nonlocal count
        while not stop.is_set():
            count += 1
            time.sleep(1e-6)  # gives the GIL up: the main thread waits for nothing else

    # No forced switches: the counting thread gets the GIL only where the
    # main thread gives it up. float64 inputs: NumPy does not copy them.
    interval = sys.getswitchinterval()
    sys.setswitchinterval(1000.0)
    counter = threading.Thread(target=count_on)
    counter.start()
    try:
        progress = []
        for _ in range(3):
            before = count
            T.transform(NORTH, EAST, threads=1)
            progress.append(count - before)
    finally:
        stop.set()
        counter.join()
        sys.setswitchinterval(interval)
    assert min(progress) > 0, progress


def growth_over_100_calls():
    """RSS growth in bytes over 100 calls of a million points, 25 in each of
    four threads sharing T, after a warm-up of 12."""
    def calls(n):
        for _ in range(n):
            assert T.transform(NORTH, EAST, threads=1)[2][0] == 0

    def in_threads(n):
        threads = [threading.Thread(target=calls, args=(n,)) for _ in range(4)]
        for t in threads:
            t.start()
        for t in threads:
            t.join()

    def rss():
        with open("/proc/self/statm") as statm:
            return int(statm.read().split()[1]) * os.sysconf("SC_PAGE_SIZE")

    in_threads(3)
    before = rss()
    in_threads(25)
    return rss() - before


if __name__ == "__main__":
    print(growth_over_100_calls())


@pytest.mark.skipif(sys.platform != "linux" or "LOMITRA_SANITIZED" in os.environ,
                    reason="reads /proc/self/statm, with glibc's allocator")
def test_a_transformer_shared_by_threads_holds_its_memory_over_100_calls_of_a_million_points():
    # In a process of its own, whose allocator gives every large block back
    # when it is freed (glibc otherwise keeps freed arrays in its arenas, and
    # RSS wanders by tens of MiB whatever the module does).
    run = subprocess.run([sys.executable, "-B", __file__], env={**os.environ, "MALLOC_MMAP_THRESHOLD_": "131072"},
                         capture_output=True, text=True, check=True)
    grown = int(run.stdout)
    assert grown < 5 * 2**20, f"{grown / 2**20:.1f} MiB more after 100 calls"
