// Texts of the users' files (Windows-1252 or UTF-8 bytes, text_encoding.h)
// shown in Qt widgets: every character of the model is one QChar, or two
// for a UTF-8 character beyond U+FFFF (a surrogate pair), so positions in a
// widget become character positions through codePoints().
#pragma once

#include <QString>
#include <QStringView>
#include <string>
#include <string_view>

#include "core/text_encoding.h"

namespace lomitra {

inline QString fromEncoded(std::string_view bytes, TextEncoding encoding) {
    return QString::fromStdString(toUtf8(bytes, encoding));
}

inline std::string toEncoded(const QString& text, TextEncoding encoding) {
    return fromUtf8(text.toStdString(), encoding);
}

// The characters (code points) of `text` before its UTF-16 position `position`.
inline int codePoints(const QString& text, int position) {
    return static_cast<int>(QStringView(text).left(position).toUcs4().size());
}

}  // namespace lomitra
