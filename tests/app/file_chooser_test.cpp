// The file selection window's logic without a window: building the path,
// every check of "&Avaa" for the three purposes, drives and folders.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/file_chooser.h"
#include "core/texts.h"
#include "platform/file_paths.h"
#include "platform/native_file.h"
#include "window_test_support.h"

namespace lomitra {
namespace {

using testing::crlfLines;
using testing::kPoint32EurefE;
using testing::kPoint32EurefN;
using testing::kPoint32KkjI;
using testing::kPoint32KkjP;
using testing::readBytes;
using testing::splitCrlf;
using testing::TempFolder;
using testing::WindowFixture;
using testing::writeBytes;

class FileChooserTest : public ::testing::Test, public WindowFixture {
protected:
    void SetUp() override {
        prepare();
        chooser.setView(&view);
    }

    // Opens `name` in the chooser's folder as the source file and converts
    // it, north in columns 5-15 and east (with the blank before it) in 17-27.
    void openAndConvert(const std::string& name) {
        session.fileAction = FileAction::OpenSource;
        chooser.txtTiedosto = name;
        ASSERT_TRUE(chooser.acceptFileChoice());
        window.markSelection(4, 11, kPoint32EurefN);
        window.markSelection(16, 11, std::string(" ") + kPoint32EurefE);
        window.cmdMuunna_Click();
        ASSERT_EQ(session.resultState, ResultState::Converted);
        platform.shown.clear();
        view.hides = 0;
    }

    TempFolder folder;
    FileChooserModel chooser{window, platform, folder.path()};
};

// Lines of network point 32 behind a three-digit number, and the same lines
// converted to KKJ zone 3.
std::vector<std::string> sourceLines(int count) {
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        lines.push_back(std::to_string(100 + i % 900) + " " + kPoint32EurefN + "  " + kPoint32EurefE + " \xE4");
    }
    return lines;
}
std::vector<std::string> resultLines(int count) {
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        lines.push_back(std::to_string(100 + i % 900) + " " + kPoint32KkjP + " " + kPoint32KkjI + " \xE4");
    }
    return lines;
}

TEST_F(FileChooserTest, AMissingNameIsRefused) {
    for (const FileAction action : {FileAction::OpenSource, FileAction::WriteTable}) {
        session.fileAction = action;
        platform.shown.clear();
        chooser.txtTiedosto = "";
        EXPECT_FALSE(chooser.acceptFileChoice());
        EXPECT_EQ(platform.only().kind, MessageKind::Warning);
        EXPECT_EQ(platform.only().text, texts::kFileNameMissing);
        EXPECT_EQ(view.hides, 0);
    }
}

TEST_F(FileChooserTest, NamesWithWildcardsAreRefused) {
    writeBytes(folder.file("a.txt"), "6859871.251 498696.216\r\n");
    for (const FileAction action : {FileAction::OpenSource, FileAction::WriteTable}) {
        for (const std::string& typed :
             {std::string("*.txt"), std::string("?.txt"), std::string("[ab].txt"), std::string("a]"),
              folder.path() + "/*"}) {
            SCOPED_TRACE(typed);
            session.fileAction = action;
            platform.shown.clear();
            chooser.txtTiedosto = typed;
            EXPECT_FALSE(chooser.acceptFileChoice());
            EXPECT_EQ(platform.only().text, texts::kWildcardInName);
            EXPECT_EQ(view.hides, 0);
        }
    }
    EXPECT_TRUE(window.lstLahto.empty());
}

TEST_F(FileChooserTest, NamesChosenFromTheFileListAreTakenWhateverTheyHold) {
    const std::string point = std::string(kPoint32EurefN) + " " + kPoint32EurefE + "\r\n";
    std::filesystem::create_directory(folder.file("sub"));
#ifdef _WIN32
    const std::vector<std::string> names = {"[x].txt", "kohde]"};  // * and ? cannot be in a Windows name
#else
    const std::vector<std::string> names = {"w*.txt", "a?b.txt", "[x].txt", "kohde]"};
#endif
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        writeBytes(folder.file(name), point);

        // Clicked in the list: read as the source; written over after the question.
        session.fileAction = FileAction::OpenSource;
        platform.shown.clear();
        chooser.fileClicked(name);
        EXPECT_TRUE(chooser.nameIsFromFileList());
        EXPECT_TRUE(chooser.acceptFileChoice());
        EXPECT_TRUE(platform.shown.empty());
        EXPECT_EQ(session.sourceFileName, folder.file(name));
        EXPECT_EQ(window.lstLahto, std::vector<std::string>{point.substr(0, point.size() - 2)});
        session.sourceFileName.clear();
        session.fileAction = FileAction::WriteTable;
        platform.answers.push_back(Answer::No);
        chooser.fileClicked(name);
        EXPECT_FALSE(chooser.acceptFileChoice());
        EXPECT_EQ(platform.only().kind, MessageKind::Question) << "the overwrite question, no refusal";

        // The same name typed, edited after the click, or left over from
        // another folder: refused as a pattern.
        struct Case {
            const char* what;
            std::function<void()> act;
        };
        const Case cases[] = {
            {"typed", [&] { chooser.nameTyped(name); }},
            {"clicked, then edited", [&] { chooser.fileClicked(name); chooser.nameTyped(name + "x"); }},
            {"clicked, then typed again", [&] { chooser.fileClicked(name); chooser.nameTyped(name); }},
            {"clicked, then replaced", [&] { chooser.fileClicked(name); chooser.txtTiedosto = "*.txt"; }},
            {"clicked, then another folder",
             [&] {
                 chooser.fileClicked(name);
                 ASSERT_TRUE(chooser.changeFolder(folder.file("sub")));
             }},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            ASSERT_TRUE(chooser.changeFolder(folder.path()));
            chooser.nameTyped("");  // forget earlier clicks
            c.act();
            platform.shown.clear();
            EXPECT_FALSE(chooser.nameIsFromFileList());
            EXPECT_FALSE(chooser.acceptFileChoice());
            EXPECT_EQ(platform.only().text, texts::kWildcardInName);
        }
        ASSERT_TRUE(chooser.changeFolder(folder.path()));
    }
    EXPECT_EQ(view.hides, static_cast<int>(names.size())) << "hidden once for each name read";
}

TEST_F(FileChooserTest, WithoutAConversionWindowNothingIsDone) {
    writeBytes(folder.file("a.txt"), "6859871.251 498696.216\r\n");
    session.fileAction = FileAction::OpenSource;
    chooser.setWindow(nullptr);
    chooser.fileClicked("a.txt");
    EXPECT_FALSE(chooser.acceptFileChoice());
    EXPECT_TRUE(platform.shown.empty());
    EXPECT_EQ(view.hides, 0);
    EXPECT_EQ(chooser.txtTiedosto, "a.txt") << "the name stays";
    chooser.setWindow(&window);
    EXPECT_TRUE(chooser.acceptFileChoice());
    EXPECT_EQ(window.lstLahto.size(), 1u);
}

TEST_F(FileChooserTest, ABareNameLiesInTheFolderAndANameWithAFolderPartIsAPath) {
    session.fileAction = FileAction::OpenSource;
    struct Case {
        std::string typed;
        std::string expectedPath;
    };
    const Case cases[] = {
        {"missing.txt", folder.file("missing.txt")},
        {"/no/such/missing.txt", "/no/such/missing.txt"},
        {"sub/missing.txt", "sub/missing.txt"},
        {"C:\\data\\missing.txt", "C:\\data\\missing.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        platform.shown.clear();
        chooser.txtTiedosto = c.typed;
        EXPECT_FALSE(chooser.acceptFileChoice());
        EXPECT_EQ(session.chosenPath, c.expectedPath);
        EXPECT_EQ(platform.only().kind, MessageKind::Warning);
        EXPECT_EQ(platform.only().text, "Ei löydy tiedostoa:\r\n" + c.expectedPath);
        EXPECT_EQ(view.hides, 0);
    }
}

TEST_F(FileChooserTest, AcceptingASourceFileHidesAndReadsIt) {
    writeBytes(folder.file("points.txt"), crlfLines(sourceLines(3)));
    chooser.fileClicked("points.txt");  // a click in the file list fills the name
    session.fileAction = FileAction::OpenSource;
    EXPECT_TRUE(chooser.acceptFileChoice());
    EXPECT_EQ(view.hides, 1);
    EXPECT_TRUE(platform.shown.empty());
    EXPECT_EQ(session.sourceFileName, folder.file("points.txt"));
    EXPECT_EQ(window.lstLahto, sourceLines(3));
    EXPECT_EQ(chooser.txtTiedosto, "points.txt");  // the contents stay for the next use
}

// The source as the output, in any spelling: its own name or path, a path
// through a folder and back, a hard link.
TEST_F(FileChooserTest, TheSourceFileItselfIsRefusedAsTheOutput) {
    writeBytes(folder.file("points.txt"), crlfLines(sourceLines(2)));
    std::filesystem::create_directory(folder.file("sub"));
    std::filesystem::create_hard_link(folder.file("points.txt"), folder.file("link.txt"));
    openAndConvert("points.txt");
    for (const FileAction action : {FileAction::WriteResultFile, FileAction::WriteTable}) {
        for (const std::string& typed : {std::string("points.txt"), folder.file("points.txt"),
                                          folder.path() + "/./points.txt", folder.path() + "/sub/../points.txt",
                                          std::string("link.txt")}) {
            SCOPED_TRACE(typed);
            session.fileAction = action;
            platform.shown.clear();
            chooser.txtTiedosto = typed;
            EXPECT_FALSE(chooser.acceptFileChoice());
            EXPECT_EQ(platform.only().kind, MessageKind::Warning);
            EXPECT_EQ(platform.only().text,
                      "Tulostiedosto ja lähtötiedosto ovat sama tiedosto.\r\nEi voida tulostaa");
            EXPECT_EQ(view.hides, 0);
        }
    }
    EXPECT_EQ(readBytes(folder.file("points.txt")), crlfLines(sourceLines(2)));
    EXPECT_EQ(session.resultState, ResultState::Converted);
}

TEST_F(FileChooserTest, AnExistingOutputIsOverwrittenOnlyAfterYes) {
    writeBytes(folder.file("points.txt"), crlfLines(sourceLines(2)));
    openAndConvert("points.txt");
    const std::string target = folder.file("result.txt");
    writeBytes(target, "old\r\n");
    const std::string question =
        "Tiedosto:  " + target + "\r\non jo olemassa. Kirjoitetaanko vanhan tiedon päälle?";

    session.fileAction = FileAction::WriteResultFile;
    chooser.txtTiedosto = "result.txt";
    platform.answers = {Answer::No};
    EXPECT_FALSE(chooser.acceptFileChoice());
    EXPECT_EQ(platform.only().kind, MessageKind::Question);
    EXPECT_EQ(platform.only().text, question);
    EXPECT_EQ(readBytes(target), "old\r\n");
    EXPECT_EQ(view.hides, 0);
    EXPECT_EQ(session.resultState, ResultState::Converted);

    platform.shown.clear();
    platform.answers = {Answer::Yes};
    EXPECT_TRUE(chooser.acceptFileChoice());
    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(platform.shown[0].text, question);
    EXPECT_EQ(platform.shown[1].text, "2 pistettä tulostettu tiedostoon:\r\n" + target);
    EXPECT_EQ(readBytes(target), crlfLines(resultLines(2)));
    EXPECT_EQ(view.hides, 1);
    EXPECT_EQ(session.resultState, ResultState::ResultsOutput);
    EXPECT_EQ(session.resultFileName, target);
    EXPECT_EQ(session.chosenPath, target);
}

TEST_F(FileChooserTest, ANewTableFileIsWrittenWithoutAQuestion) {
    window.txtKoord = {kPoint32EurefN, kPoint32EurefE, "T"};
    window.cmdMuunna_Click();
    window.cmdTauTie_Click();
    chooser.txtTiedosto = "table.txt";
    EXPECT_TRUE(chooser.acceptFileChoice());
    EXPECT_EQ(platform.only().text, "9 riviä tulostettu tiedostoon:\r\n" + folder.file("table.txt"));
    EXPECT_EQ(splitCrlf(readBytes(folder.file("table.txt"))), window.lstTulos);
}

// The result file writer itself, asked for the source in another spelling
// (which the chooser refuses), still reads the whole source before the
// result replaces it.
TEST_F(FileChooserTest, TheSourceInAnotherSpellingIsReadWholeBeforeItIsReplaced) {
    std::filesystem::create_directory(folder.file("sub"));
    constexpr int kLines = 20000;  // long enough to need many blocks of reading
    writeBytes(folder.file("points.txt"), crlfLines(sourceLines(kLines)));
    openAndConvert("points.txt");
    const std::string spelling = folder.path() + "/sub/../points.txt";
    EXPECT_TRUE(window.writeResultFile(spelling));
    EXPECT_EQ(platform.only().text, std::to_string(kLines) + " pistettä tulostettu tiedostoon:\r\n" + spelling);
    EXPECT_EQ(readBytes(folder.file("points.txt")), crlfLines(resultLines(kLines)));
}

TEST_F(FileChooserTest, CancelHidesAndChangesNothing) {
    window.cmdLahto_Click();
    chooser.txtTiedosto = "typed.txt";
    chooser.cmdPeruuta_Click();
    EXPECT_EQ(view.hides, 1);
    EXPECT_EQ(session.fileAction, FileAction::OpenSource);
    EXPECT_EQ(session.resultState, ResultState::NothingConverted);
    EXPECT_EQ(chooser.txtTiedosto, "typed.txt");
    EXPECT_TRUE(platform.shown.empty());
}

TEST_F(FileChooserTest, AnUnreadableDriveOrFolderKeepsThePreviousOne) {
    const std::string start = chooser.folder();
    const std::string startDrive = chooser.drive();
    EXPECT_EQ(start, folder.path());

    const std::string missing = folder.file("no-such-drive");
    EXPECT_FALSE(chooser.changeDrive(missing));
    EXPECT_EQ(platform.only().kind, MessageKind::Warning);
    EXPECT_EQ(platform.only().text, std::string(texts::kDriveNotReadable) + "\r\n" + missing);
    EXPECT_EQ(chooser.drive(), startDrive);
    EXPECT_EQ(chooser.folder(), start);

    platform.shown.clear();
    writeBytes(folder.file("plain-file"), "x");
    EXPECT_FALSE(chooser.changeFolder(folder.file("plain-file")));
    EXPECT_EQ(platform.only().text, std::string(texts::kFolderNotReadable) + "\r\n" + folder.file("plain-file"));
    EXPECT_EQ(chooser.folder(), start);

    platform.shown.clear();
    EXPECT_TRUE(chooser.changeDrive("/"));
    EXPECT_EQ(chooser.drive(), "/");
    EXPECT_EQ(chooser.folder(), "/");
    EXPECT_TRUE(chooser.changeFolder(start));
    EXPECT_EQ(chooser.folder(), start);
    EXPECT_TRUE(platform.shown.empty());
}

TEST_F(FileChooserTest, FileListShowsTheOrdinaryFilesOfTheFolder) {
    writeBytes(folder.file("b.txt"), "");
    writeBytes(folder.file("a.dat"), "");
    std::filesystem::create_directory(folder.file("c-folder"));
    EXPECT_EQ(chooser.fileNames(), (std::vector<std::string>{"a.dat", "b.txt"}));
}

// The drives come from the platform's mounted volumes, filtered for the style.
TEST_F(FileChooserTest, DrivesAreTheMountedVolumesOfTheSystem) {
    platform.volumes = {"/", "/proc", "/media/usb", "/mnt/kortti/", "/run/media/anna/USB", "/home"};
    EXPECT_EQ(FileChooserModel(platform, "/media/usb/pisteet", PathStyle::Posix).availableDrives(),
              (std::vector<std::string>{"/", "/media/usb", "/mnt/kortti", "/run/media/anna/USB"}));
    platform.volumes = {"C:\\", "d:/", "Z:\\", "\\\\server\\share\\"};
    EXPECT_EQ(FileChooserModel(platform, "C:\\Temp", PathStyle::Windows).availableDrives(),
              (std::vector<std::string>{"C:\\", "D:\\", "Z:\\"}));
}

// Windows paths, on every system: the drive follows the folder's drive letter,
// names are joined with "\\", and "C:name" lies in the folder shown when that
// is on drive C; another drive's current folder is not known.
TEST_F(FileChooserTest, WindowsPathsAreJoinedTheWindowsWay) {
    platform.volumes = {"C:\\", "D:\\"};
    FileChooserModel windows(window, platform, "C:\\Temp", PathStyle::Windows);
    EXPECT_EQ(windows.drive(), "C:\\");
    session.fileAction = FileAction::OpenSource;
    struct Case {
        const char* typed;
        std::string message;  // the warning that stops the choice
    };
    const std::vector<Case> cases = {
        {"pisteet.txt", "Ei löydy tiedostoa:\r\nC:\\Temp\\pisteet.txt"},
        {"C:pisteet.txt", "Ei löydy tiedostoa:\r\nC:\\Temp\\pisteet.txt"},
        {"c:pisteet.txt", "Ei löydy tiedostoa:\r\nC:\\Temp\\pisteet.txt"},
        {"D:\\mittaus\\pisteet.txt", "Ei löydy tiedostoa:\r\nD:\\mittaus\\pisteet.txt"},
        {"D:pisteet.txt",
         "Levyn D: nykyistä kansiota ei tiedetä. Anna nimi koko polkuineen, esimerkiksi D:\\kansio\\nimi.txt"},
    };
    for (const Case& c : cases) {
        platform.shown.clear();
        windows.txtTiedosto = c.typed;
        EXPECT_FALSE(windows.acceptFileChoice()) << c.typed;
        EXPECT_EQ(platform.only().text, c.message) << c.typed;
    }
    // A folder that ends in a separator (a drive's root) gets no second one.
    FileChooserModel root(window, platform, "D:\\", PathStyle::Windows);
    EXPECT_EQ(root.drive(), "D:\\");
    platform.shown.clear();
    root.txtTiedosto = "pisteet.txt";
    EXPECT_FALSE(root.acceptFileChoice());
    EXPECT_EQ(platform.only().text, "Ei löydy tiedostoa:\r\nD:\\pisteet.txt");
}

TEST(FilePaths, DrivesJoiningAndDriveLetters) {
    const std::vector<std::string> posixDrives = {"/", "/media/usb", "/media/usb2"};
    struct DriveCase {
        std::string folder;
        PathStyle style;
        std::string drive;
    };
    const std::vector<DriveCase> drives = {
        {"/home/anna", PathStyle::Posix, "/"},
        {"/media/usb", PathStyle::Posix, "/media/usb"},
        {"/media/usb/a/b", PathStyle::Posix, "/media/usb"},
        {"/media/usb2/a", PathStyle::Posix, "/media/usb2"},
        {"/media/usb22", PathStyle::Posix, "/"},
        {"C:\\Temp", PathStyle::Windows, "C:\\"},
        {"d:/mittaus", PathStyle::Windows, "D:\\"},
        {"E:", PathStyle::Windows, "E:\\"},
        {"\\\\palvelin\\jako\\kansio", PathStyle::Windows, "\\\\palvelin\\jako\\"},
    };
    for (const DriveCase& c : drives) EXPECT_EQ(driveOf(c.folder, posixDrives, c.style), c.drive) << c.folder;

    struct JoinCase {
        std::string folder, name;
        PathStyle style;
        std::string path;
    };
    const std::vector<JoinCase> joins = {
        {"/home/anna", "p.txt", PathStyle::Posix, "/home/anna/p.txt"},
        {"/", "p.txt", PathStyle::Posix, "/p.txt"},
        {"C:\\Temp", "p.txt", PathStyle::Windows, "C:\\Temp\\p.txt"},
        {"C:\\", "p.txt", PathStyle::Windows, "C:\\p.txt"},
        {"C:/Temp/", "p.txt", PathStyle::Windows, "C:/Temp/p.txt"},
        {"/home/anna\\", "p.txt", PathStyle::Posix, "/home/anna\\/p.txt"},  // "\\" is a letter there
    };
    for (const JoinCase& c : joins) EXPECT_EQ(joinPath(c.folder, c.name, c.style), c.path) << c.folder;

    EXPECT_EQ(driveRelativeLetter("C:pisteet.txt", PathStyle::Windows), 'C');
    EXPECT_EQ(driveRelativeLetter("d:p", PathStyle::Windows), 'D');
    EXPECT_EQ(driveRelativeLetter("C:\\pisteet.txt", PathStyle::Windows), 0);
    EXPECT_EQ(driveRelativeLetter("C:/pisteet.txt", PathStyle::Windows), 0);
    EXPECT_EQ(driveRelativeLetter("C:", PathStyle::Windows), 0);
    EXPECT_EQ(driveRelativeLetter("pisteet.txt", PathStyle::Windows), 0);
    EXPECT_EQ(driveRelativeLetter("C:pisteet.txt", PathStyle::Posix), 0) << "an ordinary name there";
}

// A folder and a file with Finnish letters and a character outside
// Windows-1252 are listed and opened.
TEST_F(FileChooserTest, NamesBeyondTheCodePageAreListedAndOpened) {
    const std::string inner = folder.file("probe_J\u00e4\u00e4skel\u00e4inen");
    std::filesystem::create_directory(nativePath(inner));
    ASSERT_TRUE(chooser.changeFolder(inner));
    writeBytes(joinPath(inner, "piste_\u014b.txt", kNativePathStyle), crlfLines(sourceLines(2)));
    ASSERT_EQ(chooser.fileNames(), std::vector<std::string>{"piste_\u014b.txt"});
    chooser.fileClicked("piste_\u014b.txt");
    openAndConvert("piste_\u014b.txt");
    EXPECT_EQ(session.sourceFileName, joinPath(inner, "piste_\u014b.txt", kNativePathStyle));
    EXPECT_EQ(session.convertedCount, 2);
}

}  // namespace
}  // namespace lomitra
