// The result-file line operation over random lines: random Windows-1252
// bytes, or UTF-8 text with letters of two, three and four bytes (now and
// then a byte that begins no sequence), blanks and tabs, both layouts, random
// marked ranges (in characters) and field numbers, random settings and
// coordinates of every kind. Whatever the line, it holds that
//   - a line that does not convert, or whose results do not fit, comes back
//     byte for byte;
//   - in a converted line no character outside the coordinate rooms changes
//     (free format: apart from the shift after a widened field, whose field
//     number and those after it stay), and fixed columns keep the width of
//     the line in characters;
//   - every written coordinate is the full result rounded to its room:
//     never one integer digit less.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "core/conversion_engine.h"
#include "tests/support/result_file_line_checks.h"

namespace lomitra {
namespace {

using Rng = std::mt19937_64;

int uniformInt(Rng& rng, int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
double uniformReal(Rng& rng, double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(rng);
}
bool chance(Rng& rng, double p) { return std::bernoulli_distribution(p)(rng); }

std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// An angle in degrees written in format 0 (dd), 1 (ddmm.mm) or 2 (ddmmss.ss).
std::string angleText(double degrees, int format, int decimals) {
    const double d = std::floor(degrees);
    const double minutes = (degrees - d) * 60.0;
    if (format == 0) return fixed(degrees, decimals);
    if (format == 1) return fixed(d * 100.0 + minutes, decimals);
    const double m = std::floor(minutes);
    return fixed(d * 10000.0 + m * 100.0 + (minutes - m) * 60.0, decimals);
}

ConversionSettings randomSettings(Rng& rng) {
    ConversionSettings s;
    s.direction = uniformInt(rng, 0, 1);
    s.sourceKind = uniformInt(rng, 0, 1);
    s.resultKind = uniformInt(rng, 0, 1);
    s.sourceZone = s.direction == 0 ? uniformInt(rng, 0, 2) : 0;
    s.resultZone = s.direction == 0 ? uniformInt(rng, 0, 5) : uniformInt(rng, 0, 16);
    s.sourceFormat = uniformInt(rng, 0, 2);
    s.resultFormat = uniformInt(rng, 0, 2);
    return s;
}

// Source texts of a point in or near Finland for the settings; now and then
// something that does not convert.
std::pair<std::string, std::string> randomSource(Rng& rng, const ConversionSettings& s) {
    const int decimals = uniformInt(rng, 0, 6);
    std::string first;
    std::string second;
    if (chance(rng, 0.05)) return {"x" + fixed(uniformReal(rng, 0, 1e7), 1), fixed(uniformReal(rng, 0, 1e7), 1)};
    if (s.sourceKind == 1) {
        first = angleText(uniformReal(rng, 59.0, 70.5), s.sourceFormat, decimals);
        second = angleText(uniformReal(rng, 18.0, 33.0), s.sourceFormat, decimals);
    } else if (s.direction == 1) {  // KKJ, the zone in the first digit of I
        first = fixed(uniformReal(rng, 6.6e6, 7.8e6), decimals);
        second = fixed(uniformInt(rng, 1, 4) * 1e6 + uniformReal(rng, 1e5, 9e5), decimals);
    } else {  // ETRS-TM3x, now and then ETRS-GKnn
        first = fixed(uniformReal(rng, 6.6e6, 7.8e6), decimals);
        const double east = chance(rng, 0.2) ? uniformInt(rng, 19, 32) * 1e6 + uniformReal(rng, 3e5, 7e5)
                                             : uniformReal(rng, 5e4, 8e5);
        second = fixed(east, decimals);
    }
    if (chance(rng, 0.1)) std::replace(first.begin(), first.end(), '.', ',');  // decimal comma
    return {first, second};
}

// Letters of UTF-8 text beyond ASCII: two, three and four bytes, and a
// Windows-1252 byte that begins no UTF-8 sequence.
const std::vector<std::string> kUtf8Letters = {"\u00e4", "\u00f6", "\u00e5", "\u00c4", "\u00d6", "\u00c5",
                                               "\u00e9", "\u20ac", "\u2013", "\u6f22", "\U0001F600", "\xE4"};

// A word of random characters above the space: Windows-1252 bytes, or
// UTF-8 letters among ASCII ones.
std::vector<std::string> randomWord(Rng& rng, TextEncoding encoding) {
    std::vector<std::string> word(static_cast<std::size_t>(uniformInt(rng, 1, 8)));
    for (std::string& c : word) {
        if (encoding == TextEncoding::Utf8 && chance(rng, 0.5)) {
            c = kUtf8Letters[static_cast<std::size_t>(uniformInt(rng, 0, static_cast<int>(kUtf8Letters.size()) - 1))];
        } else {
            c = std::string(1, static_cast<char>(uniformInt(rng, 33, encoding == TextEncoding::Utf8 ? 126 : 255)));
        }
    }
    return word;
}

std::vector<std::string> charactersOf(const std::string& ascii) {
    std::vector<std::string> out;
    for (char c : ascii) out.emplace_back(1, c);
    return out;
}

std::string randomSeparators(Rng& rng) {
    std::string out(static_cast<std::size_t>(uniformInt(rng, 1, 3)), ' ');
    for (char& c : out) c = chance(rng, 0.2) ? '\t' : ' ';
    return out;
}

class ResultFileLineProperty : public ::testing::Test {
protected:
    ConversionSettings settings;
    DatumTransformation datum;
    ConversionState state;
    ConversionEngine engine{settings, datum, state};
};

TEST_F(ResultFileLineProperty, RandomLinesKeepEveryCharacterAndEveryIntegerDigit) {
    Rng rng(20261208);
    int64_t outcomes[3] = {0, 0, 0};
    int64_t utf8Converted = 0;
    for (int n = 0; n < 16000; ++n) {
        settings = randomSettings(rng);
        state.encoding = chance(rng, 0.4) ? TextEncoding::Utf8 : TextEncoding::Cp1252;
        const auto [c1, c2] = randomSource(rng, settings);
        const bool free = chance(rng, 0.5);
        const bool swapped = chance(rng, 0.2);

        // Words and separators, with the two coordinates among the words.
        std::vector<std::vector<std::string>> words;
        const int count = uniformInt(rng, 2, 7);
        for (int w = 0; w < count; ++w) words.push_back(randomWord(rng, state.encoding));
        const int p1 = uniformInt(rng, 0, count);
        words.insert(words.begin() + p1, charactersOf(swapped ? c2 : c1));
        const int p2 = uniformInt(rng, p1 + 1, count + 1);
        words.insert(words.begin() + p2, charactersOf(swapped ? c1 : c2));
        std::string line = chance(rng, 0.3) ? randomSeparators(rng) : "";
        int32_t characters = static_cast<int32_t>(line.size());
        std::vector<int32_t> starts;  // 1-based start of each word, in characters
        for (std::size_t w = 0; w < words.size(); ++w) {
            if (w > 0) {
                const std::string separators = randomSeparators(rng);
                line += separators;
                characters += static_cast<int32_t>(separators.size());
            }
            starts.push_back(characters + 1);
            for (const std::string& c : words[w]) line += c;
            characters += static_cast<int32_t>(words[w].size());
        }
        if (chance(rng, 0.5)) line += randomSeparators(rng);

        const int first = swapped ? p2 : p1;
        const int second = swapped ? p1 : p2;
        if (free) {
            state.fieldNumber = {first, second, -1};
            if (chance(rng, 0.05)) state.fieldNumber[uniformInt(rng, 0, 1)] = uniformInt(rng, -1, 105);
            state.columnLength[2] = 0;
        } else {
            for (int i = 0; i < 2; ++i) {
                const int w = i == 0 ? first : second;
                const auto size = static_cast<int32_t>(words[static_cast<std::size_t>(w)].size());  // characters
                state.columnStart[i] = std::max(1, starts[static_cast<std::size_t>(w)] - uniformInt(rng, 0, 3));
                state.columnLength[i] = std::max(1, size + uniformInt(rng, -3, 8));
            }
            state.columnStart[2] = 0;
            state.columnLength[2] = 0;
        }

        std::string out = line;
        const LineLayout layout = free ? LineLayout::FreeFormat : LineLayout::FixedColumns;
        const ResultFileLine outcome = engine.convertResultFileLine(out, layout);
        ++outcomes[static_cast<int>(outcome)];
        SCOPED_TRACE(line);
        if (outcome != ResultFileLine::Converted) {
            ASSERT_EQ(out, line) << "a line not written converted stays byte for byte";
            EXPECT_EQ(state.message.empty(), outcome == ResultFileLine::DoesNotFit);
            continue;
        }
        ASSERT_EQ(state.message, "");
        const std::string broken = free ? result_file_checks::checkFree(state, line, out)
                                        : result_file_checks::checkFixed(state, line, out);
        ASSERT_EQ(broken, "") << line << " -> " << out;
        if (state.encoding == TextEncoding::Utf8) ++utf8Converted;
    }
    // Every outcome occurs often enough for the properties to mean something.
    EXPECT_GT(outcomes[static_cast<int>(ResultFileLine::Converted)], 4000);
    EXPECT_GT(outcomes[static_cast<int>(ResultFileLine::NotConverted)], 500);
    EXPECT_GT(outcomes[static_cast<int>(ResultFileLine::DoesNotFit)], 500);
    EXPECT_GT(utf8Converted, 1500);
}

}  // namespace
}  // namespace lomitra
