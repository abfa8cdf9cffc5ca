// A dataset written beside its destination and put in its place only when it
// is complete: a whole new dataset, or the old one as it was.
//
// GDAL writes into a hidden folder ".NAME.lomitra-XXXXXX" in the
// destination's folder (one file system, so the files can be renamed in
// place; NAME shortened where the whole would pass 255 bytes), under the
// destination's own file name. The folder and the files in it are registered
// with the interrupt cleanup, so that SIGINT, SIGTERM or SIGHUP while GDAL
// writes remove them and leave the old destination alone.
//
// commit() makes the new files durable (fsync), then, with the interrupting
// signals held back, renames each over its old namesake in the destination's
// folder and removes the old set's files that the new set lacks (a
// Shapefile's .qix, say). Each rename is atomic; a set of several files
// (Shapefile: .shp .shx .dbf .prj .cpg) is replaced file by file, so only a
// failure that no signal causes (a power cut, SIGKILL) between two renames
// could leave old and new files side by side.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace lomitra::gis {

// The files that make up the dataset `path` besides itself, by its
// extension: a Shapefile's .shx, .dbf, .prj, .cpg and indexes (in the
// extension's case). Other formats: none.
std::vector<std::string> companionFiles(const std::string& path);

class TemporaryDataset {
public:
    explicit TemporaryDataset(std::string destination);
    ~TemporaryDataset();  // removes the folder and its files unless committed
    TemporaryDataset(const TemporaryDataset&) = delete;
    TemporaryDataset& operator=(const TemporaryDataset&) = delete;

    // Whether the destination or any of its companion files exists.
    bool destinationExists() const;
    // Creates the hidden folder. False with a reason (Finnish) on failure.
    bool create(std::string& reason);
    // The name GDAL writes: the destination's file name in the hidden folder.
    const std::string& path() const { return path_; }
    // Registers with the interrupt cleanup every file now in the folder (and
    // the journals a database may make beside `path`).
    void registerFiles();
    // Replaces the destination (GDAL must have closed the dataset). False with
    // a reason on failure: nothing replaced, or the files replaced so far named.
    bool commit(std::string& reason);

private:
    void unregisterAll();
    void removeFolder();

    std::string destination_;
    std::string folder_;
    std::string path_;
    std::set<std::string> registered_;
};

// Makes the file `path` durable (POSIX fsync). False with errno set.
bool syncFile(const std::string& path);

}  // namespace lomitra::gis
