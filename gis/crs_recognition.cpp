#include "gis/crs_recognition.h"

#include <cstdlib>
#include <string_view>

namespace lomitra::gis {
namespace {

constexpr int kGk32Meridian = 32;  // degrees east

OGRSpatialReference withGisOrder(OGRSpatialReference reference) {
    reference.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return reference;
}

OGRSpatialReference gk32Reference() {
    OGRSpatialReference reference;
    reference.SetProjCS("ETRS89 / GK32FIN");
    reference.SetWellKnownGeogCS("EPSG:4258");
    reference.SetTM(0.0, kGk32Meridian, 1.0, kGk32Meridian * 1'000'000.0 + 500'000.0, 0.0);
    reference.SetLinearUnits(SRS_UL_METER, 1.0);
    reference.SetAxes(nullptr, "Northing", OAO_North, "Easting", OAO_East);
    return withGisOrder(std::move(reference));
}

std::optional<OGRSpatialReference> epsgReference(int code) {
    OGRSpatialReference reference;
    if (reference.importFromEPSG(code) != OGRERR_NONE) return std::nullopt;
    return withGisOrder(std::move(reference));
}

// The EPSG code that the root of `reference` carries, or 0.
int epsgCode(const OGRSpatialReference& reference) {
    const char* authority = reference.GetAuthorityName(nullptr);
    const char* code = reference.GetAuthorityCode(nullptr);
    if (authority == nullptr || code == nullptr || std::string_view(authority) != "EPSG") return 0;
    return std::atoi(code);
}

std::optional<Crs> fromEpsg(int code) {
    try {
        return Crs::fromEpsg(code);
    } catch (const UnknownCrs&) {
        return std::nullopt;
    }
}

bool sameSystem(const OGRSpatialReference& a, const OGRSpatialReference& b) {
    const char* const options[] = {"IGNORE_DATA_AXIS_TO_SRS_AXIS_MAPPING=YES",
                                   "CRITERION=EQUIVALENT_EXCEPT_AXIS_ORDER_GEOGCRS", nullptr};
    return a.IsSame(&b, options) != 0;
}

}  // namespace

std::optional<OGRSpatialReference> outputReference(const Crs& crs) {
    if (crs.targetOnly()) return std::nullopt;
    if (crs.epsg() != 0) return epsgReference(crs.epsg());
    return gk32Reference();  // the one system besides KKJ-OWN without an EPSG code
}

std::optional<Crs> recognise(const OGRSpatialReference& reference) {
    OGRSpatialReference identified(reference);
    if (epsgCode(identified) == 0) identified.AutoIdentifyEPSG();
    if (const int code = epsgCode(identified); code != 0) {
        // An EPSG code names the system outright, supported or not.
        return fromEpsg(code);
    }
    // No code: the definition itself, against each supported system's.
    if (sameSystem(identified, gk32Reference())) return Crs("ETRS-GK32");
    for (const std::string_view name : Crs::acceptedNames()) {
        if (!name.starts_with("EPSG:")) continue;
        const int code = std::atoi(std::string(name.substr(5)).c_str());
        const std::optional<OGRSpatialReference> known = epsgReference(code);
        if (known && sameSystem(identified, *known)) return Crs::fromEpsg(code);
    }
    return std::nullopt;
}

std::string describe(const OGRSpatialReference& reference) {
    std::string text = "\"";
    const char* name = reference.GetName();
    text += name != nullptr ? name : "?";
    text += "\"";
    OGRSpatialReference identified(reference);
    if (epsgCode(identified) == 0) identified.AutoIdentifyEPSG();
    if (const int code = epsgCode(identified); code != 0) text += " (EPSG:" + std::to_string(code) + ")";
    return text;
}

}  // namespace lomitra::gis
