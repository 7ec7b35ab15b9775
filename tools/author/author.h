// The authoring tool's commands (new, make, check, extract, show, try, and a folder alone), over
// the few operations on executables that only the platform can do.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "resource_set.h"

class ExeAccess {
public:
    virtual ~ExeAccess() = default;
    // The tool's own executable: no command may write over it.
    virtual std::filesystem::path toolPath() const = 0;
    // Writes at path a copy of the player the tool carries, with set's resources added.
    virtual bool writeQuizExe(const std::filesystem::path& path, const QuizResourceSet& set, std::string& error) = 0;
    // Reads the quiz resources of an executable (missing records are left empty).
    virtual bool readQuizExe(const std::filesystem::path& path, QuizResourceSet& set, std::string& error) = 0;
    // Puts source in target's place in one step, replacing target if it exists.
    virtual bool replaceFile(const std::filesystem::path& source, const std::filesystem::path& target,
                             std::string& error) = 0;
    // Starts a quiz executable in its own folder and waits until it closes.
    virtual bool runQuiz(const std::filesystem::path& exe, std::string& error) = 0;
};

// What a folder given alone led to, for an author who sees no console: told in French at the end.
struct AuthorReport {
    std::string sourceWritten;  // the quiz source "new" wrote, UTF-8; empty when none
    std::string sourceName;     // the source the diagnostics are about
    std::vector<Diagnostic> diagnostics;
    std::string made;     // what was made, as "make" says it; empty when nothing
    std::string failure;  // why nothing was made; empty on success
};

// The report as a message box shows it: UTF-8, the problems by line first, then what was written.
std::string reportInFrench(const AuthorReport& report);

// Runs one command line (arguments after the program name, UTF-8). Results and summaries go to
// out, diagnostics and failures to err. Returns 0 on success, 1 on failure or errors in the
// quiz, 2 for a wrong command line. A folder alone is made into FOLDER.exe beside it, after "new"
// when it has no quiz source; report, when given, then tells what came of it.
int runAuthor(const std::vector<std::string>& arguments, ExeAccess& access, std::ostream& out, std::ostream& err,
              AuthorReport* report = nullptr);

// The name the tool goes by in its messages and usage.
extern const char* const kToolName;
