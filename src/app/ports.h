// What the core asks of the outside world, and how it tells a view what
// changed. The window implements these with Qt, the command line with the
// console, the tests with recorders and in-memory files.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "firmware/assembler.h"
#include "text/texts.h"

namespace tc {

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The open dialog proposing a file name; nothing when cancelled.
    virtual std::optional<std::string> ChooseSource(const std::string& proposedName) = 0;
};

class FileStore {
public:
    virtual ~FileStore() = default;
    struct ReadResult {
        enum Status { Ok, CannotOpen, ReadError } status = Ok;
        std::string bytes;
        std::string error;
    };
    virtual ReadResult Read(const std::string& path) = 0;
    // Replaces the file as a whole by the pieces, one after another, or leaves
    // it as it was; the error text on failure. Pieces spare the caller a join.
    virtual std::optional<std::string> Write(const std::string& path, std::span<const std::string_view> pieces) = 0;
};

class Desktop {
public:
    virtual ~Desktop() = default;
    // Hands a document to the desktop; the outcome is not ours to report.
    virtual void OpenDocument(const std::string& name) = 0;
    virtual bool OnSearchPath(const std::string& program) = 0;
    // Starts the command without waiting for it; false when it could not be started.
    virtual bool StartDetached(const AssemblerCommand& command) = 0;
    // The full path of a program installed beside this one; empty when there is none.
    virtual std::string ProgramBeside(const std::string& /*name*/) { return {}; }
    // Whether the current folder holds the document.
    virtual bool InCurrentFolder(const std::string& /*name*/) { return false; }
    // The full path of a document installed with this program; empty when there is none.
    virtual std::string InstalledDocument(const std::string& /*name*/) { return {}; }
};

enum class Combo { SensorAngle, TableNumber, SparkDuration };

// The one way a view hears of changes: after every operation of the core,
// each thing that differs from what the view was last told.
class CoreObserver {
public:
    virtual ~CoreObserver() = default;
    virtual void CellChanged(int /*column*/, int /*row*/) {}
    virtual void ComboChanged(Combo /*combo*/) {}
    virtual void EditingChanged(bool /*editing*/) {}
    virtual void SourceChanged() {}
    virtual void PlotChanged() {}
    virtual void TextChanged(Element /*element*/) {}
};

// Where a front end shows diagnostics: the window in message boxes, the command line on stderr.
class Messages {
public:
    virtual ~Messages() = default;
    // Caption "Warning", exclamation icon, one OK button.
    virtual void Warning(const std::string& text) = 0;
    // Caption "Error", error icon, one OK button.
    virtual void Error(const std::string& text) = 0;
    // The application's general error report: stop icon, captioned with the application's title.
    virtual void AppError(const std::string& text) = 0;
};

enum class Answer { Yes, No, Cancel };

// Where a front end asks the user before changes would be lost: the window in a box.
class Questions {
public:
    virtual ~Questions() = default;
    // The question's text with its three buttons; Cancel when the box is closed otherwise.
    virtual Answer Ask(const Question& question) = 0;
};

// Each diagnostic in its box, in the language given, which is the one current when they are shown.
void ShowDiagnostics(Messages& messages, const Diagnostics& diagnostics, unsigned languageFlag);

// The services a window uses; any left empty is the real one. Tests pass recorders.
struct WindowServices {
    Messages* messages = nullptr;
    FileChooser* chooser = nullptr;
    FileStore* files = nullptr;
    Desktop* desktop = nullptr;
    Questions* questions = nullptr;
    std::optional<char32_t> decimalSeparator;  // the locale's when empty
};

}  // namespace tc
