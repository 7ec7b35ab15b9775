// The progress file in-process: its name, saving real answer fields, reading them back, and
// the old file surviving a save that fails. Every test runs in a fresh scratch folder.
#include "app/progress.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "board/board_ids.h"

#include "test_support.h"

namespace {

const std::string k259(259, 'x');

// A scratch folder, the progress file's name, a quiz state and a window standing for the board.
class Progress : public testing::Test {
protected:
    void SetUp() override
    {
        char fileName[MAX_PATH];
        progressFileName(fileName);
        name = fileName;
        state = std::make_unique<QuizState>();
        resetQuizData(*state);
        board = makeChild("Static", "", WS_POPUP, 0, 0, 400, 300, nullptr);
        ASSERT_NE(board, nullptr);
        state->boardWindow = board;
    }
    void TearDown() override { DestroyWindow(board); }

    // The answer fields the board makes: fieldsPerQuestion per question, ids as the board numbers them.
    void makeFields(int questions, int answersPerQuestion, int fieldsPerQuestion, const std::vector<std::string>& texts)
    {
        state->questionCount = questions;
        state->answersPerQuestion = answersPerQuestion;
        std::size_t next = 0;
        for (int j = 1; j <= questions; ++j) {
            for (int k = 1; k <= fieldsPerQuestion; ++k) {
                const int id = answerFieldId(j, k, fieldsPerQuestion);
                const std::string& text = texts.at(next++);
                ASSERT_NE(makeChild("Edit", text.c_str(), WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 0,
                                    20 * static_cast<int>(next), 260, 20, board, id),
                          nullptr);
            }
        }
        ASSERT_EQ(next, texts.size());
    }

    std::vector<std::string> readLines(int count)
    {
        ProgressReader reader;
        reader.open();
        std::vector<std::string> lines;
        for (int i = 0; i < count; ++i) {
            char text[kTextSize];
            std::fill(std::begin(text), std::end(text), 'z');
            reader.nextLine(text);
            EXPECT_NE(std::find(std::begin(text), std::end(text), '\0'), std::end(text)) << "unterminated line";
            lines.push_back(text);
        }
        reader.close();
        return lines;
    }

    std::string fileBytes()
    {
        EXPECT_NE(GetFileAttributesA(name.c_str()), INVALID_FILE_ATTRIBUTES) << "no " << name;
        return readFile(name);
    }

    ScratchFolder folder;
    std::string name;
    std::unique_ptr<QuizState> state;
    HWND board = nullptr;
};

TEST_F(Progress, FileIsNamedAfterTheRunningExecutableWithoutFolder)
{
    char module[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
    ASSERT_GT(length, 4u);
    const std::string path(module, length);
    const std::string executable = path.substr(path.find_last_of('\\') + 1);
    ASSERT_EQ(executable.substr(executable.size() - 4), ".exe");

    EXPECT_EQ(name, executable.substr(0, executable.size() - 3) + "txt");
    EXPECT_EQ(name.find_first_of("\\/:"), std::string::npos);
}

struct SaveCase {
    const char* name;
    int questions;
    int answersPerQuestion;
    int fieldsPerQuestion;
    std::vector<std::string> fields;
    std::string file;
};

void PrintTo(const SaveCase& c, std::ostream* out)
{
    *out << c.name;
}

class SaveAndRead : public Progress, public testing::WithParamInterface<SaveCase> {};

TEST_P(SaveAndRead, WritesEveryFieldAndGivesItBackInCreationOrder)
{
    const SaveCase& c = GetParam();
    makeFields(c.questions, c.answersPerQuestion, c.fieldsPerQuestion, c.fields);
    // An older, longer file must give way completely, and so must a temporary (the progress
    // file's name with ".tmp") that an interrupted save left behind.
    writeFile(name, std::string(1000, 'o') + "\r\n");
    writeFile(name + ".tmp", std::string(1000, 't') + "\r\n");

    ASSERT_EQ(saveProgress(*state), 1);
    EXPECT_EQ(fileBytes(), c.file);
    ASSERT_EQ(saveProgress(*state), 1) << "saving again";
    EXPECT_EQ(fileBytes(), c.file) << "saving twice with nothing typed gives the same file";
    EXPECT_EQ(folderContents(), std::vector<std::string>{name}) << "no temporary file stays behind";

    // The board takes one line per field in creation order; fields past the file's lines start empty.
    std::vector<std::string> expected = c.fields;
    expected.insert(expected.end(), 2, "");
    EXPECT_EQ(readLines(static_cast<int>(expected.size())), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Quizzes, SaveAndRead,
    testing::Values(
        SaveCase{"OneAnswerPerQuestion", 3, 1, 1, {"Paris", "", "Rome"}, "Paris\r\n\r\nRome\r\n"},
        SaveCase{"TwoAnswersPerQuestion", 2, 2, 2, {"Victor", "Hugo", "", "Zola"}, "Victor\r\nHugo\r\n\r\nZola\r\n"},
        // Text cards make one field per question even with two answers: the later ids have no field.
        SaveCase{"TextCardsWithTwoAnswers", 3, 2, 1, {"un", "deux", "trois"}, "un\r\ndeux\r\ntrois\r\n\r\n\r\n\r\n"},
        SaveCase{"NoQuestions", 0, 1, 1, {}, ""},
        SaveCase{"LongestAnswer", 1, 1, 1, {k259}, k259 + "\r\n"},
        SaveCase{"Windows1252Accents", 2, 1, 1, {"\xE9t\xE9 \xC0 No\xEBl", "\x80 \x9C\xFF\xE7"},
                 "\xE9t\xE9 \xC0 No\xEBl\r\n\x80 \x9C\xFF\xE7\r\n"}),
    [](const testing::TestParamInfo<SaveCase>& info) { return info.param.name; });

TEST_F(Progress, MissingBoardWindowSavesEmptyLines)
{
    state->questionCount = 2;
    state->answersPerQuestion = 1;
    state->boardWindow = nullptr;
    ASSERT_EQ(saveProgress(*state), 1);
    EXPECT_EQ(fileBytes(), "\r\n\r\n");
}

TEST_F(Progress, ReaderAppliesTheLineRulesToTheFile)
{
    writeFile(name, "a\nb\r\nskip\rjunk\n\r\n" + std::string(300, 'c') + "\r\nlast");
    const std::vector<std::string> expected = {"a\nb", "skip", "", std::string(259, 'c'), "last", "", ""};
    EXPECT_EQ(readLines(static_cast<int>(expected.size())), expected);
}

struct UnreadableCase {
    const char* name;
    // Puts the obstacle in place; returns a handle to close after reading, or INVALID_HANDLE_VALUE.
    HANDLE (*make)(const std::string& progressName);
};

void PrintTo(const UnreadableCase& c, std::ostream* out)
{
    *out << c.name;
}

class UnreadableFile : public Progress, public testing::WithParamInterface<UnreadableCase> {};

TEST_P(UnreadableFile, ReadsAsEmptyLines)
{
    HANDLE held = GetParam().make(name);
    EXPECT_EQ(readLines(4), std::vector<std::string>(4, ""));
    if (held != INVALID_HANDLE_VALUE)
        CloseHandle(held);
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnreadableFile,
    testing::Values(UnreadableCase{"Missing", [](const std::string&) { return INVALID_HANDLE_VALUE; }},
                    UnreadableCase{"Empty",
                                   [](const std::string& progressName) {
                                       writeFile(progressName, "");
                                       return INVALID_HANDLE_VALUE;
                                   }},
                    UnreadableCase{"FolderInItsPlace",
                                   [](const std::string& progressName) {
                                       CreateDirectoryA(progressName.c_str(), nullptr);
                                       return INVALID_HANDLE_VALUE;
                                   }},
                    UnreadableCase{"HeldWithoutSharing",
                                   [](const std::string& progressName) {
                                       writeFile(progressName, "cach\xE9\r\n");
                                       return CreateFileA(progressName.c_str(), GENERIC_WRITE, 0, nullptr,
                                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
                                   }}),
    [](const testing::TestParamInfo<UnreadableCase>& info) { return info.param.name; });

TEST_F(Progress, ReaderLetsTheFileGoOnCloseAndOnDestruction)
{
    writeFile(name, "un\r\ndeux\r\n");
    auto exclusiveOpenWorks = [this] {
        HANDLE file =
            CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(file);
        return true;
    };
    char text[kTextSize];
    {
        ProgressReader reader;
        reader.open();
        EXPECT_FALSE(exclusiveOpenWorks()) << "the file is held while the board reads it";
        reader.nextLine(text);
        EXPECT_STREQ(text, "un");
        reader.close();
        EXPECT_TRUE(exclusiveOpenWorks());
        reader.nextLine(text);
        EXPECT_STREQ(text, "") << "a closed reader gives empty lines";

        reader.open();
        reader.nextLine(text);
        EXPECT_STREQ(text, "un") << "opening again starts at the first line";
        reader.open();
        reader.nextLine(text);
        EXPECT_STREQ(text, "un") << "opening an open reader starts over too";
        EXPECT_FALSE(exclusiveOpenWorks());
    }
    EXPECT_TRUE(exclusiveOpenWorks()) << "the destructor closes the file";
}

TEST_F(Progress, FolderInTheTemporaryFilesPlaceFailsAndKeepsTheOldFile)
{
    makeFields(1, 1, 1, {"nouveau"});
    writeFile(name, "ancien\r\n");
    // The temporary is the progress file's name with ".tmp".
    const std::string temporary = name + ".tmp";
    ASSERT_TRUE(CreateDirectoryA(temporary.c_str(), nullptr));

    EXPECT_EQ(saveProgress(*state), 0);
    EXPECT_EQ(fileBytes(), "ancien\r\n");
    EXPECT_EQ(GetFileAttributesA(temporary.c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY))
        << "what stood in the way is left alone";
}

TEST_F(Progress, ReplaceRefusedByAnOpenFileFailsKeepsTheOldFileAndRemovesTheTemporary)
{
    makeFields(1, 1, 1, {"nouveau"});
    writeFile(name, "ancien\r\n");
    HANDLE held = CreateFileA(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    EXPECT_EQ(saveProgress(*state), 0);
    CloseHandle(held);
    EXPECT_EQ(fileBytes(), "ancien\r\n");
    EXPECT_EQ(folderContents(), std::vector<std::string>{name});

    EXPECT_EQ(saveProgress(*state), 1) << "once the file is free, saving works again";
    EXPECT_EQ(fileBytes(), "nouveau\r\n");
}

} // namespace
