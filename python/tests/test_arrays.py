# What the module takes and gives: arrays of any real dtype, byte order and
# strides, sequences, empty arrays (values not finite among the points: see
# test_pairs.py); bad input as Python errors; pandas frames; many threads on
# large arrays.
import pickle

import numpy as np
import pandas as pd
import pytest
from conftest import points_in, same_bits

import lomitra

NORTH, EAST = points_in("YKJ", 200, seed=19)  # NaN and infinity among them
T = lomitra.Transformer("YKJ", "ETRS-TM35FIN")


def unaligned(values):
    buffer = np.zeros(len(values) * 8 + 1, dtype=np.uint8)
    array = np.frombuffer(buffer.data, dtype=np.float64, count=len(values), offset=1)
    array[:] = values
    return array


# name: the inputs made of NORTH, EAST; each is converted as the float64 values it holds.
FORMS = {
    "every other": lambda n, e: (np.repeat(n, 2)[::2], np.repeat(e, 3)[::3]),
    "reversed": lambda n, e: (n[::-1].copy()[::-1], e[::-1].copy()[::-1]),
    "columns of a 2-D array": lambda n, e: tuple(np.stack([n, e], axis=1).T),
    "unaligned": lambda n, e: (unaligned(n), unaligned(e)),
    "float32": lambda n, e: (n.astype(np.float32), e.astype(np.float32)),
    "float128": lambda n, e: (n.astype(np.longdouble), e.astype(np.longdouble)),
    "int64": lambda n, e: tuple(np.nan_to_num(x, posinf=0, neginf=0).astype(np.int64) for x in (n, e)),
    "lists": lambda n, e: (n.tolist(), e.tolist()),
    "pandas Series": lambda n, e: (pd.Series(n), pd.Series(e)),
    "big-endian": lambda n, e: (n.astype(">f8"), e.astype(">f8")),
    "empty": lambda n, e: (n[:0], e[:0]),
}


@pytest.mark.parametrize("form", FORMS)
def test_any_form_of_input_gives_the_results_of_its_float64_values(form):
    north, east = FORMS[form](NORTH, EAST)
    saved = [np.array(x) for x in (north, east)]
    result = T.transform(north, east)
    assert [r.dtype for r in result] == [np.float64, np.float64, np.int8]
    expected = T.transform(np.asarray(north, dtype=np.float64).copy(), np.asarray(east, dtype=np.float64).copy())
    assert all(map(same_bits, result, expected))
    assert all(np.array_equal(np.asarray(x), s, equal_nan=True) for x, s in zip((north, east), saved))  # untouched


@pytest.mark.parametrize("call, error, words", [
    (lambda: T.transform([1.0, 2.0], [1.0]), ValueError, "differ in length: 2 and 1"),
    (lambda: T.transform(np.zeros((2, 2)), np.zeros((2, 2))), ValueError, "one-dimensional"),
    (lambda: T.transform(["6700000"], [3210000.0]), TypeError, "real numbers"),
    (lambda: T.transform([None], [1.0]), TypeError, "real numbers"),
    (lambda: T.transform([1.0], [1.0], threads=-1), ValueError, "threads"),
    (lambda: lomitra.Transformer("KKJ-OWN", "YKJ"), ValueError, "KKJ-OWN"),
    (lambda: lomitra.Transformer("YKJ", "EPSG:9999"), lomitra.UnknownCrsError, "EPSG:3067, EPSG:3046"),
    (lambda: lomitra.utm_map_sheet("GK25", [1.0], [1.0]), ValueError, "ETRS-GK25, ETRS-GK26"),
    (lambda: lomitra.kkj_map_sheet("KKJ-OWN", [1.0], [1.0]), ValueError, "KKJ-OWN"),
    (lambda: lomitra.transform_frame(pd.DataFrame({"N": ["a"], "E": [1.0]}), "YKJ", "KKJ"), TypeError, "'N'"),
])
def test_bad_input_raises_a_python_error(call, error, words):
    with pytest.raises(error, match=words):
        call()


def test_frames_get_result_and_status_columns_or_have_theirs_replaced():
    df = pd.DataFrame({"id": np.arange(len(NORTH)), "N": NORTH, "E": EAST.astype(np.float32)},
                      index=np.arange(len(NORTH)) * 10)
    n, e, status = lomitra.Transformer("YKJ", "ETRS-TM35FIN").transform(df["N"], df["E"])
    out = lomitra.transform_frame(df, "EPSG:2393", "EPSG:3067")
    assert list(out.columns) == ["id", "N", "E", "N_ETRS-TM35FIN", "E_ETRS-TM35FIN", "status_ETRS-TM35FIN"]
    assert out.index.equals(df.index) and list(df.columns) == ["id", "N", "E"]
    assert all(map(same_bits, [out[c].to_numpy() for c in out.columns[3:]], (n, e, status)))
    assert lomitra.transform_frame(df, "YKJ", "KKJ", suffix="2").columns[-3:].tolist() == ["N2", "E2", "status2"]

    nullable = df.astype({"N": "Float64"})
    nullable.loc[0, "N"] = pd.NA
    assert lomitra.transform_frame(nullable, "YKJ", "ETRS-TM35FIN", inplace=True) is None
    assert nullable["status"].iloc[0] == -1 and np.isnan(nullable["N"].iloc[0])
    assert same_bits(nullable["E"].to_numpy()[1:], e[1:]) and same_bits(nullable["status"].to_numpy()[1:], status[1:])


def test_many_threads_give_the_bits_of_one_and_a_transformer_pickles():
    north = np.tile(NORTH, 400)  # 80 000 points: several automatic workers
    east = np.tile(EAST, 400) + np.repeat(np.arange(400.0), len(EAST))
    one = T.transform(north, east, threads=1)
    for threads in (0, 2, 5):
        assert all(map(same_bits, T.transform(north, east, threads=threads), one)), threads
    again = pickle.loads(pickle.dumps(T))
    assert (again.source, again.target) == ("YKJ", "ETRS-TM35FIN")
    assert all(map(same_bits, again.transform(north, east, threads=1), one))
