// Parser of the readable quiz source: "key: value" lines, a quiz block then one block per question.
#include "quiz_source.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <functional>

#include "common/cp1252.h"
#include "common/file_io.h"

namespace fs = std::filesystem;

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Blanks (spaces and tabs) cut at both ends.
std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Calls visit(number, line) for each line, numbered from 1: a leading UTF-8 byte order mark is
// skipped, a line ends at LF and its CR is not part of it.
void forEachSourceLine(std::string_view text, const std::function<void(int, std::string_view)>& visit)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    for (int number = 1; !text.empty(); ++number) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        visit(number, line);
    }
}

std::string inQuotes(std::string_view text)
{
    return "'" + std::string(text) + "'";
}

// What a file given under a key may be, and how to say so.
struct MediaRule {
    std::vector<MediaFormat> formats;
    const char* description;
};

const MediaRule kPictureRule = {{MediaFormat::Jpeg, MediaFormat::Gif, MediaFormat::Bmp, MediaFormat::Png},
                                "a picture must be a .jpg, .jpeg, .gif, .bmp or .png file"};
const MediaRule kSoundRule = {{MediaFormat::Mp3}, "a sound must be an .mp3 file"};
const MediaRule kVideoRule = {{MediaFormat::Avi}, "a video must be an .avi file"};

// The rule of a quiz kind's card media; none for a text quiz, which has no media.
const MediaRule* mediaRuleOf(QuizKind kind)
{
    switch (kind) {
    case QuizKind::Picture:
        return &kPictureRule;
    case QuizKind::Sound:
        return &kSoundRule;
    case QuizKind::Video:
        return &kVideoRule;
    case QuizKind::Text:
        return nullptr;
    }
    return nullptr;
}

bool ruleAccepts(const MediaRule& rule, MediaFormat format)
{
    for (const MediaFormat accepted : rule.formats) {
        if (accepted == format) {
            return true;
        }
    }
    return false;
}

const char* const kQuizKeys[] = {"title",  "author", "explanation", "kind",       "answers",
                                 "label1", "label2", "reveal",      "background", "code"};
const char* const kQuestionKeys[] = {"answer", "answer2", "caption", "reveal", "media", "answer-picture"};

template <std::size_t N>
bool isOneOf(const std::string& key, const char* const (&keys)[N])
{
    for (const char* candidate : keys) {
        if (key == candidate) {
            return true;
        }
    }
    return false;
}

// What of a question is checked once the whole file is read (where each item was given: the
// parse result's key lines).
struct QuestionSource {
    bool answer1Taken = false;  // false when the value was already reported as unusable
    bool answer2Taken = false;
    std::string mediaName;
    std::string answerPictureName;
};

class SourceParser {
public:
    explicit SourceParser(const fs::path& baseDir)
        : baseDir_(baseDir)
    {
    }

    ParseResult run(std::string_view text)
    {
        forEachSourceLine(text, [this](int number, std::string_view line) { parseLine(number, line); });
        finish();
        return std::move(result_);
    }

private:
    void report(Diagnostic::Severity severity, int line, std::string message)
    {
        result_.diagnostics.push_back({severity, line, std::move(message)});
    }
    void error(int line, std::string message) { report(Diagnostic::Severity::Error, line, std::move(message)); }
    void warning(int line, std::string message) { report(Diagnostic::Severity::Warning, line, std::move(message)); }

    bool inQuestion() const { return !result_.quiz.questions.empty(); }

    void parseLine(int line, std::string_view raw)
    {
        const std::string_view content = trimBlanks(raw);
        if (content.empty() || content.front() == '#') {
            return;
        }
        std::string utf8Error;
        if (!checkUtf8(raw, utf8Error)) {
            error(line, utf8Error);
            return;
        }
        const std::size_t colon = content.find(':');
        if (colon == std::string_view::npos) {
            error(line, "expected 'key: value' or a '#' comment");
            return;
        }
        const std::string key(trimBlanks(content.substr(0, colon)));
        std::string_view value = raw.substr(raw.find(':') + 1);
        if (!value.empty() && value.front() == ' ') {
            value.remove_prefix(1);
        }
        if (key == "question") {
            startQuestion(line);
            return;
        }
        if (!inQuestion()) {
            quizKey(line, key, value);
        } else {
            questionKey(line, key, value);
        }
    }

    // A key given twice in one block would silently lose one of its values.
    bool firstInBlock(int line, const std::string& key)
    {
        SourceKeyLines& lines = result_.keyLines;
        const auto inserted = (inQuestion() ? lines.questions.back() : lines.quizKeys).emplace(key, line);
        if (!inserted.second) {
            error(line, "duplicate " + inQuotes(key) + " (first given at line " +
                            std::to_string(inserted.first->second) + ")");
        }
        return inserted.second;
    }

    void startQuestion(int line)
    {
        if (result_.quiz.questions.size() == static_cast<std::size_t>(kMaxQuestions)) {
            error(line, "too many questions: the player holds at most " + std::to_string(kMaxQuestions));
        }
        QuizQuestion question;
        question.line = line;
        result_.quiz.questions.push_back(std::move(question));
        sources_.emplace_back();
        result_.keyLines.questions.emplace_back();
    }

    void quizKey(int line, const std::string& key, std::string_view value)
    {
        QuizSource& quiz = result_.quiz;
        if (key == "code") {
            std::string code;
            if (takeText(line, value, code, true)) {
                quiz.codes.push_back(std::move(code));
                result_.keyLines.codeLines.push_back(line);
            }
            return;
        }
        if (!isOneOf(key, kQuizKeys)) {
            if (isOneOf(key, kQuestionKeys)) {
                error(line, inQuotes(key) + " belongs to a question: start one with a 'question:' line");
            } else {
                error(line, "unknown key " + inQuotes(key));
            }
            return;
        }
        if (!firstInBlock(line, key)) {
            return;
        }
        if (key == "title") {
            titleGiven_ = true;
            takeText(line, value, quiz.title);
        } else if (key == "author") {
            takeText(line, value, quiz.author);
        } else if (key == "explanation") {
            takeText(line, value, quiz.explanation);
        } else if (key == "label1") {
            takeText(line, value, quiz.answerLabel1);
        } else if (key == "label2") {
            takeText(line, value, quiz.answerLabel2);
        } else if (key == "kind") {
            parseKind(line, trimBlanks(value));
        } else if (key == "answers") {
            parseAnswerCount(line, trimBlanks(value));
        } else if (key == "reveal") {
            parseRevealMode(line, trimBlanks(value));
        } else {
            parseBackground(line, trimBlanks(value));
        }
    }

    void questionKey(int line, const std::string& key, std::string_view value)
    {
        if (!isOneOf(key, kQuestionKeys)) {
            if (isOneOf(key, kQuizKeys)) {
                error(line, inQuotes(key) + " belongs before the first question");
            } else {
                error(line, "unknown key " + inQuotes(key));
            }
            return;
        }
        if (!firstInBlock(line, key)) {
            return;
        }
        QuizQuestion& question = result_.quiz.questions.back();
        QuestionSource& source = sources_.back();
        if (key == "answer") {
            source.answer1Taken = takeText(line, value, question.answer1);
        } else if (key == "answer2") {
            source.answer2Taken = takeText(line, value, question.answer2);
        } else if (key == "caption") {
            takeText(line, value, question.caption);
        } else if (key == "reveal") {
            takeText(line, value, question.revealText);
        } else if (key == "media") {
            source.mediaName = std::string(trimBlanks(value));
        } else {
            source.answerPictureName = std::string(trimBlanks(value));
        }
    }

    // Converts a text value to Windows-1252 and checks that the player can hold it.
    // Codes are lines of their own resource, so only they may contain '|'.
    bool takeText(int line, std::string_view value, std::string& target, bool separatorAllowed = false)
    {
        for (const char c : value) {
            const unsigned char byte = static_cast<unsigned char>(c);
            if (isControlCharacter(byte)) {
                char name[8];
                std::snprintf(name, sizeof name, "U+%04X", byte);
                error(line, std::string("control character ") + name + " is not allowed in a text");
                return false;
            }
        }
        std::string converted;
        std::string conversionError;
        if (!utf8ToCp1252(value, converted, conversionError)) {
            error(line, conversionError);
            return false;
        }
        if (!separatorAllowed && converted.find(kRecordTextEnd) != std::string::npos) {
            error(line, std::string("'") + kRecordTextEnd +
                            "' is not allowed in a text: the quiz record uses it to end each text");
            return false;
        }
        if (converted.size() > static_cast<std::size_t>(kMaxTextLength)) {
            error(line, "text is " + std::to_string(converted.size()) +
                            " bytes long in Windows-1252; the player keeps at most " + std::to_string(kMaxTextLength));
            return false;
        }
        target = std::move(converted);
        return true;
    }

    void parseKind(int line, std::string_view value)
    {
        for (const QuizKind kind : {QuizKind::Text, QuizKind::Picture, QuizKind::Sound, QuizKind::Video}) {
            if (value == quizKindKeyword(kind)) {
                result_.quiz.kind = kind;
                kindKnown_ = true;
                return;
            }
        }
        error(line, "unknown kind " + inQuotes(value) + ": use text, picture, sound or video");
        kindGiven_ = true;
    }

    void parseAnswerCount(int line, std::string_view value)
    {
        if (value == "1" || value == "2") {
            result_.quiz.answersPerQuestion = value[0] - '0';
        } else {
            error(line, "'answers' must be 1 or 2, not " + inQuotes(value));
            answersKnown_ = false;
        }
    }

    void parseRevealMode(int line, std::string_view value)
    {
        if (value.size() == 1 && value[0] >= '0' && value[0] <= '0' + kLastRevealMode) {
            result_.quiz.revealMode = value[0] - '0';
        } else {
            error(line, "'reveal' must be 0 to " + std::to_string(kLastRevealMode) + ", not " + inQuotes(value));
            revealKnown_ = false;
        }
    }

    void parseBackground(int line, std::string_view value)
    {
        std::array<int, 3> rgb{};
        if (!readColour(value, rgb)) {
            error(line,
                  "'background' must be '#RRGGBB' or three numbers 0-255 such as '90 95 150', not " + inQuotes(value));
            return;
        }
        result_.quiz.red = static_cast<std::uint8_t>(rgb[0]);
        result_.quiz.green = static_cast<std::uint8_t>(rgb[1]);
        result_.quiz.blue = static_cast<std::uint8_t>(rgb[2]);
    }

    static int hexDigit(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    static bool readColour(std::string_view value, std::array<int, 3>& rgb)
    {
        if (!value.empty() && value[0] == '#') {
            if (value.size() != 7) {
                return false;
            }
            for (int i = 0; i < 3; ++i) {
                const int high = hexDigit(value[1 + 2 * i]);
                const int low = hexDigit(value[2 + 2 * i]);
                if (high < 0 || low < 0) {
                    return false;
                }
                rgb[i] = high * 16 + low;
            }
            return true;
        }
        for (int i = 0; i < 3; ++i) {
            value = trimBlanks(value);
            std::size_t digits = 0;
            int number = 0;
            while (digits < value.size() && value[digits] >= '0' && value[digits] <= '9' && digits < 3) {
                number = number * 10 + (value[digits] - '0');
                ++digits;
            }
            if (digits == 0 || number > 255 || (digits < value.size() && !isBlank(value[digits]))) {
                return false;
            }
            rgb[i] = number;
            value.remove_prefix(digits);
        }
        return trimBlanks(value).empty();
    }

    std::optional<MediaFile> checkMedia(int line, const std::string& name, const MediaRule& rule)
    {
        if (name.empty()) {
            error(line, "a file name is needed here");
            return std::nullopt;
        }
        std::string portable = name;
        for (char& c : portable) {
            if (c == '\\') {
                c = '/';
            }
        }
        const fs::path path = baseDir_ / pathFromUtf8(portable);
        const std::optional<MediaFormat> expected = mediaFormatOfName(path);
        if (!expected || !ruleAccepts(rule, *expected)) {
            error(line, inQuotes(name) + ": " + rule.description);
            return std::nullopt;
        }
        std::error_code ignored;
        std::ifstream file;
        if (fs::is_regular_file(path, ignored)) {
            file.open(path, std::ios::binary);
        }
        if (!file.is_open()) {
            error(line, "cannot open " + inQuotes(name) + " (looked for " +
                            inQuotes(pathToUtf8(fs::path(path).make_preferred())) + ")");
            return std::nullopt;
        }
        unsigned char head[kMediaSniffSize] = {};
        file.read(reinterpret_cast<char*>(head), kMediaSniffSize);
        const std::size_t got = static_cast<std::size_t>(file.gcount());
        const std::optional<MediaFormat> actual = detectMediaFormat(head, got);
        if (!actual) {
            error(line, inQuotes(name) + " does not hold " + mediaFormatName(*expected) +
                            " data (its first bytes match no accepted format)");
            return std::nullopt;
        }
        if (*actual != *expected) {
            error(line, inQuotes(name) + " does not hold " + mediaFormatName(*expected) + " data: it is a " +
                            mediaFormatName(*actual) + " file under the wrong extension");
            return std::nullopt;
        }
        return MediaFile{path, *actual};
    }

    // index counts from 0.
    void checkQuestion(std::size_t index, QuizQuestion& question, const QuestionSource& source)
    {
        const QuizSource& quiz = result_.quiz;
        const std::string which = "question " + std::to_string(index + 1);
        const auto lineOf = [&](const char* key) { return result_.keyLines.questionLine(index, key); };
        const int answer1Line = lineOf("answer");
        const int answer2Line = lineOf("answer2");
        const int revealLine = lineOf("reveal");
        if (answer1Line == 0) {
            error(question.line, which + " has no 'answer'");
        } else if (source.answer1Taken) {
            checkAnswer(answer1Line, question.answer1);
        }
        if (answersKnown_ && quiz.answersPerQuestion == 2) {
            if (answer2Line == 0) {
                error(question.line, which + " has no 'answer2' although the quiz has 'answers: 2'");
            } else if (source.answer2Taken) {
                checkAnswer(answer2Line, question.answer2);
            }
        } else if (answersKnown_ && answer2Line != 0) {
            error(answer2Line, "'answer2' needs 'answers: 2' in the quiz block");
        }
        if (revealKnown_ && revealLine != 0 && !revealShowsTexts(quiz.revealMode)) {
            error(revealLine, "the reveal text is never shown with 'reveal: " + std::to_string(quiz.revealMode) +
                                  "'; use 2, 3 or 4");
        }
        if (kindKnown_) {
            checkQuestionMedia(which, lineOf("media"), lineOf("answer-picture"), question, source);
        }
    }

    void checkQuestionMedia(const std::string& which, int mediaLine, int answerPictureLine, QuizQuestion& question,
                            const QuestionSource& source)
    {
        const QuizSource& quiz = result_.quiz;
        const MediaRule* rule = mediaRuleOf(quiz.kind);
        if (!rule) {
            if (mediaLine != 0) {
                error(mediaLine, "a text quiz has no media; use 'kind: picture', 'sound' or 'video'");
            }
        } else if (mediaLine == 0) {
            error(question.line, which + " has no 'media'");
        } else {
            question.media = checkMedia(mediaLine, source.mediaName, *rule);
        }
        if (answerPictureLine == 0) {
            return;
        }
        if (quiz.kind != QuizKind::Picture || !revealKnown_ || !revealShowsAnswerPictures(quiz.revealMode)) {
            error(answerPictureLine,
                  "an answer picture is shown only in a picture quiz with 'reveal: 1' or 'reveal: 3'");
            return;
        }
        question.answerPicture = checkMedia(answerPictureLine, source.answerPictureName, kPictureRule);
    }

    // The player trims the typed answer but not the stored one, and never matches an empty one.
    void checkAnswer(int line, const std::string& answer)
    {
        if (answer.empty()) {
            error(line, "an empty answer can never be judged right");
        } else if (answer.front() == ' ' || answer.back() == ' ') {
            warning(line, "answer starts or ends with a blank: typed answers are trimmed, so it can never "
                          "be judged right");
        }
    }

    void finish()
    {
        QuizSource& quiz = result_.quiz;
        if (!titleGiven_) {
            error(0, "the quiz has no 'title'");
        }
        if (!kindKnown_ && !kindGiven_) {
            error(0, "the quiz has no 'kind' (text, picture, sound or video)");
        }
        if (kindKnown_ && answersKnown_ && quiz.kind == QuizKind::Text && quiz.answersPerQuestion == 2) {
            error(result_.keyLines.quizLine("answers"),
                  "a text quiz shows one answer field per question; 'answers: 2' needs a "
                  "picture, sound or video quiz");
            answersKnown_ = false;
        }
        if (quiz.questions.empty()) {
            error(0, "the quiz has no question");
        }
        for (std::size_t i = 0; i < quiz.questions.size(); ++i) {
            checkQuestion(i, quiz.questions[i], sources_[i]);
        }
        const std::size_t questionCount = quiz.questions.size();
        if (quiz.codes.size() > questionCount) {
            error(result_.keyLines.codeLines[questionCount], "more codes (" + std::to_string(quiz.codes.size()) +
                                                                 ") than questions (" + std::to_string(questionCount) +
                                                                 ")");
        } else if (quiz.codes.size() < questionCount) {
            report(Diagnostic::Severity::Note, 0,
                   std::to_string(questionCount - quiz.codes.size()) + " of " + std::to_string(questionCount) +
                       " codes are not given and stay empty");
            quiz.codes.resize(questionCount);
        }
    }

    fs::path baseDir_;
    ParseResult result_;
    std::vector<QuestionSource> sources_;
    bool titleGiven_ = false;
    bool kindKnown_ = false;
    bool kindGiven_ = false;  // given but not understood: already reported
    // Cleared when a value was not understood, so that checks depending on it do not pile up.
    bool answersKnown_ = true;
    bool revealKnown_ = true;
};

}  // namespace

bool ParseResult::hasErrors() const
{
    for (const Diagnostic& diagnostic : diagnostics) {
        if (diagnostic.severity == Diagnostic::Severity::Error) {
            return true;
        }
    }
    return false;
}

ParseResult parseQuizSource(std::string_view text, const fs::path& baseDir)
{
    return SourceParser(baseDir).run(text);
}

std::string formatDiagnostic(const std::string& fileName, const Diagnostic& diagnostic)
{
    static const char* const kSeverities[] = {"error", "warning", "note"};
    std::string text = fileName;
    if (diagnostic.line > 0) {
        text += ":" + std::to_string(diagnostic.line);
    }
    text += ": ";
    text += kSeverities[static_cast<int>(diagnostic.severity)];
    text += ": " + diagnostic.message;
    return text;
}

const char* quizKindKeyword(QuizKind kind)
{
    switch (kind) {
    case QuizKind::Text:
        return "text";
    case QuizKind::Picture:
        return "picture";
    case QuizKind::Sound:
        return "sound";
    case QuizKind::Video:
        return "video";
    }
    return "text";
}

bool quizKindAccepts(QuizKind kind, MediaFormat format)
{
    const MediaRule* rule = mediaRuleOf(kind);
    return rule && ruleAccepts(*rule, format);
}

bool revealShowsAnswerPictures(int revealMode)
{
    return revealMode == kRevealPicture || revealMode == kRevealLabelAndPicture;
}

bool revealShowsTexts(int revealMode)
{
    return revealMode >= kRevealLabel;
}

bool isControlCharacter(unsigned char byte)
{
    return byte < 0x20 || byte == 0x7F;
}

int SourceKeyLines::quizLine(const std::string& key) const
{
    const auto found = quizKeys.find(key);
    return found == quizKeys.end() ? 0 : found->second;
}

int SourceKeyLines::questionLine(std::size_t question, const std::string& key) const
{
    if (question >= questions.size()) {
        return 0;
    }
    const auto found = questions[question].find(key);
    return found == questions[question].end() ? 0 : found->second;
}
