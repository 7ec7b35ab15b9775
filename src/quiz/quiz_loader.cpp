// Reads the two compressed quiz resources, decodes them and fills the quiz state.
#include "quiz/quiz_loader.h"

#include "base/message_box.h"
#include "base/quiz_resources.h"
#include "quiz/lzw.h"
#include "quiz/quiz_parse.h"
#include "quiz/quiz_state_win.h"

namespace {

constexpr const char* kCaption = "Enigo";

struct ResourceBytes {
    const unsigned char* data = nullptr;
    DWORD size = 0;
};

// A missing or unloadable resource reads as size 0.
ResourceBytes findPatch(HMODULE module, int id)
{
    ResourceBytes bytes;
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), kQuizRecordType);
    if (!info)
        return bytes;
    HGLOBAL loaded = LoadResource(module, info);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return bytes;
    bytes.data = static_cast<const unsigned char*>(data);
    bytes.size = SizeofResource(module, info);
    return bytes;
}

// Decodes one resource; only a missing output buffer earns the decoder's own message.
bool decodePatch(const ResourceBytes& bytes, LzwOutput& output)
{
    int status = lzwDecode(bytes.data, bytes.size, output);
    if (status == kLzwOutOfMemory && output.outputBufferFailed)
        showOutOfMemory();
    return status == kLzwOk;
}

}  // namespace

void setBuiltInQuiz(QuizState& state)
{
    copyText(state.title, "Nom du enigo");
    copyText(state.author, "Createur enigo");
    copyText(state.explanation, "Explications du enigo");
    copyText(state.answerLabel1, "TEST");
    copyText(state.answerLabel2, "TEST");
    state.questionCount = 7;
    state.answersPerQuestion = 1;
    state.revealMode = kRevealLabelAndPicture;
    state.mediaKind = kMediaPicture;
    state.backRed = 53;
    state.backGreen = 203;
    state.backBlue = 163;
    replaceBackBrush(state);
    // Only two records for seven questions: numbers 3 to 7 resolve to the second one.
    appendQuestion(state, "test", "test", "emplacement");
    appendQuestion(state, "test", "test", "emplacement");
}

void loadQuiz(QuizState& state, HMODULE module)
{
    ResourceBytes quiz = findPatch(module, kQuizRecordId);
    if (quiz.size == 0) {
        showMessage(nullptr,
                    "Reponses non trouv\xE9"
                    "es",
                    kCaption, MB_OK);
        setBuiltInQuiz(state);
        return;
    }

    LzwOutput decoded;
    // A truncated record takes the same road as a stream that does not decode.
    if (!decodePatch(quiz, decoded) || !parseQuizResource(state, decoded.bytes.data(), decoded.bytes.size())) {
        showMessage(nullptr,
                    "Erreur dans le d\xE9"
                    "cryptage des reponses",
                    kCaption, MB_OK);
        state.questionCount = 0;
        return;
    }
    replaceBackBrush(state);

    LzwOutput codes;
    ResourceBytes codeBytes = findPatch(module, kCodeRecordId);
    if (!decodePatch(codeBytes, codes) || !parseCodeResource(state, codes.bytes.data(), codes.bytes.size()))
        showMessage(nullptr,
                    "Erreur dans le d\xE9"
                    "cryptage des codes",
                    kCaption, MB_OK);
}
