"""Lomitra on Dask DataFrames: the points of each partition converted where
the partition lives, on the threads or processes of one machine or on the
workers of a distributed cluster (the workers need lomitra installed).

    import dask.dataframe as dd
    import lomitra.dask

    points = dd.read_csv("points-*.csv")
    result = lomitra.dask.transform(points, "YKJ", "ETRS-TM35FIN", north="P", east="I")
    result.to_csv("result-*.csv", index=False)
"""

from __future__ import annotations

from typing import TYPE_CHECKING

from . import Transformer, _transformed

if TYPE_CHECKING:
    import dask.dataframe

__all__ = ["transform"]


def transform(
    ddf: dask.dataframe.DataFrame,
    source: str,
    target: str,
    north: str = "N",
    east: str = "E",
    suffix: str | None = None,
    replace: bool = False,
    threads: int = 1,
) -> dask.dataframe.DataFrame:
    """Converts the points of a Dask DataFrame from system source to target.

    A new Dask DataFrame, lazily: each partition as lomitra.transform_frame
    gives it, by map_partitions. replace=False (the default): ddf's columns
    and three more, ``north + suffix``, ``east + suffix`` (float64) and
    ``"status" + suffix`` (int8), suffix defaulting to "_" and the target's own
    name. replace=True: the results take the place of the north and east
    columns and the statuses go into ``"status" + suffix`` (suffix defaulting
    to ""). Divisions and the index stay as they were.

    threads: the threads of one partition's conversion, 1 by default, since
    Dask itself runs partitions side by side (0: one per processor).

    Raises UnknownCrsError (a ValueError) for an unknown name at once, before
    anything is computed.
    """
    transformer = Transformer(source, target)
    meta = _transformed(ddf._meta, transformer, north, east, suffix, replace, threads)
    return ddf.map_partitions(
        _transform_partition, source, target, north, east, suffix, replace, threads, meta=meta
    )


def _transform_partition(df, source, target, north, east, suffix, replace, threads):
    return _transformed(df, Transformer(source, target), north, east, suffix, replace, threads)
