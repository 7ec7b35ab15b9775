// The progress file on disk: its name, saving real fields through a temporary, reading back, failed saves.
#include "app/progress.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "board/board_ids.h"
#include "test_support.h"

namespace {

using Lines = std::vector<std::string>;

class Progress : public testing::Test {
protected:
    void SetUp() override
    {
        char fileName[MAX_PATH];
        progressFileName(fileName);
        name = fileName;
        resetQuizData(*state);
        state->boardWindow = board = makeChild("Static", "", WS_POPUP, 0, 0, 400, 300, nullptr);
    }
    void TearDown() override { DestroyWindow(board); }

    // The answer fields the board makes, fieldsPerQuestion per question, numbered as the board does.
    void makeFields(int questions, int answers, int fieldsPerQuestion, const Lines& texts)
    {
        state->questionCount = questions, state->answersPerQuestion = answers;
        for (size_t i = 0; i < texts.size(); ++i)
            makeChild("Edit", texts[i].c_str(), WS_CHILD, 0, 0, 260, 20, board,
                      answerFieldId(int(i) / fieldsPerQuestion + 1, int(i) % fieldsPerQuestion + 1, fieldsPerQuestion));
    }

    Lines readLines(size_t count)
    {
        ProgressReader reader;
        reader.open();
        Lines lines;
        for (char text[kTextSize]; lines.size() < count; lines.push_back(text))
            reader.nextLine(text);
        return lines;
    }

    ScratchFolder folder;
    std::string name;
    std::unique_ptr<QuizState> state = std::make_unique<QuizState>();
    HWND board = nullptr;
};

TEST_F(Progress, FileIsNamedAfterTheRunningExecutableWithoutFolder)
{
    char module[MAX_PATH];
    const std::string path(module, GetModuleFileNameA(nullptr, module, MAX_PATH));
    const std::string executable = path.substr(path.find_last_of('\\') + 1);
    EXPECT_EQ(name, executable.substr(0, executable.size() - 3) + "txt");
}

// Each field in creation order, and back; an older, longer file and a temporary an interrupted
// save left behind give way completely; saving twice gives the same file.
TEST_F(Progress, SavesEveryFieldAndReadsItBackInCreationOrder)
{
    const std::string k259(259, 'x');
    const struct {
        int questions, answers, fieldsPerQuestion;
        Lines fields;
        std::string file;
    } cases[] = {
        {3, 1, 1, {"Paris", "", "Rome"}, "Paris\r\n\r\nRome\r\n"},
        {2, 2, 2, {"Victor", "Hugo", "", "Zola"}, "Victor\r\nHugo\r\n\r\nZola\r\n"},
        // Text cards make one field per question even with two answers: the later ids have no field.
        {3, 2, 1, {"un", "deux", "trois"}, "un\r\ndeux\r\ntrois\r\n\r\n\r\n\r\n"},
        {1, 1, 1, {k259}, k259 + "\r\n"},
        {2, 1, 1, {"\xE9t\xE9 \xC0 No\xEBl", "\x80 \x9C\xFF\xE7"}, "\xE9t\xE9 \xC0 No\xEBl\r\n\x80 \x9C\xFF\xE7\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        DestroyWindow(board);
        state->boardWindow = board = makeChild("Static", "", WS_POPUP, 0, 0, 400, 300, nullptr);
        makeFields(c.questions, c.answers, c.fieldsPerQuestion, c.fields);
        writeFile(name, std::string(1000, 'o') + "\r\n");
        writeFile(name + ".tmp", std::string(1000, 't') + "\r\n");
        ASSERT_EQ(saveProgress(*state), 1);
        EXPECT_EQ(readFile(name), c.file);
        ASSERT_EQ(saveProgress(*state), 1);
        EXPECT_EQ(readFile(name), c.file);
        EXPECT_EQ(folderContents(), Lines{name}) << "no temporary file stays behind";
        Lines expected = c.fields;
        expected.insert(expected.end(), 2, "");  // fields past the file's lines start empty
        EXPECT_EQ(readLines(expected.size()), expected);
    }
    // Without a board every line is empty.
    state->boardWindow = nullptr;
    state->questionCount = 2;
    ASSERT_EQ(saveProgress(*state), 1);
    EXPECT_EQ(readFile(name), "\r\n\r\n");
}

// Missing, empty (no mapping) or held open without sharing: every line reads empty.
TEST_F(Progress, FileThatCannotBeReadGivesEmptyLines)
{
    EXPECT_EQ(readLines(3), Lines(3, ""));
    writeFile(name, "");
    EXPECT_EQ(readLines(3), Lines(3, ""));
    writeFile(name, "cach\xE9\r\n");
    HANDLE held = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(readLines(3), Lines(3, ""));
    CloseHandle(held);
}

TEST_F(Progress, ReaderHoldsTheFileUntilCloseOrDestruction)
{
    writeFile(name, "un\r\ndeux\r\n");
    auto heldByReader = [this] {
        HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        CloseHandle(file);
        return file == INVALID_HANDLE_VALUE;
    };
    char text[kTextSize];
    {
        ProgressReader reader;
        reader.open(), reader.nextLine(text);
        EXPECT_TRUE(heldByReader());
        reader.close(), reader.nextLine(text);
        EXPECT_FALSE(heldByReader());
        EXPECT_STREQ(text, "") << "a closed reader gives empty lines";
        reader.open(), reader.nextLine(text), reader.open(), reader.nextLine(text);
        EXPECT_STREQ(text, "un") << "opening, even an open reader, starts at the first line";
        EXPECT_TRUE(heldByReader());
    }
    EXPECT_FALSE(heldByReader()) << "the destructor closes the file";
}

// A folder in the temporary's place or the old file held open: the old file stays, no temporary is left.
TEST_F(Progress, FailedSaveKeepsTheOldFile)
{
    makeFields(1, 1, 1, {"nouveau"});
    writeFile(name, "ancien\r\n");
    ASSERT_TRUE(CreateDirectoryA((name + ".tmp").c_str(), nullptr));
    EXPECT_EQ(saveProgress(*state), 0);
    EXPECT_EQ(readFile(name), "ancien\r\n");
    EXPECT_EQ(folderContents(), Lines({name, name + ".tmp"})) << "what stood in the way is left alone";
    RemoveDirectoryA((name + ".tmp").c_str());

    HANDLE held = CreateFileA(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(saveProgress(*state), 0);
    CloseHandle(held);
    EXPECT_EQ(readFile(name), "ancien\r\n");
    EXPECT_EQ(folderContents(), Lines{name});
    EXPECT_EQ(saveProgress(*state), 1);
    EXPECT_EQ(readFile(name), "nouveau\r\n");
}

} // namespace
