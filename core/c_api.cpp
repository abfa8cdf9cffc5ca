// The C interface over the C++ one. Nothing thrown inside gets out: every
// function catches everything and answers by its result.
#include <algorithm>
#include <cstring>
#include <exception>
#include <string>
#include <string_view>

#include "core/texts.h"
#include "lomitra/lomitra.h"
#include "lomitra/lomitra.hpp"

struct lomitra_transformer {
    lomitra::Transformer transformer;
};

namespace {

// Copies `text` into out[0 .. size), cut at a character's boundary where it
// does not fit, always ending in a NUL; nothing for a null `out` or size 0.
void copyText(std::string_view text, char* out, size_t size) {
    if (out == nullptr || size == 0) return;
    size_t n = std::min(text.size(), size - 1);
    if (n < text.size()) {
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;  // a UTF-8 continuation byte
    }
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

// 0, or 1 for an unusable system, 2 for no room in `out`.
template <class SheetOf>
int mapSheet(SheetOf sheetOf, const char* crs, double north, double east, char* out, size_t out_size) {
    if (out == nullptr || out_size == 0) return 2;
    out[0] = '\0';
    try {
        if (crs == nullptr) return 1;
        const std::string sheet = sheetOf(lomitra::Crs(crs), lomitra::Point{north, east});
        if (sheet.size() >= out_size) return 2;
        copyText(sheet, out, out_size);
        return 0;
    } catch (...) {
        return 1;
    }
}

}  // namespace

extern "C" {

lomitra_transformer* lomitra_transformer_create(const char* source, const char* target, char* error,
                                                size_t error_size) {
    try {
        if (source == nullptr || target == nullptr) {
            copyText(lomitra::texts::kNoName, error, error_size);
            return nullptr;
        }
        auto* t = new lomitra_transformer{lomitra::Transformer(source, target)};
        copyText("", error, error_size);
        return t;
    } catch (const std::exception& e) {
        copyText(e.what(), error, error_size);
    } catch (...) {
        copyText(lomitra::texts::kUnknownError, error, error_size);
    }
    return nullptr;
}

void lomitra_transformer_destroy(lomitra_transformer* t) { delete t; }

size_t lomitra_transform(const lomitra_transformer* t, size_t count, double* north, size_t north_stride_bytes,
                         double* east, size_t east_stride_bytes, signed char* status) {
    if (t == nullptr) return 0;
    try {
        return t->transformer.transform(count, north, north_stride_bytes, east, east_stride_bytes,
                                        reinterpret_cast<lomitra::Status*>(status), 1);
    } catch (...) {
        return 0;  // bad arguments, checked before anything is written
    }
}

int lomitra_kkj_map_sheet(const char* crs, double north, double east, char* out, size_t out_size) {
    return mapSheet(lomitra::kkjMapSheet, crs, north, east, out, out_size);
}

int lomitra_utm_map_sheet(const char* crs, double north, double east, char* out, size_t out_size) {
    return mapSheet(lomitra::utmMapSheet, crs, north, east, out, out_size);
}

const char* lomitra_version(void) { return lomitra::version(); }

}  // extern "C"
