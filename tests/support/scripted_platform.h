// A scripted platform for the tests of the windows and of their logic:
// answers questions from a queue, records every message shown, a fixed date
// and a printer that works or fails as the test says.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/platform_services.h"
#include "platform/native_file.h"

namespace lomitra::testing {

// Answers questions from a queue and records every message shown.
class ScriptedPlatform : public PlatformServices {
public:
    struct Shown {
        MessageKind kind;
        std::string text;
    };

    Answer showMessage(MessageKind kind, std::string_view text) override {
        shown.push_back({kind, std::string(text)});
        if (kind != MessageKind::Question) return Answer::Ok;
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text;
            return Answer::No;
        }
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    Date today() const override { return date; }
    bool printConversionWindow() override {
        ++printCalls;
        return printSucceeds;
    }
    bool isExistingFile(const std::string& path) const override {
        std::error_code error;
        return std::filesystem::is_regular_file(nativePath(path), error);
    }

    std::vector<std::string> volumeRoots() const override { return volumes; }

    // The only message shown so far; fails the test when there is not exactly one.
    Shown only() const {
        EXPECT_EQ(shown.size(), 1u);
        return shown.empty() ? Shown{MessageKind::Information, ""} : shown.back();
    }

    std::deque<Answer> answers;
    std::vector<Shown> shown;
    Date date{2009, 3, 5};
    bool printSucceeds = true;
    std::vector<std::string> volumes;  // the mounted volumes' roots
    int printCalls = 0;
};

}  // namespace lomitra::testing
