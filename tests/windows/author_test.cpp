// The authoring tool run as a real program under Wine: each demo quiz it makes shows the same
// board and judges like the executable the build makes; extraction gives the same resources back;
// output is reproducible; its inputs are never written over and a failure leaves no partial file.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "test_support.h"

namespace fs = std::filesystem;

namespace {

const std::string kTool = windowsPath(ENIGO_AUTHOR_TOOL);

struct ToolRun {
    DWORD status;
    std::string output;  // standard output and error together
};

// Runs a console program to its end, its output captured through a file.
ToolRun run(const std::vector<std::string>& arguments, const std::string& folder, const std::string& program = kTool)
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
    startup.hStdOutput = startup.hStdError = output;
    PROCESS_INFORMATION process = {};
    ToolRun result = {0xFFFF, ""};
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &startup, &process)) {
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &result.status);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(output);
    result.output = readFile(outputName);
    DeleteFileA(outputName.c_str());
    return result;
}

// Quiz resources as the player finds them: "TYPE id" -> bytes.
std::map<std::string, std::string> quizResources(const std::string& exe)
{
    std::map<std::string, std::string> found;
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const auto take = [&](LPCSTR type, const std::string& typeName, int id) {
        HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), type);
        if (HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr)
            found[typeName + " " + std::to_string(id)] =
                std::string(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, resource));
    };
    take("PATCH", "PATCH", 104);
    take("PATCH", "PATCH", 105);
    for (int base : {400, 10400})
        for (int id = base + 1; module && id <= base + 96; ++id) {
            take("IMG", "IMG", id);
            take(MAKEINTRESOURCEA(10), "RCDATA", id);
        }
    if (module)
        FreeLibrary(module);
    return found;
}

// A quiz running in its own process, seen from this one.
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
        for (int waited = 0; waited < 600 && !main_; ++waited)
            if (!(main_ = findProcessWindow(process_.dwProcessId, "WindowsApp")) &&
                WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0)
                break;
    }
    ~RunningQuiz()
    {
        if (!process_.hProcess)
            return;
        PostMessageA(main_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, 20000) != WAIT_OBJECT_0)
            TerminateProcess(process_.hProcess, 99);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    HWND main() const { return main_; }

    // Every control, one line each (class, id, visibility, place, text), once two in a row agree:
    // the window lays itself out again after it first shows.
    std::string settledSnapshot() const
    {
        std::string previous;
        for (int tries = 0; tries < 50; ++tries) {
            std::vector<std::string> lines;
            for (HWND child : descendantsOf(main_)) {
                const RECT r = placeIn(child, main_);
                lines.push_back(classOf(child) + " " + std::to_string(GetDlgCtrlID(child)) +
                                (IsWindowVisible(child) ? " shown " : " hidden ") + std::to_string(r.left) + "," +
                                std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
                                std::to_string(r.bottom - r.top) + " [" + remoteText(child) + "]\n");
            }
            // Sorted: the order of sibling windows is not what a player sees.
            std::sort(lines.begin(), lines.end());
            std::string current = "title " + remoteText(main_) + "\n";
            for (const std::string& line : lines)
                current += line;
            if (current == previous)
                return current;
            previous = current;
            Sleep(100);
        }
        return previous;
    }

    // Types text into an answer field and releases Enter in it, which judges it.
    void answer(int fieldId, const std::wstring& text) const
    {
        HWND field = GetDlgItem(board(), fieldId);
        DWORD_PTR result = 0;
        SendMessageTimeoutW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, &result);
        SendMessageTimeoutA(field, WM_KEYUP, VK_RETURN, 0, SMTO_ABORTIFHUNG, 5000, &result);
    }

    std::string verdict(int fieldId) const { return remoteText(GetDlgItem(board(), fieldId + 1000)); }

private:
    // The board: the main window's child dialog below the header. Looked up when needed, as
    // both dialogs sit at the top until the window's first layout.
    HWND board() const
    {
        HWND board = nullptr;
        for (HWND child : descendantsOf(main_))
            if (GetParent(child) == main_ && classOf(child) == "#32770" && (!board || placeIn(child).top > placeIn(board).top))
                board = child;
        return board;
    }

    PROCESS_INFORMATION process_ = {};
    HWND main_ = nullptr;
};

struct Demo {
    std::string name;
    std::string folder;    // quizzes/NAME, holding quiz.txt
    std::string builtExe;  // the executable the build makes from it
};

std::vector<Demo> demos()
{
    std::vector<Demo> found;
    for (const auto& entry : fs::directory_iterator(windowsPath(ENIGO_DEMO_QUIZZES)))
        if (fs::exists(entry.path() / "quiz.txt")) {
            const std::string name = entry.path().filename().string();
            found.push_back({name, entry.path().string(), windowsPath(ENIGO_QUIZ_BIN) + "\\enigo-" + name + ".exe"});
        }
    std::sort(found.begin(), found.end(), [](const Demo& a, const Demo& b) { return a.name < b.name; });
    return found;
}

// The stored answers of a quiz source in field order, read independently of the tool's parser;
// and the number of questions.
std::vector<std::wstring> answersOf(const std::string& folder, size_t& questions)
{
    std::vector<std::wstring> answers;
    std::ifstream file(folder + "\\quiz.txt");
    bool two = false;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        two = two || line == "answers: 2";
        if (line.rfind("answer: ", 0) != 0 && line.rfind("answer2: ", 0) != 0)
            continue;
        const std::string utf8 = line.substr(line.find(':') + 2);
        std::wstring wide(utf8.size(), L'\0');
        wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0],
                                        static_cast<int>(wide.size())));
        answers.push_back(wide);
    }
    questions = answers.size() / (two ? 2 : 1);
    return answers;
}

class AuthorDemo : public testing::TestWithParam<Demo> {};

// The tool's executable and the build's side by side: same controls, texts and places, and the
// same verdicts, score and code for the same near misses and right answers.
TEST_P(AuthorDemo, MadeQuizShowsAndJudgesLikeTheBuiltOne)
{
    const Demo& demo = GetParam();
    ScratchFolder scratch;
    const ToolRun made = run({"make", demo.folder, scratch / "made.exe"}, scratch.path());
    ASSERT_EQ(made.status, 0u) << made.output;
    size_t questions = 0;
    const std::vector<std::wstring> answers = answersOf(demo.folder, questions);
    ASSERT_FALSE(answers.empty());
    std::vector<std::string> seen[2];
    std::vector<std::string> verdicts;
    for (int exe = 0; exe < 2; ++exe) {
        ScratchFolder working;
        RunningQuiz quiz(exe == 0 ? demo.builtExe : scratch / "made.exe", working.path());
        ASSERT_NE(quiz.main(), nullptr) << "no quiz window";
        seen[exe].push_back(quiz.settledSnapshot());
        // A near miss (the answer without its last character), then the answer.
        for (size_t cut : {size_t(1), size_t(0)}) {
            for (size_t i = 0; i < answers.size(); ++i)
                quiz.answer(4001 + static_cast<int>(i), answers[i].substr(0, answers[i].size() - cut));
            seen[exe].push_back(quiz.settledSnapshot());
        }
        verdicts.clear();
        for (size_t i = 0; i < answers.size(); ++i)
            verdicts.push_back(quiz.verdict(4001 + static_cast<int>(i)));
    }
    EXPECT_EQ(seen[1], seen[0]);
    // Not two equally broken quizzes: the made one was really played to the end.
    EXPECT_EQ(verdicts, std::vector<std::string>(answers.size(), "BRAVO"));
    const std::string fullScore = "[ " + std::to_string(questions) + " / " + std::to_string(questions) + "]";
    EXPECT_NE(seen[1].back().find(fullScore), std::string::npos) << seen[1].back();
}

// Extracted and made again, a quiz keeps its resources; a quiz the tool made comes back byte for
// byte, with the checksum the system computes.
TEST_P(AuthorDemo, ExtractThenMakeGivesTheSameQuizResources)
{
    const Demo& demo = GetParam();
    ScratchFolder s;
    const ToolRun extracted = run({"extract", demo.builtExe, s / "extrait"}, s.path());
    ASSERT_EQ(extracted.status, 0u) << extracted.output;
    // Warnings about the quiz itself may come; none about anything lost on the way.
    EXPECT_EQ(extracted.output.find(".exe: warning"), std::string::npos) << extracted.output;
    EXPECT_EQ(extracted.output.find("will differ"), std::string::npos) << extracted.output;
    ASSERT_EQ(run({"make", s / "extrait", s / "refait.exe"}, s.path()).status, 0u);
    const auto built = quizResources(demo.builtExe);
    ASSERT_TRUE(built.count("PATCH 104") && built.count("PATCH 105"));
    EXPECT_TRUE(quizResources(s / "refait.exe") == built);

    Sleep(1100);  // past the next second, so that a time stamp of writing would show
    ASSERT_EQ(run({"extract", s / "refait.exe", s / "encore"}, s.path()).status, 0u);
    ASSERT_EQ(run({"make", s / "encore", s / "encore.exe"}, s.path()).status, 0u);
    EXPECT_TRUE(readFile(s / "encore.exe") == readFile(s / "refait.exe"));

    using MapFileAndCheckSum = DWORD(WINAPI*)(PCSTR, PDWORD, PDWORD);
    const auto checksum = reinterpret_cast<MapFileAndCheckSum>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("imagehlp.dll"), "MapFileAndCheckSumA")));
    ASSERT_NE(checksum, nullptr);
    DWORD stored = 1, computed = 2;
    ASSERT_EQ(checksum((s / "encore.exe").c_str(), &stored, &computed), 0u);
    EXPECT_EQ(stored, computed);
    EXPECT_NE(stored, 0u);
}

INSTANTIATE_TEST_SUITE_P(Demos, AuthorDemo, testing::ValuesIn(demos()),
                         [](const testing::TestParamInfo<Demo>& info) { return info.param.name; });

// A copy of the picture demo, and of the tool, that the tests may try to damage.
class AuthorSafety : public testing::Test {
protected:
    void SetUp() override
    {
        fs::copy(windowsPath(ENIGO_DEMO_QUIZZES) + "\\images", scratch_ / "images");
        fs::copy_file(kTool, scratch_ / "enigo-auteur.exe");
    }

    // Every file and folder of the scratch folder: a file by its bytes.
    std::map<std::string, std::string> contents() const
    {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(scratch_.path()))
            files[entry.path().string()] = entry.is_regular_file() ? readFile(entry.path().string()) : "folder";
        return files;
    }

    ToolRun make(const std::string& folder, const std::string& target)
    {
        return run({"make", folder, target}, scratch_.path(), scratch_ / "enigo-auteur.exe");
    }

    ScratchFolder scratch_;
};

TEST_F(AuthorSafety, RefusesToWriteOverTheQuizSourceItsMediaOrItself)
{
    const auto before = contents();
    for (const char* input : {"images\\quiz.txt", "images\\drapeau-france.jpg", "images\\reponse-italie.jpg",
                              "enigo-auteur.exe", "IMAGES\\QUIZ.TXT"}) {
        const ToolRun refused = make(scratch_ / "images", scratch_ / input);
        EXPECT_EQ(refused.status, 1u) << input;
        EXPECT_NE(refused.output.find("refusing to write"), std::string::npos) << refused.output;
    }
    EXPECT_TRUE(contents() == before);
}

TEST_F(AuthorSafety, FailedMakeLeavesNoPartialExecutable)
{
    // A folder where the quiz should go: the new executable is written in full beside it, then
    // cannot take its place.
    fs::create_directories(scratch_ / "quiz.exe");
    writeFile(scratch_ / "quiz.exe\\notes.txt", "in the way");
    auto before = contents();
    ToolRun failed = make(scratch_ / "images", scratch_ / "quiz.exe");
    EXPECT_EQ(failed.status, 1u);
    EXPECT_NE(failed.output.find("cannot write"), std::string::npos) << failed.output;
    EXPECT_TRUE(contents() == before);

    // A quiz with an error writes nothing at all, nor does a target in a folder that does not exist.
    fs::remove_all(scratch_ / "quiz.exe");
    writeFile(scratch_ / "quiz.exe", "MZ the previous quiz");
    writeFile(scratch_ / "images\\quiz.txt", readFile(scratch_ / "images\\quiz.txt") + "answer-picture: absent.jpg\n");
    before = contents();
    failed = make(scratch_ / "images", scratch_ / "quiz.exe");
    EXPECT_EQ(failed.status, 1u);
    EXPECT_NE(failed.output.find("cannot open 'absent.jpg'"), std::string::npos) << failed.output;
    EXPECT_EQ(make(scratch_ / "images", scratch_ / "absent\\quiz.exe").status, 1u);
    EXPECT_TRUE(contents() == before);
}

// Arguments arrive in the ANSI code page; a folder named with accents still works.
TEST_F(AuthorSafety, MakesAQuizFromAFolderWithAnAccentedName)
{
    const std::string accented = scratch_ / "Quiz d'\xE9t\xE9";
    ASSERT_TRUE(MoveFileA((scratch_ / "images").c_str(), accented.c_str()));
    const ToolRun made = run({"make", accented}, scratch_.path(), scratch_ / "enigo-auteur.exe");
    EXPECT_EQ(made.status, 0u) << made.output;
    EXPECT_FALSE(readFile(accented + ".exe").empty());
}

}  // namespace
