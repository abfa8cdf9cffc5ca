// Lomitra: point coordinates between the Finnish systems EUREF-FIN (ETRS89 on
// GRS80) and KKJ (on the Hayford ellipsoid) by the recommendation JHS 154,
// the same computation as the Lomitra program and lomitra-batch.
//
//   #include <lomitra/lomitra.hpp>
//   const lomitra::Transformer t("YKJ", "ETRS-TM35FIN");
//   lomitra::Point p{6700000.0, 3210000.0};
//   t.transform(p);  // p: N 6 697 187.001, E 209 948.322 (to the millimetre)
//
// Between the datums (KKJ <-> EUREF-FIN), inside the built-in network of 767
// common points and 1450 triangles a point is carried over by the affine
// transformation of the triangle that contains it (Status::InsideNetwork);
// outside the network, within the accepted area, by the three-dimensional
// similarity (Helmert) transformation of JHS 154 (Status::OutsideNetwork,
// about 0.5-2 m from what the network would give). Within one datum (KKJ
// zone 1 -> YKJ, ETRS-TM35FIN -> ETRS-GK25, EUREF-FIN -> ETRS-TM35FIN) the
// projections alone convert (Status::InsideNetwork).
//
// Coordinates. Every point has a named north and east value, whatever the
// axis order that a registry gives its system:
//   - plane systems: north and east in metres, the east value with its false
//     easting (500 000 m) and, for ETRS-GKn and the KKJ zones, the zone
//     prefix: ETRS-GK25 east 25 500 000 m on its central meridian, KKJ zone 2
//     east 2 500 000 m on its own;
//   - geographic systems (EUREF-FIN, KKJ): north is the latitude and east the
//     longitude, in decimal degrees (east of Greenwich positive).
// The accepted area (a point outside it is not converted): latitude 56.15 to
// 72.19 deg and longitude 15.47 to 36.67 deg; plane points north 6 000 000 to
// 8 000 000 m and, in ETRS-TM35FIN, east -200 000 to 1 000 000 m, in the KKJ
// zones east 400 000 to 5 700 000 m (other ETRS89 zones are checked in
// ETRS-TM35FIN).
//
// Results are those of lomitra-batch to the bit, for the same points in the
// same order. The one order effect: a point exactly on an edge or vertex that
// triangles share takes the triangle of the point before it when that
// triangle holds it too, which changes the result by rounding only. Every
// array call starts afresh and goes through its points in order, as
// lomitra-batch goes through a file, whatever the number of threads.
//
// Threads: Crs and Transformer are immutable; any number of threads may use
// one object at once. The network tables are built once per process (at the
// first Transformer between the datums) and shared.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "lomitra/lomitra_export.h"

namespace lomitra {

// The version of the library, such as "1.0".
LOMITRA_API const char* version();

enum class Datum : signed char {
    EurefFin,  // ETRS89 as realised in Finland, on GRS80
    Kkj,       // Kartastokoordinaattijärjestelmä, on the Hayford ellipsoid
};

// A name that names no system of the library. what() lists the accepted names.
class LOMITRA_API UnknownCrs : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
    ~UnknownCrs() override;
};

// A coordinate reference system, by name. The accepted names (letters in
// either case):
//   EPSG:3067 or ETRS-TM35FIN: ETRS89 / TM35FIN(E,N), central meridian 27 deg,
//     scale 0.9996; EPSG:3047 and EPSG:25835 (ETRS89 / UTM zone 35N) name the
//     same projection and give this system;
//   EPSG:3046 or EPSG:25834 or ETRS-TM34 (UTM zone 34N, 21 deg);
//   EPSG:3048 or EPSG:25836 or ETRS-TM36 (UTM zone 36N, 33 deg);
//   EPSG:3873 ... EPSG:3885 or ETRS-GK19 ... ETRS-GK31 (ETRS89 / GK19FIN ...
//     GK31FIN), and ETRS-GK32 (no EPSG code): central meridian n deg, scale 1;
//   EPSG:4258 or EUREF-FIN: ETRS89 latitude and longitude;
//   EPSG:3386, 2391, 2392, 2393, 2394, 3387 or KKJ0 ... KKJ5: KKJ / Finland
//     zone 0 ... 5, central meridian 18 + 3n deg, scale 1; zone 3 (EPSG:2393)
//     is also YKJ, the uniform coordinate system;
//   EPSG:4123 or KKJ: KKJ latitude and longitude;
//   KKJ-OWN: KKJ plane, each point in its own zone (the zone whose central
//     meridian lies within 1.5 deg of its longitude); a target only.
// A plane source point of ETRS-GKn or a KKJ zone must carry its zone's
// prefix, and an ETRS-TM35FIN point none above 10 (an east value below
// 11 000 000 m); others are not converted. (A result more than 500 km east
// or west of its zone's meridian carries the next zone's prefix, as the
// Lomitra program writes it; it cannot be read back as that zone.)
class LOMITRA_API Crs {
public:
    // name: one of acceptedNames(), in any case. Throws UnknownCrs otherwise.
    explicit Crs(std::string_view name);
    static Crs fromName(std::string_view name) { return Crs(name); }
    // code: one of the EPSG codes above. Throws UnknownCrs otherwise.
    static Crs fromEpsg(int code);

    // The system's own name: "ETRS-TM35FIN", "ETRS-GK25", "EUREF-FIN", "YKJ",
    // "KKJ1", "KKJ", "KKJ-OWN", ...
    std::string_view name() const;
    // Its EPSG code (3067 for all three names of ETRS-TM35FIN); 0 for
    // ETRS-GK32 and KKJ-OWN, which have none.
    int epsg() const;
    Datum datum() const;
    // Whether points are latitude and longitude (decimal degrees).
    bool geographic() const;
    // Whether the system can only be a target (KKJ-OWN).
    bool targetOnly() const;

    // Every accepted name, EPSG codes first, then the systems' own names.
    static std::span<const std::string_view> acceptedNames();

    friend bool operator==(const Crs&, const Crs&) = default;

private:
    friend class CrsTable;
    explicit Crs(int system) : system_(system) {}
    int system_ = 0;
};

// One point: see the top of this file for the units of each system.
struct Point {
    double north;  // metres, or latitude in decimal degrees
    double east;   // metres (with false easting and zone prefix), or longitude in decimal degrees
};

// What became of one point (the values are those of lomitra.h).
enum class Status : signed char {
    InsideNetwork = 0,   // the triangle's affine transformation; or within one datum, the projections
    OutsideNetwork = 1,  // the similarity (Helmert) transformation, about 0.5-2 m
    NotConverted = -1,   // not finite, outside the accepted area or its zone: left unchanged
};

class TransformerPlan;

class LOMITRA_API Transformer {
public:
    // Throws std::invalid_argument where `source` can only be a target
    // (KKJ-OWN). Every other pair is supported, a system to itself included.
    Transformer(const Crs& source, const Crs& target);
    // The systems by name (see Crs). Throws UnknownCrs for an unknown name.
    Transformer(std::string_view source, std::string_view target);

    const Crs& source() const;
    const Crs& target() const;

    // Automatic thread count for the array calls: one worker per processor,
    // each with enough points to be worth its start.
    static constexpr int kAllProcessors = 0;

    // Converts one point in place; a point not converted is left unchanged.
    // Every call starts afresh (as an array of this point alone).
    Status transform(Point& point) const;

    // Converts points[0 .. size) in place and in order; returns the number
    // converted. statuses: empty, or one per point (else
    // std::invalid_argument). threads: 1 (this thread), N > 1 (the points
    // in N runs, one per thread, the results to the bit those of one
    // thread), or kAllProcessors.
    std::size_t transform(std::span<Point> points, std::span<Status> statuses = {},
                          int threads = 1) const;

    // The strided call, in the manner of PROJ's proj_trans_generic: point i
    // has its north value at byte offset i * northStrideBytes from `north`
    // and its east value at i * eastStrideBytes from `east` (any alignment),
    // both converted in place; status, if not null, gets one Status per point
    // (contiguous). Returns the number converted. count 0 does nothing.
    // Throws std::invalid_argument for a null north or east with count > 0,
    // a stride below sizeof(double) with count > 1, or threads below 0.
    std::size_t transform(std::size_t count, double* north, std::size_t northStrideBytes,
                          double* east, std::size_t eastStrideBytes, Status* status = nullptr,
                          int threads = 1) const;

private:
    Crs source_;
    Crs target_;
    std::shared_ptr<const TransformerPlan> plan_;
};

// The map sheet identifiers of a point of `crs` (any system but KKJ-OWN,
// for which std::invalid_argument), worked out, as the Lomitra program does,
// from the point in YKJ and in ETRS-TM35FIN:
//   the KKJ sheet, eight characters such as "203406A3" (the first the KKJ
//   zone of the point), counted in the point's own KKJ zone;
//   the UTM sheet of ETRS-TM35FIN, seven characters such as "L4133B3".
// "" where the point lies outside the sheet division, or is not converted.
LOMITRA_API std::string kkjMapSheet(const Crs& crs, Point point);
LOMITRA_API std::string utmMapSheet(const Crs& crs, Point point);

}  // namespace lomitra
