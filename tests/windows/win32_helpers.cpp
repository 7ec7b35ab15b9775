// Plain Win32 helpers with no part of the player in them: scratch folders, files, paths and
// window queries.
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

ScratchFolder::ScratchFolder()
{
    static int counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    GetCurrentDirectoryA(MAX_PATH, previous_);
    path_ = std::string(temp) + "enigo-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    // Wine reuses process ids, and a crashed run leaves its folder behind.
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    EXPECT_TRUE(CreateDirectoryA(path_.c_str(), nullptr) && SetCurrentDirectoryA(path_.c_str())) << path_;
}

ScratchFolder::~ScratchFolder()
{
    SetCurrentDirectoryA(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string textOf(HWND window)
{
    char text[300] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::vector<HWND> childrenOf(HWND window)
{
    std::vector<HWND> list;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        list.push_back(child);
    return list;
}

RECT placeIn(HWND window, HWND frame)
{
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, frame ? frame : GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void writeFile(const std::string& name, const std::string& bytes)
{
    std::ofstream file(name, std::ios::binary);
    ASSERT_TRUE(file.write(bytes.data(), bytes.size())) << name;
}

std::string readFile(const std::string& name)
{
    std::ifstream file(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string windowsPath(std::string path)
{
    if (path.size() > 1 && path[0] == '/' && path[1] != '/')
        path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::vector<std::string> folderContents(const char* pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..")
            names.push_back(found.cFileName);
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}
