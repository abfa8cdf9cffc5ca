"""Point coordinates between the Finnish systems EUREF-FIN and KKJ by JHS 154.

Inside the built-in network of 767 common points each point is carried over
by the affine transformation of the triangle that contains it, outside the
network by the Helmert transformation; the same computation, to the bit, as
the Lomitra program, lomitra-batch and the library liblomitra.

    >>> import lomitra
    >>> t = lomitra.Transformer("YKJ", "ETRS-TM35FIN")   # or "EPSG:2393", "EPSG:3067"
    >>> north, east, status = t.transform([6700000.0], [3210000.0])
    >>> f"{north[0]:.3f} {east[0]:.3f} {status[0]}"
    '6697187.001 209948.322 0'

Transformer.transform works on NumPy arrays without the GIL; transform_frame
on pandas DataFrames; lomitra.dask.transform on Dask DataFrames, on one
machine or a cluster. kkj_map_sheet and utm_map_sheet give the map sheets.
"""

from __future__ import annotations

from typing import TYPE_CHECKING

from ._lomitra import (
    Transformer,
    UnknownCrsError,
    __version__,
    accepted_names,
    kkj_map_sheet,
    utm_map_sheet,
)

if TYPE_CHECKING:
    import pandas

__all__ = [
    "Transformer",
    "UnknownCrsError",
    "__version__",
    "accepted_names",
    "kkj_map_sheet",
    "transform_frame",
    "utm_map_sheet",
]


def transform_frame(
    df: pandas.DataFrame,
    source: str,
    target: str,
    north: str = "N",
    east: str = "E",
    suffix: str | None = None,
    inplace: bool = False,
    threads: int = 0,
) -> pandas.DataFrame | None:
    """Converts the points of a pandas DataFrame from system source to target.

    north, east: the names of the columns of the points (any real dtype;
    missing values are not converted).

    inplace=False (the default): returns a new DataFrame, df's columns and
    three more: the results in ``north + suffix`` and ``east + suffix`` (float64)
    and the statuses in ``"status" + suffix`` (int8). suffix defaults to "_"
    and the target's own name: columns "N_ETRS-TM35FIN", "E_ETRS-TM35FIN",
    "status_ETRS-TM35FIN" for target "EPSG:3067".

    inplace=True: the results replace the values of the north and east
    columns of df itself, and the statuses go into its column
    ``"status" + suffix`` (suffix defaults to "": column "status"); returns None.

    Statuses are those of Transformer.transform: 0 inside the network, 1
    outside it (Helmert), -1 not converted, with NaN in its results. The
    index and the other columns stay as they were. threads: as for
    Transformer.transform.
    """
    transformer = Transformer(source, target)
    if not inplace:
        return _transformed(df, transformer, north, east, suffix, False, threads)
    _transformed(df, transformer, north, east, suffix, True, threads, out=df)
    return None


def _transformed(df, transformer, north, east, suffix, replace, threads, out=None):
    """df's columns and the results (see transform_frame): in a new DataFrame,
    or in `out`."""
    result_north, result_east, status = transformer.transform(
        _column(df, north), _column(df, east), threads=threads)
    if suffix is None:
        suffix = "" if replace else "_" + transformer.target
    if out is None:
        out = df.copy(deep=False)  # new columns only: df's own are shared, not changed
    out[north if replace else north + suffix] = result_north
    out[east if replace else east + suffix] = result_east
    out["status" + suffix] = status
    return out


def _column(df, name):
    """Column `name` of df as float64 values, NaN where a value is missing."""
    import pandas

    column = df[name]
    if not pandas.api.types.is_numeric_dtype(column.dtype) or pandas.api.types.is_bool_dtype(column.dtype):
        raise TypeError(f"column {name!r} must hold real numbers, not {column.dtype}")
    return column.to_numpy(dtype="float64", na_value=float("nan"))
