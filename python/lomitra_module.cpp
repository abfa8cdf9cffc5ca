// lomitra._lomitra: the library's public interface (<lomitra/lomitra.hpp>)
// for NumPy arrays, and nothing more; the package lomitra (lomitra/*.py)
// re-exports it and adds the pandas and Dask functions.
//
// Arrays in: one-dimensional, of any real dtype (floating point of any width
// or integers) and any strides, or sequences; each becomes a new contiguous
// float64 array while the GIL is held. The conversion then runs on those
// copies in place without the GIL, and points not converted get NaN.
// Arrays out: new float64 arrays, int8 statuses, fixed-width str arrays.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "lomitra/lomitra.hpp"

namespace py = pybind11;

namespace {

using Doubles = py::array_t<double, py::array::c_style>;

// `values` as a new contiguous float64 array; `what` names it in errors.
Doubles copiedAsDoubles(py::handle values, const char* what) {
    const py::array array = py::array::ensure(values);
    if (!array) throw py::type_error(std::string(what) + " is not an array of numbers");
    const char kind = array.dtype().kind();
    if (kind != 'f' && kind != 'i' && kind != 'u') {
        throw py::type_error(std::string(what) + " must hold real numbers, not dtype " +
                             py::str(array.dtype()).cast<std::string>());
    }
    if (array.ndim() != 1) throw py::value_error(std::string(what) + " must be one-dimensional");
    // Always a new array (the conversion then works on it in place), made
    // by NumPy in one pass from any dtype, byte order and strides.
    return array.attr("astype")(py::dtype::of<double>(), py::arg("order") = "C", py::arg("copy") = true)
        .cast<Doubles>();
}

struct Coordinates {
    Doubles north;
    Doubles east;
};

Coordinates copiedCoordinates(py::handle north, py::handle east) {
    Coordinates c{copiedAsDoubles(north, "north"), copiedAsDoubles(east, "east")};
    if (c.north.shape(0) != c.east.shape(0)) {
        throw py::value_error("north and east differ in length: " + std::to_string(c.north.shape(0)) + " and " +
                              std::to_string(c.east.shape(0)));
    }
    return c;
}

py::tuple transform(const lomitra::Transformer& transformer, const py::object& north, const py::object& east,
                    int threads) {
    Coordinates c = copiedCoordinates(north, east);
    const auto count = static_cast<std::size_t>(c.north.shape(0));
    py::array_t<std::int8_t> status(c.north.shape(0));
    double* n = c.north.mutable_data();
    double* e = c.east.mutable_data();
    auto* s = reinterpret_cast<lomitra::Status*>(status.mutable_data());
    {
        py::gil_scoped_release release;
        transformer.transform(count, n, sizeof(double), e, sizeof(double), s, threads);
        for (std::size_t i = 0; i < count; ++i) {
            if (s[i] == lomitra::Status::NotConverted) {
                n[i] = std::numeric_limits<double>::quiet_NaN();
                e[i] = std::numeric_limits<double>::quiet_NaN();
            }
        }
    }
    return py::make_tuple(std::move(c.north), std::move(c.east), std::move(status));
}

// The identifiers sheetOf gives the points, as a NumPy str array of `width`
// characters (UCS-4, as NumPy keeps them; the identifiers are ASCII).
template <class SheetOf>
py::array mapSheets(SheetOf sheetOf, std::size_t width, const std::string& crsName, py::handle north,
                    py::handle east) {
    const lomitra::Crs crs(crsName);
    const Coordinates c = copiedCoordinates(north, east);
    const auto count = static_cast<std::size_t>(c.north.shape(0));
    py::array sheets(py::dtype("<U" + std::to_string(width)), std::vector<py::ssize_t>{c.north.shape(0)});
    auto* out = static_cast<std::uint32_t*>(sheets.mutable_data());
    std::fill_n(out, count * width, 0u);
    const double* n = c.north.data();
    const double* e = c.east.data();
    {
        py::gil_scoped_release release;
        for (std::size_t i = 0; i < count; ++i) {
            const std::string sheet = sheetOf(crs, lomitra::Point{n[i], e[i]});
            // Guard only: the identifiers have a fixed length.
            const std::size_t length = std::min(sheet.size(), width);
            std::copy_n(sheet.begin(), length, out + i * width);
        }
    }
    return sheets;
}

constexpr std::size_t kKkjSheetWidth = 8;  // "203406A3"
constexpr std::size_t kUtmSheetWidth = 7;  // "L4133B3"

}  // namespace

PYBIND11_MODULE(_lomitra, m) {
    m.doc() = "Point coordinates between EUREF-FIN and KKJ by JHS 154 (the library liblomitra).";
    m.attr("__version__") = lomitra::version();

    py::register_exception<lomitra::UnknownCrs>(m, "UnknownCrsError", PyExc_ValueError);

    m.def(
        "accepted_names",
        [] {
            std::vector<std::string> names;
            for (const std::string_view name : lomitra::Crs::acceptedNames()) names.emplace_back(name);
            return names;
        },
        "Every accepted name of a system: the EPSG codes first, then the systems' own names.");

    py::class_<lomitra::Transformer>(m, "Transformer", R"(Converts points from one system to another.

Transformer(source, target): the systems by name, such as "EPSG:2393" or
"YKJ", "EPSG:3067" or "ETRS-TM35FIN", "EUREF-FIN", "ETRS-GK25", "KKJ-OWN" (a
target only); letters in either case (accepted_names() lists them all).
Raises UnknownCrsError (a ValueError) for an unknown name, listing the
accepted ones, and ValueError for KKJ-OWN as the source.

Immutable: any number of threads may share one.)")
        .def(py::init<std::string_view, std::string_view>(), py::arg("source"), py::arg("target"))
        .def_property_readonly(
            "source", [](const lomitra::Transformer& t) { return std::string(t.source().name()); },
            "The source system's own name (\"YKJ\" for \"EPSG:2393\").")
        .def_property_readonly(
            "target", [](const lomitra::Transformer& t) { return std::string(t.target().name()); },
            "The target system's own name.")
        .def("transform", &transform, py::arg("north"), py::arg("east"), py::kw_only(), py::arg("threads") = lomitra::Transformer::kAllProcessors,
             R"(Converts points; returns (north, east, status), new arrays.

north, east: one-dimensional arrays (any real dtype, any strides) or
sequences of equal length: metres, the east value with its false easting and
zone prefix, or latitude and longitude in decimal degrees.
threads: 0 (the default) one worker per processor for large arrays, 1 this
thread only, N up to N threads; the results are the same bits on any number.

Returns float64 arrays of the results and an int8 array of statuses: 0
inside the network (the triangle's affine transformation; within one datum,
the projections alone), 1 outside it (the Helmert transformation, about
0.5-2 m), -1 not converted (not finite, or outside the accepted area or its
zone), with NaN in its results. The GIL is released while converting.
Raises ValueError for arrays of different lengths or of more dimensions, or
for threads below 0; TypeError for values that are not real numbers.)")
        .def("__repr__",
             [](const lomitra::Transformer& t) {
                 return "Transformer('" + std::string(t.source().name()) + "', '" + std::string(t.target().name()) +
                        "')";
             })
        .def(py::pickle(
            [](const lomitra::Transformer& t) {
                return py::make_tuple(std::string(t.source().name()), std::string(t.target().name()));
            },
            [](const py::tuple& names) {
                return lomitra::Transformer(names[0].cast<std::string>(), names[1].cast<std::string>());
            }));

    m.def(
        "kkj_map_sheet",
        [](const std::string& crs, const py::object& north, const py::object& east) {
            return mapSheets(&lomitra::kkjMapSheet, kKkjSheetWidth, crs, north, east);
        },
        py::arg("crs"), py::arg("north"), py::arg("east"),
        R"(The KKJ map sheet identifiers of points of system crs, such as "203406A3".

north, east: as for Transformer.transform. Returns an array of str (dtype
<U8); "" where a point lies outside the sheet division or is not converted.
Raises ValueError for an unknown system or KKJ-OWN.)");
    m.def(
        "utm_map_sheet",
        [](const std::string& crs, const py::object& north, const py::object& east) {
            return mapSheets(&lomitra::utmMapSheet, kUtmSheetWidth, crs, north, east);
        },
        py::arg("crs"), py::arg("north"), py::arg("east"),
        R"(The UTM map sheet identifiers (of ETRS-TM35FIN) of points of system crs, such as "L4133B3".

north, east: as for Transformer.transform. Returns an array of str (dtype
<U7); "" where a point lies outside the sheet division or is not converted.
Raises ValueError for an unknown system or KKJ-OWN.)");
}
