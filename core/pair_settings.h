// The settings of the conversion engine that name a pair of systems: the one
// mapping from a (source, target) pair onto the settings positions, for
// lomitra-batch --from/--to and for the library's pairs between the datums.
#pragma once

#include "core/conversion_settings.h"
#include "lomitra/lomitra.hpp"

namespace lomitra {

// Why the engine has no settings for a pair.
enum class EngineGap : signed char {
    None,              // pairSettings() are the engine's settings of the pair
    SameDatum,         // both systems of one datum: the engine converts between the datums only
    TargetOnlySource,  // KKJ-OWN as the source
    KkjZone0Target,    // KKJ zone 0 is no result zone of the engine
};

// The settings positions of the pair, the formats left at decimal degrees:
// direction 0 EUREF-FIN -> KKJ, 1 KKJ -> EUREF-FIN (the source's datum);
// source and result kind 0 plane, 1 geographic; EUREF-FIN zone positions
// 0 ETRS-TM34, 1 ETRS-TM35FIN (or ETRS-GKn, by the east value's zone
// prefix), 2 ETRS-TM36, 3..16 ETRS-GK19..GK32 (results); KKJ result zone
// positions 0 the point's own zone, 1..5 that zone, and 3 (YKJ) for KKJ
// zone 0, which the library re-projects into zone 0. A plane source named by
// its zone is held to its prefix: ETRS-GKn to n, KKJn to n, ETRS-TM35FIN to
// none above 10 (where the engine would read ETRS-GKn). Throws
// std::invalid_argument for a source that can only be a target.
ConversionSettings pairSettings(const Crs& source, const Crs& target);

// What keeps the engine from converting source to target (None: nothing).
EngineGap engineGap(const Crs& source, const Crs& target);

}  // namespace lomitra
