// Option parsing of lomitra-batch. Every option maps onto one list position
// of the settings window, so the batch converts exactly as the windows do;
// --from and --to name a pair of systems, which pairSettings maps onto the
// same positions.
#include "batch/batch_options.h"

#include <charconv>
#include <string_view>

#include "core/conversion_state.h"
#include "core/pair_settings.h"
#include "core/texts.h"
#include "lomitra/lomitra.hpp"

namespace lomitra {
namespace {

// Position of `value` in `names`, or -1.
template <std::size_t N>
int32_t positionOf(std::string_view value, const std::array<std::string_view, N>& names) {
    for (std::size_t i = 0; i < N; ++i) {
        if (names[i] == value) return static_cast<int32_t>(i);
    }
    return -1;
}

// A whole decimal number from `low` to `high`, nothing else.
std::optional<int32_t> parseInt(std::string_view text, int32_t low, int32_t high) {
    int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

// Splits "a,b,c" at commas.
std::vector<std::string_view> splitList(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(separator, from);
        parts.push_back(text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
        if (at == std::string_view::npos) break;
        from = at + 1;
    }
    return parts;
}

constexpr std::array<std::string_view, 2> kDirections{"euref-kkj", "kkj-euref"};
constexpr std::array<std::string_view, 2> kKinds{"plane", "geographic"};
constexpr std::array<std::string_view, 3> kSourceZones{"tm34", "tm35", "tm36"};
constexpr std::array<std::string_view, 6> kKkjZones{"own", "1", "2", "3", "4", "5"};
constexpr std::array<std::string_view, 17> kEtrsZones{
    "tm34", "tm35", "tm36", "gk19", "gk20", "gk21", "gk22", "gk23", "gk24",
    "gk25", "gk26", "gk27", "gk28", "gk29", "gk30", "gk31", "gk32"};
constexpr std::array<std::string_view, 3> kFormats{"dd", "dm", "dms"};
constexpr std::array<std::string_view, 3> kEncodings{"auto", "utf-8", "cp1252"};

// The system of --from or --to; nothing, with the reason in `error`, for an unknown name.
std::optional<Crs> systemNamed(std::string_view option, const std::string& name, std::string& error) {
    try {
        return Crs(name);
    } catch (const UnknownCrs&) {
        error = std::string(option) + " " + name + std::string(texts::kBatchUnknownCrs);
        const auto names = Crs::acceptedNames();
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (i > 0) error += ", ";
            error += names[i];
        }
        return std::nullopt;
    }
}

// The settings of --from and --to, or nothing, with the reason in `error`.
std::optional<ConversionSettings> pairOptions(const std::string& from, const std::string& to, std::string& error) {
    const std::optional<Crs> source = systemNamed("--from", from, error);
    if (!source) return std::nullopt;
    const std::optional<Crs> target = systemNamed("--to", to, error);
    if (!target) return std::nullopt;
    error = "--from " + from + " --to " + to;
    switch (engineGap(*source, *target)) {
        case EngineGap::None:
            error.clear();
            return pairSettings(*source, *target);
        case EngineGap::SameDatum:
            error += std::string(texts::kBatchSameDatum1) + (source->datum() == Datum::Kkj ? "KKJ" : "EUREF-FIN") +
                     std::string(texts::kBatchSameDatum2);
            break;
        case EngineGap::TargetOnlySource:
            error += texts::kBatchTargetOnly;
            break;
        case EngineGap::KkjZone0Target:
            error += texts::kBatchKkjZone0Target;
            break;
    }
    return std::nullopt;
}

}  // namespace

std::optional<BatchOptions> parseBatchOptions(const std::vector<std::string>& args,
                                              std::string& error) {
    BatchOptions options;
    // Empty where not given (an empty value is refused).
    std::string direction;
    std::string sourceKind;
    std::string resultKind;
    std::string sourceZone;
    std::string resultZone;
    std::string from;
    std::string to;
    std::string sourceFormat = "dd";
    std::string resultFormat = "dd";
    std::string columns;
    std::string fields;
    std::string threads;
    std::string encoding = "auto";
    bool haveSource = false;

    auto bad = [&](std::string_view what) {
        error = std::string(texts::kBatchBadOption) + " " + std::string(what);
        return std::nullopt;
    };

    bool optionsEnded = false;  // after "--" every word is the source
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (!optionsEnded && args[i] == "--") {
            optionsEnded = true;
            continue;
        }
        if (args[i].empty()) return bad("LÄHDE: " + std::string(texts::kEmptyFileName));
        if (optionsEnded || args[i] == "-" || args[i][0] != '-') {
            if (haveSource) return bad(args[i]);
            options.source = args[i];
            haveSource = true;
            continue;
        }
        std::string name = args[i];
        std::optional<std::string> inlineValue;
        if (name.rfind("--", 0) == 0) {
            const std::size_t eq = name.find('=');
            if (eq != std::string::npos) {
                inlineValue = name.substr(eq + 1);
                name.resize(eq);
            }
        }
        if (name == "-h" || name == "--help") {
            options.help = true;
            return options;
        }
        if (name == "--version") {
            options.version = true;
            return options;
        }
        std::string* target = nullptr;
        if (name == "--direction") target = &direction;
        else if (name == "--source") target = &sourceKind;
        else if (name == "--result") target = &resultKind;
        else if (name == "--source-zone") target = &sourceZone;
        else if (name == "--result-zone") target = &resultZone;
        else if (name == "--from") target = &from;
        else if (name == "--to") target = &to;
        else if (name == "--source-format") target = &sourceFormat;
        else if (name == "--result-format") target = &resultFormat;
        else if (name == "--columns") target = &columns;
        else if (name == "--fields") target = &fields;
        else if (name == "-o" || name == "--output") target = &options.output;
        else if (name == "--table") target = &options.table;
        else if (name == "--threads") target = &threads;
        else if (name == "--encoding") target = &encoding;
        else return bad(args[i]);
        if (inlineValue) {
            *target = *inlineValue;
        } else {
            if (i + 1 >= args.size()) return bad(name + ": " + std::string(texts::kBatchValueMissing));
            *target = args[++i];
        }
        if (target->empty()) {
            const bool fileName = target == &options.output || target == &options.table;
            return bad(name + ": " + std::string(fileName ? texts::kEmptyFileName : texts::kBatchValueMissing));
        }
    }

    ConversionSettings& s = options.settings;
    if (!from.empty() || !to.empty()) {
        if (from.empty() || to.empty()) return bad(texts::kBatchFromToTogether);
        const std::pair<std::string_view, const std::string*> replaced[] = {
            {"--direction", &direction}, {"--source", &sourceKind}, {"--result", &resultKind},
            {"--source-zone", &sourceZone}, {"--result-zone", &resultZone}};
        for (const auto& [option, value] : replaced) {
            if (!value->empty()) return bad(std::string(option) + std::string(texts::kBatchFromToReplace));
        }
        std::string why;
        const std::optional<ConversionSettings> pair = pairOptions(from, to, why);
        if (!pair) return bad(why);
        s = *pair;
    } else {
        s.direction = positionOf(direction.empty() ? "euref-kkj" : direction, kDirections);
        if (s.direction < 0) return bad("--direction " + direction);
        s.sourceKind = positionOf(sourceKind.empty() ? "plane" : sourceKind, kKinds);
        if (s.sourceKind < 0) return bad("--source " + sourceKind);
        s.resultKind = positionOf(resultKind.empty() ? "plane" : resultKind, kKinds);
        if (s.resultKind < 0) return bad("--result " + resultKind);
        if (s.eurefToKkj()) {
            s.sourceZone = positionOf(sourceZone.empty() ? "tm35" : sourceZone, kSourceZones);
            if (s.sourceZone < 0) return bad("--source-zone " + sourceZone);
            s.resultZone = positionOf(resultZone.empty() ? "own" : resultZone, kKkjZones);
            if (s.resultZone < 0) return bad("--result-zone " + resultZone);
        } else {
            // In this direction the KKJ source zone is read from the east value: no choice.
            if (!sourceZone.empty()) return bad("--source-zone " + sourceZone);
            s.sourceZone = 0;
            s.resultZone = positionOf(resultZone.empty() ? "tm35" : resultZone, kEtrsZones);
            if (s.resultZone < 0) return bad("--result-zone " + resultZone);
        }
    }
    s.sourceFormat = positionOf(sourceFormat, kFormats);
    if (s.sourceFormat < 0) return bad("--source-format " + sourceFormat);
    s.resultFormat = positionOf(resultFormat, kFormats);
    if (s.resultFormat < 0) return bad("--result-format " + resultFormat);

    if (columns.empty() == fields.empty()) return bad("--columns / --fields");
    if (!columns.empty()) {
        options.layout = LineLayout::FixedColumns;
        const auto items = splitList(columns, ',');
        if (items.size() < 2 || items.size() > 3) return bad("--columns " + columns);
        for (std::size_t k = 0; k < items.size(); ++k) {
            const auto pair = splitList(items[k], ':');
            if (pair.size() != 2) return bad("--columns " + columns);
            const auto start = parseInt(pair[0], 1, INT32_MAX);
            const auto length = parseInt(pair[1], 1, INT32_MAX);
            if (!start || !length) return bad("--columns " + columns);
            options.columnStart[k] = *start;
            options.columnLength[k] = *length;
        }
    } else {
        options.layout = LineLayout::FreeFormat;
        const auto items = splitList(fields, ',');
        if (items.size() < 2 || items.size() > 3) return bad("--fields " + fields);
        for (std::size_t k = 0; k < items.size(); ++k) {
            const auto number = parseInt(items[k], 1, kMaxFields);
            if (!number) return bad("--fields " + fields);
            options.fieldNumber[k] = *number - 1;
        }
        // The identifier counts as marked when it has a field.
        options.columnLength[2] = items.size() == 3 ? 1 : 0;
    }

    if (!threads.empty()) {
        const auto count = parseInt(threads, 1, kBatchMaxThreads);
        if (!count) return bad("--threads " + threads);
        options.threads = *count;
    }

    switch (positionOf(encoding, kEncodings)) {
        case 0:
            break;
        case 1:
            options.encoding = TextEncoding::Utf8;
            break;
        case 2:
            options.encoding = TextEncoding::Cp1252;
            break;
        default:
            return bad("--encoding " + encoding);
    }

    if (!haveSource) return bad("LÄHDE puuttuu");
    return options;
}

}  // namespace lomitra
