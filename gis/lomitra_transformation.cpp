#include "gis/lomitra_transformation.h"

#include <stdexcept>

namespace lomitra::gis {

LomitraTransformation::LomitraTransformation(const Crs& source, const Crs& target,
                                             const OGRSpatialReference& sourceReference,
                                             const OGRSpatialReference& targetReference)
    : transformer_(source, target), sourceReference_(sourceReference), targetReference_(targetReference) {}

int LomitraTransformation::Transform(VertexCount count, double* x, double* y, double* /*z*/, double* /*t*/,
                                     int* success) {
    if (count <= 0) return TRUE;
    const auto n = static_cast<std::size_t>(count);
    if (statuses_.size() < n) statuses_.resize(n);
    // North is y, east is x: the library takes them by name.
    transformer_.transform(n, y, sizeof(double), x, sizeof(double), statuses_.data());
    bool all = true;
    for (std::size_t i = 0; i < n; ++i) {
        switch (statuses_[i]) {
            case Status::InsideNetwork: ++tally_.inside; break;
            case Status::OutsideNetwork: ++tally_.outside; break;
            case Status::NotConverted: ++tally_.notConverted; break;
        }
        const bool converted = statuses_[i] != Status::NotConverted;
        if (success != nullptr) success[i] = converted ? TRUE : FALSE;
        all = all && converted;
    }
    return all ? TRUE : FALSE;
}

OGRCoordinateTransformation* LomitraTransformation::Clone() const {
    return new LomitraTransformation(transformer_.source(), transformer_.target(), sourceReference_,
                                     targetReference_);
}

OGRCoordinateTransformation* LomitraTransformation::GetInverse() const {
    if (transformer_.target().targetOnly()) return nullptr;
    return new LomitraTransformation(transformer_.target(), transformer_.source(), targetReference_,
                                     sourceReference_);
}

}  // namespace lomitra::gis
