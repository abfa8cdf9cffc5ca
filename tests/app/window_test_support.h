// Shared helpers of the window logic tests: a scripted platform, a recording
// view, a temporary folder and a fixture that wires a conversion window model
// to a real engine and datum transformation.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/conversion_session.h"
#include "app/conversion_window.h"
#include "app/file_chooser.h"
#include "app/platform_services.h"
#include "core/conversion_engine.h"
#include "geodesy/datum_transformation.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"

namespace lomitra::testing {

// Records what the models ask of their windows.
class RecordingView : public ConversionWindowView, public FileChooserView {
public:
    void showFileChooser(std::string_view caption) override {
        chooserCaptions.emplace_back(caption);
    }
    void focusCoordinateBox(int index) override { focus.push_back(index); }
    void scrollResultListToEnd() override { ++scrolls; }
    void refreshFileList() override { ++refreshes; }
    void hideChooser() override { ++hides; }

    std::vector<std::string> chooserCaptions;
    std::vector<int> focus;
    int scrolls = 0;
    int refreshes = 0;
    int hides = 0;
};

// Lines joined with CR LF after each.
inline std::string crlfLines(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    return bytes;
}

// Splits a file's bytes at CR LF; the content must end in CR LF.
inline std::vector<std::string> splitCrlf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "content does not end in CR LF";
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Text padded with spaces and cut to `width` characters.
inline std::string padded(const std::string& text, std::size_t width) {
    std::string out = text.substr(0, width);
    out.resize(width, ' ');
    return out;
}

// Network point 32 of JHS 154: its KKJ (zone 3) and ETRS-TM35FIN coordinates
// as the published point list gives them. Its map sheets, worked out by hand
// from the sheet division rules: KKJ 321310C4, UTM N4333G3.
inline constexpr const char* kPoint32KkjP = "6862748.149";
inline constexpr const char* kPoint32KkjI = "3498866.128";
inline constexpr const char* kPoint32EurefN = "6859871.251";
inline constexpr const char* kPoint32EurefE = "498696.216";
inline constexpr const char* kPoint32Sheets = "321310C4   N4333G3 ";

// The ResultLine of a converted point (identifier, source and result texts
// as the list shows them, sheets with their trailing blanks).
inline std::string convertedLine(const std::string& id, const std::string& source1,
                                 const std::string& source2, const std::string& result1,
                                 const std::string& result2, const std::string& sheets) {
    return padded(id, 8) + " " + padded(source1, 14) + padded(source2, 14) + "  " +
           padded(result1, 14) + padded(result2, 14) + "  " + sheets;
}

// The ResultLine of a point that failed: no results, no sheets, the message
// (Windows-1252) from column 42.
inline std::string failedLine(const std::string& id, const std::string& source1,
                              const std::string& source2, const std::string& messageBytes) {
    return padded(id, 8) + " " + padded(source1, 14) + padded(source2, 14) + "    " + messageBytes;
}

// Lines the settings window writes into the result list when it prepares the window.
inline constexpr std::size_t kHeadingCount = 8;

// A conversion window model over a real engine, with settings for
// ETRS-TM35FIN -> KKJ zone 3 (plane to plane) unless a test changes them.
struct WindowFixture {
    WindowFixture() {
        settings.direction = 0;
        settings.sourceKind = 0;
        settings.sourceZone = 1;
        settings.resultKind = 0;
        settings.resultZone = 3;
        window.setView(&view);
    }

    // The settings window's "&Muunna" with the fixture's settings.
    void prepare() { window.prepare(); }

    // "&Muunna" was refused with the one warning `text`, and nothing was converted.
    void expectRefusedConversion(std::string_view text) const {
        const auto shown = platform.only();
        EXPECT_EQ(shown.kind, MessageKind::Warning);
        EXPECT_EQ(shown.text, text);
        EXPECT_EQ(window.lstTulos.size(), kHeadingCount);
        EXPECT_EQ(session.convertedCount, 0);
        EXPECT_EQ(session.resultState, ResultState::NothingConverted);
    }

    ConversionSettings settings;
    DatumTransformation datum;
    ConversionState state;
    ConversionEngine engine{settings, datum, state};
    ConversionSession session;
    ScriptedPlatform platform;
    RecordingView view;
    ConversionWindowModel window{engine, session, platform};
};

}  // namespace lomitra::testing
