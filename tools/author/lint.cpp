// Check rules beyond the parser. Each warning points at the line of its key, from the key lines the
// parser lists as it reads the source.
#include "lint.h"

#include <algorithm>
#include <set>
#include <string>

#include "common/cp1252.h"
#include "common/file_io.h"
#include "judging/verdict.h"
#include "media_info.h"

namespace fs = std::filesystem;

namespace {

using Severity = Diagnostic::Severity;

std::string quoted(const std::string& cp1252)
{
    return "'" + cp1252ToUtf8(cp1252) + "'";
}

std::string plural(std::size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The capital of a Windows-1252 lower-case letter, or 0 when the byte is none.
unsigned char capitalOf(unsigned char byte)
{
    if ((byte >= 'a' && byte <= 'z') || (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7)) {
        return static_cast<unsigned char>(byte - 0x20);
    }
    switch (byte) {
    case 0x9A:
        return 0x8A;  // š
    case 0x9C:
        return 0x8C;  // œ
    case 0x9E:
        return 0x8E;  // ž
    case 0xFF:
        return 0x9F;  // ÿ
    default:
        return 0;
    }
}

bool isAccentedLowerCase(unsigned char byte)
{
    return byte >= 0x80 && capitalOf(byte) != 0;
}

bool isLetter(unsigned char byte)
{
    return capitalOf(byte) != 0 || capitalOf(byte | 0x20) != 0 || byte == 0x8A || byte == 0x8C || byte == 0x8E ||
           byte == 0x9F;
}

// Under Wine, with some fonts, an Edit dies on a run of text that opens with '\x98' (a small tilde): a run opens at
// the start of the text and after a digit, sign or symbol, but not after a letter or a blank.
bool opensRunWithTilde(const std::string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char before = i > 0 ? static_cast<unsigned char>(text[i - 1]) : '\0';
        if (static_cast<unsigned char>(text[i]) == 0x98 && before != ' ' && before != 0x98 && !isLetter(before)) {
            return true;
        }
    }
    return false;
}

std::string inCapitals(const std::string& text)
{
    std::string capitals = text;
    for (char& c : capitals) {
        const unsigned char capital = capitalOf(static_cast<unsigned char>(c));
        if (capital != 0) {
            c = static_cast<char>(capital);
        }
    }
    return capitals;
}

struct StoredAnswer {
    const std::string* text;
    int line;
};

class Linter {
public:
    Linter(const QuizSource& quiz, const SourceKeyLines& keyLines, const fs::path& baseDir,
           std::vector<Diagnostic>& out)
        : quiz_(quiz)
        , keyLines_(keyLines)
        , baseDir_(baseDir)
        , out_(out)
    {
    }

    // Rules that hold for any answer or picture the parser accepted.
    void checkAnswersAndPictures()
    {
        const std::vector<StoredAnswer> answers = storedAnswers();
        for (const StoredAnswer& answer : answers) {
            checkShortAnswer(answer);
            checkLowerCaseAccents(answer);
            checkTilde("answer", *answer.text, answer.line);
        }
        checkNearMisses(answers);
        for (std::size_t i = 0; i < quiz_.questions.size(); ++i) {
            const QuizQuestion& question = quiz_.questions[i];
            checkPicture(question.media, keyLines_.questionLine(i, "media"));
            checkPicture(question.answerPicture, keyLines_.questionLine(i, "answer-picture"));
        }
    }

    // Rules that need the whole quiz as the parser understood it, without errors.
    void checkStructure()
    {
        checkCodes();
        checkRevealMode();
        checkTextsTheKindIgnores();
        checkUnusedFiles();
    }

private:
    void warn(int line, std::string message) { out_.push_back({Severity::Warning, line, std::move(message)}); }
    void fail(int line, std::string message) { out_.push_back({Severity::Error, line, std::move(message)}); }

    std::vector<StoredAnswer> storedAnswers() const
    {
        std::vector<StoredAnswer> answers;
        for (std::size_t i = 0; i < quiz_.questions.size(); ++i) {
            const QuizQuestion& question = quiz_.questions[i];
            if (!question.answer1.empty()) {
                answers.push_back({&question.answer1, keyLines_.questionLine(i, "answer")});
            }
            if (!question.answer2.empty()) {
                answers.push_back({&question.answer2, keyLines_.questionLine(i, "answer2")});
            }
        }
        return answers;
    }

    // Answers are typed into fields, codes shown in one.
    void checkTilde(const char* what, const std::string& text, int line)
    {
        if (opensRunWithTilde(text)) {
            warn(line, std::string(what) + " " + quoted(text) +
                           " has '\xCB\x9C' at its start or after a digit or sign: under Wine, some fonts make a "
                           "field crash on it (the player gives its fields a safe one there)");
        }
    }

    void checkShortAnswer(const StoredAnswer& answer)
    {
        if (answer.text->size() <= 3) {
            warn(answer.line, "answer " + quoted(*answer.text) +
                                  " has 3 characters or fewer: the player gets no hint for it, only BRAVO, "
                                  "FAUX or ?");
        }
    }

    void checkLowerCaseAccents(const StoredAnswer& answer)
    {
        const std::string& text = *answer.text;
        const bool found = std::any_of(text.begin(), text.end(),
                                       [](char c) { return isAccentedLowerCase(static_cast<unsigned char>(c)); });
        if (found) {
            warn(answer.line, "answer " + quoted(text) +
                                  " has lower-case accented letters: the player upper-cases a to z only, so " +
                                  quoted(inCapitals(text)) +
                                  " typed in capitals gets FAUX; write the answer in capitals");
        }
    }

    // A player who types the answer of one question into another's field should see FAUX, not
    // a hint that sends them looking for a spelling mistake.
    void checkNearMisses(const std::vector<StoredAnswer>& answers)
    {
        for (std::size_t later = 1; later < answers.size(); ++later) {
            for (std::size_t earlier = 0; earlier < later; ++earlier) {
                const std::string& a = *answers[earlier].text;
                const std::string& b = *answers[later].text;
                Verdict verdict = judgeTexts(b.c_str(), a.c_str());
                if (!isNearMiss(verdict)) {
                    verdict = judgeTexts(a.c_str(), b.c_str());
                }
                if (isNearMiss(verdict)) {
                    warn(answers[later].line, "answers " + quoted(b) + " and " + quoted(a) + " (line " +
                                                  std::to_string(answers[earlier].line) +
                                                  ") are so close that a player who types one for the other gets \"" +
                                                  verdictText(verdict) + "\"");
                }
            }
        }
    }

    static bool isNearMiss(Verdict verdict)
    {
        return verdict == Verdict::Anagram || verdict == Verdict::OneEdit || verdict == Verdict::TwoEdits;
    }

    void checkPicture(const std::optional<MediaFile>& file, int line)
    {
        if (!file || !quizKindAccepts(QuizKind::Picture, file->format)) {
            return;
        }
        std::vector<unsigned char> bytes;
        if (!readFileBytes(file->path, bytes)) {
            fail(line, "cannot read '" + pathToUtf8(file->path) + "'");
            return;
        }
        const MediaInfo info = inspectMedia(bytes.data(), bytes.size());
        const std::string name = "'" + pathToUtf8(file->path.filename()) + "'";
        if (!info.refusal.empty()) {
            fail(line, "the player cannot show " + name + ": " + info.refusal);
        } else if (!info.doubt.empty()) {
            warn(line, "the player may not show " + name + ": " + info.doubt);
        }
    }

    void checkCodes()
    {
        const std::size_t questions = quiz_.questions.size();
        const std::size_t codes = keyLines_.codeLines.size();
        for (std::size_t i = 0; i < codes && i < quiz_.codes.size(); ++i) {
            checkTilde("code", quiz_.codes[i], keyLines_.codeLines[i]);
        }
        if (codes == 0) {
            warn(0, "the quiz has no 'code': the code field stays empty whatever the score");
        } else if (codes < questions) {
            warn(keyLines_.codeLines.back(),
                 plural(codes, "code", "codes") + " for " + plural(questions, "question", "questions") +
                     ": the code field is empty once more than " + std::to_string(codes) + " are solved");
        }
    }

    void checkRevealMode()
    {
        const int mode = quiz_.revealMode;
        const int modeLine = keyLines_.quizLine("reveal");
        const bool showsPictures = revealShowsAnswerPictures(mode);
        const bool showsTexts = revealShowsTexts(mode);
        if (showsPictures && quiz_.kind != QuizKind::Picture) {
            warn(modeLine,
                 "'reveal: " + std::to_string(mode) + "' shows answer pictures, which only a picture quiz has");
        } else if (showsPictures && std::none_of(quiz_.questions.begin(), quiz_.questions.end(),
                                                 [](const QuizQuestion& q) { return q.answerPicture.has_value(); })) {
            warn(modeLine, "'reveal: " + std::to_string(mode) +
                               "' shows answer pictures, but no question has an 'answer-picture'");
        }
        if (!showsTexts) {
            return;
        }
        if (quiz_.kind == QuizKind::Text) {
            warn(modeLine, "a text quiz never shows reveal texts: its list has no place for them; use a picture, "
                           "sound or video quiz, or 'reveal: 0'");
            return;
        }
        std::vector<std::size_t> without;
        for (std::size_t i = 0; i < quiz_.questions.size(); ++i) {
            if (quiz_.questions[i].revealText.empty()) {
                without.push_back(i);
            }
        }
        if (without.size() == quiz_.questions.size()) {
            warn(modeLine, "'reveal: " + std::to_string(mode) + "' shows reveal texts, but no question has one");
            return;
        }
        for (const std::size_t i : without) {
            warn(quiz_.questions[i].line, "question " + std::to_string(i + 1) +
                                              " has no 'reveal' text: the player reveals an empty label for it");
        }
    }

    void checkTextsTheKindIgnores()
    {
        for (int label = 1; label <= 2 && quiz_.answersPerQuestion == 1; ++label) {
            const std::string key = "label" + std::to_string(label);
            const std::string& text = label == 1 ? quiz_.answerLabel1 : quiz_.answerLabel2;
            if (!text.empty()) {
                warn(keyLines_.quizLine(key), "'" + key + "' is shown only with 'answers: 2'");
            }
        }
        for (std::size_t i = 0; i < quiz_.questions.size(); ++i) {
            const QuizQuestion& question = quiz_.questions[i];
            if (quiz_.kind == QuizKind::Text && question.caption.empty()) {
                warn(question.line,
                     "question " + std::to_string(i + 1) + " has no 'caption': the list shows only its number");
            } else if (quiz_.kind != QuizKind::Text && !question.caption.empty()) {
                warn(keyLines_.questionLine(i, "caption"), std::string("a ") + quizKindKeyword(quiz_.kind) +
                                                               " quiz never shows captions; only a text quiz does");
            }
        }
    }

    // Media files left in the folder are a sign of a missing or misspelt 'media' line, or of a
    // quiz kind that shows none.
    void checkUnusedFiles()
    {
        // Besides those of the formats a quiz carries.
        static const char* const kOtherMediaExtensions[] = {".wav", ".mp4", ".ogg", ".webp", ".tif", ".tiff"};
        std::set<fs::path> used;
        for (const QuizQuestion& question : quiz_.questions) {
            for (const auto* file : {&question.media, &question.answerPicture}) {
                if (*file) {
                    used.insert((*file)->path.lexically_normal());
                }
            }
        }
        std::error_code error;
        fs::recursive_directory_iterator entries(baseDir_.empty() ? fs::path(".") : baseDir_, error);
        std::vector<fs::path> unused;
        for (int seen = 0; !error && entries != fs::recursive_directory_iterator() && seen < 2000; ++seen) {
            const fs::directory_entry& entry = *entries;
            std::string extension = pathToUtf8(entry.path().extension());
            std::transform(extension.begin(), extension.end(), extension.begin(),
                           [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
            const bool media = mediaFormatOfName(entry.path()) ||
                               std::any_of(std::begin(kOtherMediaExtensions), std::end(kOtherMediaExtensions),
                                           [&](const char* known) { return extension == known; });
            if (media && entry.is_regular_file(error) && !used.count(entry.path().lexically_normal())) {
                unused.push_back(entry.path());
            }
            entries.increment(error);
        }
        std::sort(unused.begin(), unused.end());
        for (const fs::path& file : unused) {
            const std::string name = "'" + pathToUtf8(file.lexically_relative(baseDir_)) + "'";
            if (quiz_.kind == QuizKind::Text) {
                warn(0, "a text quiz shows no media: " + name + " in the quiz folder is not used");
            } else {
                warn(0, name + " in the quiz folder is not used by any question");
            }
        }
    }

    const QuizSource& quiz_;
    const SourceKeyLines& keyLines_;
    fs::path baseDir_;
    std::vector<Diagnostic>& out_;
};

}  // namespace

bool CheckResult::hasErrors() const
{
    return std::any_of(diagnostics.begin(), diagnostics.end(),
                       [](const Diagnostic& d) { return d.severity == Severity::Error; });
}

CheckResult checkQuizSource(std::string_view text, const fs::path& baseDir)
{
    CheckResult result;
    result.parsed = parseQuizSource(text, baseDir);
    const bool parsedCleanly = !result.parsed.hasErrors();
    // The parser's only note (codes not given) carries no line; the code rule below says the
    // same with one.
    for (const Diagnostic& diagnostic : result.parsed.diagnostics) {
        if (diagnostic.severity != Severity::Note) {
            result.diagnostics.push_back(diagnostic);
        }
    }
    Linter linter(result.parsed.quiz, result.parsed.keyLines, baseDir, result.diagnostics);
    linter.checkAnswersAndPictures();
    if (parsedCleanly) {
        linter.checkStructure();
    }
    std::stable_sort(result.diagnostics.begin(), result.diagnostics.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
    return result;
}
