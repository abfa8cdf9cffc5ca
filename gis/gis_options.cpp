#include "gis/gis_options.h"

#include <string_view>

#include "core/texts.h"

namespace lomitra::gis {

std::optional<GisOptions> parseGisOptions(const std::vector<std::string>& args, std::string& error) {
    GisOptions options;
    std::vector<std::string> names;
    auto bad = [&error](std::string_view option, std::string_view reason) {
        error = std::string(texts::kGisBadOption) + " " + std::string(option) + ": " + std::string(reason);
        return std::nullopt;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // Options that take a value, and where it goes.
        std::string* value = nullptr;
        std::vector<std::string>* values = nullptr;
        bool nameValue = false;
        if (arg == "--to") value = &options.to;
        else if (arg == "--from") value = &options.from;
        else if (arg == "-f") value = &options.driver;
        else if (arg == "--status-field") value = &options.statusField;
        else if (arg == "-l" || arg == "--layer") values = &options.layers;
        else if (arg == "-oo") values = &options.openOptions, nameValue = true;
        else if (arg == "-dsco") values = &options.datasetOptions, nameValue = true;
        else if (arg == "-lco") values = &options.layerOptions, nameValue = true;
        if (value != nullptr || values != nullptr) {
            if (i + 1 >= args.size() || args[i + 1].empty()) return bad(arg, texts::kGisValueMissing);
            const std::string& given = args[++i];
            if (nameValue && given.find('=') == std::string::npos) return bad(arg, texts::kGisNotNameValue);
            if (value != nullptr) *value = given;
            else values->push_back(given);
            continue;
        }
        if (arg == "--overwrite") options.overwrite = true;
        else if (arg == "--linearize") options.linearize = true;
        else if (arg == "-q" || arg == "--quiet") options.quiet = true;
        else if (arg == "-h" || arg == "--help") options.help = true;
        else if (arg == "--version") options.version = true;
        else if (arg.size() > 1 && arg[0] == '-') return bad(arg, texts::kGisUnknownOption);
        else names.push_back(arg);
    }
    if (options.help || options.version) return options;
    if (names.size() > 2) return bad(names[2], texts::kGisTooManyNames);
    if (names.size() < 2) {
        error = std::string(texts::kGisBadOption) + " " + std::string(texts::kGisNamesMissing);
        return std::nullopt;
    }
    if (options.to.empty()) {
        error = std::string(texts::kGisBadOption) + " " + std::string(texts::kGisTargetMissing);
        return std::nullopt;
    }
    options.source = names[0];
    options.destination = names[1];
    return options;
}

}  // namespace lomitra::gis
