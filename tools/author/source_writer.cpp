// Quiz source writer: the inverse of the source parser, one "key: value" line per item.
#include "source_writer.h"

#include <array>

#include "quizc/cp1252.h"

namespace fs = std::filesystem;

namespace {

// Code points of bytes 0x80-0x9F, taken from the compiler's own mapping so the two never disagree.
const std::array<char32_t, 32>& highCodePoints()
{
    static const std::array<char32_t, 32> table = [] {
        std::array<char32_t, 32> found{};
        for (int i = 0; i < 32; ++i) {
            found[static_cast<std::size_t>(i)] = static_cast<char32_t>(0x80 + i);
        }
        // Every character of 0x80-0x9F lies between U+0152 and U+2122.
        for (char32_t codePoint = 0x100; codePoint < 0x2200; ++codePoint) {
            const int byte = cp1252FromCodePoint(codePoint);
            if (byte >= 0x80 && byte < 0xA0) {
                found[static_cast<std::size_t>(byte - 0x80)] = codePoint;
            }
        }
        return found;
    }();
    return table;
}

void appendUtf8(std::string& out, char32_t codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

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

std::string cp1252ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        appendUtf8(out, byte >= 0x80 && byte < 0xA0 ? highCodePoints()[byte - 0x80] : byte);
    }
    return out;
}

std::string writeQuizSource(const QuizSource& quiz, const fs::path& baseDir)
{
    SourceText out;
    out.raw("# Enigo quiz. Check it with: enigo-auteur check FOLDER; build it with: enigo-auteur make FOLDER\n");
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
    out.line("background", std::to_string(quiz.red) + " " + std::to_string(quiz.green) + " " +
                               std::to_string(quiz.blue));
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
        if (quiz.revealMode >= 2 && !question.revealText.empty()) {
            out.line("reveal", question.revealText);
        }
    }
    return out.take();
}
