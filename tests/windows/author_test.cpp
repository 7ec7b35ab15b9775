// The authoring tool run as a real program on the PNG demo: the quiz it makes carries the resources of the one the
// build makes, and the built quiz extracted and made again is that same file, byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

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

} // namespace
