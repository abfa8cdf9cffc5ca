// UTF-8 and Windows-1252 sources end to end, through the engine and through
// lomitra-batch (a regular file, and the same bytes as a stream): columns
// and lengths count characters, every character outside the coordinate
// rooms comes back as it was, and every written coordinate is the full
// result rounded to its room.
//
// The points are network point 32 of JHS 154, which maps exactly onto its
// partner: ETRS-TM35FIN 6859871.251 498696.216, KKJ zone 3 6862748.149
// 3498866.128. The issue's own line (MA1 / MÄ1) reads the result of its
// ASCII twin.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/batch_options.h"
#include "batch_test_support.h"
#include "core/conversion_engine.h"
#include "core/cp1252.h"
#include "core/text_encoding.h"
#include "tests/support/result_file_line_checks.h"

namespace lomitra {
namespace {

const std::string kBom(kUtf8ByteOrderMark);

std::string crlf(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) out += line + "\r\n";
    return out;
}

struct Case {
    const char* name;
    std::vector<std::string> options;  // direction and layout of lomitra-batch
    TextEncoding encoding;             // as the source must be decided
    std::vector<std::string> source;
    std::vector<std::string> expected;
};

// The UTF-8 cases, and the same lines in Windows-1252 where that has their letters.
std::vector<Case> cases() {
    const std::vector<std::string> toKkjFixed = {"--columns", "9:11,21:12,1:8"};
    const std::vector<std::string> fromKkj = {"--direction", "kkj-euref"};
    auto with = [](std::vector<std::string> a, const std::vector<std::string>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    // Identifier in characters 1-8, north 9-19, one character, east 21-32.
    const std::vector<std::string> fixedLetters = {
        "M\u00c41     6859871.251\u00e4 498696.216 kaivo \u00f6",
        "MA1     6859871.251a 498696.216 kaivo o",
        "\u00c5\u00d6      6859871.251  498696.216\u00e4",  // the room ends in a letter: overwritten
    };
    const std::vector<std::string> fixedLettersConverted = {
        "M\u00c41     6862748.149\u00e4 3498866.128kaivo \u00f6",
        "MA1     6862748.149a 3498866.128kaivo o",
        "\u00c5\u00d6      6862748.149  3498866.128",
    };
    std::vector<Case> all = {
        {"fixed, to KKJ: letters before, between and after", toKkjFixed, TextEncoding::Utf8,
         with(fixedLetters, {"\u20ac\U0001F6001     6859871.251\u2013 498696.216 \u20ac"}),
         with(fixedLettersConverted, {"\u20ac\U0001F6001     6862748.149\u2013 3498866.128\u20ac"})},
        {"free, to KKJ: letters before, between and after", {"--fields", "3,5,1"}, TextEncoding::Utf8,
         {"M\u00c41 \u00e4 6859871.251 \u00e5 498696.216 \u00f6", "\u00d6ljy\t\u00e5\u00e4 6859871.251\t\t\u20ac 498696.216"},
         {"M\u00c41 \u00e4 6862748.149 \u00e5 3498866.13 \u00f6", "\u00d6ljy\t\u00e5\u00e4 6862748.149 \t\u20ac 3498866.13"}},
        {"fixed, to EUREF-FIN", with(fromKkj, {"--columns", "9:11,21:11,1:7"}), TextEncoding::Utf8,
         {"\u00d6-piste 6862748.149 3498866.128 \u00e5\u00e4\u00f6"},
         {"\u00d6-piste 6859871.251  498696.216 \u00e5\u00e4\u00f6"}},
        {"free, to EUREF-FIN", with(fromKkj, {"--fields", "2,3,1"}), TextEncoding::Utf8,
         {"P\u00e4\u00e4 6862748.149 3498866.128 kiintopiste \u00e4\u00e4riviiva"},
         {"P\u00e4\u00e4 6859871.251 498696.216  kiintopiste \u00e4\u00e4riviiva"}},
        {"the issue's line", with(fromKkj, {"--columns", "9:11,21:11,1:8"}), TextEncoding::Utf8,
         {"MA1     6688125.692 3397664.936 kaivo", "M\u00c41     6688125.692 3397664.936 kaivo"},
         {"MA1     6685318.530  397537.149 kaivo", "M\u00c41     6685318.530  397537.149 kaivo"}},
        {"a byte-order mark is no column and stays", with(fromKkj, {"--columns", "9:11,21:11"}), TextEncoding::Utf8,
         {kBom + "P32     6862748.149 3498866.128 kaivo", "P32     6862748.149 3498866.128"},
         {kBom + "P32     6859871.251  498696.216 kaivo", "P32     6859871.251  498696.216"}},
        {"ASCII alone", with(fromKkj, {"--fields", "2,3,1"}), TextEncoding::Cp1252,
         {"P32 6862748.149 3498866.128 x", "otsikko"}, {"P32 6859871.251 498696.216  x", "otsikko"}},
        // Chosen wrongly: byte columns read "6688125.69" and "3397664.93" and
        // write the results a byte early, before the last digits of the old ones.
        {"Windows-1252 chosen for UTF-8", with(fromKkj, {"--encoding", "cp1252", "--columns", "9:11,21:11,1:8"}),
         TextEncoding::Cp1252, {"M\u00c41     6688125.692 3397664.936 kaivo"},
         {"M\u00c41    6685318.5282 397537.1436 kaivo"}},
    };
    // Windows-1252 files with the same letters keep the same columns.
    for (const std::size_t i : {std::size_t{0}, std::size_t{1}}) {
        Case c = all[i];
        c.encoding = TextEncoding::Cp1252;
        c.source.resize(c.source.size() - (i == 0 ? 1 : 0));  // U+1F600 has no Windows-1252 byte
        c.expected.resize(c.source.size());
        for (std::string& line : c.source) line = utf8ToCp1252(line);
        for (std::string& line : c.expected) line = utf8ToCp1252(line);
        c.name = i == 0 ? "Windows-1252, fixed: the same letters" : "Windows-1252, free: the same letters";
        all.push_back(c);
    }
    return all;
}

// The engine alone, as a writer of a result file uses it: the encoding
// chosen or decided from the whole file, the byte-order mark taken off and
// put back.
std::string convertWithEngine(const Case& c, const std::string& bytes) {
    std::vector<std::string> args = c.options;
    args.push_back("source");
    std::string error;
    const auto options = parseBatchOptions(args, error);
    EXPECT_TRUE(options.has_value()) << error;
    if (!options) return {};
    EncodingDetector detector;
    detector.feed(bytes);
    detector.finish();
    ConversionState state;
    state.columnStart = options->columnStart;
    state.columnLength = options->columnLength;
    state.fieldNumber = options->fieldNumber;
    state.encoding = options->encoding.value_or(detector.encoding());
    EXPECT_EQ(state.encoding, c.encoding);
    DatumTransformation datum;
    ConversionEngine engine(options->settings, datum, state);
    std::string out;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t end = bytes.find("\r\n", at);
        std::string line = bytes.substr(at, end - at);
        at = end + 2;
        const bool bom = out.empty() && state.encoding == TextEncoding::Utf8 && line.starts_with(kBom);
        if (bom) line.erase(0, kBom.size());
        const std::string before = line;
        const ResultFileLine outcome = engine.convertResultFileLine(line, options->layout);
        if (outcome == ResultFileLine::Converted) {
            const std::string broken = options->layout == LineLayout::FreeFormat
                                           ? result_file_checks::checkFree(state, before, line)
                                           : result_file_checks::checkFixed(state, before, line);
            EXPECT_EQ(broken, "") << before;
        }
        out += (bom ? kBom : "") + line + "\r\n";
    }
    return out;
}

class SourceEncodingTest : public testing::BatchFolderTest {};

TEST_F(SourceEncodingTest, ColumnsCountCharactersAndEverythingElseStays) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        const std::string source = crlf(c.source);
        const std::string expected = crlf(c.expected);
        EXPECT_EQ(convertWithEngine(c, source), expected) << "the engine";

        write(path("in.txt"), source);
        std::vector<std::string> args = c.options;
        args.insert(args.end(), {"-o", path("out.txt"), path("in.txt")});
        EXPECT_EQ(runBatch(args).exitStatus, 0) << read(path("stderr"));
        EXPECT_EQ(read(path("out.txt")), expected) << "lomitra-batch, a regular file";

        testing::BatchRunOptions stream;
        stream.input = path("in.txt");
        stream.output = path("stream.txt");
        args = c.options;
        args.push_back("-");
        EXPECT_EQ(runBatch(args, stream).exitStatus, 0) << read(path("stderr"));
        EXPECT_EQ(read(path("stream.txt")), expected) << "lomitra-batch, a stream";
    }
}

// A stream whose first megabyte is ASCII and whose later lines carry UTF-8
// letters is still read as UTF-8; its table waits for the decision, up to
// 4 MiB of table lines, beyond which it is Windows-1252 throughout.
TEST_F(SourceEncodingTest, AStreamIsDecidedFromItsFirstLineBeyondAscii) {
    const std::string ascii = "P32     6862748.149 3498866.128 kaivo\r\n";
    const std::string asciiOut = "P32     6859871.251  498696.216 kaivo\r\n";
    const std::string letters = "P\u00e4\u00e4     6862748.149 3498866.128 \u00f6\r\n";
    const std::string lettersOut = "P\u00e4\u00e4     6859871.251  498696.216 \u00f6\r\n";
    for (const auto& [asciiLines, table] : {std::pair{40000, TextEncoding::Utf8}, std::pair{60000, TextEncoding::Cp1252}}) {
        SCOPED_TRACE(asciiLines);
        std::string source;
        std::string expected;
        for (int i = 0; i < asciiLines; ++i) source += ascii, expected += asciiOut;
        write(path("in.txt"), source + letters + letters);
        testing::BatchRunOptions stream;
        stream.input = path("in.txt");
        stream.output = path("out.txt");
        ASSERT_EQ(runBatch({"--direction", "kkj-euref", "--columns", "9:11,21:11,1:8", "--table", path("t.txt"), "-"},
                           stream).exitStatus, 0);
        EXPECT_TRUE(read(path("out.txt")) == expected + lettersOut + lettersOut) << "letters, and their columns";
        const std::string written = read(path("t.txt"));
        EXPECT_NE(written.find(fromUtf8("\r\nL\u00c4HT\u00d6KOORDINAATIT.", table)), std::string::npos);
        EXPECT_NE(written.find(fromUtf8("\r\nP\u00e4\u00e4      6862748.149", table)), std::string::npos);
        const TextEncoding other = table == TextEncoding::Utf8 ? TextEncoding::Cp1252 : TextEncoding::Utf8;
        EXPECT_EQ(written.find(fromUtf8("\u00e4", other)), std::string::npos) << "one encoding throughout";
    }
}

}  // namespace
}  // namespace lomitra
