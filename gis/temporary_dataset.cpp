#include "gis/temporary_dataset.h"

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <random>
#include <system_error>

#include "platform/interrupt_cleanup.h"
#include "platform/native_file.h"
#include "platform/safe_file_writer.h"
#include "platform/system_error_text.h"
#include "core/texts.h"

namespace lomitra::gis {
namespace {

namespace fs = std::filesystem;

constexpr int kFolderTries = 100;
// The longest name of a folder (bytes), as most file systems take.
constexpr std::size_t kNameLimit = 255;

// A Shapefile's companions (lower case; the extension's case is followed).
constexpr const char* kShapefileCompanions[] = {".shx", ".dbf", ".prj", ".cpg", ".qix",
                                                ".sbn", ".sbx", ".qpj", ".shp.xml"};

std::string lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

std::string reasonOf(const std::error_code& error) { return systemErrorText(error.value()); }

}  // namespace

std::vector<std::string> companionFiles(const std::string& path) {
    const fs::path p = nativePath(path);
    const std::string extension = utf8Name(p.extension());
    if (lower(extension) != ".shp") return {};
    const bool upperCase = extension == ".SHP";
    fs::path stem = p;
    stem.replace_extension();
    std::vector<std::string> files;
    for (const char* companion : kShapefileCompanions) {
        files.push_back(utf8Name(stem) + (upperCase ? upper(companion) : std::string(companion)));
    }
    return files;
}

TemporaryDataset::TemporaryDataset(std::string destination) : destination_(std::move(destination)) {}

TemporaryDataset::~TemporaryDataset() {
    removeFolder();  // nothing to do after commit(), which removed it
    unregisterAll();
}

bool TemporaryDataset::destinationExists() const {
    std::error_code error;
    if (fs::exists(nativePath(destination_), error)) return true;
    for (const std::string& file : companionFiles(destination_)) {
        if (fs::exists(nativePath(file), error)) return true;
    }
    return false;
}

bool TemporaryDataset::create(std::string& reason) {
    const fs::path destination = nativePath(destination_);
    fs::path parent = destination.parent_path();
    if (parent.empty()) parent = ".";
    const std::string name = utf8Name(destination.filename());
    uint64_t random = std::random_device{}();
    std::error_code error;
    for (int attempt = 0; attempt < kFolderTries; ++attempt) {
        const fs::path folder = parent / nativePath(temporaryNameFor(name, kNameLimit, random));
        {
            const DeferInterrupts untilRegistered;  // no folder exists unregistered
            if (!fs::create_directory(folder, error)) {
                if (error) break;
                continue;  // the name was taken
            }
            folder_ = utf8Name(folder);
            registerTemporaryFile(folder_);
            registered_.insert(folder_);
        }
        path_ = utf8Name(folder / destination.filename());
        return true;
    }
    reason = error ? reasonOf(error) : systemErrorText(EEXIST);
    return false;
}

void TemporaryDataset::registerFiles() {
    if (folder_.empty()) return;
    // The names GDAL may make, registered before they exist, then whatever else is there.
    std::vector<std::string> names{path_, path_ + "-journal", path_ + "-wal", path_ + "-shm"};
    for (const std::string& companion : companionFiles(path_)) names.push_back(companion);
    std::error_code error;
    for (fs::directory_iterator it(nativePath(folder_), error), end; !error && it != end; it.increment(error)) {
        names.push_back(utf8Name(it->path()));
    }
    for (const std::string& name : names) {
        if (registered_.insert(name).second) registerTemporaryFile(name);
    }
}

void TemporaryDataset::unregisterAll() {
    for (const std::string& name : registered_) unregisterTemporaryFile(name);
    registered_.clear();
}

void TemporaryDataset::removeFolder() {
    if (folder_.empty()) return;
    std::error_code error;
    fs::remove_all(nativePath(folder_), error);
    folder_.clear();
}

bool TemporaryDataset::commit(std::string& reason) {
    std::error_code error;
    std::vector<fs::path> made;
    for (fs::directory_iterator it(nativePath(folder_), error), end; !error && it != end; it.increment(error)) {
        made.push_back(it->path());
    }
    if (error) {
        reason = reasonOf(error);
        return false;
    }
    for (const fs::path& file : made) {
        if (!syncFile(utf8Name(file))) {
            reason = systemErrorText(errno);
            return false;
        }
    }
    const fs::path parent = nativePath(destination_).parent_path();
    std::set<std::string> newNames;
    std::string replaced;
    const DeferInterrupts wholeOrNotBegun;
    for (const fs::path& file : made) {
        const fs::path target = parent / file.filename();
        fs::rename(file, target, error);
        if (error) {
            reason = reasonOf(error);
            if (!replaced.empty()) {
                reason += ". " + std::string(texts::kGisReplaceIncomplete) + replaced +
                          std::string(texts::kGisReplaceIncomplete2) + utf8Name(file.filename());
            }
            return false;
        }
        newNames.insert(utf8Name(target.filename()));
        replaced += (replaced.empty() ? "" : ", ") + utf8Name(target.filename());
    }
    // Old companions that the new set lacks (an index of the old .shp, say) would not match it.
    for (const std::string& companion : companionFiles(destination_)) {
        const fs::path old = nativePath(companion);
        if (newNames.count(utf8Name(old.filename())) == 0) fs::remove(old, error);
    }
    removeFolder();
    unregisterAll();
    return true;
}

}  // namespace lomitra::gis
