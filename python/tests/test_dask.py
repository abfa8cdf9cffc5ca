# A Dask DataFrame of 2 million rows in 8 partitions, converted on a
# distributed cluster of two worker processes, gives transform_frame's bits
# on one process; the cluster shuts down and leaves no process behind.
import os

import dask.dataframe as dd
import numpy as np
import pandas as pd
import pytest
from distributed import Client, LocalCluster

import lomitra
import lomitra.dask

ROWS = 2_000_000


def alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    return True


# Debian's Tornado 6.2 warns of its own use by Debian's distributed 2022.12;
# every other warning is an error (-W error).
@pytest.mark.filterwarnings("ignore:make_current is deprecated:DeprecationWarning:tornado")
def test_a_cluster_of_two_processes_converts_as_one_process_does():
    rng = np.random.default_rng(2393)
    frame = pd.DataFrame({"P": rng.uniform(6.62e6, 7.78e6, ROWS), "I": rng.uniform(3.05e6, 3.75e6, ROWS),
                          "tunnus": np.arange(ROWS)})
    frame.loc[::1000, "P"] = np.nan
    expected = lomitra.transform_frame(frame, "YKJ", "ETRS-TM35FIN", north="P", east="I")

    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
            Client(cluster) as client:
        workers = list(client.run(os.getpid).values())
        points = dd.from_pandas(frame, npartitions=8)
        result = lomitra.dask.transform(points, "YKJ", "ETRS-TM35FIN", north="P", east="I")
        replaced = lomitra.dask.transform(points, "EPSG:2393", "EPSG:3067", north="P", east="I", replace=True)
        result, replaced = client.compute([result, replaced], sync=True)
    assert len(set(workers)) == 2
    assert not any(alive(pid) for pid in workers)

    pd.testing.assert_frame_equal(result, expected, check_exact=True)  # NaN where NaN, all else ==
    assert replaced.columns.tolist() == ["P", "I", "tunnus", "status"]
    assert replaced["I"].to_numpy().tobytes() == expected["I_ETRS-TM35FIN"].to_numpy().tobytes()
    assert np.bincount(result["status_ETRS-TM35FIN"] + 1).tolist()[0] == ROWS // 1000


def test_an_unknown_name_fails_before_anything_is_computed():
    points = dd.from_pandas(pd.DataFrame({"N": [6.7e6], "E": [3.21e6]}), npartitions=1)
    with pytest.raises(lomitra.UnknownCrsError):
        lomitra.dask.transform(points, "YKJ", "TM35")
