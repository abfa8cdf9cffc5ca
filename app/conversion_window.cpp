// The conversion window frmLaske without any window toolkit: typed points,
// file-driven conversion, the result list, result and table files, printing.
#include "app/conversion_window.h"

#include "core/coordinate_text.h"
#include "core/result_line.h"

#include <charconv>
#include <cmath>
#include <string>

#include "app/settings_window.h"
#include "core/rebuild_line.h"
#include "core/text_trim.h"
#include "core/texts.h"
#include "platform/file_encoding.h"
#include "platform/safe_file_writer.h"
#include "platform/text_line_reader.h"

namespace lomitra {

namespace {

// A typed or listed text without leading and trailing spaces (tabs belong to the text).
std::string trimmedText(std::string_view text) { return std::string(trimSpaces(text)); }

constexpr int kEnterKey = 13;
// A result line shorter than this holds no source coordinates (columns 10-37).
constexpr std::size_t kMinCopyBackLength = 38;
// The coordinate line is chosen among lines longer than this when line 0 is short.
constexpr std::size_t kShortFirstLine = 6;
constexpr std::size_t kCoordinateLineMinimum = 16;

// Columns `first`..`first + count - 1` (1-based characters) of `line`, as far as the line reaches.
std::string_view columns(std::string_view line, std::size_t first, std::size_t count, TextEncoding encoding) {
    const std::size_t begin = byteOffsetOfCharacter(line, first - 1, encoding);
    return line.substr(begin, byteOffsetOfCharacter(line, first - 1 + count, encoding) - begin);
}

// Nearest integer, halves to the even integer (the rounding of the window's
// 16-bit conversion); independent of the floating-point rounding mode.
double roundHalfEven(double value) {
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction < 0.5) return lower;
    if (fraction > 0.5) return lower + 1.0;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

std::string joinLines(std::string_view first, std::string_view second) {
    std::string text(first);
    text += texts::kLineBreak;
    text += second;
    return text;
}

// "<text>", the path and the reason in parentheses, each on its own line.
std::string withPathAndReason(std::string_view text, const std::string& path, const std::string& reason) {
    std::string message = joinLines(text, path);
    if (!reason.empty()) message = joinLines(message, "(" + reason + ")");
    return message;
}

}  // namespace


ConversionWindowModel::ConversionWindowModel(ConversionEngine& engine, ConversionSession& session,
                                             PlatformServices& platform)
    : engine_(engine), session_(session), platform_(platform) {}

void ConversionWindowModel::report(MessageKind kind, std::string_view text) {
    platform_.showMessage(kind, text);
}

void ConversionWindowModel::appendResultLine(const std::string& line, TextEncoding lineEncoding) {
    if (lineEncoding != lstTulosEncoding) {
        if (lineEncoding == TextEncoding::Cp1252) {
            lstTulos.push_back(recode(line, lineEncoding, lstTulosEncoding));
            return;
        }
        // UTF-8 text joins the list: all of it becomes UTF-8, so nothing is lost.
        for (std::string& earlier : lstTulos) earlier = recode(earlier, lstTulosEncoding, lineEncoding);
        lstTulosEncoding = lineEncoding;
    }
    lstTulos.push_back(line);
}

void ConversionWindowModel::reportOutsideNetwork(int64_t count) {
    if (count == 1) {
        report(MessageKind::Information, texts::kOutsideNetworkOne);
    } else if (count > 1) {
        report(MessageKind::Information, std::to_string(count) + std::string(texts::kOutsideNetworkMany));
    }
}

void ConversionWindowModel::guideToMark(int32_t index) {
    lblOhje = std::string(texts::kGuidanceMark) + lblKoord[static_cast<std::size_t>(index)];
}

void ConversionWindowModel::prepare() {
    const ConversionSettings& settings = engine_.settings();
    caption = conversionWindowCaption(settings);
    lblOhjelma = programLine(platform_.today());
    session_.resetForPreparation();
    lblOhje = std::string(texts::kGuidancePrepared);
    const InputFieldNames names = inputFieldNames(settings);
    lblKoord[0] = names.first;
    lblKoord[1] = names.second;
    lblKoord[3] = names.firstUnit;
    lblKoord[4] = names.secondUnit;
    lstLahto.clear();
    lstLahtoIndex = -1;
    lstTulos.clear();
    lstTulosEncoding = TextEncoding::Cp1252;
    for (const std::string& line : headingLines(settings)) lstTulos.push_back(line);
    typedOutsideReported_ = false;
}

void ConversionWindowModel::cmdMuunna_Click() {
    if (session_.convertedCount == 0) {
        // The headings written by the settings window end here.
        lastHeadingIndex = static_cast<int32_t>(lstTulos.size()) - 1;
    }
    if (!lstLahto.empty()) {
        convertFile();
    } else {
        convertTypedPoint();
    }
}

void ConversionWindowModel::convertTypedPoint() {
    ConversionState& state = engine_.state();
    state.pointText[0] = trimmedText(txtKoord[0]);
    state.pointText[1] = trimmedText(txtKoord[1]);
    state.pointText[4] = txtKoord[2];
    state.encoding = encoding;
    if (state.pointText[0].empty() || state.pointText[1].empty()) {
        report(MessageKind::Warning, texts::kCoordinatesNotGiven);
        return;
    }
    engine_.convertPoint();
    ++session_.convertedCount;
    appendResultLine(formatResultLine(state), encoding);
    if (view_ != nullptr) view_->focusCoordinateBox(0);
    session_.resultState = ResultState::Converted;
    if (engine_.lastPointOutsideNetwork() && !typedOutsideReported_) {
        typedOutsideReported_ = true;
        report(MessageKind::Information, texts::kTypedPointOutsideNetwork);
    }
}

void ConversionWindowModel::convertFile() {
    ConversionState& state = engine_.state();
    // The boxes are read into 16-bit values; anything outside that range is
    // refused before a single line is converted.
    std::array<int32_t, 3> start{};
    std::array<int32_t, 3> length{};
    for (std::size_t i = 0; i < 3; ++i) {
        const double startValue = roundHalfEven(readNumber(txtAlku[i]));
        const double lengthValue = roundHalfEven(readNumber(txtPituus[i]));
        // The negated comparisons also refuse NaN.
        if (!(startValue >= 0.0 && startValue <= kMaxColumnValue) ||
            !(lengthValue >= 0.0 && lengthValue <= kMaxColumnValue)) {
            report(MessageKind::Warning, texts::kColumnValueOutOfRange);
            return;
        }
        start[i] = static_cast<int32_t>(startValue);
        length[i] = static_cast<int32_t>(lengthValue);
    }
    state.columnStart = start;
    state.columnLength = length;
    if (start[0] == 0 || start[1] == 0 || length[0] == 0 || length[1] == 0) {
        report(MessageKind::Warning, texts::kColumnsNotDefined);
        return;
    }
    state.encoding = encoding;
    splitFieldsInCharacters(state, txtKRivi, encoding);
    for (std::size_t i = 0; i < 3; ++i) {
        state.fieldNumber[i] = fieldNumberAt(state, start[i], length[i], state.fieldNumber[i]);
    }
    const LineLayout lineLayout = layout();
    int64_t outsideNetwork = 0;
    for (const std::string& line : lstLahto) {
        engine_.convertLine(line, lineLayout);
        ++session_.convertedCount;
        if (engine_.lastPointOutsideNetwork()) ++outsideNetwork;
        appendResultLine(formatResultLine(state), encoding);
    }
    lstTulos.emplace_back();
    if (view_ != nullptr) view_->scrollResultListToEnd();
    session_.resultState = ResultState::Converted;
    reportOutsideNetwork(outsideNetwork);
}

bool ConversionWindowModel::txtKoord_KeyPress(int index, int charCode) {
    if (charCode != kEnterKey || index < 0 || index > 2) return false;
    if (index < 2) {
        if (view_ != nullptr) view_->focusCoordinateBox(index + 1);
    } else {
        cmdMuunna_Click();  // as Alt+M on "&Muunna"
    }
    return true;
}

void ConversionWindowModel::lstTulos_Click(int index) {
    if (index <= lastHeadingIndex || index < 0 || static_cast<std::size_t>(index) >= lstTulos.size()) {
        return;
    }
    const std::string& line = lstTulos[static_cast<std::size_t>(index)];
    if (characterCount(line, lstTulosEncoding) < kMinCopyBackLength) return;
    auto copied = [&](std::size_t first, std::size_t count) {
        return recode(trimSpaces(columns(line, first, count, lstTulosEncoding)), lstTulosEncoding, encoding);
    };
    txtKoord[0] = copied(10, 14);
    txtKoord[1] = copied(24, 14);
    txtKoord[2] = copied(1, 8);
}

bool ConversionWindowModel::cmdLopeta_Click() {
    if (session_.resultState == ResultState::Converted && session_.convertedCount > 0) {
        if (platform_.showMessage(MessageKind::Question, texts::kOutputBeforeClosing) == Answer::Yes) {
            report(MessageKind::Information, texts::kChooseOutputThenClose);
            return false;
        }
    }
    return true;
}

void ConversionWindowModel::cmdLahto_Click() {
    if (session_.resultState == ResultState::Converted && !lstLahto.empty()) {
        const std::string question =
            joinLines(texts::kOutputBeforeNewFile1, texts::kOutputBeforeNewFile2);
        if (platform_.showMessage(MessageKind::Question, question) == Answer::Yes) return;
    }
    session_.resultState = ResultState::NothingConverted;
    session_.fileAction = FileAction::OpenSource;
    session_.sourceFileName.clear();
    session_.resultFileName.clear();
    if (view_ != nullptr) view_->showFileChooser(texts::kCaptionOpenSource);
}

bool ConversionWindowModel::readSourceFile(const std::string& path) {
    // Everything is read before anything of the window changes, so that a
    // file that cannot be read leaves the window as it was.
    std::vector<std::string> lines;
    bool moreLines = false;
    TextEncoding fileEncoding = TextEncoding::Cp1252;
    {
        TextLineReader reader(path);
        bool readable = reader.isOpen();
        std::string line;
        while (readable && static_cast<int32_t>(lines.size()) < kMaxSourceLines &&
               reader.readLine(line)) {
            lines.push_back(line);
        }
        const bool failed = reader.failed();
        // A line after the listed ones, even one too long to be read here.
        moreLines = readable && !failed && (reader.readLine(line) || reader.failed());
        std::string reason;
        if (!readable || failed || !detectFileEncoding(path, fileEncoding, reason)) {
            if (reason.empty()) reason = readFailureReason(reader);
            report(MessageKind::Error, joinLines(withPathAndReason(texts::kSourceNotReadable, path, reason),
                                                 texts::kSourceWindowUnchanged));
            return false;
        }
    }
    // An empty file leaves the coordinate line, and so its encoding, as they were.
    if (!lines.empty()) encoding = fileEncoding;
    if (!lines.empty() && encoding == TextEncoding::Utf8 && lines[0].starts_with(kUtf8ByteOrderMark)) {
        lines[0].erase(0, kUtf8ByteOrderMark.size());
    }
    lstLahto = std::move(lines);
    session_.sourceFileName = path;
    for (std::size_t i = 0; i < 3; ++i) {
        txtKoord[i].clear();
        txtAlku[i].clear();
        txtPituus[i].clear();
    }
    if (lstLahto.empty()) {
        lstLahtoIndex = -1;
        return true;
    }
    std::size_t chosen = 0;
    if (trimSpaces(lstLahto[0]).size() < kShortFirstLine) {
        for (std::size_t s = 0; s < lstLahto.size(); ++s) {
            if (trimSpaces(lstLahto[s]).size() >= kCoordinateLineMinimum) {
                chosen = s;
                break;
            }
        }
    }
    txtKRivi = lstLahto[chosen];
    lstLahtoIndex = static_cast<int32_t>(chosen);
    session_.markIndex = 0;
    guideToMark(0);
    if (moreLines) {
        const std::string count = std::to_string(kMaxSourceLines);
        report(MessageKind::Information, std::string(texts::kManySourceLines1) + count +
                                             std::string(texts::kManySourceLines2) + count +
                                             std::string(texts::kManySourceLines3));
    }
    return true;
}

void ConversionWindowModel::cmdSeuraava_Click() {
    if (lstLahto.empty()) return;
    const auto last = static_cast<int32_t>(lstLahto.size()) - 1;
    if (lstLahtoIndex < 0 || lstLahtoIndex >= last) {
        lstLahtoIndex = 0;  // wraps around; from no current line to the first
    } else {
        ++lstLahtoIndex;
    }
    txtKRivi = lstLahto[static_cast<std::size_t>(lstLahtoIndex)];
}

void ConversionWindowModel::markSelection(int32_t start0, int32_t length, std::string_view selected) {
    if (length <= 0 || start0 < 0) return;
    const int32_t item = (session_.markIndex >= 0 && session_.markIndex <= 2) ? session_.markIndex : 0;
    const auto i = static_cast<std::size_t>(item);
    txtKoord[i] = std::string(selected);
    txtAlku[i] = std::to_string(start0 + 1);
    txtPituus[i] = std::to_string(length);
    if (item == 2) {
        session_.markIndex = 0;
        lblOhje = std::string(texts::kGuidanceMarked);
    } else {
        session_.markIndex = item + 1;
        guideToMark(session_.markIndex);
    }
}

void ConversionWindowModel::cmdAloituskohdat_Click() {
    if (lstLahto.empty()) return;
    session_.markIndex = 0;
    guideToMark(0);
}

void ConversionWindowModel::cmdTulostiedosto_Click() {
    if (session_.resultState < ResultState::Converted) {
        report(MessageKind::Warning, texts::kNothingConverted);
        return;
    }
    if (lstLahto.empty()) {
        report(MessageKind::Information, texts::kOnlyFilePoints);
        return;
    }
    if (session_.sourceFileName.empty()) {
        // "&Lähtötiedosto" was cancelled: the lines in the window have no file to be read again.
        report(MessageKind::Warning, texts::kNoSourceFileForResult);
        return;
    }
    session_.fileAction = FileAction::WriteResultFile;
    if (view_ != nullptr) view_->showFileChooser(texts::kCaptionWriteOutput);
}

void ConversionWindowModel::cmdTauTie_Click() {
    if (session_.resultState < ResultState::Converted) {
        report(MessageKind::Warning, texts::kNothingConverted);
        return;
    }
    session_.fileAction = FileAction::WriteTable;
    if (view_ != nullptr) view_->showFileChooser(texts::kCaptionWriteOutput);
}

void ConversionWindowModel::cmdPrintterille_Click() {
    if (!platform_.printConversionWindow()) report(MessageKind::Error, texts::kPrintingFailed);
    session_.resultState = ResultState::ResultsOutput;
}

bool ConversionWindowModel::writeResultFile(const std::string& path) {
    if (session_.sourceFileName.empty()) {
        report(MessageKind::Warning, texts::kNoSourceFileForResult);
        return false;
    }
    TextLineReader reader(session_.sourceFileName);
    SafeFileWriter writer(path);
    if (!reader.isOpen()) return reportReadFailure(reader, writer);
    // The temporary file replaces the target only at commit, after the whole
    // source was read: the source named again as the target is safe.
    if (!writer.open()) return reportWriteFailure(path, writer);
    const LineLayout lineLayout = layout();
    ConversionState& state = engine_.state();
    state.encoding = encoding;  // as decided when the file was read
    ResultFileTally tally;
    int64_t outsideNetwork = 0;
    std::string line;
    // The result file shows no map sheets; the result list keeps them.
    const bool mapSheets = engine_.mapSheets();
    engine_.setMapSheets(false);
    while (reader.readLine(line)) {
        // A byte-order mark is no column of the first line; it stays in the file.
        const bool byteOrderMark = tally.lines == 0 && encoding == TextEncoding::Utf8 &&
                                   line.starts_with(kUtf8ByteOrderMark);
        if (byteOrderMark) line.erase(0, kUtf8ByteOrderMark.size());
        const ResultFileLine outcome = engine_.convertResultFileLine(line, lineLayout);
        tally.count(outcome);
        if (outcome == ResultFileLine::Converted && engine_.lastPointOutsideNetwork()) ++outsideNetwork;
        if (byteOrderMark) line.insert(0, kUtf8ByteOrderMark);
        writer.writeLine(line);
    }
    engine_.setMapSheets(mapSheets);
    if (reader.failed()) return reportReadFailure(reader, writer);  // the writer discards its file
    reader.close();  // before the source may be replaced
    if (!writer.commit()) return reportWriteFailure(path, writer);
    finishOutput(path, tally.converted, texts::kPointsWritten);
    reportOutsideNetwork(outsideNetwork);
    if (tally.notFitting > 0) {
        report(MessageKind::Warning, notFittingMessage(tally.notFitting, tally.firstNotFitting));
    }
    return true;
}

bool ConversionWindowModel::writeResultTable(const std::string& path) {
    SafeFileWriter writer(path);
    if (!writer.open()) return reportWriteFailure(path, writer);
    for (const std::string& line : lstTulos) writer.writeLine(line);
    if (!writer.commit()) return reportWriteFailure(path, writer);
    finishOutput(path, static_cast<int64_t>(lstTulos.size()), texts::kLinesWritten);
    return true;
}

bool ConversionWindowModel::reportReadFailure(const TextLineReader& reader, const SafeFileWriter& writer) {
    report(MessageKind::Error,
           joinLines(withPathAndReason(texts::kSourceNotReadable, session_.sourceFileName, readFailureReason(reader)),
                     failureOutcomeText(writer.bytesDelivered())));
    return false;
}

bool ConversionWindowModel::reportWriteFailure(const std::string& path, const SafeFileWriter& writer) {
    report(MessageKind::Error, joinLines(withPathAndReason(texts::kFileNotWritable, path, writer.reason()),
                                         failureOutcomeText(writer.bytesDelivered())));
    return false;
}

void ConversionWindowModel::finishOutput(const std::string& path, int64_t count,
                                         std::string_view countText) {
    session_.resultState = ResultState::ResultsOutput;
    session_.resultFileName = path;
    if (view_ != nullptr) view_->refreshFileList();
    report(MessageKind::Information, joinLines(std::to_string(count) + std::string(countText), path));
}

}  // namespace lomitra
