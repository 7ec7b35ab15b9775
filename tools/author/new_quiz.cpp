// A first quiz from a folder of pictures, sounds or videos, for authors who start from their files.
#include "new_quiz.h"

#include <algorithm>
#include <map>

#include "common/cp1252.h"
#include "common/media_format.h"
#include "quiz/quiz_state.h"

namespace {

const char* const kAnswerPictureMark = ".reponse";

std::string withoutExtension(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string asciiLower(std::string text)
{
    for (char& c : text) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return text;
}

// The name an answer picture goes with ("tour" for "tour.reponse.jpg", in lower case); empty for any other file.
std::string answerPictureKey(const std::string& fileName)
{
    const std::string stem = asciiLower(withoutExtension(fileName));
    const std::size_t mark = std::char_traits<char>::length(kAnswerPictureMark);
    if (stem.size() <= mark || stem.compare(stem.size() - mark, mark, kAnswerPictureMark) != 0) {
        return std::string();
    }
    return stem.substr(0, stem.size() - mark);
}

std::optional<QuizKind> kindOfFile(const std::string& fileName)
{
    const std::optional<MediaFormat> format = mediaFormatOfName(fileName);
    if (!format) {
        return std::nullopt;
    }
    for (const QuizKind kind : {QuizKind::Picture, QuizKind::Sound, QuizKind::Video}) {
        if (quizKindAccepts(kind, *format)) {
            return kind;
        }
    }
    return std::nullopt;
}

// Something to edit rather than an empty quiz: the author sees at once what a question looks like.
void addExampleQuestions(NewQuiz& quiz)
{
    quiz.questions = {{"", "", "PARIS", "Quelle est la capitale de la France ?"},
                      {"", "", "HUIT", "Combien de pattes a une araignée ?"},
                      {"", "", "LOIRE", "Quel est le plus long fleuve de France ?"}};
}

const char* explanationFor(QuizKind kind)
{
    switch (kind) {
    case QuizKind::Picture:
        return "Nommez chaque image, puis appuyez sur Entrée.";
    case QuizKind::Sound:
        return "Écoutez chaque son et tapez ce que vous reconnaissez, puis appuyez sur Entrée.";
    case QuizKind::Video:
        return "Regardez chaque vidéo et tapez ce que vous reconnaissez, puis appuyez sur Entrée.";
    case QuizKind::Text:
        break;
    }
    return "Répondez à chaque question, puis appuyez sur Entrée.";
}

}  // namespace

bool answerFromFileName(const std::string& fileName, std::string& answer, std::string& error)
{
    std::string bytes;
    if (!utf8ToCp1252(withoutExtension(fileName), bytes, error)) {
        error = "'" + fileName + "': " + error + ": rename the file";
        return false;
    }
    std::string cp1252;
    for (const char c : bytes) {
        const bool blank = c == ' ' || c == '_' || c == '-';
        if (!blank) {
            cp1252 += static_cast<char>(cp1252Upper(static_cast<unsigned char>(c)));
        } else if (!cp1252.empty() && cp1252.back() != ' ') {
            cp1252 += ' ';
        }
    }
    if (!cp1252.empty() && cp1252.back() == ' ') {
        cp1252.pop_back();
    }
    if (cp1252.empty()) {
        error = "'" + fileName + "': its name gives an empty answer: rename the file";
        return false;
    }
    if (cp1252.size() > static_cast<std::size_t>(kMaxTextLength)) {
        error = "'" + fileName + "': its name gives an answer of " + std::to_string(cp1252.size()) +
                " characters, more than the player holds (" + std::to_string(kMaxTextLength) + "): shorten it";
        return false;
    }
    answer = cp1252ToUtf8(cp1252);
    return true;
}

NewQuiz planNewQuiz(const std::string& folderName, std::vector<std::string> fileNames)
{
    NewQuiz quiz;
    std::string error, unused;
    quiz.title = utf8ToCp1252(folderName, unused, error) && !folderName.empty() ? folderName : "Mon quiz";
    std::sort(fileNames.begin(), fileNames.end());
    std::map<QuizKind, std::size_t> counts;
    std::map<std::string, std::string> answerPictures;
    for (const std::string& name : fileNames) {
        if (const std::optional<QuizKind> kind = kindOfFile(name)) {
            const std::string key = answerPictureKey(name);
            if (*kind == QuizKind::Picture && !key.empty()) {
                answerPictures.emplace(key, name);
            } else {
                ++counts[*kind];
            }
        }
    }
    for (const QuizKind kind : {QuizKind::Picture, QuizKind::Sound, QuizKind::Video}) {
        if (counts[kind] > counts[quiz.kind]) {
            quiz.kind = kind;
        }
    }
    if (quiz.kind == QuizKind::Text) {
        addExampleQuestions(quiz);
        return quiz;
    }
    for (const std::string& name : fileNames) {
        if (kindOfFile(name) != quiz.kind || (quiz.kind == QuizKind::Picture && !answerPictureKey(name).empty())) {
            continue;
        }
        NewQuestion question;
        question.media = name;
        if (!answerFromFileName(name, question.answer, error)) {
            quiz.errors.push_back(error);
        }
        const auto picture = answerPictures.find(asciiLower(withoutExtension(name)));
        if (picture != answerPictures.end()) {
            question.answerPicture = picture->second;
            answerPictures.erase(picture);  // one answer picture for one question
        }
        quiz.questions.push_back(std::move(question));
    }
    if (quiz.questions.size() > static_cast<std::size_t>(kMaxQuestions)) {
        quiz.errors.push_back(std::to_string(quiz.questions.size()) + " " + quizKindKeyword(quiz.kind) +
                              " files, one question each: a quiz holds at most " + std::to_string(kMaxQuestions) +
                              " questions; share them between several folders");
    }
    return quiz;
}

std::string newQuizSource(const NewQuiz& quiz)
{
    const bool answerPictures =
        std::any_of(quiz.questions.begin(), quiz.questions.end(),
                    [](const NewQuestion& question) { return !question.answerPicture.empty(); });
    std::string text =
        "# Quiz préparé par enigo-auteur à partir des fichiers du dossier : modifiez-le à votre guise.\n"
        "# Une ligne qui commence par # est un commentaire. Chaque réglage s'écrit « clé: valeur ».\n"
        "# Pour en faire le quiz, déposez le dossier sur enigo-auteur.exe. Le guide : guide-auteur.md.\n\n"
        "# Le titre, en haut de la fenêtre du quiz.\ntitle: " +
        quiz.title +
        "\n# Votre nom, affiché après « Par : ».\nauthor:\n"
        "# Une ligne d'explication sous le titre.\nexplanation: " +
        explanationFor(quiz.kind) +
        "\n# La sorte de quiz : text (questions écrites), picture (images), sound (sons .mp3), video (vidéos .avi).\n"
        "kind: " +
        quizKindKeyword(quiz.kind) +
        "\n# Les champs de réponse par question : 1, ou 2 (chaque question a alors aussi « answer2: »).\nanswers: 1"
        "\n# Ce que montre une question résolue : 0 rien, 1 son image réponse (fichier NOM.reponse.jpg),\n"
        "# 2 son texte « reveal: », 3 les deux, 4 tous les textes une fois tout résolu.\nreveal: " +
        (answerPictures ? "1" : "0") +
        "\n# La couleur du fond : rouge, vert et bleu, de 0 à 255 chacun.\nbackground: 90 95 150\n\n"
        "# Les codes : le n-ième code s'affiche quand n questions sont résolues (un mot de passe,\n"
        "# la suite d'une chasse au trésor...). Écrivez-les après « code: » ; vides, rien ne s'affiche.\n";
    for (std::size_t i = 0; i < quiz.questions.size(); ++i) {
        text += "code: \n";
    }
    text += quiz.kind == QuizKind::Text
                ? "\n# Des exemples à remplacer : « caption: » est la question, « answer: » la réponse attendue,\n"
                : "\n# Une question par fichier. « media: » est le fichier montré, « answer: » la réponse attendue,\n";
    text += "# en capitales : le joueur peut la taper en minuscules, mais les accents comptent.\n";
    if (answerPictures) {
        text += "# « answer-picture: » est l'image montrée à la place du fichier une fois la question résolue.\n";
    }
    for (std::size_t i = 0; i < quiz.questions.size(); ++i) {
        const NewQuestion& question = quiz.questions[i];
        text += "\nquestion: " + std::to_string(i + 1) + "\n";
        if (!question.caption.empty()) {
            text += "caption: " + question.caption + "\n";
        }
        if (!question.media.empty()) {
            text += "media: " + question.media + "\n";
        }
        if (!question.answerPicture.empty()) {
            text += "answer-picture: " + question.answerPicture + "\n";
        }
        text += "answer: " + question.answer + "\n";
    }
    return text;
}
