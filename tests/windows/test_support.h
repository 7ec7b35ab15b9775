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

std::vector<unsigned char> bmpFile(int width, int height, COLORREF colour);  // 24-bit, loaded like a JPEG
std::vector<unsigned char> packed(const std::vector<unsigned char>& plain);  // as stored in a quiz resource
std::vector<unsigned char> packed(const std::string& plain);

HINSTANCE self();
std::string textOf(HWND window);
std::vector<HWND> childrenOf(HWND window);     // in creation order
RECT placeIn(HWND window, HWND frame = nullptr);  // in frame's client coordinates (its parent's when null)
std::string controlsOf(HWND parent);  // "id [text] x,y wxh" per child and line, "-" before a hidden one
HWND makeChild(const char* className, const char* text, DWORD style, int x, int y, int width, int height, HWND parent,
               int id = 0);
void resizeClient(HWND window, int width, int height);  // client area width x height
void scrollTo(HWND board, int x, int y);  // with plain Win32 calls, as the board's scroll handlers would
std::vector<MSG> drainPosted(HWND window, UINT first = 0, UINT last = 0);  // taken off the queue
SIZE bitmapSize(HBITMAP bitmap);
std::vector<DWORD> pixelsOf(HBITMAP bitmap);  // 0x00RRGGBB, top row first

void writeFile(const std::string& name, const std::string& bytes);
std::string readFile(const std::string& name);  // empty when missing
std::string windowsPath(std::string path);  // a Unix path from the build names a folder of drive Z:
std::vector<std::string> folderContents(const char* pattern = "*");  // in the current folder, sorted, no dots

// The global app with a fresh quiz state while it lives; the previous app comes back afterwards.
struct QuizApp {
    QuizApp();
    ~QuizApp();
    QuizApp(const QuizApp&) = delete;
};

struct QuizSetup { int mediaKind, questions, answers, revealMode; };
// Fills app.quiz: answer names "Pays", "Capitale"; per question "Question n", "Réponse n", answers listed or An, Bn.
void describeQuiz(const QuizSetup& setup, const std::vector<std::pair<std::string, std::string>>& answers = {});
