// The file workflow through the real widgets: frmTiedosto reading a source
// file, marking the coordinates by mouse on txtKRivi, converting, writing the
// result and table files, the checks of "&Avaa", and a failing printer.
#include "tests/ui/ui_test_support.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <fstream>
#include <iterator>

#include "ui/frm_tiedosto.h"

namespace lomitra::uitest {
namespace {

// Network points 1 (Geta) and 2 (Kökar) in ETRS-TM35FIN, in fixed columns:
// north in columns 8-18, east in 20-30 (with its leading blank); names and
// notes in Windows-1252 (\xC5 = Å, \xF6 = ö). The first line is too short to
// be the coordinate line; the last one holds no point.
const std::string kSource =
    "Kpl 2\r\n"
    "\r\n"
    "Geta   6715706.377  106256.360 \xC5land\r\n"
    "K\xF6kar  6658388.640  160767.714 F\xF6gl\xF6\r\n"
    "loppu\r\n";

// The same lines with the points' own YKJ coordinates in place.
const std::string kExpectedResult =
    "Kpl 2\r\n"
    "\r\n"
    "Geta   6718527.414 3106266.213 \xC5land\r\n"
    "K\xF6kar  6661186.097 3160799.230 F\xF6gl\xF6\r\n"
    "loppu\r\n";

std::string readBytes(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const QString& path, const std::string& bytes) {
    std::ofstream out(path.toStdString(), std::ios::binary);
    out << bytes;
}

class FileWorkflowTest : public ProgramTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        previousFolder = QDir::currentPath();
        QDir::setCurrent(folder.path());  // the chooser starts in the program's current folder
        sourcePath = folder.filePath(QStringLiteral("pisteet.txt"));
        writeBytes(sourcePath, kSource);
        ProgramTest::SetUp();
        choose(list("cboTKaista"), 3);  // results in YKJ
        window = prepareConversionWindow();
        ASSERT_NE(window, nullptr);
        line = control<QPlainTextEdit>(window, "txtKRivi");
        results = control<QListWidget>(window, "lstTulos");
    }
    void TearDown() override {
        ProgramTest::TearDown();
        QDir::setCurrent(previousFolder);
    }

    frmTiedosto* chooser() { return window->fileChooser(); }

    // Types a name into the chooser and presses "&Avaa".
    void accept(const QString& name) {
        ASSERT_NE(chooser(), nullptr);
        auto* nameBox = control<QLineEdit>(chooser(), "txtTiedosto");
        nameBox->clear();
        typeKeys(nameBox, name);
        click(chooser(), "cmdAvaa");
    }

    // Drags the mouse over characters start0 .. start0 + length - 1 of the coordinate line.
    void dragSelect(int start0, int length) {
        QTextCursor cursor = line->textCursor();
        cursor.setPosition(start0);
        const QPoint from = line->cursorRect(cursor).center();
        cursor.setPosition(start0 + length);
        const QPoint to = line->cursorRect(cursor).center();
        QTest::mousePress(line->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(line->viewport(), to);
        QTest::mouseRelease(line->viewport(), Qt::LeftButton, {}, to);
    }

    void readSourceByDoubleClick() {
        click(window, "cmdLahto");
        ASSERT_NE(chooser(), nullptr);
        auto* files = control<QListWidget>(chooser(), "File1");
        const auto found = files->findItems(QStringLiteral("pisteet.txt"), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        // A click puts the name alone into the name box; a double click accepts it.
        const QPoint itemCentre = files->visualItemRect(found[0]).center();
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, itemCentre);
        EXPECT_EQ(control<QLineEdit>(chooser(), "txtTiedosto")->text().toStdString(), "pisteet.txt");
        QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, itemCentre);
    }

    void markGetaLine() {
        dragSelect(7, 11);   // north, columns 8-18
        dragSelect(19, 11);  // east with its leading blank, columns 20-30
        dragSelect(0, 4);    // the identifier
    }

    QTemporaryDir folder;
    QString previousFolder;
    QString sourcePath;
    frmLaske* window = nullptr;
    QPlainTextEdit* line = nullptr;
    QListWidget* results = nullptr;
};

std::string boxText(const QWidget* window, const char* name, int index) {
    return control<QLineEdit>(window, QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index))
        ->text()
        .toStdString();
}

TEST_F(FileWorkflowTest, ReadMarkConvertAndWriteTheResultFile) {
    readSourceByDoubleClick();
    ASSERT_NE(chooser(), nullptr);
    EXPECT_EQ(chooser()->windowTitle().toStdString(), "Avaa ja lue lähtötiedosto");
    EXPECT_FALSE(chooser()->isVisible()) << "accepting hides the chooser";
    EXPECT_EQ(window->model().lstLahto.size(), 5u);
    EXPECT_EQ(line->toPlainText().toStdString(), "Geta   6715706.377  106256.360 Åland")
        << "the first line longer than 15 characters, decoded from Windows-1252";
    EXPECT_EQ(text(control<QLabel>(window, "lblOhje")), "Valitse koordinaattiriviltä ne merkit, joista muodostuu N");

    dragSelect(7, 11);
    EXPECT_EQ(boxText(window, "txtKoord", 0), "6715706.377");
    EXPECT_EQ(boxText(window, "txtAlku", 0), "8");
    EXPECT_EQ(boxText(window, "txtPituus", 0), "11");
    EXPECT_EQ(text(control<QLabel>(window, "lblOhje")), "Valitse koordinaattiriviltä ne merkit, joista muodostuu E");
    QTest::mouseClick(line->viewport(), Qt::LeftButton, {}, line->cursorRect().center());
    EXPECT_EQ(program->session().markIndex, 1) << "a click without dragging marks nothing";
    dragSelect(19, 11);
    EXPECT_EQ(boxText(window, "txtKoord", 1), " 106256.360");
    EXPECT_EQ(boxText(window, "txtAlku", 1), "20");
    EXPECT_EQ(boxText(window, "txtPituus", 1), "11");
    dragSelect(0, 4);
    EXPECT_EQ(boxText(window, "txtKoord", 2), "Geta");
    EXPECT_EQ(boxText(window, "txtAlku", 2), "1");
    EXPECT_EQ(boxText(window, "txtPituus", 2), "4");
    EXPECT_EQ(text(control<QLabel>(window, "lblOhje")),
              "'Muunna' -näppäimellä voit muuntaa pisteet tai 'Aloituskohdat' "
              "-näppäimellä uusia koordinaattien määrittelyn");

    click(window, "cmdMuunna");
    ASSERT_EQ(results->count(), 8 + 5 + 1) << "every line listed, then one empty line";
    EXPECT_TRUE(results->item(10)->text().contains(QStringLiteral("6718527.414   3106266.213")));
    EXPECT_TRUE(results->item(11)->text().startsWith(QStringLiteral("Köka     6658388.640")))
        << "identifier from columns 1-4 of its own line";
    EXPECT_TRUE(results->item(11)->text().contains(QStringLiteral("6661186.097   3160799.230")));
    EXPECT_EQ(results->item(13)->text(), QString());
    EXPECT_TRUE(platform.shown.empty());

    // The result file replaces an old file after a Yes to the question.
    const QString resultPath = folder.filePath(QStringLiteral("tulos.txt"));
    writeBytes(resultPath, "vanha sisältö\r\n");
    click(window, "cmdTulostiedosto");
    EXPECT_TRUE(chooser()->isVisible());
    EXPECT_EQ(chooser()->windowTitle().toStdString(), "Avaa ja kirjoita tulostiedosto");
    platform.answers = {Answer::Yes};
    accept(resultPath);
    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(platform.shown[0].kind, MessageKind::Question);
    EXPECT_EQ(platform.shown[0].text, "Tiedosto:  " + resultPath.toStdString() +
                                          "\r\non jo olemassa. Kirjoitetaanko vanhan tiedon päälle?");
    EXPECT_EQ(platform.shown[1].kind, MessageKind::Information);
    EXPECT_EQ(platform.shown[1].text, "2 pistettä tulostettu tiedostoon:\r\n" + resultPath.toStdString());
    EXPECT_EQ(readBytes(resultPath), kExpectedResult) << "every byte outside the coordinates kept";
    EXPECT_EQ(readBytes(sourcePath), kSource);
    EXPECT_EQ(program->session().resultState, ResultState::ResultsOutput);
    EXPECT_FALSE(control<QListWidget>(chooser(), "File1")
                     ->findItems(QStringLiteral("tulos.txt"), Qt::MatchExactly)
                     .isEmpty());
}

TEST_F(FileWorkflowTest, TableFileHoldsTheListedLines) {
    readSourceByDoubleClick();
    markGetaLine();
    click(window, "cmdMuunna");
    ASSERT_EQ(results->count(), 14);

    const QString tablePath = folder.filePath(QStringLiteral("taulu.txt"));
    click(window, "cmdTauTie");
    accept(QStringLiteral("taulu.txt"));  // a bare name in the chooser's folder
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].kind, MessageKind::Information);
    EXPECT_EQ(platform.shown[0].text, "14 riviä tulostettu tiedostoon:\r\n" + tablePath.toStdString());
    const std::string table = readBytes(tablePath);
    std::string expected;
    for (const std::string& listed : window->model().lstTulos) expected += listed + "\r\n";
    EXPECT_EQ(table, expected);
    const std::string start = "MUUNNOS........... EUREF-FIN    ==>    KKJ\r\n\r\nL\xC4HT\xD6KOORDINAATIT";
    EXPECT_EQ(table.substr(0, start.size()), start)
        << "Windows-1252 in the file";
}

TEST_F(FileWorkflowTest, AvaaChecksTheChoice) {
    click(window, "cmdLahto");
    ASSERT_NE(chooser(), nullptr);
    EXPECT_EQ(program->session().resultState, ResultState::NothingConverted);

    struct Case {
        const char* name;
        QString typed;
        std::string message;
    };
    const QString missing = folder.filePath(QStringLiteral("puuttuu.txt"));
    const Case cases[] = {
        {"no name", QString(), "Puuttuu avattavan tiedoston nimi."},
        {"no such source file", missing, "Ei löydy tiedostoa:\r\n" + missing.toStdString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform.shown.clear();
        accept(c.typed);
        ASSERT_EQ(platform.shown.size(), 1u);
        EXPECT_EQ(platform.shown[0].kind, MessageKind::Warning);
        EXPECT_EQ(platform.shown[0].text, c.message);
        EXPECT_TRUE(chooser()->isVisible()) << "the chooser stays open for a correction";
    }
    platform.shown.clear();
    accept(sourcePath);
    EXPECT_FALSE(chooser()->isVisible());
    EXPECT_EQ(window->model().lstLahto.size(), 5u);

    markGetaLine();
    click(window, "cmdMuunna");
    click(window, "cmdTulostiedosto");
    platform.shown.clear();
    accept(sourcePath);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text,
              "Tulostiedosto ja lähtötiedosto ovat sama tiedosto.\r\nEi voida tulostaa");
    EXPECT_EQ(readBytes(sourcePath), kSource);

    // No to the overwrite question keeps the old file and the chooser.
    const QString resultPath = folder.filePath(QStringLiteral("vanha.txt"));
    writeBytes(resultPath, "vanha\r\n");
    platform.shown.clear();
    platform.answers = {Answer::No};
    accept(resultPath);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].kind, MessageKind::Question);
    EXPECT_TRUE(chooser()->isVisible());
    EXPECT_EQ(readBytes(resultPath), "vanha\r\n");

    click(chooser(), "cmdPeruuta");
    EXPECT_FALSE(chooser()->isVisible());
}

TEST_F(FileWorkflowTest, FailedPrintingIsReported) {
    platform.printSucceeds = false;
    click(window, "cmdPrintterille");
    EXPECT_EQ(platform.printCalls, 1);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(platform.shown[0].text, "Tulostus kirjoittimelle ei onnistunut");
    EXPECT_EQ(program->session().resultState, ResultState::ResultsOutput);
}

TEST_F(FileWorkflowTest, SeuraavaRiviStepsAndWraps) {
    readSourceByDoubleClick();
    const std::string expected[] = {"K\xC3\xB6kar  6658388.640  160767.714 F\xC3\xB6gl\xC3\xB6", "loppu",
                                    "Kpl 2", "", "Geta   6715706.377  106256.360 \xC3\x85land"};
    for (const std::string& next : expected) {
        click(window, "cmdSeuraava");
        EXPECT_EQ(line->toPlainText().toStdString(), next);
    }
}

// The same file in UTF-8, with a character beyond U+FFFF (two UTF-16 units
// in the widget) in the identifier: shown decoded, marked and converted in
// characters, listed in UTF-8.
TEST_F(FileWorkflowTest, AUtf8FileIsShownAndMarkedInCharacters) {
    writeBytes(sourcePath,
               "Kpl 2\r\n\r\nGeta\U0001F600  6715706.377  106256.360 \u00c5land\r\n"
               "K\u00f6kar  6658388.640  160767.714 F\u00f6gl\u00f6\r\nloppu\r\n");
    readSourceByDoubleClick();
    EXPECT_EQ(line->toPlainText().toStdString(), "Geta\U0001F600  6715706.377  106256.360 \u00c5land");
    dragSelect(8, 11);  // UTF-16 units 8-18: characters 8-18
    EXPECT_EQ(boxText(window, "txtKoord", 0), "6715706.377");
    EXPECT_EQ(boxText(window, "txtAlku", 0), "8");
    EXPECT_EQ(boxText(window, "txtPituus", 0), "11");
    dragSelect(20, 11);
    EXPECT_EQ(boxText(window, "txtAlku", 1), "20");
    dragSelect(0, 6);
    EXPECT_EQ(boxText(window, "txtKoord", 2), "Geta\U0001F600");
    EXPECT_EQ(boxText(window, "txtPituus", 2), "5");

    click(window, "cmdMuunna");
    ASSERT_EQ(results->count(), 8 + 5 + 1);
    EXPECT_EQ(results->item(2)->text().toStdString(), "L\u00c4HT\u00d6KOORDINAATIT. suorakulmaiset: Poh, It\u00e4");
    EXPECT_TRUE(results->item(10)->text().startsWith(QStringLiteral("Geta\U0001F600    6715706.377   106256.360")))
        << results->item(10)->text().toStdString();
    EXPECT_TRUE(results->item(11)->text().startsWith(QStringLiteral("K\u00f6kar    6658388.640")));
}

TEST_F(FileWorkflowTest, MarkingWorksOnAnEditedLineInByteColumns) {
    // No file loaded: the marking works on whatever the line holds. Each
    // Finnish letter is one byte of Windows-1252, so it is one column.
    line->setFocus();
    typeKeys(line, QStringLiteral("Åström 6715706.377 106256.360"));
    dragSelect(7, 11);
    EXPECT_EQ(boxText(window, "txtKoord", 0), "6715706.377");
    EXPECT_EQ(boxText(window, "txtAlku", 0), "8");
    EXPECT_EQ(boxText(window, "txtPituus", 0), "11");
    EXPECT_EQ(window->model().txtKRivi, "\xC5str\xF6m 6715706.377 106256.360");
    dragSelect(19, 10);
    dragSelect(0, 6);
    EXPECT_EQ(boxText(window, "txtKoord", 2), "Åström");
    EXPECT_EQ(window->model().txtKoord[2], "\xC5str\xF6m");
    EXPECT_EQ(program->session().markIndex, 0) << "the cycle starts again";
    dragSelect(19, 10);
    EXPECT_EQ(boxText(window, "txtKoord", 0), "106256.360") << "a fourth selection overwrites the first item";
    EXPECT_EQ(boxText(window, "txtAlku", 0), "20");
}

TEST_F(FileWorkflowTest, FolderListMovesTheFileList) {
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("alikansio")));
    writeBytes(folder.filePath(QStringLiteral("alikansio/sisempi.txt")), "1\r\n");
    click(window, "cmdLahto");
    ASSERT_NE(chooser(), nullptr);
    auto* folders = control<QListWidget>(chooser(), "Dir1");
    auto* files = control<QListWidget>(chooser(), "File1");
    const auto fileNames = [files] { return lines(files); };
    EXPECT_EQ(fileNames(), std::vector<std::string>{"pisteet.txt"});

    const auto open = [folders](const QString& name) {
        const auto found = folders->findItems(name, Qt::MatchEndsWith);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        folders->scrollToItem(found[0]);
        const QPoint centre = folders->visualItemRect(found[0]).center();
        QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(folders->viewport(), Qt::LeftButton, {}, centre);
    };
    open(QStringLiteral("alikansio"));
    EXPECT_EQ(fileNames(), std::vector<std::string>{"sisempi.txt"});
    EXPECT_EQ(chooser()->model().folder(), folder.filePath(QStringLiteral("alikansio")).toStdString());

    // A bare name is looked up in the folder of the folder list.
    accept(QStringLiteral("sisempi.txt"));
    EXPECT_EQ(program->session().sourceFileName,
              folder.filePath(QStringLiteral("alikansio/sisempi.txt")).toStdString());

    click(window, "cmdLahto");
    open(QDir(folder.path()).dirName());  // back up through the chain of open folders
    EXPECT_EQ(fileNames(), std::vector<std::string>{"pisteet.txt"});
}

// Clicks `name` in the chooser's file list and presses "&Avaa", as a user does.
void pickFromList(frmTiedosto* chooser, const QString& name) {
    auto* files = control<QListWidget>(chooser, "File1");
    const auto found = files->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << name.toStdString();
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(found[0]).center());
    click(chooser, "cmdAvaa");
}

TEST_F(FileWorkflowTest, NamesFromTheFileListOpenWhateverTheyHoldTypedPatternsAreRefused) {
    for (const QString& name : {QStringLiteral("w*.txt"), QStringLiteral("a?[1].txt")}) {
        SCOPED_TRACE(name.toStdString());
        writeBytes(folder.filePath(name), kSource);
        click(window, "cmdLahto");
        ASSERT_NE(chooser(), nullptr);
        platform.shown.clear();
        pickFromList(chooser(), name);
        EXPECT_TRUE(platform.shown.empty());
        EXPECT_FALSE(chooser()->isVisible());
        EXPECT_EQ(program->session().sourceFileName, folder.filePath(name).toStdString());
        EXPECT_EQ(window->model().lstLahto.size(), 5u);

        // The same name typed (or the listed name edited) is taken as a pattern.
        click(window, "cmdLahto");
        platform.shown.clear();
        accept(name);
        ASSERT_EQ(platform.shown.size(), 1u);
        EXPECT_EQ(platform.shown[0].text, "Tiedoston nimessä ei saa olla merkkejä * ? [ ]");
        EXPECT_TRUE(chooser()->isVisible());
        click(chooser(), "cmdPeruuta");
    }
}

TEST_F(FileWorkflowTest, ChooserKeepsItsStateWhenEitherWindowIsClosedThroughItsFrame) {
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("alikansio")));
    const QString inner = folder.filePath(QStringLiteral("alikansio"));
    writeBytes(inner + QStringLiteral("/sisempi.txt"), kSource);
    for (const bool chooserOpen : {false, true}) {
        SCOPED_TRACE(chooserOpen ? "chooser open" : "chooser hidden");
        click(window, "cmdLahto");
        QPointer<frmTiedosto> first = chooser();
        ASSERT_FALSE(first.isNull());
        ASSERT_TRUE(first->model().changeFolder(inner.toStdString()));
        control<QLineEdit>(first, "txtTiedosto")->setText(QStringLiteral("sisempi.txt"));
        if (!chooserOpen) click(first, "cmdPeruuta");

        QPointer<frmLaske> closed = window;
        window->close();  // the close button of the frame
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_TRUE(closed.isNull()) << "the conversion window is destroyed";
        ASSERT_FALSE(first.isNull()) << "the chooser is not";
        EXPECT_FALSE(first->isVisible()) << "hidden with no window to serve";

        window = prepareConversionWindow();
        ASSERT_NE(window, nullptr);
        click(window, "cmdLahto");
        EXPECT_EQ(chooser(), first.data()) << "the same chooser, shown again";
        EXPECT_TRUE(first->isVisible());
        EXPECT_EQ(first->model().folder(), inner.toStdString());
        EXPECT_EQ(control<QLineEdit>(first, "txtTiedosto")->text().toStdString(), "sisempi.txt");
        click(first, "cmdAvaa");  // acts for the new conversion window
        EXPECT_EQ(window->model().lstLahto.size(), 5u);
        EXPECT_EQ(program->session().sourceFileName, (inner + QStringLiteral("/sisempi.txt")).toStdString());
        ASSERT_TRUE(first->model().changeFolder(folder.path().toStdString()));
    }

    // Its own frame's close button hides it: the next request finds its folder.
    click(window, "cmdLahto");
    QPointer<frmTiedosto> old = chooser();
    ASSERT_TRUE(old->model().changeFolder(inner.toStdString()));
    old->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(old.isNull());
    EXPECT_FALSE(old->isVisible());
    click(window, "cmdLahto");
    EXPECT_EQ(chooser(), old.data());
    EXPECT_TRUE(old->isVisible());
    EXPECT_EQ(chooser()->model().folder(), inner.toStdString()) << "the folder it was closed in";
}

}  // namespace
}  // namespace lomitra::uitest
