// The conversion engine of one run: converts the point that stands in
// ConversionState according to the settings of that moment, cuts points out
// of file lines and puts the results back into them.
//
// Positions in lines are 1-based columns, counted in characters of the
// state's encoding (bytes of Windows-1252 text).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/conversion_settings.h"
#include "core/conversion_state.h"
#include "core/line_fields.h"
#include "geodesy/datum_transformation.h"

namespace lomitra {

// What became of one line of a result file.
enum class ResultFileLine {
    Converted,     // the results were put in place
    NotConverted,  // no convertible point: copied unchanged
    DoesNotFit,    // converted, but a result would lose an integer digit: copied unchanged
};

// What became of the lines of a result file, counted in their order.
struct ResultFileTally {
    int64_t lines = 0;
    int64_t converted = 0;        // lines whose point converted (rebuilt in the result file)
    int64_t notConverted = 0;     // lines without a convertible point, copied unchanged
    int64_t notFitting = 0;       // lines whose results did not fit their room, copied unchanged
    int64_t firstNotFitting = 0;  // line number (from 1) of the first of them

    void count(ResultFileLine outcome) {
        ++lines;
        switch (outcome) {
            case ResultFileLine::Converted:
                ++converted;
                break;
            case ResultFileLine::NotConverted:
                ++notConverted;
                break;
            case ResultFileLine::DoesNotFit:
                if (notFitting++ == 0) firstNotFitting = lines;
                break;
        }
    }
};

class ConversionEngine {
public:
    // The engine reads `settings` at every point and never copies it.
    ConversionEngine(const ConversionSettings& settings, DatumTransformation& datum,
                     ConversionState& state);

    // Converts pointText[0], [1] into pointText[2], [3], kkjSheet, utmSheet,
    // or leaves a message. The caller makes sure both source texts are non-empty.
    void convertPoint();

    // Cuts the point out of `line` by the current columns or field numbers and
    // converts it. Afterwards `message` is empty when the line converted.
    void convertLine(std::string_view line, LineLayout layout);

    // One line of a result file: converts `line` and, when it converted and
    // its results fit (rebuildLine), puts them in place. Any other line stays
    // byte for byte. The state holds the point either way.
    ResultFileLine convertResultFileLine(std::string& line, LineLayout layout);

    // Whether the last point converted lay outside the triangulation network
    // (similarity transformation, about 1-2 m accuracy); false after a
    // refused point.
    bool lastPointOutsideNetwork() const { return lastOutsideNetwork_; }

    // Whether convertPoint derives kkjSheet and utmSheet (on unless turned
    // off). The result-file writers turn it off while they write: a result
    // file never shows the map sheets, and they cost about as much as the
    // rest of the conversion. Off, both stay empty.
    void setMapSheets(bool on) { mapSheets_ = on; }
    bool mapSheets() const { return mapSheets_; }

    ConversionState& state() { return state_; }
    const ConversionSettings& settings() const { return settings_; }
    DatumTransformation& datum() { return datum_; }

private:
    // The engine's own messages in one encoding.
    struct Messages {
        std::string unsuitable;      // "annetuille asetuksille sopimattomat koordinaatit"
        std::string missing;         // "lähtökoordinaatit puuttuvat"
        std::string minutesSeconds;  // "minuutit ja sekunnit oltava välillä 0-60"
    };
    static Messages messagesIn(TextEncoding encoding);
    const Messages& messages() const {
        return state_.encoding == TextEncoding::Utf8 ? utf8Messages_ : cp1252Messages_;
    }
    // Sets `message` to one of the engine's own texts (in the lines' encoding).
    void refuse(const std::string& text) {
        state_.message = text;
        lastOutsideNetwork_ = false;
    }

    const ConversionSettings& settings_;
    DatumTransformation& datum_;
    ConversionState& state_;
    Messages cp1252Messages_;
    Messages utf8Messages_;
    bool lastOutsideNetwork_ = false;
    bool mapSheets_ = true;
};

}  // namespace lomitra
