// The library's C++ interface over the conversion of a pair of systems.
#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "core/crs.h"
#include "core/map_sheet.h"
#include "core/pair_conversion.h"
#include "core/parallel_point_conversion.h"
#include "core/texts.h"
#include "lomitra/lomitra.hpp"

namespace lomitra {
namespace {

// kAllProcessors: a worker per processor, each with at least this many points
// (a thread's start costs about as much as converting a few hundred).
constexpr std::size_t kPointsPerAutomaticWorker = 16384;

int workersFor(int threads, std::size_t count) {
    if (threads < 0) throw std::invalid_argument(std::string(texts::kNegativeThreads));
    if (threads != Transformer::kAllProcessors) return threads;
    const auto processors = static_cast<std::size_t>(std::max(1u, std::thread::hardware_concurrency()));
    return static_cast<int>(std::clamp<std::size_t>(count / kPointsPerAutomaticWorker, 1, processors));
}

// The point in the other datum's work plane, for its map sheets; false where
// it is not converted.
bool sheetPointOf(const Crs& crs, Point point, SheetPoint& sheetPoint) {
    static const Crs tm35fin = Crs::fromEpsg(3067);
    static const Crs ykj = Crs::fromEpsg(2393);
    const TransformerPlan plan(crs, crs.datum() == Datum::Kkj ? tm35fin : ykj);
    DatumTransformation datum;
    if (plan.convert(datum, point.north, point.east) == Status::NotConverted) return false;
    sheetPoint = datum.sheetPoint();
    return true;
}

}  // namespace

const char* version() { return LOMITRA_VERSION; }

Transformer::Transformer(const Crs& source, const Crs& target)
    : source_(source), target_(target), plan_(std::make_shared<const TransformerPlan>(source, target)) {}

Transformer::Transformer(std::string_view source, std::string_view target)
    : Transformer(Crs(source), Crs(target)) {}

const Crs& Transformer::source() const { return source_; }
const Crs& Transformer::target() const { return target_; }

Status Transformer::transform(Point& point) const {
    DatumTransformation datum;
    return plan_->convert(datum, point.north, point.east);
}

std::size_t Transformer::transform(std::span<Point> points, std::span<Status> statuses, int threads) const {
    if (!statuses.empty() && statuses.size() != points.size()) {
        throw std::invalid_argument(std::string(texts::kStatusesDoNotMatch));
    }
    if (points.empty()) return 0;
    return transform(points.size(), &points[0].north, sizeof(Point), &points[0].east, sizeof(Point),
                     statuses.empty() ? nullptr : statuses.data(), threads);
}

std::size_t Transformer::transform(std::size_t count, double* north, std::size_t northStrideBytes, double* east,
                                   std::size_t eastStrideBytes, Status* status, int threads) const {
    const int workers = workersFor(threads, count);
    if (count == 0) return 0;
    if (north == nullptr || east == nullptr) throw std::invalid_argument(std::string(texts::kNoPoints));
    if (count > 1 && (northStrideBytes < sizeof(double) || eastStrideBytes < sizeof(double))) {
        throw std::invalid_argument(std::string(texts::kStrideTooSmall));
    }
    const PointArray array{reinterpret_cast<unsigned char*>(north), northStrideBytes,
                           reinterpret_cast<unsigned char*>(east), eastStrideBytes,
                           reinterpret_cast<unsigned char*>(status)};
    return convertPoints(*plan_, array, count, workers);
}

std::string kkjMapSheet(const Crs& crs, Point point) {
    SheetPoint p;
    return sheetPointOf(crs, point, p) ? kkjSheetId(p.kkjP, p.kkjI) : std::string();
}

std::string utmMapSheet(const Crs& crs, Point point) {
    SheetPoint p;
    return sheetPointOf(crs, point, p) ? utmSheetId(p.eurefN, p.eurefE) : std::string();
}

}  // namespace lomitra
