// The logic's outside world through Qt: message boxes, the open dialog, the
// desktop and processes. Files go through the plain file layer of os/.
#pragma once

#include <QFileDialog>
#include <QString>
#include <memory>

#include "app/ports.h"

class QLocale;
class QTranslator;
class QWidget;

namespace tc::qt {

QString FromUtf8(const std::string& text);
std::string ToUtf8(const QString& text);
// Windows-1251 bytes for display; the source text itself stays bytes.
QString DecodeCp1251(const std::string& bytes);
// The first character of the locale's decimal separator.
char32_t LocaleDecimalSeparator();
// The toolkit's own texts (the open dialog, the edit menus) in the locale's language, as Windows
// shows its own; false where none are installed for it.
bool LoadToolkitTexts(QTranslator& translator, const QLocale& locale);

class BoxMessages : public Messages {
public:
    explicit BoxMessages(QWidget* parent) : parent_(parent) {}
    void Warning(const std::string& text) override;
    void Error(const std::string& text) override;
    void AppError(const std::string& text) override;

private:
    QWidget* parent_;
};

// The question box: question icon, the application's title, the three buttons
// in the question's language; Yes is the default and Escape cancels.
class BoxQuestions : public Questions {
public:
    explicit BoxQuestions(QWidget* parent) : parent_(parent) {}
    Answer Ask(const Question& question) override;

private:
    QWidget* parent_;
};

class DialogChooser : public FileChooser {
public:
    explicit DialogChooser(QWidget* parent) : parent_(parent) {}
    std::optional<std::string> ChooseSource(const std::string& proposedName) override;
    // Built on first use: a Qt file dialog costs about a third of the window's start-up.
    QFileDialog& Dialog();

private:
    QWidget* parent_;
    std::unique_ptr<QFileDialog> dialog_;
};

class SystemDesktop : public Desktop {
public:
    void OpenDocument(const std::string& name) override;
    bool OnSearchPath(const std::string& program) override;
    bool StartDetached(const AssemblerCommand& command) override;
    std::string ProgramBeside(const std::string& name) override;
    bool InCurrentFolder(const std::string& name) override;
    std::string InstalledDocument(const std::string& name) override;
};

}  // namespace tc::qt
