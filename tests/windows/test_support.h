// Helpers shared by the in-process Win32 tests: captured message boxes and shell requests, fixture
// modules, a fresh quiz state and window queries.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

using Bytes = std::vector<unsigned char>;
struct CapturedMessage { HWND owner; std::string text, caption; UINT flags; };
struct ShellRequest { HWND owner; std::string verb, file; bool parameters, directory; int show; };

// Each records what the player asks for while it lives (message boxes, shell opens) instead of doing it.
struct MessageCapture { MessageCapture(); ~MessageCapture(); const std::vector<CapturedMessage>& messages() const; };
struct ShellCapture { ShellCapture(); ~ShellCapture(); std::vector<ShellRequest>& requests(); };

// A fresh, empty folder made current while it lives, removed with everything in it afterwards.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
    char previous_[MAX_PATH] = {};
};

// A copy of the empty fixture module with chosen resources written into it (before load()), loaded as data.
class FixtureModule {
public:
    FixtureModule();
    ~FixtureModule();
    FixtureModule(const FixtureModule&) = delete;
    void add(const char* type, int id, const Bytes& bytes);
    HMODULE load();

private:
    std::string path_;
    HANDLE update_ = nullptr;
    HMODULE module_ = nullptr;
};

Bytes bmpFile(int width, int height, COLORREF colour);  // 24-bit, loaded like a JPEG
Bytes packed(const Bytes& plain);  // as stored in a quiz resource
Bytes packed(const std::string& plain);

inline HINSTANCE self() { return GetModuleHandleA(nullptr); }
std::string textOf(HWND window);
std::vector<HWND> childrenOf(HWND window);     // in creation order
RECT placeIn(HWND window);  // in its parent's client coordinates
std::string controlsOf(HWND parent);  // "id [text] x,y wxh" per child and line, "-" before a hidden one
HWND makeChild(const char* type, const char* text, DWORD style, int x, int y, int w, int h, HWND parent, int id = 0);
void resizeClient(HWND window, int width, int height);  // client area width x height
void scrollTo(HWND board, int x, int y);  // with plain Win32 calls, as the board's scroll handlers would
std::vector<MSG> drainPosted(HWND window);  // taken off the queue
SIZE bitmapSize(HBITMAP bitmap);
std::vector<DWORD> pixelsOf(HBITMAP bitmap);  // 0x00RRGGBB, top row first

void writeFile(const std::string& name, const std::string& bytes);
std::string readFile(const std::string& name);  // empty when missing
std::string windowsPath(std::string path);  // a Unix path from the build names a folder of drive Z:
std::vector<std::string> folderContents(const std::string& prefix = "");  // in the current folder, sorted

// The global app with a fresh quiz state while it lives; the previous app comes back afterwards.
struct QuizApp { QuizApp(); ~QuizApp(); QuizApp(const QuizApp&) = delete; };

struct QuizSetup { int mediaKind, questions, answers, revealMode; };
// Fills app.quiz: answer names "Pays", "Capitale"; per question "Question n", "Réponse n", "CODE-n", answers
// listed or An, Bn.
void describeQuiz(const QuizSetup& setup, const std::vector<std::pair<std::string, std::string>>& answers = {});
