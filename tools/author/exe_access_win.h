// Executables through the Windows resource functions: the player the tool carries, copied and
// given a quiz's resources; quiz resources read back from any executable.
#pragma once

#include "author.h"

class WindowsExeAccess : public ExeAccess {
public:
    std::filesystem::path toolPath() const override;
    bool writeQuizExe(const std::filesystem::path& path, const QuizResourceSet& set, std::string& error) override;
    bool readQuizExe(const std::filesystem::path& path, QuizResourceSet& set, std::string& error) override;
    bool replaceFile(const std::filesystem::path& source, const std::filesystem::path& target,
                     std::string& error) override;
    bool runQuiz(const std::filesystem::path& exe, std::string& error) override;
};

// Name of the tool's raw-data resource that holds the player without a quiz.
extern const char* const kPlayerResourceName;
