// Quiz resources in and out: records compressed by the compiler, decoded by the player's own
// decoder and parsers on the way back, so extraction sees exactly what the player sees.
#include "resource_set.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

#include "common/cp1252.h"
#include "common/file_io.h"
#include "quiz/lzw.h"
#include "quiz/quiz_parse.h"
#include "quiz/quiz_state.h"

namespace fs = std::filesystem;

namespace {

using Severity = Diagnostic::Severity;

// The parsed state owns its question list; this releases it with the state.
struct StateDeleter {
    void operator()(QuizState* state) const
    {
        releaseQuestions(*state);
        delete state;
    }
};
using StatePointer = std::unique_ptr<QuizState, StateDeleter>;

const MediaItem* findItem(const QuizResourceSet& set, int id, bool rawData)
{
    for (const MediaItem& item : set.media) {
        if (item.id == id && item.rawData == rawData) {
            return &item;
        }
    }
    return nullptr;
}

class Unpacker {
public:
    Unpacker(const QuizResourceSet& set, const fs::path& folder, UnpackedQuiz& out)
        : set_(set)
        , folder_(folder)
        , out_(out)
    {
    }

    void run()
    {
        std::vector<unsigned char> record;
        if (!decode(set_.quizRecord, kQuizRecordId, "quiz record", record) || !readRecord(record)) {
            return;
        }
        readCodes();
        for (std::size_t i = 0; i < out_.quiz.questions.size(); ++i) {
            takeCardMedia(static_cast<int>(i) + 1);
            takeAnswerPicture(static_cast<int>(i) + 1);
        }
        reportStrayMedia();
    }

private:
    void fail(std::string message) { out_.diagnostics.push_back({Severity::Error, 0, std::move(message)}); }
    void warn(std::string message) { out_.diagnostics.push_back({Severity::Warning, 0, std::move(message)}); }

    bool decode(const std::vector<unsigned char>& stored, int id, const char* what, std::vector<unsigned char>& bytes)
    {
        if (stored.empty()) {
            fail(std::string("no ") + what + " (resource " + std::to_string(id) + " of type " + kQuizRecordType +
                 "): not a quiz executable");
            return false;
        }
        LzwOutput output;
        const int status = lzwDecode(stored.data(), stored.size(), output);
        if (status != kLzwOk) {
            fail(std::string("the ") + what + " (resource " + std::to_string(id) + ") does not decode (status " +
                 std::to_string(status) + ")");
            return false;
        }
        bytes = std::move(output.bytes);
        return true;
    }

    // Header bytes are checked here, before the player's parser caps or reinterprets them.
    bool readRecord(const std::vector<unsigned char>& record)
    {
        if (record.size() < 4) {
            fail("the quiz record ends within its header");
            return false;
        }
        // The media byte is the player's mediaKind plus one.
        if (record[1] < kMediaText + 1 || record[1] > kMediaVideo + 1) {
            fail("the quiz record names no quiz kind the player knows (media byte " + std::to_string(record[1]) + ")");
            return false;
        }
        if (record[2] < 1 || record[2] > kMaxQuestions) {
            fail("the quiz record has " + std::to_string(record[2]) + " questions; a quiz has 1 to " +
                 std::to_string(kMaxQuestions));
            return false;
        }
        if (record[3] != 1 && record[3] != 2) {
            fail("the quiz record has " + std::to_string(record[3]) + " answers per question; a quiz has 1 or 2");
            return false;
        }
        state_.reset(new QuizState);
        resetQuizData(*state_);
        if (parseQuizResource(*state_, record.data(), record.size()) != 1) {
            fail("the quiz record ends before its last text or its colour");
            return false;
        }
        if (state_->revealMode > kLastRevealMode) {
            fail("the quiz record has reveal mode " + std::to_string(state_->revealMode) + "; a quiz has 0 to " +
                 std::to_string(kLastRevealMode));
            return false;
        }
        QuizSource& quiz = out_.quiz;
        quiz.kind = static_cast<QuizKind>(state_->mediaKind);
        quiz.answersPerQuestion = state_->answersPerQuestion;
        quiz.revealMode = state_->revealMode;
        quiz.red = state_->backRed;
        quiz.green = state_->backGreen;
        quiz.blue = state_->backBlue;
        quiz.title = takeText(state_->title, "the title");
        quiz.author = takeText(state_->author, "the author");
        quiz.explanation = takeText(state_->explanation, "the explanation");
        quiz.answerLabel1 = takeText(state_->answerLabel1, "label1");
        quiz.answerLabel2 = takeText(state_->answerLabel2, "label2");
        if (quiz.kind == QuizKind::Text && quiz.answersPerQuestion == 2) {
            fail("a text quiz with two answers per question: its list has one answer field per question");
        }
        for (int n = 1; n <= state_->questionCount; ++n) {
            const QuestionRecord* record = questionByNumber(*state_, n);
            const std::string which = "question " + std::to_string(n);
            QuizQuestion question;
            question.answer1 = takeText(record->answer1, "the answer of " + which);
            if (quiz.answersPerQuestion == 2) {
                question.answer2 = takeText(record->answer2, "the second answer of " + which);
            }
            question.caption = takeText(record->caption, "the caption of " + which);
            question.revealText = takeText(record->revealText, "the reveal text of " + which);
            if (question.answer1.empty() || (quiz.answersPerQuestion == 2 && question.answer2.empty())) {
                fail(which + " has an empty answer, which a quiz source cannot hold");
            }
            quiz.questions.push_back(std::move(question));
        }
        return true;
    }

    // A text the source format cannot hold stops the extraction: the folder would not make a quiz.
    std::string takeText(const char* text, const std::string& what)
    {
        const std::string value(text);
        for (const char c : value) {
            const unsigned char byte = static_cast<unsigned char>(c);
            if (isControlCharacter(byte) || !cp1252Defines(byte)) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "0x%02X", byte);
                fail(what + " holds the byte " + hex + ", which a quiz source cannot express");
                break;
            }
        }
        return value;
    }

    void readCodes()
    {
        QuizSource& quiz = out_.quiz;
        quiz.codes.assign(quiz.questions.size(), std::string());
        LzwOutput output;
        if (set_.codeRecord.empty() || lzwDecode(set_.codeRecord.data(), set_.codeRecord.size(), output) != kLzwOk ||
            parseCodeResource(*state_, output.bytes.data(), output.bytes.size()) != 1) {
            warn("the codes (resource " + std::to_string(kCodeRecordId) +
                 ") are missing or do not decode: the player shows none; they are left empty");
            return;
        }
        for (std::size_t i = 0; i < quiz.codes.size(); ++i) {
            quiz.codes[i] = takeText(state_->codes[i], "code " + std::to_string(i + 1));
        }
    }

    // The player looks under the media type first and tries raw data only for a PNG.
    void takeCardMedia(int n)
    {
        QuizSource& quiz = out_.quiz;
        const int id = cardResourceId(n);
        const MediaItem* underImg = findItem(set_, id, false);
        const MediaItem* raw = findItem(set_, id, true);
        if (quiz.kind == QuizKind::Text) {
            return;
        }
        const MediaItem* item = underImg ? underImg : (quiz.kind == QuizKind::Picture ? raw : nullptr);
        if (!item) {
            fail("question " + std::to_string(n) + " has no " + quizKindKeyword(quiz.kind) + " (resource " +
                 std::to_string(id) + ")");
            return;
        }
        quiz.questions[static_cast<std::size_t>(n - 1)].media = takeFile(*item, "question", n, quiz.kind);
    }

    void takeAnswerPicture(int n)
    {
        QuizSource& quiz = out_.quiz;
        const int id = answerPictureId(n);
        const MediaItem* item = findItem(set_, id, false);
        if (!item) {
            item = findItem(set_, id, true);
        }
        if (!item) {
            return;
        }
        if (quiz.kind != QuizKind::Picture || !revealShowsAnswerPictures(quiz.revealMode)) {
            warn("answer picture " + std::to_string(id) + " is never shown by this quiz; it is left out");
            return;
        }
        quiz.questions[static_cast<std::size_t>(n - 1)].answerPicture = takeFile(*item, "answer", n, QuizKind::Picture);
    }

    // kind: the quiz kind whose files this resource may hold (answer pictures: always pictures).
    std::optional<MediaFile> takeFile(const MediaItem& item, const char* prefix, int n, QuizKind kind)
    {
        const std::optional<MediaFormat> format = detectMediaFormat(item.bytes.data(), item.bytes.size());
        const std::string resource = "resource " + std::to_string(item.id);
        if (!format || !quizKindAccepts(kind, *format)) {
            fail(resource + " holds no " + quizKindKeyword(kind) + " file that a quiz source accepts");
            return std::nullopt;
        }
        if (item.rawData != storedAsRawData(*format)) {
            warn(resource + " is a " + mediaFormatName(*format) + " stored under " +
                 (item.rawData ? "raw data" : kMediaResourceType) + "; a quiz made from the source stores it under " +
                 (item.rawData ? kMediaResourceType : "raw data"));
        }
        char name[32];
        std::snprintf(name, sizeof name, "%s%02d%s", prefix, n, mediaFormatExtension(*format));
        out_.files.push_back({name, &item.bytes});
        return MediaFile{folder_ / name, *format};
    }

    void reportStrayMedia()
    {
        const int count = static_cast<int>(out_.quiz.questions.size());
        for (const MediaItem& item : set_.media) {
            const int n = item.id > kAnswerPictureBase ? item.id - kAnswerPictureBase : item.id - kCardResourceBase;
            const bool cardOfText = item.id < kAnswerPictureBase && out_.quiz.kind == QuizKind::Text;
            const bool shadowed = item.rawData && findItem(set_, item.id, false);
            if (n < 1 || n > count || cardOfText || shadowed) {
                warn("resource " + std::to_string(item.id) + " is never shown by this quiz; it is left out");
            }
        }
    }

    const QuizResourceSet& set_;
    fs::path folder_;
    UnpackedQuiz& out_;
    StatePointer state_;
};

std::vector<unsigned char> decoded(const std::vector<unsigned char>& stored)
{
    LzwOutput output;
    if (stored.empty() || lzwDecode(stored.data(), stored.size(), output) != kLzwOk) {
        return {};
    }
    return output.bytes;
}

}  // namespace

bool buildResourceSet(const CompiledQuiz& compiled, QuizResourceSet& set, std::string& error)
{
    set.quizRecord = compiled.quizRecord;
    set.codeRecord = compiled.codeRecord;
    set.media.clear();
    for (const MediaResource& resource : compiled.media) {
        MediaItem item{resource.id, resource.rawData, {}};
        if (!readFileBytes(resource.source, item.bytes)) {
            error = "cannot read '" + pathToUtf8(resource.source) + "'";
            return false;
        }
        set.media.push_back(std::move(item));
    }
    return true;
}

bool UnpackedQuiz::hasErrors() const
{
    return std::any_of(diagnostics.begin(), diagnostics.end(),
                       [](const Diagnostic& d) { return d.severity == Severity::Error; });
}

UnpackedQuiz unpackResourceSet(const QuizResourceSet& set, const fs::path& folder)
{
    UnpackedQuiz out;
    Unpacker(set, folder, out).run();
    return out;
}

std::vector<std::string> differencesFromSource(const QuizResourceSet& set, const QuizSource& quiz)
{
    std::vector<std::string> differences;
    if (decoded(set.quizRecord) != buildQuizRecord(quiz)) {
        differences.push_back("the quiz record (resource " + std::to_string(kQuizRecordId) + ")");
    }
    if (decoded(set.codeRecord) != buildCodeRecord(quiz)) {
        differences.push_back("the codes (resource " + std::to_string(kCodeRecordId) + ")");
    }
    QuizResourceSet rebuilt;
    std::string ignored;
    if (!buildResourceSet(compileQuiz(quiz), rebuilt, ignored)) {
        differences.push_back("the media files (one cannot be read)");
        return differences;
    }
    using Key = std::pair<int, bool>;
    std::map<Key, const std::vector<unsigned char>*> before;
    std::map<Key, const std::vector<unsigned char>*> after;
    for (const MediaItem& item : set.media) {
        before[{item.id, item.rawData}] = &item.bytes;
    }
    for (const MediaItem& item : rebuilt.media) {
        after[{item.id, item.rawData}] = &item.bytes;
    }
    for (const auto& entry : before) {
        const auto match = after.find(entry.first);
        if (match == after.end()) {
            differences.push_back("resource " + std::to_string(entry.first.first) + " (left out)");
        } else if (*match->second != *entry.second) {
            differences.push_back("resource " + std::to_string(entry.first.first) + " (other bytes)");
        }
    }
    for (const auto& entry : after) {
        if (!before.count(entry.first)) {
            differences.push_back("resource " + std::to_string(entry.first.first) + " (stored differently)");
        }
    }
    return differences;
}
