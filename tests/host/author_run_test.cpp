// Host tests of the authoring tool's commands over a stand-in for the Windows resource functions:
// what each command writes, what it refuses to write over, and what a failure leaves behind.
#include <gtest/gtest.h>

#include <sstream>

#include "author.h"
#include "quiz_files_test_support.h"

namespace fs = std::filesystem;

namespace {

const std::string kJpeg("\xFF\xD8\xFF\xC0\x00\x11\x08\x00\x10\x00\x20\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01\xFF\xD9", 23);

const std::string kQuiz =
    "title: Drapeaux\nkind: picture\nreveal: 1\ncode: UN\ncode: DEUX\n"
    "question:\nmedia: france.jpg\nanswer-picture: france-r.jpg\nanswer: FRANCE\n"
    "question:\nmedia: italie.jpg\nanswer: ITALIE\n";

std::vector<int> mediaIds(const QuizResourceSet& set)
{
    std::vector<int> ids;
    for (const MediaItem& item : set.media) ids.push_back(item.id);
    return ids;
}

// Executables as small files naming the resource set they stand for.
class FakeExeAccess : public ExeAccess {
public:
    enum class Failure { None, WhileWriting, WhileReplacing };

    fs::path toolPath() const override { return tool; }

    bool writeQuizExe(const fs::path& path, const QuizResourceSet& set, std::string& error) override
    {
        sets_.push_back(set);
        if (failure == Failure::WhileWriting) {
            writeAll(path, "MZ half");
            error = "disk full";
            return false;
        }
        writeAll(path, "MZ quiz #" + std::to_string(sets_.size() - 1));
        return true;
    }

    bool readQuizExe(const fs::path& path, QuizResourceSet& set, std::string& error) override
    {
        const std::string bytes = readAll(path);
        if (bytes.rfind("MZ quiz #", 0) != 0) {
            set = QuizResourceSet();
            return true;  // an executable without quiz resources
        }
        const std::size_t index = std::stoul(bytes.substr(9));
        if (index >= sets_.size()) {
            error = "unknown";
            return false;
        }
        set = sets_[index];
        return true;
    }

    bool replaceFile(const fs::path& source, const fs::path& target, std::string& error) override
    {
        if (failure == Failure::WhileReplacing) {
            error = "file in use";
            return false;
        }
        std::error_code code;
        fs::rename(source, target, code);
        error = code.message();
        return !code;
    }

    const QuizResourceSet& lastSet() const { return sets_.back(); }
    std::size_t setCount() const { return sets_.size(); }

    Failure failure = Failure::None;
    fs::path tool;

private:
    std::vector<QuizResourceSet> sets_;
};

class AuthorCommands : public testing::Test {
protected:
    void SetUp() override { access_.tool = root_ / "enigo-auteur.exe"; }

    int run(std::vector<std::string> arguments)
    {
        out_.str("");
        err_.str("");
        return runAuthor(arguments, access_, out_, err_);
    }

    std::string path(const fs::path& path) const { return pathToUtf8(path); }

    // Every file under the scratch root with its bytes, to show that a command changed nothing.
    std::map<std::string, std::string> snapshot() const
    {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(root_)) {
            files[pathToUtf8(entry.path())] = entry.is_regular_file() ? readAll(entry.path()) : "<folder>";
        }
        return files;
    }

    const ScratchFolder scratch_{{{"drapeaux/quiz.txt", kQuiz},
                                  {"drapeaux/france.jpg", kJpeg + "france"},
                                  {"drapeaux/france-r.jpg", kJpeg + "france, answer"},
                                  {"drapeaux/italie.jpg", kJpeg + "italie"},
                                  {"enigo-auteur.exe", "MZ the tool"}}};
    const fs::path root_ = scratch_.path();
    const fs::path quiz_ = root_ / "drapeaux";
    FakeExeAccess access_;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(AuthorCommands, MakeWritesTheQuizResourcesIntoTheTarget)
{
    const fs::path target = root_ / "drapeaux.exe";
    ASSERT_EQ(run({"make", path(quiz_), path(target)}), 0) << err_.str();
    EXPECT_EQ(readAll(target), "MZ quiz #0");
    const QuizResourceSet& set = access_.lastSet();
    EXPECT_FALSE(set.quizRecord.empty());
    EXPECT_FALSE(set.codeRecord.empty());
    ASSERT_EQ(mediaIds(set), (std::vector<int>{401, 402, 10401}));
    EXPECT_EQ(std::string(set.media[2].bytes.begin(), set.media[2].bytes.end()), kJpeg + "france, answer");
    EXPECT_NE(out_.str().find("picture quiz, 2 questions, 3 media files"), std::string::npos) << out_.str();
    EXPECT_FALSE(fs::exists(root_ / "drapeaux.exe.tmp"));
}

TEST_F(AuthorCommands, MakeNamesTheTargetAfterTheFolderInTheCurrentFolder)
{
    const fs::path before = fs::current_path();
    fs::current_path(root_);
    const int status = run({"make", path(quiz_ / "quiz.txt")});
    fs::current_path(before);
    ASSERT_EQ(status, 0) << err_.str();
    EXPECT_TRUE(fs::exists(root_ / "drapeaux.exe"));
}

TEST_F(AuthorCommands, MakeRefusesToWriteOverItsOwnInputs)
{
    const std::vector<std::pair<fs::path, const char*>> inputs = {
        {quiz_ / "quiz.txt", "it is the quiz source"},
        {quiz_ / "france-r.jpg", "it is a media file of the quiz"},
        {root_ / "enigo-auteur.exe", "it is this tool itself"},
        {quiz_ / "." / ".." / "drapeaux" / "italie.jpg", "it is a media file of the quiz"},
    };
    for (const auto& input : inputs) {
        SCOPED_TRACE(path(input.first));
        const auto before = snapshot();
        EXPECT_EQ(run({"make", path(quiz_), path(input.first)}), 1);
        EXPECT_NE(err_.str().find(input.second), std::string::npos) << err_.str();
        EXPECT_EQ(snapshot(), before);
    }
    EXPECT_EQ(access_.setCount(), 0u);
}

TEST_F(AuthorCommands, FailedMakeLeavesTheTargetAsItWasAndNoTemporaryFile)
{
    const fs::path target = root_ / "drapeaux.exe";
    for (const auto failure : {FakeExeAccess::Failure::WhileWriting, FakeExeAccess::Failure::WhileReplacing}) {
        for (const bool existed : {false, true}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(failure)) + (existed ? " over an old file" : ""));
            std::error_code ignored;
            fs::remove(target, ignored);
            if (existed) {
                writeAll(target, "MZ old quiz");
            }
            const auto before = snapshot();
            access_.failure = failure;
            EXPECT_EQ(run({"make", path(quiz_), path(target)}), 1);
            EXPECT_NE(err_.str().find("cannot write"), std::string::npos) << err_.str();
            EXPECT_EQ(snapshot(), before);
        }
    }
}

TEST_F(AuthorCommands, MakeWritesNothingForAQuizWithErrorsOrAFolderInTheWay)
{
    writeAll(root_ / "drapeaux.exe", "MZ old quiz");
    fs::create_directories(root_ / "dossier.exe");
    writeAll(root_ / "dossier.exe" / "notes.txt", "in the way");
    writeAll(quiz_ / "broken.txt", "title: T\nkind: picture\nquestion:\nmedia: absent.jpg\nanswer: ABCD\n");
    const auto before = snapshot();
    EXPECT_EQ(run({"make", path(quiz_ / "broken.txt"), path(root_ / "drapeaux.exe")}), 1);
    EXPECT_NE(err_.str().find("broken.txt:4: error: cannot open 'absent.jpg'"), std::string::npos) << err_.str();
    EXPECT_EQ(access_.setCount(), 0u);
    // A folder in the way is found only when the finished executable is to take its place.
    EXPECT_EQ(run({"make", path(quiz_), path(root_ / "dossier.exe")}), 1);
    EXPECT_NE(err_.str().find("cannot write"), std::string::npos) << err_.str();
    EXPECT_EQ(snapshot(), before);
}

TEST_F(AuthorCommands, ExtractThenMakeGivesTheSameResources)
{
    ASSERT_EQ(run({"make", path(quiz_), path(root_ / "a.exe")}), 0) << err_.str();
    const QuizResourceSet first = access_.lastSet();
    ASSERT_EQ(run({"extract", path(root_ / "a.exe"), path(root_ / "extrait")}), 0) << err_.str();
    EXPECT_EQ(err_.str(), "") << "a quiz made by the tool extracts without a warning";
    EXPECT_TRUE(fs::exists(root_ / "extrait" / "quiz.txt"));
    EXPECT_EQ(readAll(root_ / "extrait" / "answer01.jpg"), kJpeg + "france, answer");
    ASSERT_EQ(run({"make", path(root_ / "extrait"), path(root_ / "b.exe")}), 0) << err_.str();
    const QuizResourceSet& second = access_.lastSet();
    EXPECT_EQ(second.quizRecord, first.quizRecord);
    EXPECT_EQ(second.codeRecord, first.codeRecord);
    EXPECT_EQ(mediaIds(second), mediaIds(first));
    for (std::size_t i = 0; i < first.media.size() && i < second.media.size(); ++i) {
        EXPECT_EQ(second.media[i].bytes, first.media[i].bytes);
    }
}

TEST_F(AuthorCommands, ExtractWritesOnlyIntoANewOrEmptyFolder)
{
    ASSERT_EQ(run({"make", path(quiz_), path(root_ / "a.exe")}), 0) << err_.str();
    fs::create_directories(root_ / "vide");
    EXPECT_EQ(run({"extract", path(root_ / "a.exe"), path(root_ / "vide")}), 0) << err_.str();
    const auto before = snapshot();
    EXPECT_EQ(run({"extract", path(root_ / "a.exe"), path(quiz_)}), 1);
    EXPECT_NE(err_.str().find("must be a new or empty folder"), std::string::npos) << err_.str();
    EXPECT_EQ(run({"extract", path(root_ / "a.exe"), path(root_ / "enigo-auteur.exe")}), 1);
    // The tool is no quiz: nothing to extract, and no folder made for it.
    EXPECT_EQ(run({"extract", path(root_ / "enigo-auteur.exe"), path(root_ / "rien")}), 1);
    EXPECT_NE(err_.str().find("no quiz record"), std::string::npos) << err_.str();
    EXPECT_EQ(snapshot(), before);
}

TEST_F(AuthorCommands, CheckFailsOnlyOnErrors)
{
    struct Case {
        std::string source;
        int status;
        const char* summary;
    };
    const std::vector<Case> cases = {
        {kQuiz, 0, "quiz.txt: 0 errors, 0 warnings"},
        {kQuiz + "caption: Italie\n", 0, "quiz.txt: 0 errors, 1 warning"},
        {kQuiz + "colour: red\n", 1, "quiz.txt: 1 error, 0 warnings"},
    };
    for (const Case& row : cases) {
        writeAll(quiz_ / "quiz.txt", row.source);
        EXPECT_EQ(run({"check", path(quiz_)}), row.status) << out_.str();
        EXPECT_NE(out_.str().find(row.summary), std::string::npos) << out_.str();
    }
}

TEST_F(AuthorCommands, ShowSummarisesAFolderAndAnExecutableAlike)
{
    ASSERT_EQ(run({"make", path(quiz_), path(root_ / "a.exe")}), 0) << err_.str();
    ASSERT_EQ(run({"show", path(quiz_)}), 0) << err_.str();
    const std::string fromFolder = out_.str();
    ASSERT_EQ(run({"show", path(root_ / "a.exe")}), 0) << err_.str();
    const std::string fromExe = out_.str();
    for (const char* expected : {"Kind         picture quiz", "Questions    2, 1 answer each", "Codes        2 of 2: UN DEUX",
                                 "Media        3 files, ", " 1  FRANCE               JPEG 32x16, 29 bytes  JPEG 32x16, 37 bytes\n"}) {
        EXPECT_NE(fromFolder.find(expected), std::string::npos) << expected << "\n" << fromFolder;
    }
    // Only the first line, naming what was shown, differs.
    EXPECT_EQ(fromFolder.substr(fromFolder.find('\n')), fromExe.substr(fromExe.find('\n')));
}

TEST_F(AuthorCommands, WrongCommandLinesShowTheUsage)
{
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{}, {"make"}, {"check", "a", "b"}, {"extract", "a.exe"}, {"build", "x"}}) {
        EXPECT_EQ(run(arguments), 2);
        EXPECT_NE(err_.str().find("usage: enigo-auteur"), std::string::npos);
    }
}

}  // namespace
