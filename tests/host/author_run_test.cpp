// Host tests of the authoring tool's commands over a stand-in for the Windows resource functions.
#include <gtest/gtest.h>

#include <sstream>

#include "author.h"
#include "common/file_io.h"
#include "quiz_files_test_support.h"

namespace {

const std::string kJpeg("\xFF\xD8\xFF\xC0\x00\x11\x08\x00\x10\x00\x20\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01\xFF\xD9", 23);

const std::string kQuiz = "title: Drapeaux\nkind: picture\nreveal: 1\ncode: UN\ncode: DEUX\n"
                          "question:\nmedia: france.jpg\nanswer-picture: france-r.jpg\nanswer: FRANCE\n"
                          "question:\nmedia: italie.jpg\nanswer: ITALIE\n";

// Executables as small files naming the resource set they stand for.
class FakeExeAccess : public ExeAccess {
public:
    fs::path toolPath() const override { return tool; }
    bool writeQuizExe(const fs::path& path, const QuizResourceSet& set, std::string& error) override
    {
        sets.push_back(set);
        writeAll(path, failWriting ? "MZ half" : "MZ quiz #" + std::to_string(sets.size() - 1));
        error = "disk full";
        return !failWriting;
    }
    bool readQuizExe(const fs::path& path, QuizResourceSet& set, std::string&) override
    {
        const std::string bytes = readAll(path);  // anything else is an executable without quiz resources
        set = bytes.rfind("MZ quiz #", 0) == 0 ? sets.at(std::stoul(bytes.substr(9))) : QuizResourceSet();
        return true;
    }
    bool replaceFile(const fs::path& source, const fs::path& target, std::string& error) override
    {
        std::error_code code;
        if (!failReplacing) fs::rename(source, target, code);
        error = failReplacing ? "file in use" : code.message();
        return !failReplacing && !code;
    }

    fs::path tool;
    bool failWriting = false, failReplacing = false;
    std::vector<QuizResourceSet> sets;
};

class AuthorCommands : public testing::Test {
protected:
    void SetUp() override { access.tool = root / "enigo-auteur.exe"; }
    int run(const std::vector<fs::path>& arguments)
    {
        out.str("");
        err.str("");
        std::vector<std::string> texts;
        for (const fs::path& argument : arguments) texts.push_back(pathToUtf8(argument));
        return runAuthor(texts, access, out, err);
    }
    // Every file under the scratch root with its bytes, to show that a command changed nothing.
    std::map<std::string, std::string> snapshot() const
    {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(root))
            files[pathToUtf8(entry.path())] = entry.is_regular_file() ? readAll(entry.path()) : "<folder>";
        return files;
    }

    const ScratchFolder scratch{{{"drapeaux/quiz.txt", kQuiz}, {"drapeaux/france.jpg", kJpeg + "france"},
                                 {"drapeaux/france-r.jpg", kJpeg + "france, answer"}, {"drapeaux/italie.jpg", kJpeg + "italie"},
                                 {"enigo-auteur.exe", "MZ the tool"}}};
    const fs::path root = scratch.path(), quiz = root / "drapeaux";
    FakeExeAccess access;
    std::ostringstream out, err;
};

TEST_F(AuthorCommands, MakeWritesTheQuizResourcesIntoTheTarget)
{
    ASSERT_EQ(run({"make", quiz, root / "drapeaux.exe"}), 0) << err.str();
    EXPECT_EQ(readAll(root / "drapeaux.exe"), "MZ quiz #0");
    const QuizResourceSet& set = access.sets.back();
    EXPECT_FALSE(set.quizRecord.empty() || set.codeRecord.empty());
    std::string media;
    for (const MediaItem& item : set.media)
        media += std::to_string(item.id) + (item.rawData ? " raw " : " img ") + std::string(item.bytes.begin(), item.bytes.end()) + "|";
    EXPECT_EQ(media, "401 img " + kJpeg + "france|402 img " + kJpeg + "italie|10401 img " + kJpeg + "france, answer|");
    EXPECT_NE(out.str().find("picture quiz, 2 questions, 3 media files"), std::string::npos) << out.str();
    EXPECT_FALSE(fs::exists(root / "drapeaux.exe.tmp"));

    // Without a target: named after the folder, in the current folder.
    const fs::path before = fs::current_path();
    fs::current_path(root / "drapeaux");
    const int status = run({"make", "."});
    fs::current_path(before);
    ASSERT_EQ(status, 0) << err.str();
    EXPECT_EQ(readAll(quiz / "drapeaux.exe"), "MZ quiz #1");
}

// Failed writes and replacements (the Windows tier covers overwriting inputs, a folder in the way, a quiz with errors).
TEST_F(AuthorCommands, FailedMakeLeavesEverythingAsItWas)
{
    const fs::path target = root / "drapeaux.exe";
    for (const bool existed : {false, true}) {
        // A file that happens to bear the temporary file's name is the user's too.
        if (existed) writeAll(target, "MZ old quiz"), writeAll(root / "drapeaux.exe.tmp", "notes");
        for (const bool writing : {true, false}) {
            const auto before = snapshot();
            access.failWriting = writing, access.failReplacing = !writing;
            EXPECT_EQ(run({"make", quiz, target}), 1);
            EXPECT_NE(err.str().find("cannot write"), std::string::npos) << err.str();
            EXPECT_EQ(snapshot(), before) << writing << existed;
        }
    }
    // A source file named on its own: errors carry its name and nothing is made.
    writeAll(quiz / "broken.txt", "title: T\nkind: picture\nquestion:\nmedia: absent.jpg\nanswer: ABCD\n");
    const std::size_t made = access.sets.size();
    EXPECT_EQ(run({"make", quiz / "broken.txt", target}), 1);
    EXPECT_NE(err.str().find("broken.txt:4: error: cannot open 'absent.jpg'"), std::string::npos) << err.str();
    EXPECT_EQ(access.sets.size(), made);
}

// Extraction refuses a folder with files, a file, or an executable without a quiz (the Windows tier extracts for real).
TEST_F(AuthorCommands, ExtractRefusesWhatItCannotUse)
{
    ASSERT_EQ(run({"make", quiz, root / "a.exe"}), 0) << err.str();
    fs::create_directories(root / "vide");
    ASSERT_EQ(run({"extract", root / "a.exe", root / "vide"}), 0) << err.str();
    EXPECT_EQ(readAll(root / "vide" / "answer01.jpg"), kJpeg + "france, answer");
    const auto before = snapshot();
    EXPECT_EQ(run({"extract", root / "a.exe", quiz}), 1);
    EXPECT_NE(err.str().find("must be a new or empty folder"), std::string::npos) << err.str();
    EXPECT_EQ(run({"extract", root / "a.exe", root / "enigo-auteur.exe"}), 1);
    // The tool is no quiz: nothing to extract, and no folder made for it.
    EXPECT_EQ(run({"extract", root / "enigo-auteur.exe", root / "rien"}), 1);
    EXPECT_NE(err.str().find("no quiz record"), std::string::npos) << err.str();
    EXPECT_EQ(snapshot(), before);
}

TEST_F(AuthorCommands, CheckFailsOnlyOnErrors)
{
    const struct {
        const char* extra;
        int status;
        const char* summary;
    } cases[] = {{"", 0, "0 errors, 0 warnings"}, {"caption: Italie\n", 0, "0 errors, 1 warning\n"}, {"colour: red\n", 1, "1 error, 0 warnings"}};
    for (const auto& row : cases) {
        writeAll(quiz / "quiz.txt", kQuiz + row.extra);
        EXPECT_EQ(run({"check", quiz}), row.status) << out.str();
        EXPECT_NE(out.str().find("quiz.txt: " + std::string(row.summary)), std::string::npos) << out.str();
    }
}

TEST_F(AuthorCommands, ShowSummarisesAFolderAndAnExecutableAlike)
{
    ASSERT_EQ(run({"make", quiz, root / "a.exe"}), 0) << err.str();
    ASSERT_EQ(run({"show", quiz}), 0) << err.str();
    const std::string fromFolder = out.str();
    ASSERT_EQ(run({"show", root / "a.exe"}), 0) << err.str();
    for (const char* expected : {"Kind         picture quiz", "Questions    2, 1 answer each", "Codes        2 of 2: UN DEUX",
                                 "Media        3 files, ", " 1  FRANCE               JPEG 32x16, 29 bytes  JPEG 32x16, 37 bytes\n"}) {
        EXPECT_NE(fromFolder.find(expected), std::string::npos) << expected << "\n" << fromFolder;
    }
    // Only the first line, naming what was shown, differs.
    EXPECT_EQ(fromFolder.substr(fromFolder.find('\n')), out.str().substr(out.str().find('\n')));
}

TEST_F(AuthorCommands, WrongCommandLinesShowTheUsage)
{
    for (const std::vector<fs::path>& arguments :
         std::vector<std::vector<fs::path>>{{}, {"make"}, {"check", "a", "b"}, {"extract", "a.exe"}, {"build", "x"}}) {
        EXPECT_EQ(run(arguments), 2);
        EXPECT_NE(err.str().find("usage: enigo-auteur"), std::string::npos);
    }
}

}  // namespace
