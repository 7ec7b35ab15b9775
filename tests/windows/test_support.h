// Helpers shared by the in-process Win32 tests: captured message boxes and shell requests, fixture
// modules, a fresh quiz state and window queries.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

struct CapturedMessage { HWND owner; std::string text, caption; UINT flags; };
struct ShellRequest { HWND owner; std::string verb, file; bool parameters, directory; int show; };

// Each records what the player asks for while it lives (message boxes, shell opens) instead of doing it.
struct MessageCapture {
    MessageCapture();
    ~MessageCapture();
    const std::vector<CapturedMessage>& messages() const;
};
struct ShellCapture {
    ShellCapture();
    ~ShellCapture();
    std::vector<ShellRequest>& requests();
};
void expectMessage(const CapturedMessage& message, HWND owner, const std::string& text, const std::string& caption,
                   UINT flags);

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

HINSTANCE self();
std::string textOf(HWND window);
std::string classOf(HWND window);
std::vector<HWND> childrenOf(HWND window);     // in creation order
std::vector<HWND> descendantsOf(HWND window);  // as EnumChildWindows lists them
// Asked of the window itself: GetWindowText misses what was typed into another process's edit field.
std::string remoteText(HWND window);
// The visible top-level window of that class owned by process; null when there is none.
HWND findProcessWindow(DWORD process, const char* className);
// The window's rectangle in the client coordinates of frame (its parent when null).
RECT placeIn(HWND window, HWND frame = nullptr);
void expectPlace(HWND window, int x, int y, int width, int height);
// "id [text] x,y wxh" of every child in creation order, one line each, "-" before a hidden one.
std::string controlsOf(HWND parent);
HWND makeChild(const char* className, const char* text, DWORD style, int x, int y, int width, int height, HWND parent,
               int id = 0);
void resizeClient(HWND window, int width, int height);  // client area width x height
// Scrolls a board to x, y with plain Win32 calls, as its scroll handlers would.
void scrollTo(HWND board, int x, int y);
// Messages posted to window (any window when null) in [first, last], taken off the queue.
std::vector<MSG> drainPosted(HWND window, UINT first = 0, UINT last = 0);
SIZE bitmapSize(HBITMAP bitmap);
std::vector<DWORD> pixelsOf(HBITMAP bitmap);  // 0x00RRGGBB, top row first

void writeFile(const std::string& name, const std::string& bytes);
std::string readFile(const std::string& name);  // empty when missing
// A path from the build system: under Wine a Unix path names a folder of drive Z:.
std::string windowsPath(std::string path);
// Names in the current folder matching pattern, without "." and "..", sorted.
std::vector<std::string> folderContents(const char* pattern = "*");

// The global app with a fresh quiz state while it lives; the previous app comes back afterwards.
struct QuizApp {
    QuizApp();
    ~QuizApp();
    QuizApp(const QuizApp&) = delete;
};

struct QuizSetup { int mediaKind, questions, answers, revealMode; };
// Fills app.quiz: answer names "Pays" and "Capitale", captions "Question n", reveal texts
// "Réponse n", answers from the list or "An"/"Bn".
void describeQuiz(const QuizSetup& setup, const std::vector<std::pair<std::string, std::string>>& answers = {});
