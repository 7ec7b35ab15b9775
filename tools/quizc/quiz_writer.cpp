// Builds the byte records of the quiz and its codes, names the media files and writes the .rc fragment.
#include "quiz_writer.h"

#include "common/media_format.h"
#include "lzw_encode.h"
#include "quiz/lzw.h"
#include "quiz/quiz_state.h"

const char* const kQuizRecordFile = "quiz104.bin";
const char* const kCodeRecordFile = "quiz105.bin";
const char* const kResourceScriptFile = "quiz.rc";

namespace {

constexpr std::size_t kTextRoom = kMaxTextLength + 1;  // longest text and its '|'

// The largest record the parser can let through (four header bytes, five header texts, two answers
// and a caption per question, reveal mode 3's text and empty second text, mode and colour bytes)
// must still decode within the player's output buffer; so no size check is needed at run time.
static_assert(4 + 5 * kTextRoom + kMaxQuestions * (3 * kTextRoom + kTextRoom + 1) + 1 + 3 <= kLzwMaxOutput,
              "a quiz record could outgrow the player's decoder");

void appendText(std::vector<unsigned char>& out, const std::string& text)
{
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(static_cast<unsigned char>(kRecordTextEnd));
}

MediaResource resourceFor(const char* prefix, int id, const MediaFile& file)
{
    return {id, storedAsRawData(file.format), prefix + std::to_string(id) + mediaFormatExtension(file.format),
            file.path};
}

std::vector<unsigned char> compress(const std::vector<unsigned char>& bytes)
{
    return lzwEncode(bytes.data(), bytes.size());
}

}  // namespace

bool storedAsRawData(MediaFormat format)
{
    return format == MediaFormat::Png;
}

std::vector<unsigned char> buildQuizRecord(const QuizSource& quiz)
{
    std::vector<unsigned char> out;
    out.push_back(0);
    out.push_back(static_cast<unsigned char>(static_cast<int>(quiz.kind) + 1));
    out.push_back(static_cast<unsigned char>(quiz.questions.size()));
    out.push_back(static_cast<unsigned char>(quiz.answersPerQuestion));
    for (const std::string* text :
         {&quiz.title, &quiz.author, &quiz.explanation, &quiz.answerLabel1, &quiz.answerLabel2}) {
        appendText(out, *text);
    }
    for (const QuizQuestion& question : quiz.questions) {
        appendText(out, question.answer1);
        if (quiz.answersPerQuestion == 2) {
            appendText(out, question.answer2);
        }
        appendText(out, question.caption);
    }
    out.push_back(static_cast<unsigned char>(quiz.revealMode));
    if (revealShowsTexts(quiz.revealMode)) {
        for (const QuizQuestion& question : quiz.questions) {
            appendText(out, question.revealText);
            // Mode 3 carries a second text per question that the player skips.
            if (quiz.revealMode == 3) {
                appendText(out, std::string());
            }
        }
    }
    out.push_back(quiz.red);
    out.push_back(quiz.green);
    out.push_back(quiz.blue);
    return out;
}

std::vector<unsigned char> buildCodeRecord(const QuizSource& quiz)
{
    std::vector<unsigned char> out;
    for (std::size_t i = 0; i < quiz.questions.size(); ++i) {
        if (i < quiz.codes.size()) {
            out.insert(out.end(), quiz.codes[i].begin(), quiz.codes[i].end());
        }
        out.push_back('\r');
        out.push_back('\n');
    }
    return out;
}

std::vector<MediaResource> planMediaResources(const QuizSource& quiz)
{
    std::vector<MediaResource> media;
    for (std::size_t i = 0; i < quiz.questions.size(); ++i) {
        if (quiz.questions[i].media) {
            media.push_back(resourceFor("media", cardResourceId(static_cast<int>(i) + 1), *quiz.questions[i].media));
        }
    }
    for (std::size_t i = 0; i < quiz.questions.size(); ++i) {
        if (quiz.questions[i].answerPicture) {
            media.push_back(
                resourceFor("answer", answerPictureId(static_cast<int>(i) + 1), *quiz.questions[i].answerPicture));
        }
    }
    return media;
}

std::string buildResourceScript(const std::vector<MediaResource>& media)
{
    std::string script = "// Quiz resources made by quizc from the quiz source; regenerated on every build.\n";
    const auto line = [&script](int id, const char* type, const std::string& file) {
        script += std::to_string(id) + " " + type + " \"" + file + "\"\n";
    };
    line(kQuizRecordId, kQuizRecordType, kQuizRecordFile);
    line(kCodeRecordId, kQuizRecordType, kCodeRecordFile);
    for (const MediaResource& resource : media) {
        // RCDATA: the resource compiler's name for raw data (kRawDataResourceType).
        line(resource.id, resource.rawData ? "RCDATA" : kMediaResourceType, resource.fileName);
    }
    return script;
}

CompiledQuiz compileQuiz(const QuizSource& quiz)
{
    CompiledQuiz compiled;
    compiled.quizRecord = compress(buildQuizRecord(quiz));
    compiled.codeRecord = compress(buildCodeRecord(quiz));
    compiled.media = planMediaResources(quiz);
    compiled.resourceScript = buildResourceScript(compiled.media);
    return compiled;
}
