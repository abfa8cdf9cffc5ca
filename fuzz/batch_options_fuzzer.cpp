// The option parser of lomitra-batch over any argument vectors: the input
// split at NUL bytes into arguments.
//
// Checks: a refused vector has a reason; an accepted one (other than --help and --version)
// holds list positions inside the lists of the settings window (a source's
// zone prefixes either all or one range of them, a KKJ source held to one of
// the zones 0-5 and an ETRS-GK source to 19-32), a layout of
// its own kind (fixed columns: 1-based starts and lengths of at least 1, the
// identifier either absent or marked the same way, no field numbers; free
// format: field numbers 0-99, the identifier's present exactly when marked),
// a non-empty source that is one of the arguments, a non-empty output, and
// 1-64 threads (0: the default). "--" ends the options: a source that begins
// with "-" (other than "-" itself) comes after a "--", and arguments without
// any "--" mean the same with one "--" added at the end.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "batch/batch_options.h"
#include "fuzz/fuzz_check.h"

namespace {

using lomitra::BatchOptions;
using lomitra::LineLayout;

bool within(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

void checkAccepted(const BatchOptions& o, const std::vector<std::string>& args) {
    const lomitra::ConversionSettings& s = o.settings;
    LOMITRA_FUZZ_CHECK(within(s.direction, 0, 1) && within(s.sourceKind, 0, 1) && within(s.resultKind, 0, 1) &&
              within(s.sourceFormat, 0, 2) && within(s.resultFormat, 0, 2),
          "a list position outside its list");
    if (s.eurefToKkj()) {
        LOMITRA_FUZZ_CHECK(within(s.sourceZone, 0, 2) && within(s.resultZone, 0, 5), "zones outside the lists (EUREF-FIN to KKJ)");
    } else {
        LOMITRA_FUZZ_CHECK(s.sourceZone == 0 && within(s.resultZone, 0, 16), "zones outside the lists (KKJ to EUREF-FIN)");
    }
    LOMITRA_FUZZ_CHECK(s.lowestSourcePrefix <= s.highestSourcePrefix, "no zone prefix allowed");
    if (!std::isinf(s.lowestSourcePrefix)) {
        const double zone = s.lowestSourcePrefix;
        const bool someZone = s.eurefToKkj() ? s.sourceZone == 1 && zone >= 19 && zone <= 32 : zone >= 0 && zone <= 5;
        LOMITRA_FUZZ_CHECK(zone == s.highestSourcePrefix && !s.geographicSource() && someZone,
                           "a source held to a zone that is none");
    }
    if (o.layout == LineLayout::FixedColumns) {
        for (int i = 0; i < 2; ++i) {
            LOMITRA_FUZZ_CHECK(o.columnStart[i] >= 1 && o.columnLength[i] >= 1, "a coordinate column below 1");
        }
        LOMITRA_FUZZ_CHECK((o.columnStart[2] == 0 && o.columnLength[2] == 0) || (o.columnStart[2] >= 1 && o.columnLength[2] >= 1),
              "identifier columns half set");
        LOMITRA_FUZZ_CHECK((o.fieldNumber == std::array<int32_t, 3>{-1, -1, -1}), "field numbers in fixed columns");
    } else {
        LOMITRA_FUZZ_CHECK(within(o.fieldNumber[0], 0, 99) && within(o.fieldNumber[1], 0, 99), "a field number outside 0-99");
        LOMITRA_FUZZ_CHECK(o.columnLength[2] == 0 || o.columnLength[2] == 1, "identifier mark neither 0 nor 1");
        LOMITRA_FUZZ_CHECK(o.columnLength[2] == 1 ? within(o.fieldNumber[2], 0, 99) : o.fieldNumber[2] == -1,
              "identifier field and mark disagree");
        LOMITRA_FUZZ_CHECK((o.columnStart == std::array<int32_t, 3>{0, 0, 0}), "start columns in free format");
    }
    LOMITRA_FUZZ_CHECK(!o.source.empty(), "empty source accepted");
    LOMITRA_FUZZ_CHECK(std::find(args.begin(), args.end(), o.source) != args.end(), "the source is none of the arguments");
    LOMITRA_FUZZ_CHECK(!o.output.empty(), "empty output accepted");
    LOMITRA_FUZZ_CHECK(within(o.threads, 0, lomitra::kBatchMaxThreads), "a thread count outside 1-64");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::vector<std::string> args;
    if (size > 0) {
        std::string current;
        for (std::size_t i = 0; i < size; ++i) {
            if (data[i] == 0) {
                args.push_back(current);
                current.clear();
            } else {
                current.push_back(static_cast<char>(data[i]));
            }
        }
        args.push_back(current);
    }
    std::string error;
    const std::optional<BatchOptions> options = lomitra::parseBatchOptions(args, error);
    if (!options) {
        LOMITRA_FUZZ_CHECK(!error.empty(), "refused without a reason");
        return 0;
    }
    if (options->help || options->version) return 0;  // answered before the other options are checked
    checkAccepted(*options, args);
    const auto ends = std::find(args.begin(), args.end(), std::string("--"));
    if (options->source.size() > 1 && options->source[0] == '-') {
        LOMITRA_FUZZ_CHECK(ends != args.end() && std::find(ends + 1, args.end(), options->source) != args.end(),
                           "a source beginning with '-' without a '--' before it");
    }
    if (ends == args.end()) {
        std::vector<std::string> ended = args;
        ended.emplace_back("--");
        const std::optional<BatchOptions> same = lomitra::parseBatchOptions(ended, error);
        LOMITRA_FUZZ_CHECK(same && same->source == options->source && same->output == options->output &&
                               same->table == options->table && same->threads == options->threads &&
                               same->layout == options->layout && same->fieldNumber == options->fieldNumber &&
                               same->columnStart == options->columnStart &&
                               same->columnLength == options->columnLength,
                           "a '--' at the end changed the options");
    }
    return 0;
}
