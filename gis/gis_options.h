// The command line of lomitra-gis.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lomitra::gis {

struct GisOptions {
    std::string source;       // a dataset GDAL opens (a file, a folder)
    std::string destination;  // the dataset written
    std::string to;           // --to: the target system's name (lomitra::Crs)
    std::string from;         // --from: the source system's name; empty: the dataset's own
    std::string driver;       // -f: GDAL's short name; empty: from the destination's extension
    std::vector<std::string> layers;            // --layer, in the order given; empty: all
    std::vector<std::string> openOptions;       // -oo NAME=VALUE, the source's
    std::vector<std::string> datasetOptions;    // -dsco NAME=VALUE
    std::vector<std::string> layerOptions;      // -lco NAME=VALUE
    std::string statusField;  // --status-field; empty: none
    bool overwrite = false;   // --overwrite
    bool linearize = false;   // --linearize: curves to line strings where the format has none
    bool quiet = false;       // -q: no summary, no progress
    bool help = false;
    bool version = false;
};

// Reads the arguments (without the program name). On a bad option returns
// nothing and puts a one-line reason (UTF-8) into `error`.
std::optional<GisOptions> parseGisOptions(const std::vector<std::string>& args, std::string& error);

}  // namespace lomitra::gis
