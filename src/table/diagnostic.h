// What the logic has to tell the user, as data: a kind and its arguments.
// The text module renders it in the language current when it is shown.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tc {

struct Diagnostic {
    enum class Kind {
        MissingData,  // the angle column is empty
        BelowRange,   // an angle more than 125° below the sensor
        AboveRange,   // an angle more than 52° above the sensor
        RpmTooLow,
        RpmTooHigh,
        FileAccess,        // path: the file could not be opened
        EmptyFile,         // path
        NoTerminal,        // no terminal window for the assembler
        MissingItem,       // literal: the scan did not find it
        TooFewSpeeds,      // literal, found, needed
        TooFewEntries,     // literal, found, needed; table: the label they follow
        SparkLineMissing,  // no spark-duration line after the spark-delay marker
        LayoutConflict,    // line: rewritten twice, or an entry without a line after it
        ErasedItem,        // line, literal: the rewrite would take the literal away
        MovedItem,         // line: after the rewrite the scan would read differently
        CannotCreate,      // path, detail: the save failed
        ChangedOnDisk,     // path: the save merged the grid into the file as it is now
        ChangedAndBroken,  // path; causes: what the changed file lacks, so nothing was written
        PasteWrongCell,    // a paste goes only into the angle column or the speeds of rows 2 to 32
        PasteNotANumber,   // line, literal: the pasted value no cell of the column takes
        PasteTooMany,      // found: the lines, needed: the rows left below the cell
        Failure,           // detail: an error text that is the same in every language
    };
    // How it is shown: a warning box, an error box, or the application's general error report.
    enum class Box { Warning, Error, Failure };

    Kind kind = Kind::Failure;
    std::string literal;  // UTF-8
    std::string table;    // the label literal, for TooFewEntries
    std::size_t found = 0;
    std::size_t needed = 0;
    std::size_t line = 0;  // 1-based
    std::string path;
    std::string detail;
    std::vector<Diagnostic> causes;

    Box ShownAs() const;
    friend bool operator==(const Diagnostic&, const Diagnostic&) = default;
};

using Diagnostics = std::vector<Diagnostic>;

inline Diagnostic::Box Diagnostic::ShownAs() const {
    switch (kind) {
        case Kind::FileAccess: return Box::Error;
        case Kind::CannotCreate:
        case Kind::Failure: return Box::Failure;
        default: return Box::Warning;
    }
}

}  // namespace tc
