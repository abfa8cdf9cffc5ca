// lomitra-batch --from/--to against the options it stands for: every source
// and every target system, by own name, EPSG code or in lower case, writes the
// result and table files and the summary of the old options byte for byte
// (both directions, every zone, geographic in every format); a source named
// by its zone leaves the points of other zones unconverted; refused pairs and
// option mixes exit 2 with their reason and the usage text.
#include <gtest/gtest.h>

#include <algorithm>
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

// A system, the old options that name it on its side, and the meridian its points lie near.
struct Side {
    std::string name;
    std::vector<std::string> options;
    double meridian = 25.0;
};

// The systems of one datum as sources or as targets.
std::vector<Side> sides(bool kkj, bool target) {
    std::vector<Side> all;
    if (!kkj) {
        const char* zones[] = {"tm34", "tm35", "tm36"};
        const char* names[] = {"ETRS-TM34", "ETRS-TM35FIN", "ETRS-TM36"};
        for (int i = 0; i < 3; ++i) {
            all.push_back({names[i], {target ? "--result-zone" : "--source-zone", zones[i]}, 21.0 + 6 * i});
        }
        for (int n = 19; n <= 32; ++n) {
            const std::string zone = target ? "gk" + std::to_string(n) : "tm35";
            all.push_back({"ETRS-GK" + std::to_string(n), {target ? "--result-zone" : "--source-zone", zone}, 1.0 * n});
        }
        all.push_back({"EUREF-FIN", {target ? "--result" : "--source", "geographic"}});
        return all;
    }
    using Options = std::vector<std::string>;
    const Options direction = {"--direction", "kkj-euref"};
    for (int n = target ? 1 : 0; n <= 5; ++n) {
        all.push_back({"KKJ" + std::to_string(n), target ? Options{"--result-zone", std::to_string(n)} : direction,
                       18.0 + 3 * n});
    }
    all.push_back({"YKJ", target ? Options{"--result-zone", "3"} : direction, 27.0});
    all.push_back({"KKJ", target ? Options{"--result", "geographic"}
                                 : Options{"--direction", "kkj-euref", "--source", "geographic"}});
    if (target) all.push_back({"KKJ-OWN", {"--result-zone", "own"}});
    return all;
}

// The name as a user may give it: the own name, the EPSG code, or lower case.
std::string spelling(const std::string& name, std::size_t variant) {
    const int epsg = Crs(name).epsg();
    if (variant % 3 == 1 && epsg != 0) return "EPSG:" + std::to_string(epsg);
    std::string out = name;
    if (variant % 3 == 2) {
        for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

// An angle in the notation of a format position: aa.aaaaaaaa, aamm.mmmmmm, aammss.ssss.
std::string angleText(double degrees, int format) {
    const double whole = std::floor(degrees), minutes = (degrees - whole) * 60.0;
    const double seconds = (minutes - std::floor(minutes)) * 60.0;
    const double value = format == 0   ? degrees
                         : format == 1 ? whole * 100.0 + minutes
                                       : whole * 10000.0 + std::floor(minutes) * 100.0 + seconds;
    char text[40];
    std::snprintf(text, sizeof text, "%.*f", 9 - 2 * format, value);
    return text;
}

// "tunnus N E" lines of 40 points of the system near its meridian, over the
// network and at sea south of it, and 5 lines without a point.
std::string sourceFile(const Side& side, int format, unsigned seed) {
    const Crs crs(side.name);
    const Transformer fromDegrees(crs.datum() == Datum::Kkj ? "KKJ" : "EUREF-FIN", side.name);
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> north(59.9, 69.5), sea(58.6, 59.4), east(-1.2, 1.2);
    std::string file = "Pisteet\r\n";
    for (int i = 0; i < 40; ++i) {
        Point p{i % 9 == 4 ? sea(random) : north(random), side.meridian + east(random)};
        EXPECT_NE(fromDegrees.transform(p), Status::NotConverted) << side.name;
        auto text = [&](double v) { return crs.geographic() ? angleText(v, format) : std::to_string(v); };
        file += "P" + std::to_string(i) + " " + text(p.north) + (i % 5 == 0 ? "\t" : " ") + text(p.east) + "\r\n";
        if (i % 13 == 0) file += "huomautus " + std::to_string(i) + "\r\n";
    }
    return file;
}

class BatchFromToTest : public testing::BatchFolderTest {
protected:
    // Runs lomitra-batch on `source`; the result and table files are TAG.out and TAG.tab.
    int convert(const std::string& source, std::vector<std::string> options, const std::string& tag) {
        options.insert(options.end(),
                       {"--fields", "2,3,1", "--table", path(tag + ".tab"), "-o", path(tag + ".out"), source});
        const testing::BatchProcess process = runBatch(options);
        err_ = process.err;
        return process.exitStatus;
    }

    std::string err_;
};

TEST_F(BatchFromToTest, EveryPairWritesTheFilesOfItsOldOptions) {
    // Every source once, the targets of the other datum in turn (each at least once).
    std::vector<std::pair<Side, Side>> pairs;
    for (const bool kkj : {false, true}) {
        const std::vector<Side> from = sides(kkj, false), to = sides(!kkj, true);
        for (std::size_t i = 0; i < std::max(from.size(), to.size()); ++i) {
            pairs.emplace_back(from[i % from.size()], to[i % to.size()]);
        }
    }
    const char* formats[] = {"dd", "dm", "dms"};
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const auto& [from, to] = pairs[i];
        const int sourceFormat = static_cast<int>(i % 3);
        std::vector<std::string> named = {"--from", spelling(from.name, i), "--to", spelling(to.name, i + 1)};
        std::vector<std::string> old = from.options;
        SCOPED_TRACE(named[1] + " -> " + named[3]);
        old.insert(old.end(), to.options.begin(), to.options.end());
        for (auto* options : {&named, &old}) {
            if (Crs(from.name).geographic()) {
                options->insert(options->end(), {"--source-format", formats[sourceFormat]});
            }
            if (Crs(to.name).geographic()) options->insert(options->end(), {"--result-format", formats[(i + 1) % 3]});
        }
        const std::string source = path("in.txt");
        write(source, sourceFile(from, sourceFormat, static_cast<unsigned>(154 + i)));
        ASSERT_EQ(convert(source, named, "named"), 0) << err_;
        const std::string namedErr = err_;
        ASSERT_EQ(convert(source, old, "old"), 0) << err_;
        EXPECT_EQ(namedErr, err_);
        EXPECT_EQ(namedErr.find("muunnettu 40 pistettä, 5 riviä"), 0u) << namedErr;
        EXPECT_EQ(read(path("named.out")), read(path("old.out")));
        EXPECT_EQ(read(path("named.tab")), read(path("old.tab")));
    }
}

// The points of other zones (or of none) keep their lines and are counted
// with the lines not converted; the rest are converted as without them.
TEST_F(BatchFromToTest, ASourceNamedByItsZoneLeavesOtherZonesUnconverted) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> rows = {
        {"YKJ", {"Q1 6712263.904 2495070.508", "Q2 6712263.904 495070.508"}},
        {"ETRS-GK25", {"Q1 6709447.856 24494903.060", "Q2 6709447.856 494903.060"}},
        {"ETRS-TM35FIN", {"Q1 6709447.856 25494903.060"}},
    };
    for (const auto& [name, strangers] : rows) {
        SCOPED_TRACE(name);
        const std::string to = Crs(name).datum() == Datum::Kkj ? "ETRS-TM35FIN" : "KKJ-OWN";
        const Side side{name, {}, name == "ETRS-GK25" ? 25.0 : 27.0};
        std::string lines;
        for (const std::string& line : strangers) lines += line + "\r\n";
        write(path("own.txt"), sourceFile(side, 0, 7));
        write(path("mixed.txt"), sourceFile(side, 0, 7) + lines);
        ASSERT_EQ(convert(path("own.txt"), {"--from", name, "--to", to}, "own"), 0) << err_;
        ASSERT_EQ(convert(path("mixed.txt"), {"--from", name, "--to", to}, "mixed"), 0) << err_;
        EXPECT_EQ(read(path("mixed.out")), read(path("own.out")) + lines);
        EXPECT_EQ(err_.find("muunnettu 40 pistettä, " + std::to_string(5 + strangers.size()) + " riviä"), 0u) << err_;
        const std::string table = read(path("mixed.tab"));
        std::size_t refused = 0;
        for (auto at = table.find(texts::kUnsuitableCoordinates); at != std::string::npos;
             at = table.find(texts::kUnsuitableCoordinates, at + 1)) {
            ++refused;
        }
        EXPECT_EQ(refused, strangers.size()) << table;
    }
}

TEST_F(BatchFromToTest, RefusedPairsAndMixesExitTwoWithTheirReason) {
    write(path("in.txt"), "P1 6718527.414 3106266.213\r\n");
    std::string names;
    for (const std::string_view name : Crs::acceptedNames()) names += (names.empty() ? "" : ", ") + std::string(name);
    const std::string together(texts::kBatchFromToTogether);
    const std::string same1(texts::kBatchSameDatum1), same2(texts::kBatchSameDatum2);
    std::vector<std::pair<std::vector<std::string>, std::string>> rows = {
        {{"--from", "YKJ"}, together},
        {{"--to=ETRS-TM35FIN"}, together},
        {{"--from", "YKJ", "--to", "ETRS-TM99"}, "--to ETRS-TM99" + std::string(texts::kBatchUnknownCrs) + names},
        {{"--from", "EPSG:2393", "--to", "kkj1"}, "--from EPSG:2393 --to kkj1" + same1 + "KKJ" + same2},
        {{"--from", "EUREF-FIN", "--to", "ETRS-GK25"}, "--from EUREF-FIN --to ETRS-GK25" + same1 + "EUREF-FIN" + same2},
        {{"--from", "KKJ-OWN", "--to", "ETRS-TM35FIN"},
         "--from KKJ-OWN --to ETRS-TM35FIN" + std::string(texts::kBatchTargetOnly)},
        {{"--from", "ETRS-TM35FIN", "--to", "EPSG:3386"},
         "--from ETRS-TM35FIN --to EPSG:3386" + std::string(texts::kBatchKkjZone0Target)},
    };
    for (const char* option : {"--direction", "--source", "--result", "--source-zone", "--result-zone"}) {
        rows.push_back(
            {{"--from", "ETRS-TM35FIN", option, "plane", "--to", "YKJ"}, option + std::string(texts::kBatchFromToReplace)});
    }
    for (const auto& [args, reason] : rows) {
        SCOPED_TRACE(::testing::PrintToString(args));
        EXPECT_EQ(convert(path("in.txt"), args, "refused"), 2);
        EXPECT_EQ(err_, "Virheellinen valinta: " + reason + "\n\n" + std::string(texts::kBatchUsage));
        EXPECT_FALSE(std::filesystem::exists(path("refused.out")));
    }
}

}  // namespace
}  // namespace lomitra
