// frmHelp through both help buttons: the texts character for character, the
// place at the top right, one window for both buttons, resizing, reloading.
#include "tests/ui/ui_test_support.h"

#include <QPlainTextEdit>
#include <QScreen>

#include "app/help_texts.h"
#include "ui/frm_help.h"

namespace lomitra::uitest {
namespace {

// A help text as a text box shows it: the line breaks "\r\n" are lines.
std::string asShown(const std::string& helpText) {
    return QString::fromStdString(helpText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toStdString();
}

class HelpWindowTest : public ProgramTest {
protected:
    std::string shownText() {
        frmHelp* help = program->helpWindow();
        return help == nullptr ? std::string() : help->txtHelp()->toPlainText().toStdString();
    }
    void expectTopRight(const frmHelp* help) {
        const QRect area = help->screen()->availableGeometry();
        EXPECT_EQ(help->frameGeometry().right(), area.right());
        EXPECT_EQ(help->frameGeometry().top(), area.top());
    }
};

TEST_F(HelpWindowTest, BothButtonsShowTheirTextInOneWindow) {
    EXPECT_EQ(program->helpWindow(), nullptr) << "not loaded before the first press";
    click(&settingsWindow(), "cmdOhje");
    frmHelp* help = program->helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowTitle().toStdString(), "Opastusta");
    EXPECT_EQ(shownText(), asShown(settingsHelpText()));
    const std::string settingsText = shownText();
    EXPECT_EQ(settingsText.substr(0, 1), "\n") << "the first line is empty";
    EXPECT_NE(settingsText.find("Erillistä muunnosohjelmaa WGS84:ään ei siis ole. \n\nOhjelmaa voidaan"),
              std::string::npos)
        << "paragraph 1 keeps its last space; one empty line between paragraphs";
    EXPECT_FALSE(help->txtHelp()->isReadOnly());
    expectTopRight(help);

    frmLaske* window = prepareConversionWindow();
    ASSERT_NE(window, nullptr);
    click(window, "cmdOhje");
    EXPECT_EQ(program->helpWindow(), help) << "one help window for both buttons";
    EXPECT_EQ(shownText(), asShown(conversionHelpText()));
    EXPECT_NE(shownText().find("'Aloituskohdat' -painikkeella voit uusia koordinaattien osoittamisen.\n\n"),
              std::string::npos);

    // What the user typed into the box is replaced by the next text.
    help->txtHelp()->appendPlainText(QStringLiteral("omia muistiinpanoja"));
    click(&settingsWindow(), "cmdOhje");
    EXPECT_EQ(shownText(), asShown(settingsHelpText()));
}

TEST_F(HelpWindowTest, TextBoxFillsTheWindowAndRewraps) {
    click(&settingsWindow(), "cmdOhje");
    frmHelp* help = program->helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->size(), QSize(275, 701)) << "4125 x 10515 twips";
    EXPECT_EQ(help->txtHelp()->geometry(), help->rect());
    EXPECT_EQ(help->txtHelp()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(help->txtHelp()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    const int narrowLines = help->txtHelp()->document()->documentLayout()->documentSize().toSize().height();
    help->resize(600, 760);
    EXPECT_EQ(help->txtHelp()->geometry(), help->rect());
    QApplication::processEvents();
    const int wideLines = help->txtHelp()->document()->documentLayout()->documentSize().toSize().height();
    EXPECT_LT(wideLines, narrowLines) << "a wider box needs fewer wrapped lines";
}

TEST_F(HelpWindowTest, ClosingUnloadsAndTheNextPressReloadsAtTheTopRight) {
    click(&settingsWindow(), "cmdOhje");
    QPointer<frmHelp> first = program->helpWindow();
    ASSERT_FALSE(first.isNull());
    first->move(10, 200);
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull()) << "closing through the frame unloads the window";

    click(&settingsWindow(), "cmdOhje");
    frmHelp* second = program->helpWindow();
    ASSERT_NE(second, nullptr);
    expectTopRight(second);
    EXPECT_EQ(shownText(), asShown(settingsHelpText())) << "texts rebuilt, not doubled";

    // A minimised help window comes back in its normal state.
    second->setWindowState(Qt::WindowMinimized);
    click(&settingsWindow(), "cmdOhje");
    EXPECT_FALSE(second->windowState() & Qt::WindowMinimized);
}

}  // namespace
}  // namespace lomitra::uitest
