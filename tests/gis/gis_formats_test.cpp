// lomitra-gis over the formats it supports, each row a dataset made here with
// GDAL: every vertex against the library's array call, bit for bit; the
// attributes against ogrinfo's listing of the source; the destination's
// system; the summary; a source of an unknown system refused; and an
// interrupted run that leaves the old destination as it was.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include "lomitra/lomitra.hpp"
#include "tests/support/temp_folder.h"

namespace lomitra::testing {
namespace {

namespace fs = std::filesystem;

// ---- Child processes: lomitra-gis, ogrinfo and ogr2ogr, without a shell.

pid_t start(const std::vector<std::string>& argv, const std::string& out, const std::string& err) {
    const pid_t child = ::fork();
    if (child == 0) {
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(o, 1);
        ::dup2(e, 2);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    return child;
}

int finish(pid_t child) {  // the exit status, or 128 + the signal that ended it
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

struct Ran {
    int status;
    std::string out;
    std::string err;
};

class GisFormatsTest : public ::testing::Test {
protected:
    std::string at(const std::string& name) const { return folder_.path() + "/" + name; }
    Ran run(std::vector<std::string> argv) const {
        const int status = finish(start(argv, at("stdout"), at("stderr")));
        return {status, readBytes(at("stdout")), readBytes(at("stderr"))};
    }
    Ran gis(std::vector<std::string> args) const {
        args.insert(args.begin(), LOMITRA_GIS_EXE);
        return run(args);
    }

    TempFolder folder_{"lomitra-gis-"};
};

// ---- Datasets made with GDAL.

struct SourceLayer {
    std::string name;
    OGRwkbGeometryType type;
    int epsg;  // 0: none
    std::vector<std::pair<std::string, OGRFieldType>> fields;
    // Rows: the feature id (-1: the format's own), the geometry as WKT, then the field values as text.
    std::vector<std::vector<std::string>> features;
};

void makeDataset(const char* driverName, const std::string& path, const std::vector<SourceLayer>& layers) {
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName);
    ASSERT_NE(driver, nullptr) << driverName;
    std::unique_ptr<GDALDataset> dataset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    ASSERT_TRUE(dataset) << path;
    for (const SourceLayer& source : layers) {
        OGRSpatialReference reference;
        reference.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        if (source.epsg != 0) reference.importFromEPSG(source.epsg);
        OGRLayer* layer = dataset->CreateLayer(source.name.c_str(), source.epsg != 0 ? &reference : nullptr, source.type);
        ASSERT_NE(layer, nullptr);
        for (const auto& [name, type] : source.fields) {
            OGRFieldDefn field(name.c_str(), type);
            ASSERT_EQ(layer->CreateField(&field), OGRERR_NONE);
        }
        for (const std::vector<std::string>& row : source.features) {
            OGRFeature feature(layer->GetLayerDefn());
            if (row[0] != "-1") feature.SetFID(std::stoll(row[0]));
            OGRGeometry* geometry = nullptr;
            ASSERT_EQ(OGRGeometryFactory::createFromWkt(row[1].c_str(), &reference, &geometry), OGRERR_NONE) << row[1];
            feature.SetGeometryDirectly(geometry);
            for (std::size_t i = 2; i < row.size(); ++i) feature.SetField(static_cast<int>(i - 2), row[i].c_str());
            ASSERT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
        }
    }
}

// Every vertex that OGR's geometry code hands to a transformation, in its order.
class VertexRecorder final : public OGRCoordinateTransformation {
public:
    std::vector<double> x, y, z;
    OGRSpatialReference* GetSourceCS() override { return nullptr; }
    OGRSpatialReference* GetTargetCS() override { return nullptr; }
    int Transform(int count, double* px, double* py, double* pz, double*, int* success) override {
        for (int i = 0; i < count; ++i) {
            x.push_back(px[i]);
            y.push_back(py[i]);
            z.push_back(pz != nullptr ? pz[i] : 0.0);
            if (success != nullptr) success[i] = TRUE;
        }
        return TRUE;
    }
    OGRCoordinateTransformation* Clone() const override { return new VertexRecorder(*this); }
    OGRCoordinateTransformation* GetInverse() const override { return nullptr; }
};

VertexRecorder vertices(const OGRGeometry* geometry) {
    VertexRecorder recorder;
    if (geometry != nullptr) std::unique_ptr<OGRGeometry>(geometry->clone())->transform(&recorder);
    return recorder;
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::unique_ptr<GDALDataset> openVector(const std::string& path, const std::vector<std::string>& openOptions) {
    CPLStringList options;
    for (const std::string& o : openOptions) options.AddString(o.c_str());
    return std::unique_ptr<GDALDataset>(
        GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR, nullptr, options.List(), nullptr));
}

// ogrinfo's listing of a dataset without its geometries, systems and counts,
// and without the features `leftOut` names ("OGRFeature(layer):fid") and the
// fields `ignored` names.
std::string attributeListing(const Ran& ogrinfo, const std::set<std::string>& leftOut,
                             const std::set<std::string>& ignored) {
    std::istringstream in(ogrinfo.out);
    std::string line, kept;
    bool inSystem = false, inLeftOut = false;
    while (std::getline(in, line)) {
        if (line.starts_with("INFO: Open of") || line.starts_with("      using driver")) continue;
        if (line.starts_with("Layer SRS WKT:")) inSystem = true;
        if (inSystem) {
            inSystem = !line.starts_with("Data axis to CRS axis mapping");
            continue;
        }
        if (line.starts_with("OGRFeature(")) inLeftOut = leftOut.count(line) != 0;
        if (inLeftOut) continue;
        bool skip = false;
        for (const std::string& field : ignored) {
            skip = skip || line.starts_with(field + ": ") || line.starts_with("  " + field + " (");
        }
        if (!skip) kept += line + "\n";
    }
    return kept;
}

// ---- The table.

struct FormatCase {
    const char* driver;
    std::string file;  // the same name in src/ and out/, so that layer names agree
    std::vector<SourceLayer> layers;
    std::string csvText;  // a CSV source is written as text
    std::string from;     // --from; empty: the dataset's own system
    std::string to;
    std::vector<std::string> options;      // more options of lomitra-gis
    std::vector<std::string> openOptions;  // -oo, to read both source and destination
    std::set<std::string> rewrittenFields;  // fields that hold the geometry (CSV X/Y)
    bool storesSystem = true;               // whether the format keeps a system (CSV does not)
    std::string refusedWithCurves;          // a destination without curves, refused; empty: none
};

const char* const kStraddling =  // south of Helsinki: its southern vertices fall outside the network
    "POLYGON ((3400000 6500000,3420000 6500000,3420000 6560000,3400000 6560000,3400000 6500000))";

std::vector<FormatCase> formatCases() {
    return {
        {"GPKG", "kunta.gpkg",
         {{"kaivot", wkbPoint25D, 2393, {{"nimi", OFTString}, {"syvyys", OFTReal}, {"tarkastettu", OFTDate}},
           {{"10", "POINT (3385000.125 6672000.5 12.25)", "Kaivo 1", "3.5", "2024-05-02"},
            {"20", "POINT (3386123.75 6673456.25 13)", "Kaivo ä", "4.25", "2023-01-31"},
            {"35", "POINT (3610000 7200000 0)", "Pohjoinen", "1", "2022-12-01"}}},
          {"alueet", wkbUnknown, 2393, {{"tunnus", OFTInteger64}, {"laji", OFTString}},
           {{"1", "POLYGON ((3380000 6670000,3390000 6670000,3390000 6680000,3380000 6680000,3380000 6670000),"
                  "(3382000 6672000,3384000 6672000,3384000 6674000,3382000 6672000))", "9000000001", "puisto"},
            {"2", kStraddling, "2", "saaristo"},
            {"3", "CURVEPOLYGON (CIRCULARSTRING (3500000 6800000,3501000 6801000,3502000 6800000,3501000 6799000,"
                  "3500000 6800000))", "3", "kaari"},
            {"4", "POLYGON ((3400000 5900000,3401000 5900000,3401000 5901000,3400000 5900000))", "4", "pois"},
            {"7", "MULTIPOLYGON (((3300000 6900000,3301000 6900000,3301000 6901000,3300000 6900000)))", "7", ""}}}},
         "", "", "ETRS-TM35FIN", {"--status-field", "tila"}, {}, {"tila"}, true, "alueet.geojson"},
        {"ESRI Shapefile", "johdot.shp",
         {{"johdot", wkbLineString, 2392, {{"id", OFTInteger}, {"materiaali", OFTString}, {"pituus", OFTReal}},
           {{"-1", "LINESTRING (2480000 6700000,2481000.5 6701000.25,2482000 6699000)", "1", "PVC", "2236.1"},
            {"-1", "LINESTRING (2550000 6800000,2551000 6800500)", "2", "valurauta", "1118.03"},
            {"-1", "LINESTRING (2480000 6500000,2480000 6540000)", "3", "PE", "40000"}}}},
         "", "", "ETRS-GK24", {}, {}, {}, true, ""},
        {"GeoJSON", "rakennukset.geojson",
         {{"rakennukset", wkbMultiPolygon, 3067, {{"kerrokset", OFTInteger}, {"osoite", OFTString}},
           {{"-1", "MULTIPOLYGON (((385000 6672000,385020 6672000,385020 6672015,385000 6672000)),"
                   "((385100 6672100,385110 6672100,385110 6672110,385100 6672100)))", "3", "Mannerheimintie 1"},
            {"-1", "MULTIPOLYGON (((400000 6500000,410000 6500000,410000 6560000,400000 6500000)))", "1", "Saari"},
            {"-1", "MULTIPOLYGON (((1100000 6600000,1100010 6600000,1100010 6600010,1100000 6600000)))", "2",
             "Idässä"}}}},
         "", "", "YKJ", {}, {}, {}, true, ""},
        {"FlatGeobuf", "pisteet.fgb",
         {{"pisteet", wkbGeometryCollection, 4258, {{"luokka", OFTString}},
           {{"-1", "GEOMETRYCOLLECTION (POINT (24.9 60.2),LINESTRING (25 60.3,25.1 60.35))", "a"},
            {"-1", "GEOMETRYCOLLECTION (MULTIPOINT ((27.5 62.1),(27.6 62.2)))", "b"},
            {"-1", "GEOMETRYCOLLECTION (POINT (20.0 58.5))", "meri"}}}},
         "", "", "KKJ", {}, {}, {}, true, ""},
        {"CSV", "havainnot.csv", {},
         "tunnus,itä,pohjoinen,laji\n1,3385000.125,6672000.5,kaivo\n2,3386123.75,6673456.25,venttiili\n"
         "3,3400000,6510000,poiju\n",
         "YKJ", "ETRS-TM35FIN", {},
         {"X_POSSIBLE_NAMES=itä", "Y_POSSIBLE_NAMES=pohjoinen"}, {"itä", "pohjoinen"}, false, ""},
    };
}

// The expected outcome, from the library's array call on the source's vertices.
struct Expected {
    int64_t layers = 0, features = 0, vertices = 0, inside = 0, outside = 0, helmertFeatures = 0;
    std::string firstHelmert;
    std::vector<std::string> leftOut;  // "taso L, kohde N"
    std::set<std::string> leftOutHeads;  // "OGRFeature(L):N"
};

std::vector<std::string> withOpenOptions(std::vector<std::string> argv, const std::vector<std::string>& openOptions) {
    for (const std::string& o : openOptions) {
        argv.push_back("-oo");
        argv.push_back(o);
    }
    return argv;
}

TEST_F(GisFormatsTest, EachFormatIsConvertedWholeAndSafely) {
    GDALAllRegister();
    // A large source for the interrupted runs: long enough to be stopped while writing.
    const std::string large = at("suuri.gpkg");
    {
        SourceLayer source{"suuri", wkbPoint, 2393, {{"n", OFTInteger}}, {}};
        makeDataset("GPKG", large, {source});
        std::unique_ptr<GDALDataset> dataset(GDALDataset::Open(large.c_str(), GDAL_OF_VECTOR | GDAL_OF_UPDATE));
        OGRLayer* layer = dataset->GetLayer(0);
        dataset->StartTransaction();
        for (int i = 0; i < 400'000; ++i) {
            OGRFeature feature(layer->GetLayerDefn());
            feature.SetField(0, i);
            feature.SetGeometryDirectly(new OGRPoint(3300000 + (i % 1000) * 300.0, 6700000 + (i / 1000) * 500.0));
            ASSERT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
        }
        dataset->CommitTransaction();
    }

    for (const FormatCase& c : formatCases()) {
        SCOPED_TRACE(c.driver);
        for (const char* sub : {"src", "out", "unknown", "refused"}) fs::create_directories(at(sub));
        const std::string source = at("src/" + c.file), destination = at("out/" + c.file);
        if (c.csvText.empty()) makeDataset(c.driver, source, c.layers);
        else writeBytes(source, c.csvText);

        std::vector<std::string> args = {source, destination, "--to", c.to};
        if (!c.from.empty()) args.insert(args.end(), {"--from", c.from});
        args.insert(args.end(), c.options.begin(), c.options.end());
        const Ran converted = gis(withOpenOptions(args, c.openOptions));

        // Every vertex against the library's array call on the same points.
        Expected expected;
        std::unique_ptr<GDALDataset> in = openVector(source, c.openOptions);
        std::unique_ptr<GDALDataset> out = openVector(destination, c.openOptions);
        ASSERT_TRUE(in && out) << converted.err;
        const std::string statusField = c.options.empty() ? "" : c.options[1];
        for (int l = 0; l < in->GetLayerCount(); ++l) {
            OGRLayer* from = in->GetLayer(l);
            OGRLayer* to = out->GetLayerByName(from->GetName());
            ASSERT_NE(to, nullptr) << from->GetName();
            ++expected.layers;
            const OGRSpatialReference* system = from->GetSpatialRef();
            const Transformer transformer(c.from.empty() ? Crs::fromEpsg(std::atoi(system->GetAuthorityCode(nullptr)))
                                                         : Crs(c.from),
                                          Crs(c.to));
            for (const auto& feature : *from) {
                VertexRecorder v = vertices(feature->GetGeometryRef());
                std::vector<Status> statuses(v.x.size());
                transformer.transform(v.x.size(), v.y.data(), sizeof(double), v.x.data(), sizeof(double), statuses.data());
                const auto count = [&](Status s) { return std::count(statuses.begin(), statuses.end(), s); };
                const std::string name = "taso " + std::string(from->GetName()) + ", kohde " + std::to_string(feature->GetFID());
                if (count(Status::NotConverted) > 0) {
                    expected.leftOut.push_back(name);
                    expected.leftOutHeads.insert("OGRFeature(" + std::string(from->GetName()) + "):" +
                                                 std::to_string(feature->GetFID()));
                    continue;
                }
                const OGRFeatureUniquePtr written(to->GetNextFeature());
                ASSERT_TRUE(written) << name;
                ++expected.features;
                expected.vertices += static_cast<int64_t>(v.x.size());
                expected.inside += count(Status::InsideNetwork);
                expected.outside += count(Status::OutsideNetwork);
                if (count(Status::OutsideNetwork) > 0 && expected.helmertFeatures++ == 0) expected.firstHelmert = name;
                const OGRGeometry* result = written->GetGeometryRef();
                ASSERT_NE(result, nullptr) << name;
                EXPECT_EQ(result->getGeometryType(), feature->GetGeometryRef()->getGeometryType()) << name;
                const VertexRecorder w = vertices(result);
                ASSERT_EQ(w.x.size(), v.x.size()) << name;
                for (std::size_t i = 0; i < v.x.size(); ++i) {
                    EXPECT_TRUE(sameBits(w.x[i], v.x[i]) && sameBits(w.y[i], v.y[i]) && sameBits(w.z[i], v.z[i]))
                        << name << " vertex " << i << ": " << w.x[i] << " " << w.y[i] << " " << w.z[i]
                        << ", the library: " << v.x[i] << " " << v.y[i] << " " << v.z[i];
                }
                if (!statusField.empty()) {
                    EXPECT_EQ(written->GetFieldAsInteger(statusField.c_str()), count(Status::OutsideNetwork) > 0 ? 1 : 0);
                }
            }
            EXPECT_EQ(OGRFeatureUniquePtr(to->GetNextFeature()), nullptr) << "more features than the source's";
            // The destination's system.
            if (c.storesSystem) {
                ASSERT_NE(to->GetSpatialRef(), nullptr);
                OGRSpatialReference written(*to->GetSpatialRef());
                written.AutoIdentifyEPSG();
                EXPECT_EQ(std::atoi(written.GetAuthorityCode(nullptr) ? written.GetAuthorityCode(nullptr) : "0"),
                          Crs(c.to).epsg());
            }
        }
        EXPECT_GT(expected.inside, 0);
        EXPECT_GT(expected.helmertFeatures, 0) << "the table needs a feature straddling the network's edge";

        // Attributes, their types and order, feature ids: as ogrinfo lists them.
        const std::vector<std::string> listing = {"ogrinfo", "-ro", "-al", "-geom=NO", "-nomd", "-noextent", "-nocount"};
        std::vector<std::string> sourceListing = withOpenOptions(listing, c.openOptions);
        sourceListing.push_back(source);
        std::vector<std::string> destinationListing = withOpenOptions(listing, c.openOptions);
        destinationListing.push_back(destination);
        std::set<std::string> ignored = c.rewrittenFields;
        if (!statusField.empty()) ignored.insert(statusField);
        EXPECT_EQ(attributeListing(run(destinationListing), {}, ignored),
                  attributeListing(run(sourceListing), expected.leftOutHeads, ignored));

        // The summary, and the exit status that tells of features left out.
        std::string summary = "tasoja " + std::to_string(expected.layers) + ", kohteita " +
                              std::to_string(expected.features) + ", pisteitä " + std::to_string(expected.vertices) +
                              "\nkolmioverkossa " + std::to_string(expected.inside) +
                              " pistettä, Helmert-muunnoksella " + std::to_string(expected.outside) +
                              " pistettä (tarkkuus noin 1–2 m)\nkohteita, joiden pisteistä osa tai kaikki "
                              "Helmert-muunnoksella: " + std::to_string(expected.helmertFeatures) +
                              "; ensimmäinen: " + expected.firstHelmert + "\n";
        if (!expected.leftOut.empty()) {
            summary += "jätettiin pois " + std::to_string(expected.leftOut.size()) + " kohdetta:\n";
            for (const std::string& name : expected.leftOut) {
                summary += "  " + name + ": pisteitä hyväksytyn alueen ulkopuolella, ei muunnettu\n";
            }
        }
        EXPECT_EQ(converted.err, summary);
        EXPECT_EQ(converted.status, expected.leftOut.empty() ? 0 : 3);

        // A source of another system is refused, naming it, and nothing is written.
        const std::string unknown = at("unknown/" + c.file);
        if (c.csvText.empty()) {
            ASSERT_EQ(run({"ogr2ogr", "-a_srs", "EPSG:32635", unknown, source}).status, 0);
        } else {
            writeBytes(unknown, c.csvText);
        }
        const Ran refused = gis(withOpenOptions({unknown, at("refused/" + c.file), "--to", c.to}, c.openOptions));
        const std::string layer = c.layers.empty() ? fs::path(c.file).stem().string() : c.layers[0].name;
        EXPECT_EQ(refused.err,
                  c.csvText.empty()
                      ? "Tason \"" + layer + "\" koordinaattijärjestelmä \"WGS 84 / UTM zone 35N\" (EPSG:32635) ei ole "
                        "mikään tuetuista (ETRS-TM35FIN, ETRS-TM34, ETRS-TM36, ETRS-GK19 ... ETRS-GK32, EUREF-FIN, "
                        "KKJ:n kaistat 0-5, YKJ, KKJ). Jos koordinaatit ovat jossakin niistä, anna se valinnalla "
                        "--from.\nMitään ei tulostettu; aiempi tiedosto säilyi ennallaan.\n"
                      : "Tasolla \"" + layer + "\" ei ole koordinaattijärjestelmää. Anna lähteen järjestelmä "
                        "valinnalla --from.\nMitään ei tulostettu; aiempi tiedosto säilyi ennallaan.\n");
        EXPECT_EQ(refused.status, 2);
        EXPECT_TRUE(fs::is_empty(at("refused")));

        // Curves are kept where the format has them (above); where it has none, a curve
        // in a layer of any geometry type leaves its feature out, listed.
        if (!c.refusedWithCurves.empty()) {
            const Ran curves = gis({source, at("refused/" + c.refusedWithCurves), "-l", "alueet", "--to", c.to});
            EXPECT_EQ(curves.status, 3);
            EXPECT_NE(curves.err.find("\n  taso alueet, kohde 3: kaarigeometria, jota tuloksen muoto ei tue\n"),
                      std::string::npos)
                << curves.err;
        }

        // Stopped while writing a large dataset over the old one: the old one stays, nothing is left behind.
        const auto files = [&] {  // the names in out/ and the bytes of the files
            std::map<std::string, std::string> found;
            for (const auto& entry : fs::directory_iterator(at("out"))) {
                found[entry.path().string()] =
                    entry.is_directory() ? "(folder)" : std::to_string(std::hash<std::string>()(readBytes(entry.path())));
            }
            return found;
        };
        const std::map<std::string, std::string> old = files();
        std::vector<std::string> overwrite = {LOMITRA_GIS_EXE, large, destination, "--to", c.to, "--overwrite"};
        if (std::string(c.driver) == "CSV") overwrite.insert(overwrite.end(), {"-lco", "GEOMETRY=AS_XY"});
        const pid_t child = start(overwrite, at("stdout"), at("stderr"));
        // The bytes of the temporary dataset so far; -1 before it appears.
        const auto temporaryBytes = [&] {
            std::uintmax_t bytes = 0;
            bool found = false;
            for (const auto& entry : fs::directory_iterator(at("out"))) {
                if (!entry.path().filename().string().starts_with("." + c.file + ".lomitra-")) continue;
                found = true;
                std::error_code error;
                for (const auto& file : fs::recursive_directory_iterator(entry.path(), error)) {
                    if (file.is_regular_file(error)) bytes += file.file_size(error);
                }
            }
            return found ? static_cast<long long>(bytes) : -1LL;
        };
        bool writing = false;
        for (int i = 0; i < 2000 && !writing; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            writing = temporaryBytes() >= 0;
        }
        ASSERT_TRUE(writing) << "no temporary dataset appeared";
        // Stopped at once, then let on in slices of 10 ms until features
        // have reached the temporary dataset: the signal comes while it is
        // written, however fast the machine.
        ::kill(child, SIGSTOP);
        for (int slice = 0; slice < 100 && temporaryBytes() < 128 * 1024; ++slice) {
            ::kill(child, SIGCONT);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            ::kill(child, SIGSTOP);
        }
        ::kill(child, SIGTERM);
        ::kill(child, SIGCONT);
        EXPECT_EQ(finish(child), 128 + SIGTERM) << "the run ended before the signal";
        EXPECT_EQ(files(), old);
        EXPECT_EQ(readBytes(at("stderr")), "lomitra-gis: keskeytetty; aiempi tulos säilyi ennallaan\n");

        for (const char* sub : {"src", "out", "unknown", "refused"}) fs::remove_all(at(sub));
    }
}

}  // namespace
}  // namespace lomitra::testing
