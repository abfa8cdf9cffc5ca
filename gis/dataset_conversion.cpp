#include "gis/dataset_conversion.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <memory>
#include <optional>

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include "platform/native_file.h"
#include "platform/safe_file_writer.h"
#include "platform/system_error_text.h"
#include "core/texts.h"
#include "gis/crs_recognition.h"
#include "gis/temporary_dataset.h"

namespace lomitra::gis {
namespace {

constexpr int64_t kFeaturesPerTransaction = 100'000;

std::string str(std::string_view text) { return std::string(text); }


// GDAL's messages while lomitra-gis runs: the last failure is kept for the
// error text; warnings (a field name shortened for a Shapefile, say) go into
// the summary, so that nothing changes unnoticed.
class GdalMessages {
public:
    explicit GdalMessages(GisSummary& summary) : summary_(summary) { CPLPushErrorHandlerEx(&onMessage, this); }
    ~GdalMessages() { CPLPopErrorHandler(); }
    GdalMessages(const GdalMessages&) = delete;
    GdalMessages& operator=(const GdalMessages&) = delete;

    // The last failure since reset(), "" if none.
    const std::string& failure() const { return failure_; }
    void reset() { failure_.clear(); }

private:
    static void CPL_STDCALL onMessage(CPLErr kind, CPLErrorNum, const char* message) {
        auto* self = static_cast<GdalMessages*>(CPLGetErrorHandlerUserData());
        const std::string text = message != nullptr ? message : "";
        if (kind >= CE_Failure) {
            self->failure_ = text;
        } else if (kind == CE_Warning && self->summary_.warnings.size() < GisSummary::kListedWarnings) {
            self->summary_.warnings.push_back(text);
        }
    }

    GisSummary& summary_;
    std::string failure_;
};

struct CloseDataset {
    void operator()(GDALDataset* dataset) const { GDALClose(GDALDataset::ToHandle(dataset)); }
};
using DatasetPtr = std::unique_ptr<GDALDataset, CloseDataset>;

// "NAME=VALUE" options as GDAL's list of strings.
class OptionList {
public:
    explicit OptionList(const std::vector<std::string>& options) {
        for (const std::string& option : options) list_ = CSLAddString(list_, option.c_str());
    }
    ~OptionList() { CSLDestroy(list_); }
    OptionList(const OptionList&) = delete;
    OptionList& operator=(const OptionList&) = delete;
    void set(const char* name, const char* value) {
        if (CSLFetchNameValue(list_, name) == nullptr) list_ = CSLSetNameValue(list_, name, value);
    }
    char** get() const { return list_; }

private:
    char** list_ = nullptr;
};

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool driverHas(GDALDriver* driver, const char* capability) {
    return CPLTestBool(CSLFetchNameValueDef(driver->GetMetadata(), capability, "NO"));
}

// The driver that writes `destination`: -f, or the first vector driver that
// creates datasets with the destination's extension, as ogr2ogr chooses.
GDALDriver* destinationDriver(const GisOptions& options, std::string& error) {
    GDALDriverManager* drivers = GetGDALDriverManager();
    if (!options.driver.empty()) {
        GDALDriver* driver = drivers->GetDriverByName(options.driver.c_str());
        if (driver == nullptr || !driverHas(driver, GDAL_DCAP_VECTOR) || !driverHas(driver, GDAL_DCAP_CREATE)) {
            error = str(texts::kGisUnknownDriver) + " " + options.driver;
            return nullptr;
        }
        return driver;
    }
    const std::string extension = lower(CPLGetExtension(options.destination.c_str()));
    if (!extension.empty()) {
        for (int i = 0; i < drivers->GetDriverCount(); ++i) {
            GDALDriver* driver = drivers->GetDriver(i);
            if (!driverHas(driver, GDAL_DCAP_VECTOR) || !driverHas(driver, GDAL_DCAP_CREATE)) continue;
            const char* extensions = driver->GetMetadataItem(GDAL_DMD_EXTENSIONS);
            if (extensions == nullptr) continue;
            const CPLStringList list(CSLTokenizeString(extensions));
            for (int j = 0; j < list.size(); ++j) {
                if (lower(list[j]) == extension) return driver;
            }
        }
    }
    error = str(texts::kGisNoDriver) + " " + options.destination;
    return nullptr;
}

// Whether `name` matches `pattern` as GDAL's CSV driver matches its
// X_POSSIBLE_NAMES: letters in either case, "*" at either end for any text.
bool matchesPattern(const std::string& name, std::string pattern) {
    std::string n = lower(name);
    pattern = lower(pattern);
    const bool anyBefore = !pattern.empty() && pattern.front() == '*';
    if (anyBefore) pattern.erase(0, 1);
    const bool anyAfter = !pattern.empty() && pattern.back() == '*';
    if (anyAfter) pattern.pop_back();
    if (anyBefore && anyAfter) return n.find(pattern) != std::string::npos;
    if (anyBefore) return n.size() >= pattern.size() && n.compare(n.size() - pattern.size(), pattern.size(), pattern) == 0;
    if (anyAfter) return n.rfind(pattern, 0) == 0;
    return n == pattern;
}

// The first field of `definition` that one of the comma-separated names of
// the open option `option` matches, or -1.
int fieldByOpenOption(const OGRFeatureDefn& definition, const std::vector<std::string>& openOptions,
                      const char* option) {
    const OptionList list(openOptions);
    const char* names = CSLFetchNameValue(list.get(), option);
    if (names == nullptr) return -1;
    const CPLStringList patterns(CSLTokenizeString2(names, ",", 0));
    for (int i = 0; i < definition.GetFieldCount(); ++i) {
        for (int j = 0; j < patterns.size(); ++j) {
            if (matchesPattern(definition.GetFieldDefn(i)->GetNameRef(), patterns[j])) return i;
        }
    }
    return -1;
}

// "Tunnetut nimet: ETRS-TM35FIN, ..." (the systems' own names; EPSG codes are accepted too).
std::string knownNames() {
    std::string text = str(texts::kGisKnownNames);
    bool first = true;
    for (const std::string_view name : Crs::acceptedNames()) {
        if (name.starts_with("EPSG:")) continue;
        text += (first ? " " : ", ") + std::string(name);
        first = false;
    }
    return text + str(texts::kGisKnownNamesEnd);
}

// One layer to convert.
struct LayerPlan {
    OGRLayer* source = nullptr;
    std::vector<Crs> systems;  // the source system of each geometry field
    bool curves = false;       // a geometry field of a curved type
    // Fields that a CSV source reads its geometry from, which get the
    // converted values too: the X and Y columns of its points, or its WKT
    // column (-1: none).
    int xField = -1;
    int yField = -1;
    int wktField = -1;
};

std::string featureName(const std::string& layer, int64_t fid) {
    return str(texts::kGisLayer) + layer + str(texts::kGisFeature) + std::to_string(fid);
}

// The shortest text that reads back as the same double.
std::string exact(double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

class Run {
public:
    Run(const GisOptions& options, GisSummary& summary, std::string& error, ProgressLine& progress)
        : options_(options), summary_(summary), error_(error), progress_(progress), messages_(summary) {}

    int run();

private:
    int usage(std::string text) {
        error_ = std::move(text);
        return kGisUsageError;
    }
    int fileError(std::string text) {
        error_ = std::move(text);
        return kGisFileError;
    }
    // The GDAL failure as the reason of a write error.
    int writeError(std::string_view what) {
        std::string reason = str(what);
        if (!messages_.failure().empty()) reason += (reason.empty() ? "" : ": ") + messages_.failure();
        std::string text = str(texts::kGisNotWritten) + " " + options_.destination;
        return fileError(reason.empty() ? text : text + " (" + reason + ")");
    }
    bool planLayers();
    int checkDestination();
    bool writeLayer(GDALDataset& target, const LayerPlan& plan, TemporaryDataset& output);
    int64_t featureTotal() const;

    const GisOptions& options_;
    GisSummary& summary_;
    std::string& error_;
    ProgressLine& progress_;
    int64_t featuresRead_ = 0;  // of the whole run, for the progress line
    GdalMessages messages_;
    DatasetPtr source_;
    GDALDriver* driver_ = nullptr;
    std::optional<Crs> target_;
    std::optional<OGRSpatialReference> targetReference_;
    std::vector<LayerPlan> plans_;
    int status_ = kGisOk;
};

bool Run::planLayers() {
    std::vector<OGRLayer*> layers;
    if (options_.layers.empty()) {
        for (int i = 0; i < source_->GetLayerCount(); ++i) layers.push_back(source_->GetLayer(i));
    }
    for (const std::string& name : options_.layers) {
        OGRLayer* layer = source_->GetLayerByName(name.c_str());
        if (layer == nullptr) {
            status_ = fileError(str(texts::kGisNoSuchLayer) + " " + name);
            return false;
        }
        layers.push_back(layer);
    }
    if (layers.empty()) {
        status_ = fileError(str(texts::kGisNoLayers) + " " + options_.source);
        return false;
    }
    std::optional<Crs> from;
    if (!options_.from.empty()) {
        try {
            from = Crs(options_.from);
        } catch (const UnknownCrs&) {
            status_ = usage(str(texts::kGisUnknownCrs) + " " + options_.from + ". " + knownNames());
            return false;
        }
        if (from->targetOnly()) {
            status_ = usage(str(texts::kGisSourceOnlyTarget));
            return false;
        }
    }
    const bool csv = EQUAL(source_->GetDriverName(), "CSV");
    for (OGRLayer* layer : layers) {
        LayerPlan plan;
        plan.source = layer;
        OGRFeatureDefn* definition = layer->GetLayerDefn();
        for (int g = 0; g < definition->GetGeomFieldCount(); ++g) {
            const OGRGeomFieldDefn* field = definition->GetGeomFieldDefn(g);
            plan.curves = plan.curves || OGR_GT_IsNonLinear(field->GetType());
            if (from) {
                plan.systems.push_back(*from);
                continue;
            }
            const OGRSpatialReference* reference = field->GetSpatialRef();
            if (reference == nullptr) {
                status_ = usage(str(texts::kGisNoCrs1) + layer->GetName() + str(texts::kGisNoCrs2));
                return false;
            }
            const std::optional<Crs> system = recognise(*reference);
            if (!system) {
                status_ = usage(str(texts::kGisCrsNotRecognised1) + layer->GetName() +
                                str(texts::kGisCrsNotRecognised2) + describe(*reference) +
                                str(texts::kGisCrsNotRecognised3));
                return false;
            }
            if (system->targetOnly()) {
                status_ = usage(str(texts::kGisSourceOnlyTarget));
                return false;
            }
            plan.systems.push_back(*system);
        }
        if (csv) {
            plan.xField = fieldByOpenOption(*definition, options_.openOptions, "X_POSSIBLE_NAMES");
            plan.yField = fieldByOpenOption(*definition, options_.openOptions, "Y_POSSIBLE_NAMES");
            if (plan.xField < 0 || plan.yField < 0) plan.xField = plan.yField = -1;
            plan.wktField = fieldByOpenOption(*definition, options_.openOptions, "GEOM_POSSIBLE_NAMES");
            if (plan.wktField < 0) plan.wktField = definition->GetFieldIndex("WKT");
            if (definition->GetGeomFieldCount() == 0) plan.wktField = -1;
        }
        plans_.push_back(std::move(plan));
    }
    return true;
}

int Run::checkDestination() {
    const std::string driverName = driver_->GetDescription();
    const bool oneShapefile =
        driverName == "ESRI Shapefile" && lower(CPLGetExtension(options_.destination.c_str())) == "shp";
    if (plans_.size() > 1 && (oneShapefile || !driverHas(driver_, GDAL_DCAP_MULTIPLE_VECTOR_LAYERS))) {
        return usage(str(texts::kGisOneLayerOnly1) + driverName + str(texts::kGisOneLayerOnly2));
    }
    if (!options_.linearize && !driverHas(driver_, GDAL_DCAP_CURVE_GEOMETRIES)) {
        for (const LayerPlan& plan : plans_) {
            if (plan.curves) {
                return usage(str(texts::kGisCurves1) + driverName + str(texts::kGisCurves2) +
                             plan.source->GetName() + str(texts::kGisCurves3));
            }
        }
    }
    if (!options_.statusField.empty()) {
        for (const LayerPlan& plan : plans_) {
            if (plan.source->GetLayerDefn()->GetFieldIndex(options_.statusField.c_str()) >= 0) {
                return usage(str(texts::kGisBadOption) + " --status-field: " + str(texts::kGisStatusFieldTaken) +
                             " " + options_.statusField);
            }
        }
    }
    if (isFolder(options_.destination)) {
        return fileError(str(texts::kGisNotWritten) + " " + options_.destination + " (" + systemErrorText(EISDIR) + ")");
    }
    if (sameOutputFile(options_.source, options_.destination)) {
        return usage(str(texts::kGisSameAsSource) + " " + options_.destination);
    }
    for (const char* journal : {"-journal", "-wal"}) {
        if (regularFileSize(options_.destination + journal) >= 0) {
            return fileError(str(texts::kGisDestinationInUse) + " " + options_.destination + journal + ")");
        }
    }
    return kGisOk;
}

int64_t Run::featureTotal() const {
    int64_t total = 0;
    for (const LayerPlan& plan : plans_) {
        const GIntBig count = plan.source->GetFeatureCount(FALSE);
        if (count < 0) return -1;
        total += count;
    }
    return total;
}

bool Run::writeLayer(GDALDataset& target, const LayerPlan& plan, TemporaryDataset& temporary) {
    OGRLayer& source = *plan.source;
    OGRFeatureDefn* sourceDefinition = source.GetLayerDefn();
    const int geometryFields = sourceDefinition->GetGeomFieldCount();
    const bool curvesKept = driverHas(driver_, GDAL_DCAP_CURVE_GEOMETRIES);

    // The layer: its name, first geometry field, target system and the ids' column.
    OptionList layerOptions(options_.layerOptions);
    const char* creationList = driver_->GetMetadataItem(GDAL_DS_LAYER_CREATIONOPTIONLIST);
    auto driverTakes = [creationList](const char* option) {
        return creationList != nullptr && std::strstr(creationList, (std::string("name='") + option + "'").c_str());
    };
    if (*source.GetFIDColumn() != '\0' && driverTakes("FID")) layerOptions.set("FID", source.GetFIDColumn());
    // A Shapefile's texts in UTF-8 (with a .cpg that says so): every character
    // survives, where GDAL's default code page would lose those beyond Latin-1.
    if (EQUAL(driver_->GetDescription(), "ESRI Shapefile") && driverTakes("ENCODING")) {
        layerOptions.set("ENCODING", "UTF-8");
    }
    if (geometryFields > 0 && *source.GetGeometryColumn() != '\0' && driverTakes("GEOMETRY_NAME")) {
        layerOptions.set("GEOMETRY_NAME", source.GetGeometryColumn());
    }
    auto outputType = [&](OGRwkbGeometryType type) {
        return curvesKept ? type : OGR_GT_GetLinear(type);
    };
    OGRwkbGeometryType firstType = wkbNone;
    if (geometryFields > 0) firstType = outputType(sourceDefinition->GetGeomFieldDefn(0)->GetType());
    messages_.reset();
    OGRLayer* layer = target.CreateLayer(source.GetName(), geometryFields > 0 ? &*targetReference_ : nullptr,
                                         firstType, layerOptions.get());
    if (layer == nullptr) {
        status_ = writeError(texts::kGisLayerNotCreated);
        return false;
    }
    temporary.registerFiles();  // the files the layer made, before any feature goes in
    for (int g = 1; g < geometryFields; ++g) {
        OGRGeomFieldDefn field(sourceDefinition->GetGeomFieldDefn(g));
        field.SetType(outputType(field.GetType()));
        field.SetSpatialRef(&*targetReference_);
        if (layer->CreateGeomField(&field) != OGRERR_NONE) {
            status_ = writeError(texts::kGisLayerNotCreated);
            return false;
        }
    }
    // GDAL's CSV writer gives a real number 15 digits: the X and Y columns go
    // to a CSV as the shortest text that reads back as the same double.
    const bool csvTarget = EQUAL(driver_->GetDescription(), "CSV");
    for (int i = 0; i < sourceDefinition->GetFieldCount(); ++i) {
        OGRFieldDefn field(sourceDefinition->GetFieldDefn(i));
        if (csvTarget && (i == plan.xField || i == plan.yField)) field.SetType(OFTString);
        if (layer->CreateField(&field, TRUE) != OGRERR_NONE ||
            layer->GetLayerDefn()->GetFieldCount() != i + 1) {
            status_ = writeError(str(texts::kGisFieldNotCreated) + " " + sourceDefinition->GetFieldDefn(i)->GetNameRef());
            return false;
        }
    }
    const int statusField = options_.statusField.empty() ? -1 : sourceDefinition->GetFieldCount();
    if (statusField >= 0) {
        OGRFieldDefn field(options_.statusField.c_str(), OFTInteger);
        if (layer->CreateField(&field) != OGRERR_NONE || layer->GetLayerDefn()->GetFieldCount() != statusField + 1) {
            status_ = writeError(str(texts::kGisFieldNotCreated) + " " + options_.statusField);
            return false;
        }
    }
    const bool keepIds = *layer->GetFIDColumn() != '\0';
    ++summary_.layers;

    std::vector<std::unique_ptr<LomitraTransformation>> transformations;
    for (int g = 0; g < geometryFields; ++g) {
        transformations.push_back(std::make_unique<LomitraTransformation>(
            plan.systems[static_cast<std::size_t>(g)], *target_, *outputReference(plan.systems[static_cast<std::size_t>(g)]),
            *targetReference_));
    }
    std::vector<int> fieldMap(static_cast<std::size_t>(sourceDefinition->GetFieldCount()));
    for (std::size_t i = 0; i < fieldMap.size(); ++i) fieldMap[i] = static_cast<int>(i);

    const bool transactions = target.TestCapability(ODsCTransactions) != 0;
    int64_t inTransaction = 0;
    if (transactions) target.StartTransaction();
    source.ResetReading();
    for (;;) {
        const OGRFeatureUniquePtr feature(source.GetNextFeature());
        if (!feature) break;
        OGRFeature output(layer->GetLayerDefn());
        output.SetFieldsFrom(feature.get(), fieldMap.data(), TRUE);
        VertexTally tally;
        std::string_view leftOut;
        for (int g = 0; g < geometryFields; ++g) {
            std::unique_ptr<OGRGeometry> geometry(feature->StealGeometry(g));
            if (!geometry) continue;
            if (!curvesKept && geometry->hasCurveGeometry()) {
                if (!options_.linearize) {
                    leftOut = texts::kGisReasonCurve;
                    continue;
                }
                geometry.reset(geometry->getLinearGeometry());
            }
            LomitraTransformation& transformation = *transformations[static_cast<std::size_t>(g)];
            transformation.resetTally();
            geometry->transform(&transformation);
            tally += transformation.tally();
            if (g == 0 && wkbFlatten(geometry->getGeometryType()) == wkbPoint && plan.xField >= 0) {
                const auto* point = geometry->toPoint();
                output.SetField(plan.xField, exact(point->getX()).c_str());
                output.SetField(plan.yField, exact(point->getY()).c_str());
            }
            if (g == 0 && plan.wktField >= 0) {
                OGRWktOptions wkt;  // ISO WKT (Z and M kept), every bit of each number
                wkt.variant = wkbVariantIso;
                wkt.precision = 17;
                wkt.round = false;
                wkt.format = OGRWktFormat::G;
                output.SetField(plan.wktField, geometry->exportToWkt(wkt).c_str());
            }
            output.SetGeomFieldDirectly(g, geometry.release());
        }
        if (tally.notConverted > 0) leftOut = texts::kGisReasonNotConverted;
        if (!leftOut.empty()) {
            if (summary_.leftOut.size() < GisSummary::kListedLeftOut) {
                summary_.leftOut.push_back({source.GetName(), feature->GetFID(), leftOut});
            }
            ++summary_.leftOutCount;
            progress_.lineRead(++featuresRead_);
            continue;
        }
        if (statusField >= 0) output.SetField(statusField, tally.outside > 0 ? 1 : 0);
        if (keepIds) output.SetFID(feature->GetFID());
        messages_.reset();
        if (layer->CreateFeature(&output) != OGRERR_NONE) {
            status_ = writeError(str(texts::kGisFeatureNotWritten) + " " + featureName(source.GetName(), feature->GetFID()));
            return false;
        }
        summary_.vertices += tally;
        ++summary_.features;
        if (tally.outside > 0 && summary_.helmertFeatures++ == 0) {
            summary_.firstHelmert = featureName(source.GetName(), feature->GetFID());
        }
        progress_.lineRead(++featuresRead_);
        if (transactions && ++inTransaction == kFeaturesPerTransaction) {
            inTransaction = 0;
            if (target.CommitTransaction() != OGRERR_NONE) {
                status_ = writeError(texts::kGisFeatureNotWritten);
                return false;
            }
            target.StartTransaction();
        }
    }
    if (transactions && target.CommitTransaction() != OGRERR_NONE) {
        status_ = writeError(texts::kGisFeatureNotWritten);
        return false;
    }
    return true;
}

int Run::run() {
    try {
        target_ = Crs(options_.to);
    } catch (const UnknownCrs&) {
        return usage(str(texts::kGisUnknownCrs) + " " + options_.to + ". " + knownNames());
    }
    targetReference_ = outputReference(*target_);
    if (!targetReference_) return usage(str(texts::kGisTargetOwnZone));

    GDALAllRegister();
    const OptionList openOptions(options_.openOptions);
    source_.reset(GDALDataset::Open(options_.source.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr,
                                    openOptions.get(), nullptr));
    if (!source_) {
        std::string text = str(texts::kGisSourceNotOpened) + " " + options_.source;
        if (!messages_.failure().empty()) text += " (" + messages_.failure() + ")";
        return fileError(text);
    }
    if (!planLayers()) return status_;
    driver_ = destinationDriver(options_, error_);
    if (driver_ == nullptr) return kGisUsageError;
    if (const int checked = checkDestination(); checked != kGisOk) return checked;

    TemporaryDataset output(options_.destination);
    if (output.destinationExists() && !options_.overwrite) {
        return usage(str(texts::kGisDestinationExists) + " " + options_.destination);
    }
    std::string reason;
    if (!output.create(reason)) {
        return fileError(str(texts::kGisNotWritten) + " " + options_.destination + " (" + reason + ")");
    }
    progress_.setTotal(featureTotal());
    {
        const OptionList datasetOptions(options_.datasetOptions);
        messages_.reset();
        DatasetPtr target(driver_->Create(output.path().c_str(), 0, 0, 0, GDT_Unknown, datasetOptions.get()));
        if (!target) return writeError("");
        output.registerFiles();
        for (const LayerPlan& plan : plans_) {
            if (!writeLayer(*target, plan, output)) return status_;
        }
        messages_.reset();
        target.reset();  // closes: the rest goes out, indexes are built
        if (!messages_.failure().empty()) return writeError("");
    }
    progress_.clear();
    if (!output.commit(reason)) {
        return fileError(str(texts::kGisNotWritten) + " " + options_.destination + " (" + reason + ")");
    }
    return summary_.leftOutCount > 0 ? kGisLeftOut : kGisOk;
}

}  // namespace

int runGis(const GisOptions& options, GisSummary& summary, std::string& error, ProgressLine& progress) {
    Run run(options, summary, error, progress);
    return run.run();
}

std::string summaryText(const GisSummary& summary) {
    std::string text = str(texts::kGisLayers) + groupedDigits(summary.layers) + str(texts::kGisFeatures) +
                       groupedDigits(summary.features) + str(texts::kGisVertices) +
                       groupedDigits(summary.vertices.total());
    text += "\n" + str(texts::kGisInsideNetwork) + groupedDigits(summary.vertices.inside) +
            str(texts::kGisOutsideNetwork) + groupedDigits(summary.vertices.outside) +
            str(texts::kGisOutsideNetworkAccuracy);
    if (summary.helmertFeatures > 0) {
        text += "\n" + str(texts::kGisHelmertFeatures1) + groupedDigits(summary.helmertFeatures) +
                str(texts::kGisHelmertFeatures2) + summary.firstHelmert;
    }
    if (summary.leftOutCount > 0) {
        text += "\n" + str(texts::kGisLeftOut1) + groupedDigits(summary.leftOutCount) + str(texts::kGisLeftOut2);
        for (const LeftOutFeature& feature : summary.leftOut) {
            text += "\n  " + featureName(feature.layer, feature.fid) + ": " + str(feature.reason);
        }
        const auto listed = static_cast<int64_t>(summary.leftOut.size());
        if (summary.leftOutCount > listed) {
            text += "\n" + str(texts::kGisLeftOutMore1) + groupedDigits(summary.leftOutCount - listed) +
                    str(texts::kGisLeftOutMore2);
        }
    }
    for (const std::string& warning : summary.warnings) text += "\nGDAL: " + warning;
    return text;
}

int gisMain(const std::vector<std::string>& args, std::FILE* err) {
    std::string error;
    const std::optional<GisOptions> options = parseGisOptions(args, error);
    if (!options) {
        std::fprintf(err, "%s\n%s", error.c_str(), texts::kGisUsage.data());
        return kGisUsageError;
    }
    if (options->help) {
        std::fputs(texts::kGisUsage.data(), stdout);
        return kGisOk;
    }
    if (options->version) {
        std::printf("lomitra-gis %s (GDAL %s)\n", LOMITRA_VERSION, GDALVersionInfo("RELEASE_NAME"));
        return kGisOk;
    }
    GisSummary summary;
    ProgressLine progress(err, !options->quiet && isTerminal(err), -1, ProgressLine::steadyClock(),
                          texts::kGisProgressFeatures);
    const int status = runGis(*options, summary, error, progress);
    progress.clear();
    if (status == kGisFileError || status == kGisUsageError) {
        std::fprintf(err, "%s\n%s\n", error.c_str(), texts::kNothingWasWritten.data());
    } else if (!options->quiet || status != kGisOk) {
        std::fprintf(err, "%s\n", summaryText(summary).c_str());
    } else {
        // Quiet, but what GDAL changed on the way (a field's name, say) is still told.
        for (const std::string& warning : summary.warnings) std::fprintf(err, "GDAL: %s\n", warning.c_str());
    }
    return status;
}

}  // namespace lomitra::gis
