// The services of the platform that the windows' logic needs: message boxes,
// today's date, printing and the file system of the file dialogue. Production
// uses the window toolkit; tests script the answers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lomitra {

struct Date {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
};

// The four kinds of message box; each shows only its text, icon and buttons.
enum class MessageKind {
    Warning,      // OK
    Information,  // OK
    Question,     // Yes and No
    Error,        // OK
};

enum class Answer { Ok, Yes, No };

class PlatformServices {
public:
    virtual ~PlatformServices() = default;

    // text: UTF-8, lines separated by "\r\n". A question returns Yes or No; the others Ok.
    virtual Answer showMessage(MessageKind kind, std::string_view text) = 0;

    virtual Date today() const = 0;

    // Sends an image of the conversion window, as displayed, to the default
    // printer. False when printing failed for any reason.
    virtual bool printConversionWindow() = 0;

    // Whether `path` names an existing ordinary file (a directory lookup of the path).
    virtual bool isExistingFile(const std::string& path) const = 0;

    // The root folders of the mounted volumes, as the system lists them
    // ("/", "/media/usb", or "C:\", "D:\"), UTF-8.
    virtual std::vector<std::string> volumeRoots() const = 0;
};

}  // namespace lomitra
