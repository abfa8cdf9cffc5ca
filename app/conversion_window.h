// The conversion window frmLaske without any window toolkit.
//
// ConversionWindowModel holds the contents of the window's controls that its
// logic reads or writes, and runs every handler of the window on them: typed
// and file-driven conversion, the result list, the coordinate line and its
// marking, the result and table files, printing and closing. The Qt window is
// a thin layer over it: an event handler copies the widgets' contents into the
// model, calls one handler, and then shows the model's contents again.
//
// What the model cannot do itself (show another window, move the focus,
// scroll a list) it asks of a ConversionWindowView, which the Qt window
// implements. Hiding the window is the return value of cmdLopeta_Click.
//
// Encodings: txtKoord, txtAlku, txtPituus, txtKRivi and lstLahto hold bytes
// of `encoding`, the encoding of the source file read last (decided from the
// whole file when it is read, and kept for its result file); Windows-1252
// until a UTF-8 file is read. Columns, lengths and selection positions count
// characters of that encoding. lstTulos holds bytes of lstTulosEncoding:
// Windows-1252 (the headings, typed points and lines of Windows-1252 files
// byte for byte) until a line of UTF-8 text joins it; then every line is
// UTF-8, the earlier ones recoded, until the window is prepared again. The
// table file is written as lstTulos holds it. A UTF-8 byte-order mark is no
// part of the first line in lstLahto, and the result file keeps it. Labels
// and the caption are UTF-8. Paths are native (UTF-8).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/conversion_session.h"
#include "app/platform_services.h"
#include "core/conversion_engine.h"
#include "core/conversion_settings.h"

namespace lomitra {

class SafeFileWriter;
class TextLineReader;

// The requests of the model to the window that shows it.
class ConversionWindowView {
public:
    virtual ~ConversionWindowView() = default;
    // Shows the file selection window without blocking and sets its caption (UTF-8).
    virtual void showFileChooser(std::string_view caption) = 0;
    // Moves the input focus to txtKoord(index), index 0..2.
    virtual void focusCoordinateBox(int index) = 0;
    // Selects the last line of lstTulos, which scrolls the list to its end,
    // and then clears the selection.
    virtual void scrollResultListToEnd() = 0;
    // Lists the files of the file selection window's folder again, after a file was written.
    virtual void refreshFileList() = 0;
};

// Largest start column or length a box may hold (the 16-bit range the window reads them into).
inline constexpr int32_t kMaxColumnValue = 32767;
// Lines of a source file that are read into lstLahto.
inline constexpr int32_t kMaxSourceLines = 1001;

class ConversionWindowModel {
public:
    ConversionWindowModel(ConversionEngine& engine, ConversionSession& session,
                          PlatformServices& platform);
    ConversionWindowModel(const ConversionWindowModel&) = delete;
    ConversionWindowModel& operator=(const ConversionWindowModel&) = delete;

    // The window that shows the model; nullptr (the default) ignores the requests.
    void setView(ConversionWindowView* view) { view_ = view; }

    // ---- Contents of the controls (created state of the window) ----
    std::string caption;                      // window caption, UTF-8
    std::string lblOhje;                      // guidance text, UTF-8
    std::array<std::string, 6> lblKoord{"", "", "Tunnus", "", "", "(ei pakollinen)"};  // UTF-8
    std::string lblOhjelma;                   // program line with the date, UTF-8
    std::array<std::string, 3> txtKoord;      // first coordinate, second coordinate, identifier
    std::array<std::string, 3> txtAlku;       // start columns as typed or marked
    std::array<std::string, 3> txtPituus;     // lengths as typed or marked
    std::string txtKRivi;                     // the coordinate line
    bool optFree = false;                     // false: optFixed selected
    std::vector<std::string> lstLahto;        // at most kMaxSourceLines lines of the source file
    int32_t lstLahtoIndex = -1;               // current line of lstLahto, -1 none
    std::vector<std::string> lstTulos;        // headings and result lines
    int32_t lastHeadingIndex = 100;           // index of the last heading line in lstTulos
    TextEncoding encoding = TextEncoding::Cp1252;         // of the boxes, txtKRivi and lstLahto
    TextEncoding lstTulosEncoding = TextEncoding::Cp1252;  // of lstTulos

    LineLayout layout() const { return optFree ? LineLayout::FreeFormat : LineLayout::FixedColumns; }
    ConversionSession& session() { return session_; }
    const ConversionSession& session() const { return session_; }

    // ---- Handlers ----

    // The settings window's "&Muunna": caption, program line with today's date,
    // session reset, guidance, input field names, both lists emptied and the
    // eight heading lines written, all from the settings of this moment.
    // The text boxes and the layout option keep their contents.
    void prepare();

    // "&Muunna": the whole source file when lstLahto holds lines, else the typed point.
    void cmdMuunna_Click();

    // A key in txtKoord(index). Enter (13) in box 0 or 1 moves the focus on; in
    // box 2 it converts. True when the key was Enter and has been handled.
    bool txtKoord_KeyPress(int index, int charCode);

    // A click on line `index` of lstTulos: a result line puts its point back
    // into the input boxes; headings, separators and short lines are ignored.
    void lstTulos_Click(int index);

    // "&Sulje": may ask whether to output first. True when the window is to be hidden.
    bool cmdLopeta_Click();

    // "&Lähtötiedosto": may ask first; then resets the workflow and asks the
    // view to show the file selection window for a source file.
    void cmdLahto_Click();

    // Reads the first kMaxSourceLines lines of `path` into lstLahto, decides
    // the encoding from the whole file and chooses the coordinate line; says
    // when the file has more lines than the list shows. When the file cannot
    // be opened or read, shows an error and leaves the window as it was;
    // returns false.
    bool readSourceFile(const std::string& path);

    // "Seuraava &rivi": the next line of lstLahto (wrapping) into txtKRivi.
    void cmdSeuraava_Click();

    // Mouse-up in txtKRivi: the selection (start counted from 0 and length,
    // in characters; the selected bytes) fills the item of markIndex. An
    // empty selection does nothing.
    void markSelection(int32_t start0, int32_t length, std::string_view selected);

    // "&Aloituskohdat": mark from the first coordinate again.
    void cmdAloituskohdat_Click();

    // "&Tuloskoordinaatit tiedostoon" and "M&uunnostaulu tiedostoon": check,
    // set fileAction and ask the view for the file selection window.
    void cmdTulostiedosto_Click();
    void cmdTauTie_Click();

    // "Muunnostaulu &kirjoittimelle": prints through the platform; a failure
    // is reported. resultState becomes ResultsOutput either way.
    void cmdPrintterille_Click();

    // Writes the whole source file again, every line, with the converted
    // coordinates in place, through a temporary file. Reports the count of
    // converted lines and of the points outside the network, then warns of
    // lines whose results did not fit their room (written unchanged). On any failure: an error message, the old target
    // untouched, resultState and resultFileName unchanged; returns false.
    bool writeResultFile(const std::string& path);

    // Writes the lines of lstTulos; reports their number. Failure as above.
    bool writeResultTable(const std::string& path);

private:
    void convertTypedPoint();
    void convertFile();
    // Appends a line of `lineEncoding` to lstTulos, in the list's encoding.
    void appendResultLine(const std::string& line, TextEncoding lineEncoding);
    // "<k> pistettä oli kolmioverkon ulkopuolella; ..." when k > 0.
    void reportOutsideNetwork(int64_t count);
    void guideToMark(int32_t index);
    void report(MessageKind kind, std::string_view text);
    // Error messages of the file writers (source, then target); return false.
    bool reportReadFailure(const TextLineReader& reader, const SafeFileWriter& writer);
    bool reportWriteFailure(const std::string& path, const SafeFileWriter& writer);
    // After a file was written: the session, the file list and the count message.
    void finishOutput(const std::string& path, int64_t count, std::string_view countText);

    ConversionEngine& engine_;
    ConversionSession& session_;
    PlatformServices& platform_;
    ConversionWindowView* view_ = nullptr;
    // A typed point outside the network has been reported since the window was prepared.
    bool typedOutsideReported_ = false;
};

}  // namespace lomitra
