#include "platform/file_encoding.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/native_file.h"
#include "platform/system_error_text.h"
#include "platform/text_line_reader.h"

namespace lomitra {

bool detectFileEncoding(const std::string& path, TextEncoding& encoding, std::string& reason) {
    errno = 0;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(openForReading(path), &std::fclose);
    if (file == nullptr) {
        reason = systemErrorText(errno);
        return false;
    }
    EncodingDetector detector;
    std::vector<char> block(kReadBlockBytes);
    std::size_t got = 0;
    // Past a byte that no UTF-8 text holds nothing can change the decision.
    while (!detector.malformed() && (got = std::fread(block.data(), 1, block.size(), file.get())) > 0) {
        detector.feed(std::string_view(block.data(), got));
    }
    if (std::ferror(file.get()) != 0) {
        reason = systemErrorText(errno);
        return false;
    }
    detector.finish();
    encoding = detector.encoding();
    return true;
}

}  // namespace lomitra
