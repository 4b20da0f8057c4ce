// The logic's outside world through the Windows API: message boxes, the open
// dialog, the desktop and processes. Files go through the plain file layer of os/.
#pragma once

#include <windows.h>

#include "app/ports.h"

namespace tc::win32 {

// The first character of the user's decimal separator.
char32_t LocaleDecimalSeparator();

class BoxMessages : public Messages {
public:
    explicit BoxMessages(HWND owner) : owner_(owner) {}
    void Warning(const std::string& text) override;
    void Error(const std::string& text) override;
    void AppError(const std::string& text) override;

private:
    HWND owner_;
};

// The question in a box with Yes, No and Cancel; the system names the buttons.
class BoxQuestions : public Questions {
public:
    explicit BoxQuestions(HWND owner) : owner_(owner) {}
    Answer Ask(const Question& question) override;

private:
    HWND owner_;
};

class DialogChooser : public FileChooser {
public:
    explicit DialogChooser(HWND owner) : owner_(owner) {}
    std::optional<std::string> ChooseSource(const std::string& proposedName) override;

private:
    HWND owner_;
};

class SystemDesktop : public Desktop {
public:
    void OpenDocument(const std::string& name) override;
    bool OnSearchPath(const std::string& program) override;
    bool StartDetached(const AssemblerCommand& command) override;
    std::string ProgramBeside(const std::string& name) override;
    bool InCurrentFolder(const std::string& name) override;
    // Beside the program: the installer and the zip put the documents there.
    std::string InstalledDocument(const std::string& name) override;
};

}  // namespace tc::win32
