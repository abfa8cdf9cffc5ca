// Helpers of the window tests: a scripted platform, a fresh program per test,
// and ways to reach the real widgets by their control names.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/platform_services.h"
#include "tests/support/scripted_platform.h"
#include "ui/frm_euref.h"
#include "ui/frm_laske.h"
#include "ui/lomitra_program.h"

namespace lomitra::uitest {

using ScriptedPlatform = lomitra::testing::ScriptedPlatform;

// A control of `window` by its name; fails the test when it is missing.
template <typename Control>
Control* control(const QWidget* window, const QString& name) {
    auto* found = window->findChild<Control*>(name);
    EXPECT_NE(found, nullptr) << "no control " << name.toStdString();
    return found;
}

inline std::string text(const QLabel* label) { return label->text().toStdString(); }
inline std::string text(const QLineEdit* box) { return box->text().toStdString(); }

// The lines of a list as UTF-8.
inline std::vector<std::string> lines(const QListWidget* list) {
    std::vector<std::string> result;
    for (int row = 0; row < list->count(); ++row) result.push_back(list->item(row)->text().toStdString());
    return result;
}

// Chooses a position of a drop-down list with the arrow keys, as a user does.
inline void choose(QComboBox* list, int position) {
    for (int guard = 0; guard < 40 && list->currentIndex() != position; ++guard) {
        QTest::keyClick(list, list->currentIndex() < position ? Qt::Key_Down : Qt::Key_Up);
    }
    ASSERT_EQ(list->currentIndex(), position) << list->objectName().toStdString();
}

// Types `text` into a widget key by key; letters beyond ASCII arrive as the
// text of a key event, as from a Finnish keyboard.
inline void typeKeys(QWidget* widget, const QString& text) {
    for (const QChar character : text) {
        if (character.unicode() < 128) {
            QTest::keyClick(widget, static_cast<char>(character.unicode()));
        } else {
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(character), Qt::NoModifier);
        }
    }
}

inline void click(QWidget* window, const char* buttonName) {
    auto* button = control<QPushButton>(window, QString::fromLatin1(buttonName));
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

// A fresh run of the program with the scripted platform; the settings window is shown.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        program = std::make_unique<LomitraProgram>(platform);
        program->setEndProgramHandler([this] { ++endRequests; });
        settingsWindow().show();
    }
    void TearDown() override { program.reset(); }

    frmEuref& settingsWindow() { return program->settingsWindow(); }
    QComboBox* list(const char* name) { return control<QComboBox>(&settingsWindow(), QString::fromLatin1(name)); }

    // "&Muunna" of the settings window; the conversion window it prepared.
    frmLaske* prepareConversionWindow() {
        click(&settingsWindow(), "cmdLaske");
        return settingsWindow().conversionWindow();
    }

    ScriptedPlatform platform;
    std::unique_ptr<LomitraProgram> program;
    int endRequests = 0;
};

}  // namespace lomitra::uitest
