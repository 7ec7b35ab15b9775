// Helpers shared by the in-process Win32 tests: captured message boxes and fixture modules.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct CapturedMessage {
    HWND owner;
    std::string text;
    std::string caption;
    UINT flags;
};

// Records every message box shown while it lives, instead of showing it.
class MessageCapture {
public:
    MessageCapture();
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;
    const std::vector<CapturedMessage>& messages() const;
};

// A fresh, empty folder made current while it lives, removed with its contents afterwards.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
    char previous_[MAX_PATH] = {};
};

// A copy of the empty fixture module with chosen resources written into it, loaded as data.
class FixtureModule {
public:
    FixtureModule();
    ~FixtureModule();
    FixtureModule(const FixtureModule&) = delete;
    FixtureModule& operator=(const FixtureModule&) = delete;

    // Adds a resource before load(); type and id as FindResourceA sees them.
    void add(const char* type, int id, const std::vector<unsigned char>& bytes);
    HMODULE load();

private:
    std::string path_;
    HANDLE update_ = nullptr;
    HMODULE module_ = nullptr;
};

// A bottom-up 24-bit BMP file of one colour: the system picture loader reads it like a JPEG.
std::vector<unsigned char> bmpFile(int width, int height, COLORREF colour);

// Compressed bytes as they are stored in a quiz resource.
std::vector<unsigned char> packed(const std::vector<unsigned char>& plain);
std::vector<unsigned char> packed(const std::string& plain);
