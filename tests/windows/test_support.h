// Helpers shared by the in-process Win32 tests: captured message boxes and shell requests, fixture
// modules, a fresh quiz state, window queries and the control-by-control comparison of built panels.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

struct QuizState;

struct CapturedMessage {
    HWND owner;
    std::string text, caption;
    UINT flags;
};

// Records every message box shown while it lives, instead of showing it.
class MessageCapture {
public:
    MessageCapture();
    ~MessageCapture();
    const std::vector<CapturedMessage>& messages() const;
};

// A fresh, empty folder made current while it lives, removed with everything in it afterwards.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

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
    void add(const char* type, int id, const std::vector<unsigned char>& bytes);  // before load()
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

struct ShellRequest {
    HWND owner;
    std::string verb, file;
    bool parameters, directory;
    int show;
};

// Records every shell open request while it lives, instead of opening anything.
class ShellCapture {
public:
    ShellCapture();
    ~ShellCapture();
    std::vector<ShellRequest>& requests();
};

void expectMessage(const CapturedMessage& message, HWND owner, const std::string& text, const std::string& caption,
                   UINT flags);

HINSTANCE self();
std::string textOf(HWND window);
std::vector<HWND> childrenOf(HWND window);
SIZE bitmapSize(HBITMAP bitmap);
// The window's rectangle in the client coordinates of frame (its parent when null).
RECT placeIn(HWND window, HWND frame = nullptr);
HWND makeChild(const char* className, const char* text, DWORD style, int x, int y, int width, int height, HWND parent,
               int id = 0);
void writeFile(const std::string& name, const std::string& bytes);
std::string readFile(const std::string& name);  // empty when missing
// A path from the build system: under Wine a Unix path names a folder of drive Z:.
std::string windowsPath(std::string path);
// Asked of the window itself: GetWindowText misses what was typed into another process's edit field.
std::string remoteText(HWND window);
std::string classOf(HWND window);
// The visible top-level window of that class owned by process; null when there is none.
HWND findProcessWindow(DWORD process, const char* className);
std::vector<HWND> descendantsOf(HWND window);  // as EnumChildWindows lists them
// Names in the current folder matching pattern, without "." and "..", sorted.
std::vector<std::string> folderContents(const char* pattern = "*");
// Every pixel of a bitmap as 0x00RRGGBB, top row first.
std::vector<DWORD> pixelsOf(HBITMAP bitmap);
// Messages posted to window (any window when null) in [first, last], taken off the queue.
std::vector<MSG> drainPosted(HWND window, UINT first = 0, UINT last = 0);
void resizeClient(HWND window, int width, int height);  // client area width x height
// Scrolls a board to x, y with plain Win32 calls, as its scroll handlers would.
void scrollTo(HWND board, int x, int y);
void expectPlace(HWND window, int x, int y, int width, int height);

// The global app with a fresh quiz state while it lives; the previous app comes back afterwards.
class QuizApp {
public:
    QuizApp();
    ~QuizApp();
    QuizApp(const QuizApp&) = delete;
};

struct QuizSetup {
    int mediaKind, questions, answers, revealMode;
};

// Fills app.quiz: answer names "Pays" and "Capitale", captions "Question n", reveal texts
// "Réponse n", answers from the list or "An"/"Bn".
void describeQuiz(const QuizSetup& setup, const std::vector<std::pair<std::string, std::string>>& answers = {});

// Styles exactly as asked for at creation, recorded while it lives: some classes store another
// style than the one asked for (Edit drops WS_BORDER), which would hide a mistake.
class CreationStyles {
public:
    CreationStyles();
    ~CreationStyles();
    static DWORD of(HWND window);

private:
    HHOOK hook_;
};

struct ExpectedControl {
    int id;
    const char* className;
    DWORD style;  // as asked for at creation
    const char* text;
    int font;     // resolved by the caller's fontOf
    int x, y, width, height;
};

// Every child of parent in creation order against the table; positions in parent's client area.
void expectControls(HWND parent, const std::vector<ExpectedControl>& expected,
                    const std::function<HGDIOBJ(int font)>& fontOf);
