// The fixed-column line of one point in the result list.
#include "core/result_line.h"

#include <algorithm>

namespace lomitra {
namespace {

// Appends `text` padded with spaces and cut to `width` characters (never
// inside a UTF-8 character).
void appendPadded(std::string& out, std::string_view text, std::size_t width, TextEncoding encoding) {
    if (columnEncoding(encoding, text) == TextEncoding::Utf8) {
        const std::string_view cut = firstCharacters(text, width, encoding);
        out.append(cut);
        out.append(width - characterCount(cut, encoding), ' ');
        return;
    }
    const std::size_t n = std::min(text.size(), width);
    out.append(text.data(), n);
    out.append(width - n, ' ');
}

}  // namespace

std::string formatResultLine(const ConversionState& state) {
    std::string out;
    formatResultLine(state, out);
    return out;
}

void formatResultLine(const ConversionState& state, std::string& out) {
    out.clear();
    appendPadded(out, state.pointText[4], 8, state.encoding);  // columns 1-8: identifier
    out.push_back(' ');
    appendPadded(out, state.pointText[0], 14, state.encoding);  // 10-23
    appendPadded(out, state.pointText[1], 14, state.encoding);  // 24-37
    out.append("  ");
    out.append(state.pointText[2]);  // 40-53 when converted
    out.append(state.pointText[3]);  // 54-67
    out.append("  ");
    out.append(state.kkjSheet);  // from column 70 when converted
    out.append(state.utmSheet);
    out.append(state.message);  // from column 42 when not converted
}

}  // namespace lomitra
