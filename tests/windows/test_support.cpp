// Captured message boxes and shell requests, throw-away resource modules, a fresh quiz state and
// the checks of built panels for the Win32 tests.
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "base/app.h"
#include "base/message_box.h"
#include "base/shell_open.h"
#include "lzw_encode.h"
#include "quiz/quiz_state_win.h"

namespace {

std::vector<CapturedMessage> captured;
std::vector<ShellRequest> shellRequests;
std::vector<std::pair<HWND, DWORD>> requestedStyles;
App savedApp = {};

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

LRESULT CALLBACK recordCreation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND)
        requestedStyles.emplace_back(reinterpret_cast<HWND>(wParam),
                                     static_cast<DWORD>(reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->style));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

MessageCapture::MessageCapture() { captured.clear(), setMessageSink(captureMessage); }
MessageCapture::~MessageCapture() { setMessageSink(nullptr); }
const std::vector<CapturedMessage>& MessageCapture::messages() const { return captured; }

ShellCapture::ShellCapture() { shellRequests.clear(), setShellOpenSink(captureShellOpen); }
ShellCapture::~ShellCapture() { setShellOpenSink(nullptr); }
std::vector<ShellRequest>& ShellCapture::requests() { return shellRequests; }

void expectMessage(const CapturedMessage& message, HWND owner, const std::string& text, const std::string& caption,
                   UINT flags)
{
    EXPECT_EQ(message.owner, owner);
    EXPECT_EQ(message.text, text);
    EXPECT_EQ(message.caption, caption);
    EXPECT_EQ(message.flags, flags);
}

FixtureModule::FixtureModule()
{
    static int counter = 0;
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    path_ = std::string(folder) + "enigo-fixture-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++counter) + ".dll";
    EXPECT_TRUE(CopyFileA(ENIGO_FIXTURE_MODULE, path_.c_str(), FALSE)) << path_;
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
    }
    update_ = nullptr;
    module_ = LoadLibraryExA(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(module_, nullptr) << "cannot load " << path_;
    return module_;
}

std::vector<unsigned char> packed(const std::vector<unsigned char>& plain) { return lzwEncode(plain.data(), plain.size()); }

std::vector<unsigned char> packed(const std::string& plain)
{
    return packed(std::vector<unsigned char>(plain.begin(), plain.end()));
}

std::vector<unsigned char> bmpFile(int width, int height, COLORREF colour)
{
    const int stride = (width * 3 + 3) & ~3;
    std::vector<unsigned char> file(54 + stride * height, 0);
    const auto put32 = [&](size_t at, unsigned value) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = (value >> (8 * i)) & 0xFF;
    };
    file[0] = 'B', file[1] = 'M', file[26] = 1, file[28] = 24;
    put32(2, static_cast<unsigned>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    put32(34, stride * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char* pixel = &file[54 + y * stride + x * 3];
            pixel[0] = GetBValue(colour), pixel[1] = GetGValue(colour), pixel[2] = GetRValue(colour);
        }
    return file;
}

HINSTANCE self() { return GetModuleHandleA(nullptr); }

SIZE bitmapSize(HBITMAP bitmap)
{
    BITMAP description = {};
    GetObjectA(bitmap, sizeof description, &description);
    return {description.bmWidth, description.bmHeight};
}

HWND makeChild(const char* className, const char* text, DWORD style, int x, int y, int width, int height, HWND parent,
               int id)
{
    return CreateWindowExA(0, className, text, style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), self(), nullptr);
}

QuizApp::QuizApp()
{
    savedApp = app;
    app = {};
    app.module = self();
    app.quiz = new QuizState;
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
    state.mediaKind = setup.mediaKind;
    state.questionCount = setup.questions;
    state.answersPerQuestion = setup.answers;
    state.revealMode = setup.revealMode;
    copyText(state.answerLabel1, "Pays");
    copyText(state.answerLabel2, "Capitale");
    for (int question = 1; question <= setup.questions; ++question) {
        const std::string n = std::to_string(question);
        const bool given = static_cast<size_t>(question) <= answers.size();
        QuestionRecord* record = appendQuestion(state, given ? answers[question - 1].first.c_str() : ("A" + n).c_str(),
                                                given ? answers[question - 1].second.c_str() : ("B" + n).c_str(),
                                                ("Question " + n).c_str());
        copyText(record->revealText, ("R\xE9" "ponse " + n).c_str());
    }
}

CreationStyles::CreationStyles()
{
    requestedStyles.clear();
    hook_ = SetWindowsHookExA(WH_CBT, recordCreation, nullptr, GetCurrentThreadId());
}

CreationStyles::~CreationStyles() { UnhookWindowsHookEx(hook_); }

DWORD CreationStyles::of(HWND window)
{
    for (const auto& entry : requestedStyles)
        if (entry.first == window)
            return entry.second;
    return 0;
}

void expectControls(HWND parent, const std::vector<ExpectedControl>& expected,
                    const std::function<HGDIOBJ(int font)>& fontOf)
{
    // One line per control, so that a mismatch shows as a diff of whole controls.
    const auto line = [](int id, std::string className, DWORD style, DWORD exStyle, const std::string& text,
                         HGDIOBJ font, RECT r) {
        CharLowerA(&className[0]);
        char buffer[400];
        std::snprintf(buffer, sizeof buffer, "%d %s %08lx/%lx [%s] font %p at %ld,%ld %ldx%ld\n", id,
                      className.c_str(), static_cast<unsigned long>(style), static_cast<unsigned long>(exStyle),
                      text.c_str(), static_cast<void*>(font), r.left, r.top, r.right - r.left, r.bottom - r.top);
        return std::string(buffer);
    };
    std::string want;
    std::string got;
    for (const ExpectedControl& c : expected)
        want += line(c.id, c.className, c.style, 0, c.text, fontOf(c.font), {c.x, c.y, c.x + c.width, c.y + c.height});
    for (HWND control : childrenOf(parent))
        got += line(GetDlgCtrlID(control), classOf(control), CreationStyles::of(control),
                    GetWindowLongA(control, GWL_EXSTYLE), textOf(control),
                    reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)), placeIn(control, parent));
    EXPECT_EQ(got, want);
}

std::vector<DWORD> pixelsOf(HBITMAP bitmap)
{
    const SIZE size = bitmapSize(bitmap);
    std::vector<DWORD> pixels(static_cast<size_t>(size.cx) * size.cy);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDIBits(screen, bitmap, 0, size.cy, pixels.data(), &info, DIB_RGB_COLORS), size.cy) << "GetDIBits";
    ReleaseDC(nullptr, screen);
    for (DWORD& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

std::vector<MSG> drainPosted(HWND window, UINT first, UINT last)
{
    std::vector<MSG> posted;
    MSG message;
    while (PeekMessageA(&message, window, first, last, PM_REMOVE))
        posted.push_back(message);
    return posted;
}

void resizeClient(HWND window, int width, int height)
{
    RECT frame;
    RECT client;
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    SetWindowPos(window, nullptr, 0, 0, width + (frame.right - frame.left) - client.right,
                 height + (frame.bottom - frame.top) - client.bottom, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, width);
    EXPECT_EQ(client.bottom, height);
}

void scrollTo(HWND board, int x, int y)
{
    const int oldX = GetScrollPos(board, SB_HORZ);
    const int oldY = GetScrollPos(board, SB_VERT);
    SetScrollPos(board, SB_HORZ, x, FALSE);
    SetScrollPos(board, SB_VERT, y, FALSE);
    ScrollWindowEx(board, oldX - x, oldY - y, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN);
    ASSERT_EQ(GetScrollPos(board, SB_HORZ), x);
    ASSERT_EQ(GetScrollPos(board, SB_VERT), y);
}

void expectPlace(HWND window, int x, int y, int width, int height)
{
    const RECT r = placeIn(window);
    EXPECT_EQ(std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
                  std::to_string(r.bottom - r.top),
              std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(width) + "x" + std::to_string(height))
        << "control " << GetDlgCtrlID(window);
}
