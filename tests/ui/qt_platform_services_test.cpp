// The Qt platform services: message boxes of the four kinds, the date, the
// file lookup and printing without a printer.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDate>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "ui/qt_platform_services.h"

namespace lomitra {
namespace {

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    std::vector<std::string> buttonTexts;  // sorted, UTF-8
};

// Answers the message box that is about to open by pressing `button`, and
// records what it showed.
void answerNextBox(QMessageBox::StandardButton button, SeenBox& seen) {
    QTimer::singleShot(0, [button, &seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr) << "no message box open";
        seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons(), {}};
        // The order on screen is the style's; the texts are compared sorted.
        for (const QAbstractButton* each : box->buttons()) seen.buttonTexts.push_back(each->text().toStdString());
        std::sort(seen.buttonTexts.begin(), seen.buttonTexts.end());
        box->button(button)->click();
    });
}

TEST(QtPlatformServicesTest, MessageBoxesShowTextIconAndButtons) {
    struct Case {
        const char* name;
        MessageKind kind;
        QMessageBox::StandardButton press;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        Answer expected;
        std::vector<std::string> texts;  // sorted; "&" marks the access key
    };
    const Case cases[] = {
        {"warning", MessageKind::Warning, QMessageBox::Ok, QMessageBox::Warning, QMessageBox::Ok, Answer::Ok,
         {"OK"}},
        {"information", MessageKind::Information, QMessageBox::Ok, QMessageBox::Information, QMessageBox::Ok,
         Answer::Ok, {"OK"}},
        {"error", MessageKind::Error, QMessageBox::Ok, QMessageBox::Critical, QMessageBox::Ok, Answer::Ok,
         {"OK"}},
        {"question, Yes", MessageKind::Question, QMessageBox::Yes, QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No, Answer::Yes, {"&Ei", "&Kyllä"}},
        {"question, No", MessageKind::Question, QMessageBox::No, QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No, Answer::No, {"&Ei", "&Kyllä"}},
    };
    QtPlatformServices platform;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SeenBox seen;
        answerNextBox(c.press, seen);
        const Answer answer = platform.showMessage(c.kind, "Tiedosto:  /tmp/a.txt\r\non jo olemassa.");
        EXPECT_EQ(answer, c.expected);
        EXPECT_EQ(seen.text.toStdString(), "Tiedosto:  /tmp/a.txt\non jo olemassa.") << "lines, no stray CR";
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.buttons, c.buttons);
        EXPECT_EQ(seen.buttonTexts, c.texts) << "Finnish buttons";
        EXPECT_EQ(seen.title.toStdString(), "Lomitra");
    }
}

TEST(QtPlatformServicesTest, TodayAndFileLookup) {
    QtPlatformServices platform;
    const QDate today = QDate::currentDate();
    const Date date = platform.today();
    EXPECT_EQ(QDate(date.year, date.month, date.day), today);

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string file = folder.filePath(QStringLiteral("piste.txt")).toStdString();
    std::ofstream(file) << "1\r\n";
    EXPECT_TRUE(platform.isExistingFile(file));
    EXPECT_FALSE(platform.isExistingFile(folder.path().toStdString())) << "a folder is not a file";
    EXPECT_FALSE(platform.isExistingFile(file + ".puuttuu"));
    EXPECT_FALSE(platform.isExistingFile(folder.filePath(QStringLiteral("*.txt")).toStdString()))
        << "no wildcard matching";
    EXPECT_FALSE(platform.isExistingFile(""));
}

TEST(QtPlatformServicesTest, PrintingFailsWithoutAWindowOrAPrinter) {
    QtPlatformServices platform;
    EXPECT_FALSE(platform.printConversionWindow()) << "no conversion window";
    if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "this machine has a default printer";
    QWidget window;
    window.resize(200, 100);
    window.show();
    platform.setConversionWindow(&window);
    EXPECT_FALSE(platform.printConversionWindow()) << "no default printer";
}

}  // namespace
}  // namespace lomitra
