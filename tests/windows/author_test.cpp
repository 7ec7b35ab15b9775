// The authoring tool run as a real program on the PNG demo: the quiz it makes carries the resources of the one the
// build makes, and the built quiz extracted and made again is that same file, byte for byte. A dropped folder's
// report, in a message box when the console is the tool's own.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "author/report_box_win.h"
#include "test_support.h"

namespace {

// Runs the tool to its end in the current folder, its messages on this test's console; its exit code.
DWORD runTool(const std::vector<std::string>& arguments)
{
    std::string command = "\"" + windowsPath(ENIGO_AUTHOR_TOOL) + "\"";
    for (const std::string& argument : arguments)
        command += " \"" + argument + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    DWORD status = 0xFFFF;
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &status);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return status;
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
    for (int id : {104, 105})
        take("PATCH", "PATCH", id);
    for (int base : {400, 10400})
        for (int id = base + 1; module && id <= base + 96; ++id)
            take("IMG", "IMG", id), take(MAKEINTRESOURCEA(10), "RCDATA", id);
    FreeLibrary(module);
    return found;
}

TEST(AuthorTool, MakesTheBuiltQuizAndExtractsItForTheSameQuizAgain)
{
    ScratchFolder s;
    const std::string built = windowsPath(ENIGO_PNG_QUIZ);
    ASSERT_EQ(runTool({"make", windowsPath(ENIGO_PNG_QUIZ_DIR), s / "made.exe"}), 0u);
    const auto resources = quizResources(built);
    EXPECT_EQ(resources.size(), 8u) << "two records and six raw-data pictures";
    EXPECT_TRUE(quizResources(s / "made.exe") == resources);

    Sleep(1100);  // past the next second, so that a time stamp of writing would show
    ASSERT_EQ(runTool({"extract", built, s / "extrait"}), 0u);
    ASSERT_EQ(runTool({"make", s / "extrait", s / "refait.exe"}), 0u);
    EXPECT_TRUE(readFile(s / "refait.exe") == readFile(s / "made.exe"));
}

// Writes a stand-in executable: the report is the subject here, the real tool's files are above.
struct StandInExe : ExeAccess {
    std::filesystem::path toolPath() const override { return {}; }
    bool writeQuizExe(const std::filesystem::path& path, const QuizResourceSet&, std::string&) override
    {
        return writeFile(path.string(), "MZ"), true;
    }
    bool readQuizExe(const std::filesystem::path&, QuizResourceSet&, std::string&) override { return false; }
    bool replaceFile(const std::filesystem::path& from, const std::filesystem::path& to, std::string&) override
    {
        return MoveFileExA(from.string().c_str(), to.string().c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    bool runQuiz(const std::filesystem::path&, std::string&) override { return false; }
};

TEST(AuthorTool, ReportsADroppedFolderInAMessageBoxOnlyWhenTheConsoleIsItsOwn)
{
    ScratchFolder s;
    CreateDirectoryA((s / "Jeu").c_str(), nullptr);
    const std::string bmp(reinterpret_cast<const char*>(bmpFile(4, 4, 0).data()), bmpFile(4, 4, 0).size());
    writeFile(s / "Jeu\\tour_eiffel.bmp", bmp), writeFile(s / "Jeu\\\xEEle.bmp", bmp);
    StandInExe access;
    MessageCapture capture;
    EXPECT_EQ(runAuthorBoxed({s / "Jeu"}, access, false) + runAuthorBoxed({s / "Jeu"}, access, true), 0);
    ASSERT_EQ(capture.messages().size(), 1u);
    EXPECT_EQ(capture.messages()[0].caption, "Enigo");
    EXPECT_EQ(capture.messages()[0].flags, UINT(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(capture.messages()[0].text, s / "Jeu\\quiz.txt :\nligne 35 : avertissement : answer '\xCELE' has 3 "
                                          "characters or fewer: the player gets no hint for it, only BRAVO, FAUX or ?\n\n"
                                          "Quiz cr\xE9\xE9 : " + s / "Jeu.exe (2 questions).\nDouble-cliquez dessus "
                                          "pour y jouer ; pour l'envoyer aux joueurs, ce seul fichier suffit.");
}

} // namespace
