// Profile of a start-up, phase by phase, in one process under Wine (or on Windows): the quiz's
// decoding, the board's construction per card, the restored judgements split into their steps,
// and the 192 picture loads split into stream, decode, copy, scale and hand-over, each with COM
// entered and left around it as the loader does, and inside an apartment held for the whole run.
//   board_profile QUIZ.exe   (the 96-question JPEG quiz of the start-up benchmark)
#include <ole2.h>
#include <olectl.h>
#include <windows.h>

#include "bench_win.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/progress.h"
#include "base/app.h"
#include "base/quiz_resources.h"
#include "board/board.h"
#include "board/relayout.h"
#include "judging/header.h"
#include "judging/judge.h"
#include "judging/score.h"
#include "pictures/picture.h"
#include "quiz/quiz_loader.h"
#include "quiz/quiz_state_win.h"
#include "resource.h"

namespace {

struct Phases {
    double com, stream, decode, copy, scale, handOver;
};

// The loader's steps for one picture, each timed; the same calls in the same order.
void loadTimed(HMODULE module, int id, HWND control, Phases& phases)
{
    double t = nowMs();
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), kMediaResourceType);
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = LockResource(loaded);
    const DWORD size = SizeofResource(module, found);
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, size);
    std::memcpy(reinterpret_cast<void*>(block), bytes, size);
    IStream* stream = nullptr;
    double c = nowMs();
    CoInitialize(nullptr);
    phases.com += nowMs() - c;
    CreateStreamOnHGlobal(block, TRUE, &stream);
    double u = nowMs();
    phases.stream += u - t;
    IPicture* picture = nullptr;
    OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture, reinterpret_cast<void**>(&picture));
    t = nowMs();
    phases.decode += t - u;
    OLE_HANDLE handle = 0;
    picture->get_Handle(&handle);
    HBITMAP copy = static_cast<HBITMAP>(CopyImage(LongToHandle(static_cast<LONG>(handle)), IMAGE_BITMAP, 0, 0, 0));
    picture->Release();
    stream->Release();
    u = nowMs();
    phases.copy += u - t;
    CoUninitialize();
    t = nowMs();
    phases.com += t - u;
    HBITMAP scaled = scaleToFit(copy, 260, 260);
    DeleteObject(copy);
    u = nowMs();
    phases.scale += u - t;
    HGDIOBJ replaced = reinterpret_cast<HGDIOBJ>(SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, LPARAM(scaled)));
    if (replaced)
        DeleteObject(replaced);
    phases.handOver += nowMs() - u;
}

void printPhases(const char* title, const Phases& p, double total)
{
    std::printf("%s: total %.0f ms = COM enter+leave %.0f, resource+stream %.0f, decode %.0f, get_Handle+CopyImage "
                "%.0f, scale %.0f, hand-over %.0f\n",
                title, total, p.com, p.stream, p.decode, p.copy, p.scale, p.handOver);
}

void profilePictures(HMODULE module, HWND parent)
{
    HWND control = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BITMAP, 0, 0, 260, 260, parent, nullptr,
                                   nullptr, nullptr);
    for (int apartment = 0; apartment < 2; ++apartment) {
        if (apartment)
            CoInitialize(nullptr);
        Phases phases = {};
        const double start = nowMs();
        for (int question = 1; question <= 96; ++question) {
            loadTimed(module, cardResourceId(question), control, phases);
            loadTimed(module, answerPictureId(question), control, phases);
        }
        printPhases(apartment ? "192 pictures, apartment held" : "192 pictures, COM per load", phases, nowMs() - start);
        if (apartment)
            CoUninitialize();
    }
    DestroyWindow(control);
}

void writeProgress(const char* (*line)(int, char*))
{
    char name[MAX_PATH];
    progressFileName(name);
    std::string bytes;
    char buffer[16];
    for (int question = 1; question <= 96; ++question)
        bytes += std::string(line(question, buffer)) + "\r\n";
    HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

const char* noLine(int, char*)
{
    return "";
}
const char* wrongLine(int, char*)
{
    return "W";
}
const char* rightLine(int question, char* buffer)
{
    std::snprintf(buffer, 16, "R%d", question);
    return buffer;
}

// A board built from the quiz's records without any picture: construction and its judgements alone.
double buildBoard(HWND main, const char* (*line)(int, char*), HWND* built)
{
    writeProgress(line);
    app.quiz->boardWindow = nullptr;
    // Every build shows its answer pictures again, as at a first start.
    std::memset(app.quiz->answerPictureShown, 0, sizeof app.quiz->answerPictureShown);
    const double start = nowMs();
    HWND board = CreateDialogParamA(app.module, MAKEINTRESOURCEA(IDD_BOARD), main, boardProc, 0);
    const double elapsed = nowMs() - start;
    app.boardWindow = app.quiz->boardWindow = board;
    if (built)
        *built = board;
    else
        DestroyWindow(board);
    return elapsed;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: board_profile QUIZ.exe\n");
        return 2;
    }
    HINSTANCE self = GetModuleHandleA(nullptr);
    HMODULE quiz = LoadLibraryExA(windowsPath(argv[1]).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    app.module = self;
    app.quiz = new QuizState;
    QuizState& state = *app.quiz;
    initQuizState(state);
    double start = nowMs();
    loadQuiz(state, quiz);
    std::printf("quiz decode: %.1f ms (%d questions)\n", nowMs() - start, state.questionCount);

    HWND main = CreateWindowExA(0, "Static", "profile", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 700, nullptr, nullptr, self,
                                nullptr);
    HWND header = CreateDialogParamA(self, MAKEINTRESOURCEA(IDD_HEADER), main, headerProc, 0);
    app.headerWindow = state.headerWindow = header;
    // Without picture resources (the module is this program): controls and judgements only.
    // Medians of five builds each, in turns.
    double builds[3][5];
    for (int round = 0; round < 5; ++round) {
        builds[0][round] = buildBoard(main, noLine, nullptr);
        builds[1][round] = buildBoard(main, wrongLine, nullptr);
        builds[2][round] = buildBoard(main, rightLine, nullptr);
    }
    for (double(&times)[5] : builds)
        std::sort(times, times + 5);
    const double none = builds[0][2];
    const double wrong = builds[1][2];
    const double right = builds[2][2];
    std::printf("board of 96 cards: %.1f ms, %.2f ms a card; restored judgements: wrong %.2f ms, right %.2f ms each\n",
                none, none / 96, (wrong - none) / 96, (right - none) / 96);

    // One restored judgement's steps, on a built board with every answer wrong.
    HWND board = nullptr;
    buildBoard(main, wrongLine, &board);
    SetWindowPos(board, nullptr, 5, 50, 980, 640, SWP_NOZORDER | SWP_SHOWWINDOW);
    const int rounds = 20;
    start = nowMs();
    for (int i = 0; i < rounds; ++i)
        judgeAnswer(state, board, 4050);  // unchanged: reads the label and the field, judges
    const double verdict = (nowMs() - start) / rounds;
    state.boardWindow = nullptr;
    start = nowMs();
    for (int i = 0; i < rounds; ++i)
        updateScore(state, board);  // the relayout does nothing while boardWindow is null
    const double score = (nowMs() - start) / rounds;
    state.boardWindow = board;
    start = nowMs();
    for (int i = 0; i < rounds; ++i)
        relayoutBoard(state);
    const double relayout = (nowMs() - start) / rounds;
    start = nowMs();
    for (int i = 0; i < rounds; ++i)
        SetDlgItemTextA(board, 5050, i % 2 ? "FAUX" : "Presque");
    const double write = (nowMs() - start) / rounds;
    std::printf("one judgement: verdict (reads, judge) %.3f ms, verdict label write %.3f ms, score %.3f ms, relayout "
                "%.3f ms (shown board)\n",
                verdict, write, score, relayout);
    DestroyWindow(board);

    profilePictures(quiz, main);
    // The whole board with its pictures, every answer right, as the player builds it, against the
    // same 192 pictures loaded alone, in turns.
    app.module = quiz;
    holdPictureApartment();
    for (int round = 0; round < 3; ++round) {
        start = nowMs();
        for (int question = 1; question <= 96; ++question)
            for (int id : {cardResourceId(question), answerPictureId(question)})
                DeleteObject(loadPicture(quiz, id, kMediaResourceType, 260, 260));
        const double alone = nowMs() - start;
        const double pictured = buildBoard(main, rightLine, nullptr);
        std::printf("apartment held: 192 pictures alone %.0f ms, board with them, all right, %.0f ms\n", alone,
                    pictured);
    }
    releasePictureApartment();
    DestroyWindow(main);
    releaseQuizState(state);
    return 0;
}
