// The settings positions of a pair of systems.
#include "core/pair_settings.h"

#include <stdexcept>
#include <string>

#include "core/crs.h"
#include "core/texts.h"

namespace lomitra {
namespace {

// The zone position of an ETRS89 plane system: as a source, ETRS-GKn is
// position 1 (ETRS-TM35FIN, whose prefix names ETRS-GKn); as a result, its own.
int32_t eurefZonePosition(const CrsSystem& system, bool result) {
    switch (system.projection) {
        case Projection::Tm34: return 0;
        case Projection::Tm36: return 2;
        case Projection::EtrsGk: return result ? system.zone - 16 : 1;
        default: return 1;  // ETRS-TM35FIN
    }
}

// The KKJ result zone position: the zone (3 for zone 0, re-projected after),
// or 0 for the own zone.
int32_t kkjZonePosition(const CrsSystem& system) {
    if (system.projection != Projection::KkjZone) return 0;
    return system.zone == 0 ? 3 : system.zone;
}

}  // namespace

ConversionSettings pairSettings(const Crs& source, const Crs& target) {
    const CrsSystem& s = CrsTable::systemOf(source);
    const CrsSystem& t = CrsTable::systemOf(target);
    if (s.projection == Projection::KkjOwnZone) {
        throw std::invalid_argument(std::string(s.name).append(texts::kTargetOnly));
    }
    const bool kkjSource = s.datum == Datum::Kkj;
    ConversionSettings settings;
    settings.direction = kkjSource ? 1 : 0;
    settings.sourceKind = s.projection == Projection::Geographic ? 1 : 0;
    settings.sourceZone = kkjSource ? 0 : eurefZonePosition(s, false);
    settings.resultKind = t.projection == Projection::Geographic ? 1 : 0;
    settings.resultZone = t.datum == Datum::Kkj ? kkjZonePosition(t) : eurefZonePosition(t, true);
    if (s.projection == Projection::Tm35fin) {
        settings.highestSourcePrefix = 10.0;  // above it the engine would read ETRS-GKn
    } else if (s.projection == Projection::EtrsGk || s.projection == Projection::KkjZone) {
        settings.lowestSourcePrefix = settings.highestSourcePrefix = s.zone;
    }
    return settings;
}

EngineGap engineGap(const Crs& source, const Crs& target) {
    const CrsSystem& t = CrsTable::systemOf(target);
    if (source.targetOnly()) return EngineGap::TargetOnlySource;
    if (source.datum() == target.datum()) return EngineGap::SameDatum;
    if (t.projection == Projection::KkjZone && t.zone == 0) return EngineGap::KkjZone0Target;
    return EngineGap::None;
}

}  // namespace lomitra
