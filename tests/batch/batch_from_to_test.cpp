// lomitra-batch --from/--to against the options it stands for: every source
// system and every target, by EPSG code, own name or lower case, gives the
// result and table files and the summary of the old options byte for byte
// (both directions, every zone, geographic in every format); a source named
// by its zone leaves the points of other zones unconverted; and the pairs and
// option mixes that are refused exit 2 with their reason and the usage text.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "batch_test_support.h"
#include "core/texts.h"
#include "lomitra/lomitra.hpp"

namespace lomitra {
namespace {

// A system and the old options that name it on its side of the pair.
struct Side {
    std::string name;
    std::vector<std::string> options;
    double meridian;  // where its points lie (degrees of longitude)
};

std::vector<Side> eurefSources() {
    std::vector<Side> sides = {{"ETRS-TM34", {"--source-zone", "tm34"}, 21},
                               {"ETRS-TM35FIN", {}, 27},
                               {"ETRS-TM36", {"--source-zone", "tm36"}, 33},
                               {"EUREF-FIN", {"--source", "geographic"}, 25}};
    for (int n = 19; n <= 32; ++n) sides.push_back({"ETRS-GK" + std::to_string(n), {"--source-zone", "tm35"}, 1.0 * n});
    return sides;
}

std::vector<Side> eurefTargets() {
    std::vector<Side> sides = {{"ETRS-TM34", {"--result-zone", "tm34"}, 0},
                               {"ETRS-TM35FIN", {"--result-zone", "tm35"}, 0},
                               {"ETRS-TM36", {"--result-zone", "tm36"}, 0},
                               {"EUREF-FIN", {"--result", "geographic"}, 0}};
    for (int n = 19; n <= 32; ++n) sides.push_back({"ETRS-GK" + std::to_string(n), {"--result-zone", "gk" + std::to_string(n)}, 0});
    return sides;
}

std::vector<Side> kkjSources() {
    std::vector<Side> sides = {{"KKJ", {"--direction", "kkj-euref", "--source", "geographic"}, 25},
                               {"YKJ", {"--direction", "kkj-euref"}, 27}};
    for (int n = 0; n <= 5; ++n) sides.push_back({"KKJ" + std::to_string(n), {"--direction", "kkj-euref"}, 18.0 + 3 * n});
    return sides;
}

std::vector<Side> kkjTargets() {
    std::vector<Side> sides = {{"KKJ-OWN", {"--result-zone", "own"}, 0},
                               {"YKJ", {"--result-zone", "3"}, 0},
                               {"KKJ", {"--result", "geographic"}, 0}};
    for (int n = 1; n <= 5; ++n) sides.push_back({"KKJ" + std::to_string(n), {"--result-zone", std::to_string(n)}, 0});
    return sides;
}

// The name as a user may give it: the own name, the EPSG code, or lower case.
std::string spelling(const std::string& name, std::size_t variant) {
    const Crs crs(name);
    if (variant % 3 == 1 && crs.epsg() != 0) return "EPSG:" + std::to_string(crs.epsg());
    if (variant % 3 == 2) {
        std::string lower = name;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return lower;
    }
    return name;
}

// An angle in the notation of the format position: aa.aaaaaaaa, aamm.mmmmmm, aammss.ssss.
std::string angleText(double degrees, int format) {
    const double whole = std::floor(degrees);
    const double minutes = (degrees - whole) * 60.0;
    double value = degrees;
    if (format == 1) value = whole * 100.0 + minutes;
    if (format == 2) value = whole * 10000.0 + std::floor(minutes) * 100.0 + (minutes - std::floor(minutes)) * 60.0;
    char text[40];
    std::snprintf(text, sizeof text, "%.*f", 9 - 2 * format, value);
    return text;
}

// Lines "tunnus N E" of points of the system near its meridian, over the
// network and at sea south of it (Helmert), between them lines without a point.
std::string sourceFile(const Side& side, int format, unsigned seed) {
    const Crs crs(side.name);
    const Transformer fromDegrees(crs.datum() == Datum::Kkj ? "KKJ" : "EUREF-FIN", side.name);
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> north(59.9, 69.5), sea(58.6, 59.4), east(-1.2, 1.2);
    std::string file = "Pisteet\r\n";
    for (int i = 0; i < 40; ++i) {
        Point p{i % 9 == 4 ? sea(random) : north(random), side.meridian + east(random)};
        EXPECT_NE(fromDegrees.transform(p), Status::NotConverted) << side.name;
        const std::string n = crs.geographic() ? angleText(p.north, format) : std::to_string(p.north);
        const std::string e = crs.geographic() ? angleText(p.east, format) : std::to_string(p.east);
        file += "P" + std::to_string(i) + " " + n + (i % 5 == 0 ? "\t" : " ") + e + "\r\n";
        if (i % 13 == 0) file += "huomautus " + std::to_string(i) + "\r\n";
    }
    return file;
}

class BatchFromToTest : public testing::BatchFolderTest {
protected:
    // Runs lomitra-batch on `source` with `options`, writing result and
    // table files named after `tag`; keeps its standard error.
    int convert(const std::string& source, std::vector<std::string> options, const std::string& tag) {
        for (const std::string& o : {std::string("--fields"), std::string("2,3,1"), std::string("--table"),
                                     path(tag + ".tab"), std::string("-o"), path(tag + ".out"), source}) {
            options.push_back(o);
        }
        const testing::BatchProcess process = runBatch(options);
        err_ = process.err;
        return process.exitStatus;
    }

    std::string err_;
};

TEST_F(BatchFromToTest, EveryPairWritesTheFilesOfItsOldOptions) {
    struct Row {
        Side from, to;
    };
    std::vector<Row> rows;
    // Every source once, the targets in turn (every one of them at least once).
    const std::vector<Side> es = eurefSources(), et = eurefTargets(), ks = kkjSources(), kt = kkjTargets();
    for (std::size_t i = 0; i < es.size(); ++i) rows.push_back({es[i], kt[i % kt.size()]});
    for (std::size_t i = 0; i < et.size(); ++i) rows.push_back({ks[i % ks.size()], et[i]});

    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        const std::string from = spelling(row.from.name, i), to = spelling(row.to.name, i + 1);
        SCOPED_TRACE("--from " + from + " --to " + to);
        // Geographic sides in each format in turn.
        std::vector<std::string> formats;
        const int sourceFormat = static_cast<int>(i % 3), resultFormat = static_cast<int>((i + 1) % 3);
        const char* names[] = {"dd", "dm", "dms"};
        if (Crs(from).geographic()) formats = {"--source-format", names[sourceFormat]};
        if (Crs(to).geographic()) formats.insert(formats.end(), {"--result-format", names[resultFormat]});

        const std::string source = path("in" + std::to_string(i) + ".txt");
        write(source, sourceFile(row.from, sourceFormat, static_cast<unsigned>(154 + i)));
        std::vector<std::string> named = {"--from", from, "--to", to}, old = row.from.options;
        named.insert(named.end(), formats.begin(), formats.end());
        old.insert(old.end(), row.to.options.begin(), row.to.options.end());
        old.insert(old.end(), formats.begin(), formats.end());

        ASSERT_EQ(convert(source, named, "named"), 0) << err_;
        const std::string namedErr = err_;
        ASSERT_EQ(convert(source, old, "old"), 0) << err_;
        EXPECT_EQ(namedErr, err_);
        EXPECT_EQ(namedErr.find("muunnettu 40 pistettä"), 0u) << "every point converted: " << namedErr;
        EXPECT_EQ(read(path("named.out")), read(path("old.out")));
        EXPECT_EQ(read(path("named.tab")), read(path("old.tab")));
    }
}

// A plane source named by its zone converts the points of that zone only;
// the others' lines stay as they were, as the library leaves such points.
TEST_F(BatchFromToTest, ASourceNamedByItsZoneLeavesOtherZonesUnconverted) {
    struct Row {
        Side from;
        std::string to;
        std::vector<std::string> strangers;  // points of other zones, or of none
    };
    const std::vector<Row> rows = {
        {kkjSources()[1], "ETRS-TM35FIN", {"Q1 6712263.904 2495070.508", "Q2 6712263.904 495070.508"}},
        {eurefSources()[4 + 6], "YKJ", {"Q1 6709447.856 24494903.060", "Q2 6709447.856 494903.060"}},
        {eurefSources()[1], "KKJ-OWN", {"Q1 6709447.856 25494903.060"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.from.name);
        const std::string own = sourceFile(row.from, 0, 7);
        std::string strangers;
        for (const std::string& line : row.strangers) strangers += line + "\r\n";
        write(path("own.txt"), own);
        write(path("mixed.txt"), own + strangers);
        ASSERT_EQ(convert(path("own.txt"), {"--from", row.from.name, "--to", row.to}, "own"), 0) << err_;
        ASSERT_EQ(convert(path("mixed.txt"), {"--from", row.from.name, "--to", row.to}, "mixed"), 0) << err_;
        EXPECT_EQ(read(path("mixed.out")), read(path("own.out")) + strangers);
        // Each stranger's table line says so; the heading, the remarks and they are not converted.
        const std::string table = read(path("mixed.tab"));
        std::size_t refused = 0;
        for (std::size_t at = table.find(texts::kUnsuitableCoordinates); at != std::string::npos;
             at = table.find(texts::kUnsuitableCoordinates, at + 1)) {
            ++refused;
        }
        EXPECT_EQ(refused, row.strangers.size()) << table;
        EXPECT_NE(err_.find(", " + std::to_string(row.strangers.size() + 5) + " riviä ei muunnettu"),
                  std::string::npos)
            << err_;
    }
}

TEST_F(BatchFromToTest, RefusedPairsAndMixesExitTwoWithTheirReason) {
    write(path("in.txt"), "P1 6718527.414 3106266.213\r\n");
    std::string names;
    for (const std::string_view name : Crs::acceptedNames()) names += (names.empty() ? "" : ", ") + std::string(name);
    const std::string bad = "Virheellinen valinta: ";
    struct Row {
        std::vector<std::string> args;
        std::string reason;
    };
    std::vector<Row> rows = {
        {{"--from", "YKJ"}, bad + "--from ja --to annetaan aina yhdessä"},
        {{"--to=ETRS-TM35FIN"}, bad + "--from ja --to annetaan aina yhdessä"},
        {{"--from", "YKJ", "--to", "ETRS-TM99"},
         bad + "--to ETRS-TM99: tuntematon koordinaattijärjestelmä; nimet (isoin tai pienin kirjaimin): " + names},
        {{"--from", "EPSG:2393", "--to", "kkj1"},
         bad + "--from EPSG:2393 --to kkj1: molemmat ovat KKJ:n järjestelmiä; lomitra-batch muuntaa EUREF-FIN:n ja "
               "KKJ:n välillä"},
        {{"--from", "EUREF-FIN", "--to", "ETRS-GK25"},
         bad + "--from EUREF-FIN --to ETRS-GK25: molemmat ovat EUREF-FIN:n järjestelmiä; lomitra-batch muuntaa "
               "EUREF-FIN:n ja KKJ:n välillä"},
        {{"--from", "KKJ-OWN", "--to", "ETRS-TM35FIN"},
         bad + "--from KKJ-OWN --to ETRS-TM35FIN: KKJ-OWN (kukin piste omalla kaistallaan) voi olla vain "
               "tulosjärjestelmä; anna lähtöpisteiden kaista (KKJ0 ... KKJ5, YKJ) tai muunna eri kaistojen "
               "pisteet valinnalla --direction kkj-euref"},
        {{"--from", "ETRS-TM35FIN", "--to", "EPSG:3386"},
         bad + "--from ETRS-TM35FIN --to EPSG:3386: KKJ:n kaista 0 ei voi olla tuloskaista; valitse KKJ1 ... "
               "KKJ5, YKJ tai KKJ-OWN"},
    };
    for (const auto& [option, value] : {std::pair{"--direction", "kkj-euref"}, std::pair{"--source", "plane"},
                                        std::pair{"--result", "geographic"}, std::pair{"--source-zone", "tm35"},
                                        std::pair{"--result-zone", "own"}}) {
        rows.push_back({{"--from", "ETRS-TM35FIN", option, value, "--to", "YKJ"},
                        bad + option +
                            ": --from ja --to korvaavat valinnat --direction, --source, --result, --source-zone "
                            "ja --result-zone"});
    }
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.args));
        EXPECT_EQ(convert(path("in.txt"), row.args, "refused"), 2);
        EXPECT_EQ(err_, row.reason + "\n\n" + std::string(texts::kBatchUsage));
        EXPECT_FALSE(std::filesystem::exists(path("refused.out")));
    }
}

}  // namespace
}  // namespace lomitra
