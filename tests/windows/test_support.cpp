// Captured message boxes and throw-away resource modules for the Win32 tests.
#include "test_support.h"

#include <gtest/gtest.h>

#include "app/message_box.h"
#include "lzw_encode.h"

namespace {

std::vector<CapturedMessage> captured;

int captureMessage(HWND owner, const char* text, const char* caption, UINT flags)
{
    captured.push_back({owner, text ? text : "", caption ? caption : "", flags});
    return IDOK;
}

int fixtureCounter = 0;

} // namespace

ScratchFolder::ScratchFolder()
{
    static int counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    GetCurrentDirectoryA(MAX_PATH, previous_);
    path_ = std::string(temp) + "enigo-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    EXPECT_TRUE(CreateDirectoryA(path_.c_str(), nullptr)) << path_;
    EXPECT_TRUE(SetCurrentDirectoryA(path_.c_str())) << path_;
}

ScratchFolder::~ScratchFolder()
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("*", &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name != "." && name != ".." && !DeleteFileA(name.c_str()))
                RemoveDirectoryA(name.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    SetCurrentDirectoryA(previous_);
    RemoveDirectoryA(path_.c_str());
}

MessageCapture::MessageCapture()
{
    captured.clear();
    setMessageSink(captureMessage);
}

MessageCapture::~MessageCapture()
{
    setMessageSink(nullptr);
}

const std::vector<CapturedMessage>& MessageCapture::messages() const
{
    return captured;
}

FixtureModule::FixtureModule()
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    path_ = std::string(folder) + "enigo-fixture-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++fixtureCounter) + ".dll";
    if (!CopyFileA(ENIGO_FIXTURE_MODULE, path_.c_str(), FALSE))
        ADD_FAILURE() << "cannot copy " << ENIGO_FIXTURE_MODULE << " to " << path_;
    update_ = BeginUpdateResourceA(path_.c_str(), FALSE);
    EXPECT_NE(update_, nullptr) << "BeginUpdateResourceA failed";
}

FixtureModule::~FixtureModule()
{
    if (update_)
        EndUpdateResourceA(update_, TRUE);
    if (module_)
        FreeLibrary(module_);
    DeleteFileA(path_.c_str());
}

void FixtureModule::add(const char* type, int id, const std::vector<unsigned char>& bytes)
{
    ASSERT_NE(update_, nullptr);
    EXPECT_TRUE(UpdateResourceA(update_, type, MAKEINTRESOURCEA(id), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                const_cast<unsigned char*>(bytes.data()), static_cast<DWORD>(bytes.size())));
}

HMODULE FixtureModule::load()
{
    if (update_) {
        EXPECT_TRUE(EndUpdateResourceA(update_, FALSE));
        update_ = nullptr;
    }
    module_ = LoadLibraryExA(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(module_, nullptr) << "cannot load " << path_;
    return module_;
}

std::vector<unsigned char> packed(const std::vector<unsigned char>& plain)
{
    return lzwEncode(plain.data(), plain.size());
}

std::vector<unsigned char> packed(const std::string& plain)
{
    return lzwEncode(reinterpret_cast<const unsigned char*>(plain.data()), plain.size());
}

std::vector<unsigned char> bmpFile(int width, int height, COLORREF colour)
{
    const int stride = (width * 3 + 3) & ~3;
    std::vector<unsigned char> file(54 + stride * height, 0);
    auto put32 = [&](size_t at, unsigned value) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = (value >> (8 * i)) & 0xFF;
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<unsigned>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    file[26] = 1;
    file[28] = 24;
    put32(34, stride * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char* pixel = &file[54 + y * stride + x * 3];
            pixel[0] = GetBValue(colour);
            pixel[1] = GetGValue(colour);
            pixel[2] = GetRValue(colour);
        }
    return file;
}
