// Windows-1252 bytes shown in Qt widgets: every byte is exactly one QChar,
// so character positions in a widget are byte columns.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "engine/cp1252.h"

namespace lomitra {

inline QString fromCp1252(std::string_view bytes) {
    return QString::fromStdString(cp1252ToUtf8(bytes));
}

inline std::string toCp1252(const QString& text) {
    return utf8ToCp1252(text.toStdString());
}

}  // namespace lomitra
