// Whole-file reads and writes, and paths to and from UTF-8 text, for the quiz compiler and the authoring tool.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

// The whole file; false when it cannot be opened or read.
bool readFileBytes(const std::filesystem::path& path, std::vector<unsigned char>& bytes);
// Writes the file anew; false when it cannot be created or written in full.
bool writeFileBytes(const std::filesystem::path& path, const void* data, std::size_t size);

// Paths from and to UTF-8 text, so non-ASCII file names also work on Windows.
std::filesystem::path pathFromUtf8(const std::string& utf8);
std::string pathToUtf8(const std::filesystem::path& path);
