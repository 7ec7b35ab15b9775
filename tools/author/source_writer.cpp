// Quiz source writer: the inverse of the source parser, one "key: value" line per item.
#include "source_writer.h"

#include "author.h"
#include "common/cp1252.h"
#include "common/file_io.h"

namespace fs = std::filesystem;

namespace {

class SourceText {
public:
    void line(const char* key, const std::string& cp1252Value)
    {
        text_ += key;
        text_ += ':';
        // The parser removes exactly one space after the colon, so a value's own leading blanks survive.
        if (!cp1252Value.empty()) {
            text_ += ' ';
            text_ += cp1252ToUtf8(cp1252Value);
        }
        text_ += '\n';
    }
    void raw(const std::string& utf8) { text_ += utf8; }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
};

std::string relativeName(const fs::path& path, const fs::path& baseDir)
{
    fs::path relative = path.lexically_normal().lexically_relative(baseDir.lexically_normal());
    if (relative.empty()) {
        relative = path;
    }
    std::string name = pathToUtf8(relative);
    for (char& c : name) {
        if (c == '\\') {
            c = '/';
        }
    }
    return name;
}

}  // namespace

std::string writeQuizSource(const QuizSource& quiz, const fs::path& baseDir)
{
    SourceText out;
    out.raw(std::string("# Enigo quiz. Check it with: ") + kToolName + " check FOLDER; build it with: " + kToolName +
            " make FOLDER\n");
    out.line("title", quiz.title);
    out.line("author", quiz.author);
    out.line("explanation", quiz.explanation);
    out.line("kind", quizKindKeyword(quiz.kind));
    out.line("answers", std::to_string(quiz.answersPerQuestion));
    if (!quiz.answerLabel1.empty()) {
        out.line("label1", quiz.answerLabel1);
    }
    if (!quiz.answerLabel2.empty()) {
        out.line("label2", quiz.answerLabel2);
    }
    out.line("reveal", std::to_string(quiz.revealMode));
    out.line("background",
             std::to_string(quiz.red) + " " + std::to_string(quiz.green) + " " + std::to_string(quiz.blue));
    std::size_t codeCount = quiz.codes.size();
    while (codeCount > 0 && quiz.codes[codeCount - 1].empty()) {
        --codeCount;
    }
    if (codeCount > 0) {
        out.raw("\n# The n-th code is shown once n questions are solved.\n");
    }
    for (std::size_t i = 0; i < codeCount; ++i) {
        out.line("code", quiz.codes[i]);
    }
    for (std::size_t i = 0; i < quiz.questions.size(); ++i) {
        const QuizQuestion& question = quiz.questions[i];
        out.raw("\n");
        out.line("question", std::to_string(i + 1));
        if (!question.caption.empty()) {
            out.line("caption", question.caption);
        }
        if (question.media) {
            out.raw("media: " + relativeName(question.media->path, baseDir) + "\n");
        }
        if (question.answerPicture) {
            out.raw("answer-picture: " + relativeName(question.answerPicture->path, baseDir) + "\n");
        }
        out.line("answer", question.answer1);
        if (quiz.answersPerQuestion == 2) {
            out.line("answer2", question.answer2);
        }
        if (revealShowsTexts(quiz.revealMode) && !question.revealText.empty()) {
            out.line("reveal", question.revealText);
        }
    }
    return out.take();
}
