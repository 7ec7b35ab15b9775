// Captured message boxes and shell requests, throw-away resource modules, a fresh quiz state and
// window summaries for the Win32 tests.
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstring>

#include "base/app.h"
#include "base/message_box.h"
#include "base/shell_open.h"
#include "lzw_encode.h"
#include "quiz/quiz_state_win.h"

namespace {

std::vector<CapturedMessage> captured;
std::vector<ShellRequest> shellRequests;
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

std::string box(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
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
    EXPECT_EQ(message.text + "|" + message.caption + "|" + std::to_string(message.flags) +
                  (message.owner == owner ? "" : " from another owner"),
              text + "|" + caption + "|" + std::to_string(flags));
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
    EXPECT_TRUE(!update_ || EndUpdateResourceA(update_, FALSE));
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
    const DWORD stride = (width * 3 + 3) & ~3, size = stride * height, offset = 54;
    const BITMAPFILEHEADER file = {0x4D42, offset + size, 0, 0, offset};
    const BITMAPINFOHEADER info = {sizeof info, width, height, 1, 24, BI_RGB, size, 0, 0, 0, 0};
    std::vector<unsigned char> bytes(offset + size);
    std::memcpy(&bytes[0], &file, sizeof file), std::memcpy(&bytes[sizeof file], &info, sizeof info);
    for (DWORD i = 0; i < size; ++i)  // blue, green, red, and zeros at the end of each row
        bytes[offset + i] = i % stride < DWORD(width) * 3 ? (colour >> (16 - 8 * (i % stride % 3))) & 0xFF : 0;
    return bytes;
}

HINSTANCE self() { return GetModuleHandleA(nullptr); }

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

HWND makeChild(const char* className, const char* text, DWORD style, int x, int y, int width, int height, HWND parent,
               int id)
{
    return CreateWindowExA(0, className, text, style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), self(), nullptr);
}

std::string controlsOf(HWND parent)
{
    std::string lines;
    for (HWND control : childrenOf(parent))
        lines += std::string(GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE ? "" : "-") +
                 std::to_string(GetDlgCtrlID(control)) + " [" + textOf(control) + "] " + box(placeIn(control)) + "\n";
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
    EXPECT_EQ(box(client), box({0, 0, width, height}));
}

void scrollTo(HWND board, int x, int y)
{
    const int oldX = GetScrollPos(board, SB_HORZ), oldY = GetScrollPos(board, SB_VERT);
    SetScrollPos(board, SB_HORZ, x, FALSE), SetScrollPos(board, SB_VERT, y, FALSE);
    ScrollWindowEx(board, oldX - x, oldY - y, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN);
    ASSERT_EQ(GetScrollPos(board, SB_HORZ) * 10000 + GetScrollPos(board, SB_VERT), x * 10000 + y);
}

std::vector<MSG> drainPosted(HWND window, UINT first, UINT last)
{
    std::vector<MSG> posted;
    for (MSG message; PeekMessageA(&message, window, first, last, PM_REMOVE);)
        posted.push_back(message);
    return posted;
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
    for (size_t question = 1; question <= size_t(setup.questions); ++question) {
        const std::string n = std::to_string(question);
        const bool given = question <= answers.size();
        QuestionRecord* record = appendQuestion(state, given ? answers[question - 1].first.c_str() : ("A" + n).c_str(),
                                                given ? answers[question - 1].second.c_str() : ("B" + n).c_str(),
                                                ("Question " + n).c_str());
        copyText(record->revealText, ("R\xE9" "ponse " + n).c_str());
    }
}
