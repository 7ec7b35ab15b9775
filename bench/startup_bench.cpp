// Start-up benchmark: time from starting a quiz executable to its main window being shown with a
// ready board, for a large picture quiz against an empty one, in the same run.
//   startup_bench FULL.exe EMPTY.exe [RUNS]
// The full quiz starts with every answer right (its progress file is written first), so each
// start decodes, scales and shows 96 card pictures and 96 answer pictures.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string windowsPath(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

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

// Milliseconds from CreateProcess to the visible main window; negative on failure.
double timeOneStart(const std::string& executable, const std::string& folder)
{
    std::string command = "\"" + executable + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER frequency;
    LARGE_INTEGER begin;
    LARGE_INTEGER end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &process))
        return -1;
    Search search = {process.dwProcessId, nullptr};
    // The main window is shown only after the board has built every card.
    for (int tries = 0; tries < 60000 && !search.found; ++tries) {
        EnumWindows(findMain, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            Sleep(1);
    }
    QueryPerformanceCounter(&end);
    double elapsed = search.found ? 1000.0 * (end.QuadPart - begin.QuadPart) / frequency.QuadPart : -1;
    if (search.found)
        PostMessageA(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return elapsed;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The progress file that makes every answer of the full quiz right: R1 … R96.
void writeRightAnswers(const std::string& folder, const std::string& executable)
{
    std::string name = executable.substr(executable.find_last_of('\\') + 1);
    name.replace(name.size() - 3, 3, "txt");
    std::string bytes;
    for (int question = 1; question <= 96; ++question)
        bytes += "R" + std::to_string(question) + "\r\n";
    HANDLE file = CreateFileA((folder + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_bench FULL.exe EMPTY.exe [RUNS]\n");
        return 2;
    }
    std::string full = windowsPath(argv[1]);
    std::string empty = windowsPath(argv[2]);
    int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 7;

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "enigo-startup-bench";
    CreateDirectoryA(folder.c_str(), nullptr);
    writeRightAnswers(folder, full);

    std::vector<double> fullTimes;
    std::vector<double> emptyTimes;
    // Interleaved, so drift on the machine weighs on both the same.
    for (int run = 0; run < runs; ++run) {
        emptyTimes.push_back(timeOneStart(empty, folder));
        fullTimes.push_back(timeOneStart(full, folder));
    }
    double fullMs = median(fullTimes);
    double emptyMs = median(emptyTimes);
    if (fullMs < 0 || emptyMs < 0) {
        std::fprintf(stderr, "a quiz did not show its window\n");
        return 1;
    }
    std::printf("empty quiz: %.1f ms (median of %d)\n", emptyMs, runs);
    std::printf("96-question picture quiz, 192 pictures: %.1f ms (median of %d)\n", fullMs, runs);
    std::printf("ratio full/empty: %.2f; per picture: %.2f ms\n", fullMs / emptyMs, (fullMs - emptyMs) / 192.0);
    return 0;
}
