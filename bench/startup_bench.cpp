// Start-up benchmark: time from starting a quiz executable to its main window being shown with a
// ready board, in one run, for
//   - a one-question text quiz (the baseline: a process, a window, nothing else),
//   - 96 picture cards without any picture resource, with nothing, 96 wrong and 96 right answers
//     restored (what the board and the judging cost without a single picture),
//   - 96 cards with 96 card and 96 answer JPEGs, every answer right, against the floor: the same
//     192 pictures loaded by the player's own loadPicture in a bare process,
//   - the same with PNG pictures, against its decoder alone in the same way.
//   startup_bench TEXT.exe CARDS.exe JPEG.exe PNG.exe [RUNS]
//   startup_bench --floor QUIZ.exe   (the floor: exits with the microseconds it took)
#include <windows.h>

#include "bench_win.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/quiz_resources.h"
#include "pictures/picture.h"

namespace {

constexpr int kQuestions = 96;

struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK findMain(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (owner == search->process && IsWindowVisible(window) && std::string(name) == "WindowsApp") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds from CreateProcess to the visible main window (or, with waitForExit, to the exit
// code, returned through exitCode); negative on failure.
double timeOneStart(const std::string& command, const std::string& folder, bool waitForExit = false,
                    DWORD* exitCode = nullptr)
{
    std::string line = command;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const double begin = nowMs();
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &process))
        return -1;
    Search search = {process.dwProcessId, nullptr};
    // The main window is shown only after the board has built every card.
    for (int tries = 0; !waitForExit && tries < 60000 && !search.found; ++tries) {
        EnumWindows(findMain, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            Sleep(1);
    }
    double elapsed = nowMs() - begin;
    if (search.found)
        PostMessageA(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    if (exitCode)
        GetExitCodeProcess(process.hProcess, exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return search.found || waitForExit ? elapsed : -1;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The progress file of executable in folder: 96 lines from make(question).
template <typename Line>
void writeProgress(const std::string& folder, const std::string& executable, Line make)
{
    std::string name = executable.substr(executable.find_last_of('\\') + 1);
    name.replace(name.size() - 3, 3, "txt");
    std::string bytes;
    for (int question = 1; question <= kQuestions; ++question)
        bytes += make(question) + "\r\n";
    HANDLE file = CreateFileA((folder + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string right(int question)
{
    return "R" + std::to_string(question);
}
std::string wrong(int)
{
    return "W";
}
std::string nothing(int)
{
    return "";
}

// The floor: the 96 card and 96 answer pictures of quiz loaded and scaled as the board does, with
// nothing else in the process (no apartment held around the loads).
int runFloor(const char* quiz)
{
    HMODULE module = LoadLibraryExA(windowsPath(quiz).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return 0;
    const double begin = nowMs();
    for (int question = 1; question <= kQuestions; ++question) {
        for (int id : {cardResourceId(question), answerPictureId(question)}) {
            HBITMAP bitmap = loadPicture(module, id, kMediaResourceType, 260, 260);
            if (!bitmap)
                return 0;
            DeleteObject(bitmap);
        }
    }
    return static_cast<int>(1000.0 * (nowMs() - begin));
}

struct Measure {
    const char* name;
    std::string command;
    std::string (*progress)(int);
    bool floor;
    std::vector<double> times;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--floor")
        return runFloor(argv[2]);
    if (argc < 5) {
        std::fprintf(stderr, "usage: startup_bench TEXT.exe CARDS.exe JPEG.exe PNG.exe [RUNS]\n");
        return 2;
    }
    const std::string text = windowsPath(argv[1]), cards = windowsPath(argv[2]), jpeg = windowsPath(argv[3]),
                      png = windowsPath(argv[4]);
    const int runs = argc > 5 ? std::max(1, std::atoi(argv[5])) : 5;
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const auto floorOf = [&](const std::string& quiz) {
        return "\"" + std::string(self) + "\" --floor \"" + quiz + "\"";
    };

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "enigo-startup-bench";
    CreateDirectoryA(folder.c_str(), nullptr);

    Measure measures[] = {
        {"one-question text quiz", "\"" + text + "\"", nothing, false, {}},
        {"96 cards, no pictures, nothing restored", "\"" + cards + "\"", nothing, false, {}},
        {"96 cards, no pictures, 96 wrong restored", "\"" + cards + "\"", wrong, false, {}},
        {"96 cards, no pictures, 96 right restored", "\"" + cards + "\"", right, false, {}},
        {"96 cards, 192 JPEGs, all right", "\"" + jpeg + "\"", right, false, {}},
        {"floor: the 192 JPEGs alone", floorOf(jpeg), nullptr, true, {}},
        {"96 cards, 192 PNGs, all right", "\"" + png + "\"", right, false, {}},
        {"floor: the 192 PNGs alone", floorOf(png), nullptr, true, {}},
    };
    // Interleaved, so drift on the machine weighs on every case the same.
    for (int run = 0; run < runs; ++run) {
        for (Measure& m : measures) {
            if (m.floor) {
                DWORD microseconds = 0;
                timeOneStart(m.command, folder, true, &microseconds);
                m.times.push_back(microseconds / 1000.0);
                continue;
            }
            const std::string exe = m.command.substr(1, m.command.size() - 2);
            writeProgress(folder, exe, m.progress);
            m.times.push_back(timeOneStart(m.command, folder));
        }
    }
    double ms[8];
    for (int i = 0; i < 8; ++i) {
        ms[i] = median(measures[i].times);
        const auto [low, high] = std::minmax_element(measures[i].times.begin(), measures[i].times.end());
        std::printf("%-42s %8.1f ms  (median of %d, %.0f to %.0f)\n", measures[i].name, ms[i], runs, *low, *high);
        if (ms[i] <= 0) {
            std::fprintf(stderr, "%s did not run\n", measures[i].name);
            return 1;
        }
    }
    std::printf("restoring 96 wrong answers: %+.1f ms (goal <= 50)\n", ms[2] - ms[1]);
    std::printf("JPEG quiz - text quiz = %.1f ms = %.2f x floor (goal <= 0.90)\n", ms[4] - ms[0],
                (ms[4] - ms[0]) / ms[5]);
    std::printf("PNG quiz - text quiz = %.1f ms = %.2f x its decoder alone\n", ms[6] - ms[0], (ms[6] - ms[0]) / ms[7]);
    return 0;
}
