# Every pair of systems, on random points of each source (inside the network,
# outside it, outside the accepted area, not finite): the module gives the
# C interface's results and statuses to the bit (NaN where it leaves a point
# unchanged), on any number of threads; between the datums it gives
# lomitra-batch's result file to the printed decimals (same points refused,
# same count outside the network), and map sheets as in its table file.
import re
import subprocess

import numpy as np
import pytest
from conftest import SOURCES, SYSTEMS, points_in, same_bits

import lomitra


def text(value):
    """A value as lomitra-batch reads it back to the bit, long enough for
    every decimal of the results; one not finite as an overflow, which it
    reads as a value and refuses (it refuses "nan" and "inf" as texts that
    hold no number)."""
    if not np.isfinite(value):
        return "-1e999" if value < 0 else "1e999"
    t = repr(float(value))
    return t if len(t) >= 12 else f"{value:.9f}"


def run_batch(batch, tmp_path, north, east, options):
    lines = [f"P{i} {text(n):<30} {text(e):<30}" for i, (n, e) in enumerate(zip(north, east))]
    (tmp_path / "in.txt").write_bytes(("\r\n".join(lines) + "\r\n").encode())
    run = subprocess.run([batch, *options, "--fields", "2,3,1", "-o", str(tmp_path / "out.txt"),
                          "--table", str(tmp_path / "table.txt"), str(tmp_path / "in.txt")],
                         capture_output=True, check=True)
    out = (tmp_path / "out.txt").read_bytes().decode("latin-1").split("\r\n")[:-1]
    outside = re.search(r"kolmioverkon ulkopuolella (\d+)", run.stderr.decode())
    return lines, out, int(outside.group(1)) if outside else 0


@pytest.mark.parametrize("source", SOURCES)
def test_every_pair_matches_the_library_and_lomitra_batch(source, c_interface, batch, tmp_path):
    north, east = points_in(source, 300, seed=SOURCES.index(source))
    source_datum, _, source_options, _ = SYSTEMS[source]
    for target, (target_datum, _, _, result_options) in SYSTEMS.items():
        transformer = lomitra.Transformer(source, target)
        n, e, status = transformer.transform(north, east, threads=1)
        cn, ce, cstatus = c_interface.transform(source, target, north, east)
        converted = status != -1
        assert np.array_equal(status, cstatus), target
        assert same_bits(n[converted], cn[converted]) and same_bits(e[converted], ce[converted]), target
        assert np.isnan(n[~converted]).all() and np.isnan(e[~converted]).all(), target
        for threads in (0, 3):
            assert all(map(same_bits, transformer.transform(north, east, threads=threads), (n, e, status))), target
        if source == target:
            assert same_bits(n[converted], north[converted]) and same_bits(e[converted], east[converted])
        if source_datum == target_datum:
            continue

        direction = ["--direction", "kkj-euref" if source_datum == "kkj" else "euref-kkj"]
        lines, out, outside = run_batch(batch, tmp_path, north, east, direction + source_options + result_options)
        assert outside == np.count_nonzero(status == 1), target
        table_converted = converted
        decimals = 8 if target in ("KKJ", "EUREF-FIN") else 3
        for i, (line, written) in enumerate(zip(lines, out, strict=True)):
            if not converted[i]:
                assert written == line, (target, i)
            elif target != "KKJ0" or float(written.split()[2]) < 1e6:  # KKJ0: the own zone where it is 0
                assert written.split()[1:] == [f"{n[i]:.{decimals}f}", f"{e[i]:.{decimals}f}"], (target, i)

    # The map sheets: lomitra-batch's table file, from the column of its
    # heading on (the KKJ sheet begins with its zone, the UTM sheet a letter).
    table = (tmp_path / "table.txt").read_bytes().decode("latin-1").split("\r\n")
    sheets = [row[table[7].index("KKJ-lehti"):].split() for row in table[8:8 + len(north)]]
    kkj, utm = lomitra.kkj_map_sheet(source, north, east), lomitra.utm_map_sheet(source, north, east)
    assert (kkj[~table_converted] == "").all() and (utm[~table_converted] == "").all()
    for i in np.flatnonzero(table_converted):
        assert [kkj[i], utm[i]] == [next((s for s in sheets[i] if s[0].isdigit() == digit), "")
                                    for digit in (True, False)], i
    assert np.count_nonzero(kkj != "") > 100 and np.count_nonzero(utm != "") > 100  # the draw reaches the sheets


@pytest.mark.parametrize("source, target", [("YKJ", "ETRS-TM35FIN"), ("EPSG:2393", "EPSG:3067"), ("yKj", "epsg:3067")])
def test_the_public_anchor_point(source, target):
    n, e, status = lomitra.Transformer(source, target).transform([6700000.0], [3210000.0])
    assert (f"{n[0]:.3f}", f"{e[0]:.3f}", status[0]) == ("6697187.001", "209948.322", 0)
