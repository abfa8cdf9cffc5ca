// The run of lomitra-gis: every chosen layer of the source dataset, feature
// by feature, into a new dataset of the target system, written beside the
// destination and put in its place only when complete (TemporaryDataset).
//
// A feature's attributes go over as they are (fields, their types and order,
// and its id where the format stores ids); its geometries are converted
// vertex by vertex by LomitraTransformation through OGR's own geometry code,
// so every geometry type keeps its shape, curves theirs where the format has
// curves, and Z and M values pass unchanged. A feature with a vertex that
// cannot be converted (outside the accepted area) is left out and listed.
//
// The features stream: one at a time in memory, many to a transaction, so
// memory does not grow with the size of the dataset.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/progress_line.h"
#include "gis/gis_options.h"
#include "gis/lomitra_transformation.h"

namespace lomitra::gis {

// Exit statuses of lomitra-gis (as lomitra-batch's where they mean the same).
inline constexpr int kGisOk = 0;
inline constexpr int kGisFileError = 1;   // nothing written
inline constexpr int kGisUsageError = 2;  // a bad option or an unknown system: nothing written
inline constexpr int kGisLeftOut = 3;     // written, but features left out

struct LeftOutFeature {
    std::string layer;
    int64_t fid = 0;
    std::string_view reason;  // texts::kGisReason...
};

struct GisSummary {
    int64_t layers = 0;
    int64_t features = 0;       // written
    VertexTally vertices;       // of the features written (a ring's closing vertex counts)
    int64_t helmertFeatures = 0;  // written features with a vertex by Helmert
    std::string firstHelmert;   // "taso parcels, kohde 5"
    int64_t leftOutCount = 0;
    std::vector<LeftOutFeature> leftOut;  // the first kListedLeftOut of them
    std::vector<std::string> warnings;    // GDAL's own (English), the first kListedWarnings

    static constexpr std::size_t kListedLeftOut = 100;
    static constexpr std::size_t kListedWarnings = 20;
};

// Converts options.source into options.destination. Returns one of the
// statuses above; on kGisFileError or kGisUsageError a Finnish reason (UTF-8)
// is in `error` and nothing was written. `progress` hears of every feature
// read, its total set to the features of the chosen layers.
int runGis(const GisOptions& options, GisSummary& summary, std::string& error, ProgressLine& progress);

// The whole program: parses `args` (without the program name), runs, and
// writes the summary, the usage text or the error to `err`.
int gisMain(const std::vector<std::string>& args, std::FILE* err);

// The summary (UTF-8, lines separated by "\n", no final line end).
std::string summaryText(const GisSummary& summary);

}  // namespace lomitra::gis
