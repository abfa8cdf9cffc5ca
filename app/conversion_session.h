// The workflow state of the conversion window (ConversionSession).
//
// One object for the whole run, shared by the settings window (which resets it
// when it prepares the conversion window), the conversion window and the file
// selection window. It decides which actions may run, and in which order.
#pragma once

#include <cstdint>
#include <string>

namespace lomitra {

// What has happened to the results since the window was prepared.
enum class ResultState : int16_t {
    NothingConverted = 1,  // nothing converted since preparing or since a new source file was asked for
    Converted = 2,         // results exist that have not been output
    ResultsOutput = 3,     // a result file or the table was written, or printing was attempted
};

// What the file selection window does when the user accepts a file.
enum class FileAction : int16_t {
    OpenSource = 1,       // readSourceFile
    WriteResultFile = 2,  // writeResultFile
    WriteTable = 3,       // writeResultTable
};

struct ConversionSession {
    ResultState resultState = ResultState::NothingConverted;
    FileAction fileAction = FileAction::OpenSource;
    // Points handed to the engine since the window was prepared, converted or not.
    int64_t convertedCount = 0;
    // Which item the next selection on the coordinate line fills: 0 first
    // coordinate, 1 second coordinate, 2 identifier.
    int32_t markIndex = 0;
    std::string sourceFileName;  // full path of the source file last read (native, UTF-8); empty after "&Lähtötiedosto"
    std::string resultFileName;  // full path of the last file written
    std::string chosenPath;      // path built by the file selection window at its last accepted choice

    // What the settings window's "&Muunna" resets.
    void resetForPreparation() {
        resultState = ResultState::NothingConverted;
        convertedCount = 0;
        markIndex = 0;
    }
};

}  // namespace lomitra
