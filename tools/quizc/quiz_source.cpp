// Parser of the readable quiz source: "key: value" lines, a quiz block then one block per question.
#include "quiz_source.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

#include "cp1252.h"
#include "quiz/quiz_state.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kSniffSize = 12;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string inQuotes(std::string_view text)
{
    return "'" + std::string(text) + "'";
}

std::optional<MediaFormat> formatFromExtension(const fs::path& path)
{
    std::string extension = pathToUtf8(path.extension());
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    static const std::pair<const char*, MediaFormat> kExtensions[] = {
        {".jpg", MediaFormat::Jpeg}, {".jpeg", MediaFormat::Jpeg}, {".gif", MediaFormat::Gif},
        {".bmp", MediaFormat::Bmp},  {".png", MediaFormat::Png},   {".mp3", MediaFormat::Mp3},
        {".avi", MediaFormat::Avi},
    };
    for (const auto& entry : kExtensions) {
        if (extension == entry.first) {
            return entry.second;
        }
    }
    return std::nullopt;
}

// What a file given under a key may be, and how to say so.
struct MediaRule {
    std::vector<MediaFormat> formats;
    const char* description;
};

const MediaRule kPictureRule = {
    {MediaFormat::Jpeg, MediaFormat::Gif, MediaFormat::Bmp, MediaFormat::Png},
    "a picture must be a .jpg, .jpeg, .gif, .bmp or .png file"};
const MediaRule kSoundRule = {{MediaFormat::Mp3}, "a sound must be an .mp3 file"};
const MediaRule kVideoRule = {{MediaFormat::Avi}, "a video must be an .avi file"};

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

// Where each item of a question was given, so checks made after the whole file is read can
// still point at the right line (0: not given).
struct QuestionSource {
    int answer1 = 0;
    int answer2 = 0;
    bool answer1Taken = false;  // false when the value was already reported as unusable
    bool answer2Taken = false;
    int revealText = 0;
    int media = 0;
    int answerPicture = 0;
    std::string mediaName;
    std::string answerPictureName;
};

class SourceParser {
public:
    explicit SourceParser(const fs::path& baseDir) : baseDir_(baseDir) {}

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
        const auto inserted = keyLines_.emplace(key, line);
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
        keyLines_.clear();
    }

    void quizKey(int line, const std::string& key, std::string_view value)
    {
        QuizSource& quiz = result_.quiz;
        if (key == "code") {
            std::string code;
            if (takeText(line, value, code, true)) {
                quiz.codes.push_back(std::move(code));
                codeLines_.push_back(line);
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
            source.answer1 = line;
            source.answer1Taken = takeText(line, value, question.answer1);
        } else if (key == "answer2") {
            source.answer2 = line;
            source.answer2Taken = takeText(line, value, question.answer2);
        } else if (key == "caption") {
            takeText(line, value, question.caption);
        } else if (key == "reveal") {
            source.revealText = line;
            takeText(line, value, question.revealText);
        } else if (key == "media") {
            source.media = line;
            source.mediaName = std::string(trimBlanks(value));
        } else {
            source.answerPicture = line;
            source.answerPictureName = std::string(trimBlanks(value));
        }
    }

    // Converts a text value to Windows-1252 and checks that the player can hold it.
    // Codes are lines of their own resource, so only they may contain '|'.
    bool takeText(int line, std::string_view value, std::string& target, bool separatorAllowed = false)
    {
        for (const char c : value) {
            const unsigned char byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || byte == 0x7F) {
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
        if (!separatorAllowed && converted.find('|') != std::string::npos) {
            error(line, "'|' is not allowed in a text: the quiz record uses it to end each text");
            return false;
        }
        if (converted.size() > static_cast<std::size_t>(kMaxTextLength)) {
            error(line, "text is " + std::to_string(converted.size()) +
                            " bytes long in Windows-1252; the player keeps at most " +
                            std::to_string(kMaxTextLength));
            return false;
        }
        target = std::move(converted);
        return true;
    }

    void parseKind(int line, std::string_view value)
    {
        static const std::pair<const char*, QuizKind> kKinds[] = {
            {"text", QuizKind::Text},
            {"picture", QuizKind::Picture},
            {"sound", QuizKind::Sound},
            {"video", QuizKind::Video},
        };
        for (const auto& entry : kKinds) {
            if (value == entry.first) {
                result_.quiz.kind = entry.second;
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
            answersLine_ = line;
        } else {
            error(line, "'answers' must be 1 or 2, not " + inQuotes(value));
            answersKnown_ = false;
        }
    }

    void parseRevealMode(int line, std::string_view value)
    {
        if (value.size() == 1 && value[0] >= '0' && value[0] <= '4') {
            result_.quiz.revealMode = value[0] - '0';
        } else {
            error(line, "'reveal' must be 0 to 4, not " + inQuotes(value));
            revealKnown_ = false;
        }
    }

    void parseBackground(int line, std::string_view value)
    {
        std::array<int, 3> rgb{};
        if (!readColour(value, rgb)) {
            error(line, "'background' must be '#RRGGBB' or three numbers 0-255 such as '90 95 150', not " +
                            inQuotes(value));
            return;
        }
        result_.quiz.red = static_cast<std::uint8_t>(rgb[0]);
        result_.quiz.green = static_cast<std::uint8_t>(rgb[1]);
        result_.quiz.blue = static_cast<std::uint8_t>(rgb[2]);
    }

    static int hexDigit(char c)
    {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
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
        const std::optional<MediaFormat> expected = formatFromExtension(path);
        bool allowed = false;
        for (const MediaFormat format : rule.formats) {
            allowed = allowed || (expected && *expected == format);
        }
        if (!allowed) {
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
        unsigned char head[kSniffSize] = {};
        file.read(reinterpret_cast<char*>(head), kSniffSize);
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

    void checkQuestion(int number, QuizQuestion& question, const QuestionSource& source)
    {
        const QuizSource& quiz = result_.quiz;
        const std::string which = "question " + std::to_string(number);
        if (source.answer1 == 0) {
            error(question.line, which + " has no 'answer'");
        } else if (source.answer1Taken) {
            checkAnswer(source.answer1, question.answer1);
        }
        if (answersKnown_ && quiz.answersPerQuestion == 2) {
            if (source.answer2 == 0) {
                error(question.line, which + " has no 'answer2' although the quiz has 'answers: 2'");
            } else if (source.answer2Taken) {
                checkAnswer(source.answer2, question.answer2);
            }
        } else if (answersKnown_ && source.answer2 != 0) {
            error(source.answer2, "'answer2' needs 'answers: 2' in the quiz block");
        }
        if (revealKnown_ && source.revealText != 0 && quiz.revealMode < 2) {
            error(source.revealText, "the reveal text is never shown with 'reveal: " +
                                         std::to_string(quiz.revealMode) + "'; use 2, 3 or 4");
        }
        if (kindKnown_) {
            checkQuestionMedia(which, question, source);
        }
    }

    void checkQuestionMedia(const std::string& which, QuizQuestion& question, const QuestionSource& source)
    {
        const QuizSource& quiz = result_.quiz;
        if (quiz.kind == QuizKind::Text) {
            if (source.media != 0) {
                error(source.media, "a text quiz has no media; use 'kind: picture', 'sound' or 'video'");
            }
        } else if (source.media == 0) {
            error(question.line, which + " has no 'media'");
        } else {
            const MediaRule& rule = quiz.kind == QuizKind::Picture ? kPictureRule
                                    : quiz.kind == QuizKind::Sound ? kSoundRule
                                                                   : kVideoRule;
            question.media = checkMedia(source.media, source.mediaName, rule);
        }
        if (source.answerPicture == 0) {
            return;
        }
        if (quiz.kind != QuizKind::Picture || !revealKnown_ || (quiz.revealMode != 1 && quiz.revealMode != 3)) {
            error(source.answerPicture,
                  "an answer picture is shown only in a picture quiz with 'reveal: 1' or 'reveal: 3'");
            return;
        }
        question.answerPicture = checkMedia(source.answerPicture, source.answerPictureName, kPictureRule);
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
            error(answersLine_, "a text quiz shows one answer field per question; 'answers: 2' needs a "
                                "picture, sound or video quiz");
            answersKnown_ = false;
        }
        if (quiz.questions.empty()) {
            error(0, "the quiz has no question");
        }
        for (std::size_t i = 0; i < quiz.questions.size(); ++i) {
            checkQuestion(static_cast<int>(i + 1), quiz.questions[i], sources_[i]);
        }
        const std::size_t questionCount = quiz.questions.size();
        if (quiz.codes.size() > questionCount) {
            error(codeLines_[questionCount], "more codes (" + std::to_string(quiz.codes.size()) +
                                                 ") than questions (" + std::to_string(questionCount) + ")");
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
    std::map<std::string, int> keyLines_;  // keys of the current block and where they were given
    std::vector<int> codeLines_;
    bool titleGiven_ = false;
    bool kindKnown_ = false;
    bool kindGiven_ = false;  // given but not understood: already reported
    // Cleared when a value was not understood, so that checks depending on it do not pile up.
    bool answersKnown_ = true;
    bool revealKnown_ = true;
    int answersLine_ = 0;
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

std::optional<MediaFormat> detectMediaFormat(const unsigned char* bytes, std::size_t size)
{
    const auto startsWith = [&](const char* magic, std::size_t length, std::size_t offset = 0) {
        return size >= offset + length && std::memcmp(bytes + offset, magic, length) == 0;
    };
    if (startsWith("\x89PNG\r\n\x1A\n", 8)) return MediaFormat::Png;
    if (startsWith("\xFF\xD8\xFF", 3)) return MediaFormat::Jpeg;
    if (startsWith("GIF87a", 6) || startsWith("GIF89a", 6)) return MediaFormat::Gif;
    if (startsWith("BM", 2)) return MediaFormat::Bmp;
    if (startsWith("RIFF", 4) && startsWith("AVI ", 4, 8)) return MediaFormat::Avi;
    // An MP3 starts with an ID3 tag or directly with an MPEG audio frame (11 sync bits).
    if (startsWith("ID3", 3) || (size >= 2 && bytes[0] == 0xFF && (bytes[1] & 0xE0) == 0xE0)) {
        return MediaFormat::Mp3;
    }
    return std::nullopt;
}

const char* mediaFormatName(MediaFormat format)
{
    switch (format) {
    case MediaFormat::Jpeg: return "JPEG";
    case MediaFormat::Gif: return "GIF";
    case MediaFormat::Bmp: return "BMP";
    case MediaFormat::Png: return "PNG";
    case MediaFormat::Mp3: return "MP3";
    case MediaFormat::Avi: return "AVI";
    }
    return "?";
}

const char* quizKindKeyword(QuizKind kind)
{
    switch (kind) {
    case QuizKind::Text: return "text";
    case QuizKind::Picture: return "picture";
    case QuizKind::Sound: return "sound";
    case QuizKind::Video: return "video";
    }
    return "text";
}

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

bool writeFileBytes(const fs::path& path, const void* data, std::size_t size)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    file.close();
    return static_cast<bool>(file);
}

bool readFileBytes(const fs::path& path, std::vector<unsigned char>& bytes)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

fs::path pathFromUtf8(const std::string& utf8)
{
#if defined(__cpp_char8_t)
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
#else
    return fs::u8path(utf8);
#endif
}

std::string pathToUtf8(const fs::path& path)
{
#if defined(__cpp_char8_t)
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
#else
    return path.u8string();
#endif
}
