/* Lomitra's C interface: point coordinates between the Finnish systems
 * EUREF-FIN and KKJ by JHS 154, for C, ctypes, R, Julia, Rust and GIS plugins.
 * The same computation as lomitra.hpp (read it for the method and the
 * accepted area); no function here lets a C++ exception through.
 *
 * Systems are named as in lomitra.hpp, in either case: "EPSG:3067" or
 * "ETRS-TM35FIN", "EPSG:3046"/"EPSG:25834" "ETRS-TM34", "EPSG:3047"/
 * "EPSG:25835" (the projection of ETRS-TM35FIN), "EPSG:3048"/"EPSG:25836"
 * "ETRS-TM36", "EPSG:3873" ... "EPSG:3885" "ETRS-GK19" ... "ETRS-GK31",
 * "ETRS-GK32", "EPSG:4258" "EUREF-FIN", "EPSG:3386" "EPSG:2391" "EPSG:2392"
 * "EPSG:2393" "EPSG:2394" "EPSG:3387" "KKJ0" ... "KKJ5" ("YKJ" is KKJ3),
 * "EPSG:4123" "KKJ", and "KKJ-OWN" (each point in its own KKJ zone; a
 * target only).
 *
 * Coordinates: north and east. Plane systems in metres, the east value with
 * its false easting and, for ETRS-GKn and the KKJ zones, the zone prefix
 * (ETRS-GK25: 25 500 000 m on the central meridian); geographic systems
 * latitude (north) and longitude (east) in decimal degrees.
 *
 * A transformer may be used by any number of threads at once. */
#ifndef LOMITRA_H
#define LOMITRA_H

#include <stddef.h>

#include "lomitra/lomitra_export.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct lomitra_transformer lomitra_transformer;

/* The transformer from `source` to `target` (names above). NULL for an
 * unknown name, a NULL name or a pair that cannot be (KKJ-OWN as the source),
 * with the reason in English in `error` (if not NULL: at most error_size
 * bytes, ending in a NUL; 512 bytes hold every message but the list of
 * accepted names, which is cut short at a character's boundary). On success
 * `error` gets the empty text. */
LOMITRA_API lomitra_transformer *lomitra_transformer_create(const char *source, const char *target,
                                                            char *error, size_t error_size);

/* Frees `t`; NULL does nothing. */
LOMITRA_API void lomitra_transformer_destroy(lomitra_transformer *t);

/* Converts `count` points in place. Point i: its north value at byte offset
 * i * north_stride_bytes from `north`, its east value at i * east_stride_bytes
 * from `east` (any alignment). status, if not NULL, holds `count` bytes: 0
 * inside the network (or a same-datum pair, by the projections alone), 1
 * outside the network (Helmert), -1 not converted (the point left unchanged).
 * The points are converted in order on the calling thread, as lomitra-batch
 * converts the lines of a file. Returns the number of points converted; 0,
 * writing nothing, for a NULL `t`, a NULL `north` or `east` with count > 0,
 * or a stride below sizeof(double) with count > 1. */
LOMITRA_API size_t lomitra_transform(const lomitra_transformer *t, size_t count,
                                     double *north, size_t north_stride_bytes,
                                     double *east, size_t east_stride_bytes, signed char *status);

/* The KKJ map sheet (8 characters, such as "203406A3") or the UTM map sheet
 * of ETRS-TM35FIN (7 characters, such as "L4133B3") of the point (north,
 * east) of system `crs`; "" where the point lies outside the sheet division
 * or outside the accepted area. Returns 0 on success, the identifier in out;
 * 1: `crs` is NULL, unknown or KKJ-OWN (out gets ""); 2: out is NULL or
 * out_size too small (9 bytes always suffice). */
LOMITRA_API int lomitra_kkj_map_sheet(const char *crs, double north, double east, char *out,
                                      size_t out_size);
LOMITRA_API int lomitra_utm_map_sheet(const char *crs, double north, double east, char *out,
                                      size_t out_size);

/* The library's version, such as "1.0" (static storage). */
LOMITRA_API const char *lomitra_version(void);

#ifdef __cplusplus
}
#endif

#endif
