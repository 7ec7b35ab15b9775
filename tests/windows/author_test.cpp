// The authoring tool run as a real program under Wine: each demo quiz it makes shows the same
// board and judges like the executable the build makes; extraction gives the same resources back;
// output is reproducible; its inputs are never written over and a failure leaves no partial file.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "test_support.h"

namespace fs = std::filesystem;

namespace {

const std::string kTool = windowsPath(ENIGO_AUTHOR_TOOL);

using Scratch = ScratchFolder;

struct ToolRun {
    DWORD status;
    std::string output;  // standard output and error together
};

// Runs a console program to its end, its output captured through a file.
ToolRun runProgram(const std::string& program, const std::vector<std::string>& arguments, const std::string& folder)
{
    std::string command = "\"" + program + "\"";
    for (const std::string& argument : arguments)
        command += " \"" + argument + "\"";
    const std::string outputName = folder + "\\tool-output.log";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE output = CreateFileA(outputName.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process = {};
    ToolRun run = {0xFFFF, ""};
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &startup, &process)) {
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &run.status);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(output);
    run.output = readFile(outputName);
    DeleteFileA(outputName.c_str());
    return run;
}

ToolRun runTool(const std::vector<std::string>& arguments, const std::string& folder)
{
    return runProgram(kTool, arguments, folder);
}

// ---------------------------------------------------------------------------------------------
// Quiz resources as the player finds them

using Resources = std::map<std::string, std::string>;  // "TYPE id" -> bytes

Resources quizResources(const std::string& exe)
{
    Resources found;
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return found;
    const auto take = [&](LPCSTR type, const std::string& typeName, int id) {
        HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), type);
        HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
        if (loaded)
            found[typeName + " " + std::to_string(id)] =
                std::string(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, resource));
    };
    take("PATCH", "PATCH", 104);
    take("PATCH", "PATCH", 105);
    for (int base : {400, 10400}) {
        for (int n = 1; n <= 96; ++n) {
            take("IMG", "IMG", base + n);
            take(MAKEINTRESOURCEA(10), "RCDATA", base + n);
        }
    }
    FreeLibrary(module);
    return found;
}

// ---------------------------------------------------------------------------------------------
// A quiz running in its own process, seen from this one

class RunningQuiz {
public:
    RunningQuiz(const std::string& exe, const std::string& folder)
    {
        std::string command = "\"" + exe + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                            &process_))
            return;
        for (int waited = 0; waited < 600 && !main_; ++waited) {
            main_ = findProcessWindow(process_.dwProcessId, "WindowsApp");
            if (!main_ && WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0)
                break;
        }
    }
    ~RunningQuiz()
    {
        if (!process_.hProcess)
            return;
        if (main_)
            PostMessageA(main_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, 20000) != WAIT_OBJECT_0)
            TerminateProcess(process_.hProcess, 99);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    HWND main() const { return main_; }

    // The snapshot once two in a row agree: the window lays itself out again after it first shows.
    std::string settledSnapshot() const
    {
        std::string previous = snapshot();
        for (int tries = 0; tries < 50; ++tries) {
            Sleep(100);
            std::string current = snapshot();
            if (current == previous)
                return current;
            previous = current;
        }
        return previous;
    }

    // Every control of the window, one line each: class, id, visibility, place and text.
    std::string snapshot() const
    {
        const std::vector<HWND> children = descendantsOf(main_);
        std::vector<std::string> lines;
        for (HWND child : children) {
            const RECT rect = placeIn(child, main_);
            lines.push_back(classOf(child) + " " + std::to_string(GetDlgCtrlID(child)) +
                            (IsWindowVisible(child) ? " shown " : " hidden ") + std::to_string(rect.left) + "," +
                            std::to_string(rect.top) + " " + std::to_string(rect.right - rect.left) + "x" +
                            std::to_string(rect.bottom - rect.top) + " [" + remoteText(child) + "]\n");
        }
        // Sorted: the order of sibling windows is not what a player sees.
        std::sort(lines.begin(), lines.end());
        std::string all = "title " + remoteText(main_) + "\n";
        for (const std::string& line : lines)
            all += line;
        return all;
    }

    // The board: the main window's child dialog below the header.
    HWND board() const
    {
        const std::vector<HWND> children = descendantsOf(main_);
        HWND lowest = nullptr;
        LONG lowestTop = -1;
        for (HWND child : children) {
            RECT rect;
            GetWindowRect(child, &rect);
            if (GetParent(child) == main_ && classOf(child) == "#32770" && rect.top > lowestTop) {
                lowest = child;
                lowestTop = rect.top;
            }
        }
        return lowest;
    }

    // Types text into an answer field and releases Enter in it, which judges it.
    void answer(int fieldId, const std::string& text) const
    {
        HWND field = GetDlgItem(board(), fieldId);
        DWORD_PTR result = 0;
        SendMessageTimeoutA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000,
                            &result);
        SendMessageTimeoutA(field, WM_KEYUP, VK_RETURN, 0, SMTO_ABORTIFHUNG, 5000, &result);
    }

    std::string verdict(int fieldId) const { return remoteText(GetDlgItem(board(), fieldId + 1000)); }

private:
    PROCESS_INFORMATION process_ = {};
    HWND main_ = nullptr;
};

// ---------------------------------------------------------------------------------------------
// The demo quizzes and what their sources say

struct Demo {
    std::string name;
    std::string folder;  // quizzes/NAME, holding quiz.txt
    std::string builtExe;  // the executable the build makes from it
};

std::vector<Demo> demos()
{
    std::vector<Demo> found;
    for (const auto& entry : fs::directory_iterator(windowsPath(ENIGO_DEMO_QUIZZES))) {
        if (fs::exists(entry.path() / "quiz.txt")) {
            const std::string name = entry.path().filename().string();
            found.push_back({name, entry.path().string(), windowsPath(ENIGO_QUIZ_BIN) + "\\enigo-" + name + ".exe"});
        }
    }
    std::sort(found.begin(), found.end(), [](const Demo& a, const Demo& b) { return a.name < b.name; });
    return found;
}

std::string cp1252FromUtf8(const std::string& utf8)
{
    std::wstring wide(utf8.size() + 1, L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), static_cast<int>(utf8.size()), &wide[0], static_cast<int>(wide.size()))));
    std::string text(wide.size() * 2 + 1, '\0');
    text.resize(static_cast<std::size_t>(WideCharToMultiByte(1252, 0, wide.c_str(), static_cast<int>(wide.size()),
                                                             &text[0], static_cast<int>(text.size()), nullptr, nullptr)));
    return text;
}

// The stored answers of a quiz source in field order (answer, then answer2 of each question),
// read line by line, independently of the tool's parser.
struct SourceAnswers {
    std::vector<std::string> answers;
    int perQuestion = 1;
    bool textQuiz = false;
};

SourceAnswers answersOf(const std::string& folder)
{
    SourceAnswers found;
    std::ifstream file(folder + "\\quiz.txt");
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind("answer: ", 0) == 0 || line.rfind("answer2: ", 0) == 0)
            found.answers.push_back(cp1252FromUtf8(line.substr(line.find(':') + 2)));
        if (line == "answers: 2")
            found.perQuestion = 2;
        if (line == "kind: text")
            found.textQuiz = true;
    }
    return found;
}

std::string lowerCaseAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

class AuthorDemo : public testing::TestWithParam<Demo> {};

// The tool's executable and the build's, side by side: same controls, same texts, same places,
// and the same verdicts, score and code for the same near misses and right answers.
TEST_P(AuthorDemo, MadeQuizShowsAndJudgesLikeTheBuiltOne)
{
    const Demo& demo = GetParam();
    Scratch scratch;
    const ToolRun made = runTool({"make", demo.folder, scratch / "made.exe"}, scratch.path());
    ASSERT_EQ(made.status, 0u) << made.output;
    ASSERT_TRUE(fs::exists(demo.builtExe)) << "the build makes no " << demo.builtExe;

    const SourceAnswers source = answersOf(demo.folder);
    ASSERT_FALSE(source.answers.empty());
    const auto fieldOf = [&](std::size_t i) { return 4001 + static_cast<int>(i); };
    std::vector<std::vector<std::string>> snapshots(2);
    std::vector<std::string> finalVerdicts;
    std::string score;
    int exeIndex = 0;
    for (const std::string& exe : {demo.builtExe, scratch / "made.exe"}) {
        SCOPED_TRACE(exe);
        Scratch working;
        RunningQuiz quiz(exe, working.path());
        ASSERT_NE(quiz.main(), nullptr) << "no quiz window";
        std::vector<std::string>& seen = snapshots[static_cast<std::size_t>(exeIndex++)];
        seen.push_back(quiz.settledSnapshot());
        // A near miss: the answer without its last character, in lower case.
        for (std::size_t i = 0; i < source.answers.size(); ++i)
            quiz.answer(fieldOf(i), lowerCaseAscii(source.answers[i].substr(0, source.answers[i].size() - 1)));
        seen.push_back(quiz.settledSnapshot());
        for (std::size_t i = 0; i < source.answers.size(); ++i)
            quiz.answer(fieldOf(i), lowerCaseAscii(source.answers[i]));
        seen.push_back(quiz.settledSnapshot());
        finalVerdicts.clear();
        for (std::size_t i = 0; i < source.answers.size(); ++i)
            finalVerdicts.push_back(quiz.verdict(fieldOf(i)));
    }
    ASSERT_EQ(snapshots[0].size(), snapshots[1].size());
    for (std::size_t round = 0; round < snapshots[0].size(); ++round)
        EXPECT_EQ(snapshots[1][round], snapshots[0][round]) << "round " << round;
    // Not two equally broken quizzes: the made one was really played to the end.
    EXPECT_EQ(finalVerdicts, std::vector<std::string>(source.answers.size(), "BRAVO"));
    const std::size_t questions = source.answers.size() / static_cast<std::size_t>(source.perQuestion);
    const std::string fullScore = " " + std::to_string(questions) + " / " + std::to_string(questions);
    EXPECT_NE(snapshots[1].back().find("[" + fullScore + "]"), std::string::npos) << snapshots[1].back();
}

TEST_P(AuthorDemo, ExtractThenMakeGivesTheSameQuizResources)
{
    const Demo& demo = GetParam();
    Scratch scratch;
    const ToolRun extracted = runTool({"extract", demo.builtExe, scratch / "extrait"}, scratch.path());
    ASSERT_EQ(extracted.status, 0u) << extracted.output;
    // Warnings about the quiz itself may come; none about anything lost on the way.
    EXPECT_EQ(extracted.output.find(".exe: warning"), std::string::npos) << extracted.output;
    EXPECT_EQ(extracted.output.find("will differ"), std::string::npos) << extracted.output;
    const ToolRun made = runTool({"make", scratch / "extrait", scratch / "refait.exe"}, scratch.path());
    ASSERT_EQ(made.status, 0u) << made.output;

    const Resources built = quizResources(demo.builtExe);
    ASSERT_TRUE(built.count("PATCH 104") && built.count("PATCH 105"));
    EXPECT_EQ(quizResources(scratch / "refait.exe"), built);

    // A quiz the tool made comes back byte for byte.
    ASSERT_EQ(runTool({"extract", scratch / "refait.exe", scratch / "encore"}, scratch.path()).status, 0u);
    ASSERT_EQ(runTool({"make", scratch / "encore", scratch / "encore.exe"}, scratch.path()).status, 0u);
    EXPECT_TRUE(readFile(scratch / "encore.exe") == readFile(scratch / "refait.exe"));
}

TEST_P(AuthorDemo, SameFolderGivesTheSameBytesWithAValidChecksum)
{
    const Demo& demo = GetParam();
    Scratch scratch;
    ASSERT_EQ(runTool({"make", demo.folder, scratch / "un.exe"}, scratch.path()).status, 0u);
    // Past the next second, so that a time stamp of writing would show.
    Sleep(1100);
    ASSERT_EQ(runTool({"make", demo.folder, scratch / "deux.exe"}, scratch.path()).status, 0u);
    const std::string first = readFile(scratch / "un.exe");
    EXPECT_GT(first.size(), 100000u);
    EXPECT_TRUE(first == readFile(scratch / "deux.exe")) << "two makes of one folder differ";

    // The system's own checksum routine agrees with the one the tool stored.
    using MapFileAndCheckSum = DWORD(WINAPI*)(PCSTR, PDWORD, PDWORD);
    HMODULE imageHelp = LoadLibraryA("imagehlp.dll");
    ASSERT_NE(imageHelp, nullptr);
    const auto checksum = reinterpret_cast<MapFileAndCheckSum>(
        reinterpret_cast<void*>(GetProcAddress(imageHelp, "MapFileAndCheckSumA")));
    ASSERT_NE(checksum, nullptr);
    DWORD stored = 1;
    DWORD computed = 2;
    ASSERT_EQ(checksum((scratch / "un.exe").c_str(), &stored, &computed), 0u);
    EXPECT_EQ(stored, computed);
    EXPECT_NE(stored, 0u);
    FreeLibrary(imageHelp);
}

INSTANTIATE_TEST_SUITE_P(Demos, AuthorDemo, testing::ValuesIn(demos()),
                         [](const testing::TestParamInfo<Demo>& info) { return info.param.name; });

// ---------------------------------------------------------------------------------------------
// Inputs and failures

// A copy of the picture demo, and of the tool, that the tests may try to damage.
class AuthorSafety : public testing::Test {
protected:
    void SetUp() override
    {
        fs::copy(windowsPath(ENIGO_DEMO_QUIZZES) + "\\images", scratch_ / "images");
        fs::copy_file(kTool, scratch_ / "enigo-auteur.exe");
    }

    // Every file and folder of the scratch folder, each file by its size and a hash of its bytes.
    std::map<std::string, std::string> contents() const
    {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(scratch_.path())) {
            const std::string bytes = entry.is_regular_file() ? readFile(entry.path().string()) : std::string();
            files[entry.path().string()] = entry.is_regular_file() ? std::to_string(bytes.size()) + " bytes, hash " +
                                                                         std::to_string(std::hash<std::string>()(bytes))
                                                                   : "folder";
        }
        return files;
    }

    // What changed between two listings of contents(): one line per file added, removed or rewritten.
    static std::string changes(const std::map<std::string, std::string>& before,
                               const std::map<std::string, std::string>& after)
    {
        std::string changed;
        for (const auto& entry : after) {
            const auto old = before.find(entry.first);
            if (old == before.end())
                changed += "added " + entry.first + "\n";
            else if (old->second != entry.second)
                changed += "rewritten " + entry.first + "\n";
        }
        for (const auto& entry : before)
            if (!after.count(entry.first))
                changed += "removed " + entry.first + "\n";
        return changed;
    }

    ToolRun runCopy(const std::vector<std::string>& arguments)
    {
        return runProgram(scratch_ / "enigo-auteur.exe", arguments, scratch_.path());
    }

    Scratch scratch_;
};

TEST_F(AuthorSafety, RefusesToWriteOverTheQuizSourceItsMediaOrItself)
{
    const std::vector<std::string> inputs = {scratch_ / "images\\quiz.txt", scratch_ / "images\\drapeau-france.jpg",
                                             scratch_ / "images\\reponse-italie.jpg", scratch_ / "enigo-auteur.exe",
                                             scratch_ / "IMAGES\\QUIZ.TXT"};
    const auto before = contents();
    for (const std::string& input : inputs) {
        const ToolRun run = runCopy({"make", scratch_ / "images", input});
        EXPECT_EQ(run.status, 1u) << input << "\n" << run.output;
        EXPECT_NE(run.output.find("refusing to write"), std::string::npos) << run.output;
    }
    EXPECT_EQ(changes(before, contents()), "");
}

TEST_F(AuthorSafety, FailedMakeLeavesNoPartialExecutable)
{
    // A folder where the quiz should go: the new executable is written in full beside it, then
    // cannot take its place.
    fs::create_directories(scratch_ / "quiz.exe");
    writeFile(scratch_ / "quiz.exe\\notes.txt", "in the way");
    const auto before = contents();
    const ToolRun refused = runCopy({"make", scratch_ / "images", scratch_ / "quiz.exe"});
    EXPECT_EQ(refused.status, 1u) << refused.output;
    EXPECT_NE(refused.output.find("cannot write"), std::string::npos) << refused.output;
    EXPECT_EQ(changes(before, contents()), "");
    fs::remove_all(scratch_ / "quiz.exe");
    writeFile(scratch_ / "quiz.exe", "MZ the previous quiz");

    // A quiz with an error writes nothing at all.
    writeFile(scratch_ / "images\\quiz.txt", readFile(scratch_ / "images\\quiz.txt") + "answer-picture: absent.jpg\n");
    const auto broken = contents();
    const ToolRun failed = runCopy({"make", scratch_ / "images", scratch_ / "quiz.exe"});
    EXPECT_EQ(failed.status, 1u) << failed.output;
    EXPECT_NE(failed.output.find("cannot open 'absent.jpg'"), std::string::npos) << failed.output;
    EXPECT_EQ(changes(broken, contents()), "");

    // Into a folder that does not exist: nothing is made, nowhere.
    const ToolRun nowhere = runCopy({"make", scratch_ / "images", scratch_ / "absent\\quiz.exe"});
    EXPECT_EQ(nowhere.status, 1u) << nowhere.output;
    EXPECT_EQ(changes(broken, contents()), "");
}

// The player reads PNG pictures with its own decoder from raw data, every other picture through
// the system loader from IMG: the tool stores each where the player looks for it.
TEST_F(AuthorSafety, StoresPngPicturesAsRawDataAndOthersUnderImg)
{
    const std::string fixtures = windowsPath(ENIGO_TEST_FIXTURES);
    fs::create_directories(scratch_ / "formats");
    fs::copy_file(fixtures + "\\picture.png", scratch_ / "formats\\carte.png");
    fs::copy_file(fixtures + "\\square.gif", scratch_ / "formats\\carte.gif");
    fs::copy_file(fixtures + "\\landscape.jpg", scratch_ / "formats\\reponse.jpg");
    fs::copy_file(fixtures + "\\picture.png", scratch_ / "formats\\reponse.png");
    writeFile(scratch_ / "formats\\quiz.txt",
             "title: Formats\nkind: picture\nreveal: 1\ncode: A\ncode: B\n"
             "question:\nmedia: carte.png\nanswer-picture: reponse.jpg\nanswer: PREMIER\n"
             "question:\nmedia: carte.gif\nanswer-picture: reponse.png\nanswer: SECOND\n");
    const ToolRun run = runCopy({"make", scratch_ / "formats", scratch_ / "formats.exe"});
    ASSERT_EQ(run.status, 0u) << run.output;
    Resources found = quizResources(scratch_ / "formats.exe");
    found.erase("PATCH 104");
    found.erase("PATCH 105");
    const Resources expected = {{"RCDATA 401", readFile(scratch_ / "formats\\carte.png")},
                                {"IMG 402", readFile(scratch_ / "formats\\carte.gif")},
                                {"IMG 10401", readFile(scratch_ / "formats\\reponse.jpg")},
                                {"RCDATA 10402", readFile(scratch_ / "formats\\reponse.png")}};
    EXPECT_TRUE(found == expected);
    std::string names;
    for (const auto& entry : found)
        names += entry.first + "; ";
    EXPECT_EQ(names, "IMG 10401; IMG 402; RCDATA 10402; RCDATA 401; ");
}

// Arguments arrive in the ANSI code page; a folder named with accents still works.
TEST_F(AuthorSafety, MakesAQuizFromAFolderWithAnAccentedName)
{
    const std::string accented = scratch_ / "Quiz d'\xE9t\xE9";
    ASSERT_TRUE(MoveFileA((scratch_ / "images").c_str(), accented.c_str()));
    const ToolRun run = runCopy({"make", accented});
    EXPECT_EQ(run.status, 0u) << run.output;
    EXPECT_NE(GetFileAttributesA((scratch_ / "Quiz d'\xE9t\xE9.exe").c_str()), INVALID_FILE_ATTRIBUTES) << run.output;
}

}  // namespace
