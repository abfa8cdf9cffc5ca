// A fresh folder under the system's temporary folder for one test, removed
// afterwards. Its name is UTF-8, as every name in the program.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "platform/file_paths.h"
#include "platform/native_file.h"

namespace lomitra::testing {

// A whole file's bytes, and writing them (the name UTF-8).
inline std::string readBytes(const std::string& path) {
    std::ifstream in(nativePath(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(nativePath(path), std::ios::binary | std::ios::trunc) << bytes;
}

class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "lomitra-test-") {
        std::mt19937_64 random(static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                               reinterpret_cast<uintptr_t>(this));
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const std::filesystem::path candidate = base / nativePath(prefix + std::to_string(random() % 1000000000));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) path_ = utf8Name(candidate);
        }
        if (path_.empty()) ADD_FAILURE() << "no temporary folder could be made";
    }
    ~TempFolder() {
        std::error_code error;
        std::filesystem::remove_all(nativePath(path_), error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    // The names in the folder, sorted.
    std::vector<std::string> names() const {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(nativePath(path_))) {
            found.push_back(utf8Name(entry.path().filename()));
        }
        std::sort(found.begin(), found.end());
        return found;
    }
    // `name` in the folder, joined as the file selection window joins names.
    std::string file(const std::string& name) const { return joinPath(path_, name, kNativePathStyle); }

private:
    std::string path_;
};

}  // namespace lomitra::testing
