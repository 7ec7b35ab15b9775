// Captured message boxes and shell requests, throw-away folders and resource modules, a fresh quiz state
// and window summaries for the Win32 tests.
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "base/app.h"
#include "base/message_box.h"
#include "base/shell_open.h"
#include "lzw_encode.h"
#include "quiz/quiz_state_win.h"

namespace {

std::vector<CapturedMessage> captured;
std::vector<ShellRequest> shellRequests;
App savedApp = {};
std::error_code ignored;  // a folder left behind is no failure

int captureMessage(HWND owner, const char* text, const char* caption, UINT flags)
{
    captured.push_back({owner, text ? text : "", caption ? caption : "", flags});
    return IDOK;
}

HINSTANCE captureShellOpen(HWND owner, const char* verb, const char* file, const char* parameters,
                           const char* directory, int show)
{
    shellRequests.push_back({owner, verb ? verb : "", file ? file : "", parameters != nullptr, directory != nullptr,
                             show});
    return reinterpret_cast<HINSTANCE>(42);
}

// Unique in the temporary folder; Wine reuses process ids, and a crashed run leaves its files behind.
std::string temporaryName(const char* stem)
{
    static int counter = 0;
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string name = std::string(folder) + stem + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(++counter);
    std::filesystem::remove_all(name, ignored);
    return name;
}

} // namespace

MessageCapture::MessageCapture() { captured.clear(), setMessageSink(captureMessage); }
MessageCapture::~MessageCapture() { setMessageSink(nullptr); }
const std::vector<CapturedMessage>& MessageCapture::messages() const { return captured; }

ShellCapture::ShellCapture() { shellRequests.clear(), setShellOpenSink(captureShellOpen); }
ShellCapture::~ShellCapture() { setShellOpenSink(nullptr); }
std::vector<ShellRequest>& ShellCapture::requests() { return shellRequests; }

ScratchFolder::ScratchFolder() : path_(temporaryName("enigo-test-"))
{
    GetCurrentDirectoryA(MAX_PATH, previous_);
    EXPECT_TRUE(CreateDirectoryA(path_.c_str(), nullptr) && SetCurrentDirectoryA(path_.c_str())) << path_;
}

ScratchFolder::~ScratchFolder()
{
    SetCurrentDirectoryA(previous_);
    std::filesystem::remove_all(path_, ignored);
}

FixtureModule::FixtureModule() : path_(temporaryName("enigo-fixture-") + ".dll")
{
    EXPECT_TRUE(CopyFileA(ENIGO_FIXTURE_MODULE, path_.c_str(), FALSE)) << path_;
    update_ = BeginUpdateResourceA(path_.c_str(), FALSE);
}

FixtureModule::~FixtureModule()  // either handle may be null, which both calls refuse harmlessly
{
    EndUpdateResourceA(update_, TRUE);
    FreeLibrary(module_);
    DeleteFileA(path_.c_str());
}

void FixtureModule::add(const char* type, int id, const Bytes& bytes)
{
    ASSERT_NE(update_, nullptr);
    EXPECT_TRUE(UpdateResourceA(update_, type, MAKEINTRESOURCEA(id), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                const_cast<unsigned char*>(bytes.data()), static_cast<DWORD>(bytes.size())));
}

HMODULE FixtureModule::load()
{
    EXPECT_TRUE(!update_ || EndUpdateResourceA(std::exchange(update_, nullptr), FALSE));
    module_ = LoadLibraryExA(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(module_, nullptr) << "cannot load " << path_;
    return module_;
}

Bytes packed(const Bytes& plain) { return lzwEncode(plain.data(), plain.size()); }
Bytes packed(const std::string& plain) { return packed(Bytes(plain.begin(), plain.end())); }

Bytes bmpFile(int width, int height, COLORREF colour)
{
    const DWORD stride = (width * 3 + 3) & ~3, size = stride * height, offset = 54;
    const BITMAPFILEHEADER file = {0x4D42, offset + size, 0, 0, offset};
    const BITMAPINFOHEADER info = {sizeof info, width, height, 1, 24, BI_RGB, size, 0, 0, 0, 0};
    Bytes bytes(offset + size);
    std::memcpy(&bytes[0], &file, sizeof file), std::memcpy(&bytes[sizeof file], &info, sizeof info);
    for (DWORD i = 0; i < size; ++i)  // blue, green, red, and zeros at the end of each row
        bytes[offset + i] = i % stride < DWORD(width) * 3 ? (colour >> (16 - 8 * (i % stride % 3))) & 0xFF : 0;
    return bytes;
}

SIZE bitmapSize(HBITMAP bitmap)
{
    BITMAP description = {};
    GetObjectA(bitmap, sizeof description, &description);
    return {description.bmWidth, description.bmHeight};
}

std::vector<DWORD> pixelsOf(HBITMAP bitmap)
{
    const SIZE size = bitmapSize(bitmap);
    std::vector<DWORD> pixels(static_cast<size_t>(size.cx) * size.cy);
    BITMAPINFO info = {{sizeof info.bmiHeader, size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDIBits(screen, bitmap, 0, size.cy, pixels.data(), &info, DIB_RGB_COLORS), size.cy) << "GetDIBits";
    ReleaseDC(nullptr, screen);
    for (DWORD& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
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

RECT placeIn(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HWND makeChild(const char* type, const char* text, DWORD style, int x, int y, int w, int h, HWND parent, int id)
{
    return CreateWindowExA(0, type, text, style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), self(), nullptr);
}

std::string controlsOf(HWND parent)
{
    std::string lines;
    for (HWND control : childrenOf(parent)) {
        const RECT r = placeIn(control);
        lines += (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE ? "" : "-") + std::to_string(GetDlgCtrlID(control)) +
                 " [" + textOf(control) + "] " + std::to_string(r.left) + "," + std::to_string(r.top) + " " +
                 std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) + "\n";
    }
    return lines;
}

void resizeClient(HWND window, int width, int height)
{
    RECT frame, client;
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    SetWindowPos(window, nullptr, 0, 0, width + (frame.right - frame.left) - client.right,
                 height + (frame.bottom - frame.top) - client.bottom, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(window, &client);
    EXPECT_EQ(client.right * 10000 + client.bottom, width * 10000 + height);
}

void scrollTo(HWND board, int x, int y)
{
    const int oldX = GetScrollPos(board, SB_HORZ), oldY = GetScrollPos(board, SB_VERT);
    SetScrollPos(board, SB_HORZ, x, FALSE), SetScrollPos(board, SB_VERT, y, FALSE);
    ScrollWindowEx(board, oldX - x, oldY - y, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN);
    ASSERT_EQ(GetScrollPos(board, SB_HORZ) * 10000 + GetScrollPos(board, SB_VERT), x * 10000 + y);
}

std::vector<MSG> drainPosted(HWND window)
{
    std::vector<MSG> posted;
    for (MSG message; PeekMessageA(&message, window, 0, 0, PM_REMOVE);)
        posted.push_back(message);
    return posted;
}

void writeFile(const std::string& name, const std::string& bytes)
{
    ASSERT_TRUE(std::ofstream(name, std::ios::binary) << bytes) << name;
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

std::vector<std::string> folderContents(const std::string& prefix)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        if (entry.path().filename().string().rfind(prefix, 0) == 0)
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

QuizApp::QuizApp()
{
    savedApp = std::exchange(app, App{self(), new QuizState, nullptr, nullptr, nullptr});
    initQuizState(*app.quiz);
}

QuizApp::~QuizApp()
{
    releaseQuizState(*app.quiz);
    delete app.quiz;
    app = savedApp;
}

void describeQuiz(const QuizSetup& setup, const std::vector<std::pair<std::string, std::string>>& answers)
{
    QuizState& state = *app.quiz;
    state.mediaKind = setup.mediaKind, state.questionCount = setup.questions;
    state.answersPerQuestion = setup.answers, state.revealMode = setup.revealMode;
    copyText(state.answerLabel1, "Pays"), copyText(state.answerLabel2, "Capitale");
    for (int question = 1; question <= setup.questions; ++question) {
        const std::string n = std::to_string(question);
        const auto given = question <= int(answers.size()) ? answers[question - 1] : std::make_pair("A" + n, "B" + n);
        QuestionRecord* record = appendQuestion(state, given.first.c_str(), given.second.c_str(),
                                                ("Question " + n).c_str());
        copyText(record->revealText, ("R\xE9" "ponse " + n).c_str());
        copyText(state.codes[question - 1], ("CODE-" + n).c_str());
    }
}
