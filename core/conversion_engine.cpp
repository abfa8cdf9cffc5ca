// The conversion of one point and of one file line.
//
// convertPoint follows the order of work of the program: read the source
// texts, bring a plane EUREF-FIN source into ETRS-TM35FIN, transform the datum
// (JHS 154: triangle affine inside the network, Helmert outside), derive the
// map sheets from the work-plane point, re-project a plane EUREF-FIN result
// into its zone and write the two 14-character result texts.
//
// The numbers between reading and writing the texts (the zones and the datum
// transformation) are those of convertPointNumbers (point_conversion.h).
//
// Guards beyond the plain order of work, each refusing the point the same way
// as a point outside the accepted area:
//   - a number that reads as infinite or NaN (an overflow such as "1e999");
//   - a source text that holds no number, which the reading rule reads as 0;
//   - an ETRS-GKn source whose east value names a zone above 32;
//   - any non-finite value left by a re-projection or the transformation.
// Field numbers and columns outside the line or the field table make the
// coordinate missing instead of reading past either.
#include "core/conversion_engine.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/coordinate_text.h"
#include "core/map_sheet.h"
#include "core/point_conversion.h"
#include "core/rebuild_line.h"
#include "core/text_trim.h"
#include "core/texts.h"
#include "geodesy/ellipsoid.h"

namespace lomitra {
namespace {

constexpr double kRho = kDegreesPerRadian;  // degrees per radian

// The text of free-format field `f` of the line last split into
// state.fieldStart (the run of field characters from its start); false when
// the line has no such field. The last entry of the table, field 99, is only
// a whole field when nothing follows it; on a line of more than 100 fields it
// would run on over the fields the table could not hold, so it counts as
// missing then.
bool cutField(const ConversionState& state, std::string_view line, int32_t f, std::string& out) {
    if (f < 0 || f >= kMaxFields) return false;  // the next entry would lie outside the table
    const int32_t end = state.fieldStart[f + 1];
    const int32_t begin = state.fieldStart[f];
    if (end == 0 || begin < 1 || end <= begin ||
        static_cast<std::size_t>(end - 1) > line.size()) {
        return false;
    }
    const char* const first = line.data() + (begin - 1);
    const char* const stop = line.data() + (end - 1);
    const char* const fieldEnd = firstSeparator(first, stop);
    if (f == kMaxFields - 1 && firstFieldCharacter(fieldEnd, stop) != stop) return false;
    out.assign(first, fieldEnd);
    return true;
}

// The `length` characters from 1-based `start` (fewer at the end of the line),
// trimmed of spaces; empty when the start lies outside [1, line length) or the
// length is not positive. Characters are bytes unless `encoding` is UTF-8.
// Inlined: a call per column range costs about 1 % of a result file.
[[gnu::always_inline]] inline std::string_view cutColumns(std::string_view line, int32_t start, int32_t length,
                                                          TextEncoding encoding) {
    if (encoding == TextEncoding::Cp1252) {
        if (start < 1 || static_cast<std::size_t>(start) >= line.size() || length <= 0) return {};
        return trimSpaces(line.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(length)));
    }
    if (start < 1 || static_cast<std::size_t>(start) >= characterCount(line, encoding) || length <= 0) return {};
    const auto first = static_cast<std::size_t>(start) - 1;
    const std::size_t begin = byteOffsetOfCharacter(line, first, encoding);
    const std::size_t end = byteOffsetOfCharacter(line, first + static_cast<std::size_t>(length), encoding);
    return trimSpaces(line.substr(begin, end - begin));
}

}  // namespace

ConversionEngine::ConversionEngine(const ConversionSettings& settings, DatumTransformation& datum,
                                   ConversionState& state)
    : settings_(settings),
      datum_(datum),
      state_(state),
      cp1252Messages_(messagesIn(TextEncoding::Cp1252)),
      utf8Messages_(messagesIn(TextEncoding::Utf8)) {}

ConversionEngine::Messages ConversionEngine::messagesIn(TextEncoding encoding) {
    return {fromUtf8(texts::kUnsuitableCoordinates, encoding), fromUtf8(texts::kSourceCoordinatesMissing, encoding),
            fromUtf8(texts::kMinutesSeconds, encoding)};
}

void ConversionEngine::convertPoint() {
    ConversionState& s = state_;
    const ConversionSettings& cfg = settings_;

    // 1. Nothing of an earlier point stays.
    s.pointText[2].clear();
    s.pointText[3].clear();
    s.kkjSheet.clear();
    s.utmSheet.clear();
    s.message.clear();

    // 2. Below 9 characters the input is short: fewer decimals in the result.
    s.sourceLength = static_cast<int32_t>(trimSpaces(s.pointText[0]).size());

    // 4. Source numbers; both are always read, so both texts get their decimal point.
    const double read1 = parseNumber(s.pointText[0]);
    const double read2 = parseNumber(s.pointText[1]);
    double c1 = read1;  // north (metres) or latitude (radians)
    double c2 = read2;  // east (metres) or longitude (radians)
    if (cfg.geographicSource()) {
        c1 = angleToDegrees(read1, cfg.sourceFormat, s.message) / kRho;
        c2 = angleToDegrees(read2, cfg.sourceFormat, s.message) / kRho;
    }

    // 6. Minutes or seconds out of range.
    if (!s.message.empty()) {
        refuse(messages().minutesSeconds);
        return;
    }
    // A text that holds no number ("nan", "-", a word) reads as 0, which is
    // no coordinate: as an east value in ETRS-TM35FIN it would lie inside the
    // accepted area and be converted.
    if ((read1 == 0.0 && !holdsNumber(s.pointText[0])) || (read2 == 0.0 && !holdsNumber(s.pointText[1]))) {
        refuse(messages().unsuitable);
        return;
    }

    // 3, 5, 7, 8, 10. The numbers through the zones and the datum transformation
    // (point_conversion.h); a point outside the accepted area is refused.
    double r1 = 0.0;
    double r2 = 0.0;
    const DatumStatus status = convertPointNumbers(cfg, datum_, c1, c2, r1, r2);
    if (status == DatumStatus::OutsideArea) {
        refuse(messages().unsuitable);
        return;
    }
    lastOutsideNetwork_ = status == DatumStatus::OutsideNetwork;

    // 9. Map sheets from both work planes, for every converted point that
    // something shows.
    if (mapSheets_) {
        const SheetPoint& sheet = datum_.sheetPoint();
        s.kkjSheet = kkjSheetId(sheet.kkjP, sheet.kkjI);
        s.kkjSheet.append("   ");
        s.utmSheet = utmSheetId(sheet.eurefN, sheet.eurefE);
        s.utmSheet.push_back(' ');
    }

    // 11. Geographic result: degrees in the chosen notation; 12. plane
    // result: "0.0" for short input, "0.000" otherwise. Left-aligned in 14.
    if (cfg.geographicResult()) {
        const PackedAngle first = packAngle(r1 * kRho, cfg.resultFormat, s.sourceLength);
        s.resultNumber = {first.number, packAngle(r2 * kRho, cfg.resultFormat, s.sourceLength).number};
        s.resultDecimals = first.decimals;
    } else {
        s.resultNumber = {r1, r2};
        s.resultDecimals = s.sourceLength <= 8 ? 1 : 3;
    }
    for (std::size_t i = 0; i < 2; ++i) {
        std::string& text = s.pointText[i + 2];
        appendNumber(text, s.resultNumber[i], s.resultDecimals);
        text.resize(kResultTextWidth, ' ');
    }
}

void ConversionEngine::convertLine(std::string_view line, LineLayout layout) {
    ConversionState& s = state_;
    for (std::string& text : s.pointText) text.clear();
    s.kkjSheet.clear();
    s.utmSheet.clear();
    s.message.clear();

    if (layout == LineLayout::FreeFormat) {
        splitFields(s, line);
        for (int i = 0; i < 2; ++i) {
            if (!cutField(s, line, s.fieldNumber[i], s.pointText[i])) {
                refuse(messages().missing);
                return;
            }
        }
        if (s.columnLength[2] > 0) cutField(s, line, s.fieldNumber[2], s.pointText[4]);
    } else {
        const TextEncoding columns = columnEncoding(s.encoding, line);
        for (int i = 0; i < 2; ++i) {
            s.pointText[i].assign(cutColumns(line, s.columnStart[i], s.columnLength[i], columns));
            if (s.pointText[i].empty()) refuse(messages().missing);
        }
        s.pointText[4].assign(cutColumns(line, s.columnStart[2], s.columnLength[2], columns));
    }

    if (s.message.empty()) convertPoint();
}

ResultFileLine ConversionEngine::convertResultFileLine(std::string& line, LineLayout layout) {
    convertLine(line, layout);
    if (!state_.message.empty()) return ResultFileLine::NotConverted;
    // convertLine split this very line (free format): its fields are in the state.
    return rebuildSplitLine(state_, line, layout) ? ResultFileLine::Converted : ResultFileLine::DoesNotFit;
}


}  // namespace lomitra
