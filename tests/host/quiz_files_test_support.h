// Shared by the quiz compiler and authoring tool tests: scratch folders of quiz files, whole-file
// reads and writes, and diagnostics listed as the tools print them.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "quizc/quiz_source.h"

namespace fs = std::filesystem;

inline std::string readAll(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void writeAll(const fs::path& path, const std::string& bytes)
{
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A fresh temporary folder holding the given files (a name ending in '/' makes a folder), removed at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::map<std::string, std::string>& files = {})
    {
        std::random_device random;
        path_ = fs::temp_directory_path() / ("enigo_test_" + std::to_string(random()) + std::to_string(random()));
        fs::create_directories(path_);
        for (const auto& file : files) {
            if (file.first.back() == '/') fs::create_directories(path_ / file.first);
            else writeAll(path_ / file.first, file.second);
        }
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

inline std::string listed(const std::vector<Diagnostic>& diagnostics)
{
    std::string text;
    for (const Diagnostic& diagnostic : diagnostics) text += formatDiagnostic("quiz.txt", diagnostic) + "\n";
    return text;
}

// The diagnostics as "E3 message" ("W" a warning, "N" a note), each shown as the expected entry
// at its place when severity and line agree and the message holds the rest of that entry.
inline std::vector<std::string> matched(const std::vector<Diagnostic>& diagnostics, const std::vector<std::string>& expected)
{
    std::vector<std::string> got;
    for (const Diagnostic& d : diagnostics) {
        got.push_back("EWN"[static_cast<int>(d.severity)] + std::to_string(d.line) + " " + d.message);
        const std::string want = got.size() <= expected.size() ? expected[got.size() - 1] : "";
        const std::size_t space = want.find(' ');
        if (space != std::string::npos && got.back().compare(0, space + 1, want, 0, space + 1) == 0 &&
            got.back().find(want.substr(space + 1)) != std::string::npos) {
            got.back() = want;
        }
    }
    return got;
}
