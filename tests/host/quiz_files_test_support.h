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

inline std::string readAll(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void writeAll(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A fresh temporary folder holding the given files (subfolders made as needed; a name ending in
// '/' makes a folder), removed with everything in it at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::map<std::string, std::string>& files = {})
    {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("enigo_test_" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(path_);
        for (const auto& file : files) {
            write(file.first, file.second);
        }
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    void write(const std::string& name, const std::string& bytes) const
    {
        const std::filesystem::path target = path_ / name;
        if (!name.empty() && name.back() == '/') {
            std::filesystem::create_directories(target);
            return;
        }
        std::filesystem::create_directories(target.parent_path());
        writeAll(target, bytes);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline std::string listed(const std::vector<Diagnostic>& diagnostics)
{
    std::string text;
    for (const Diagnostic& diagnostic : diagnostics) {
        text += formatDiagnostic("quiz.txt", diagnostic) + "\n";
    }
    return text;
}
