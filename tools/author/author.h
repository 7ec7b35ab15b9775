// The authoring tool's commands (make, check, extract, show), over the few operations on
// executables that only the platform can do.
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
};

// Runs one command line (arguments after the program name, UTF-8). Results and summaries go to
// out, diagnostics and failures to err. Returns 0 on success, 1 on failure or errors in the
// quiz, 2 for a wrong command line.
int runAuthor(const std::vector<std::string>& arguments, ExeAccess& access, std::ostream& out, std::ostream& err);

// The name the tool goes by in its messages and usage.
extern const char* const kToolName;
