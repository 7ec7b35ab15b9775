// Summary layout: a few settings lines, then a table with one row per question. Texts stay in
// Windows-1252 (one byte, one column) until the whole summary is converted to UTF-8.
#include "summary.h"

#include <cstdio>

#include "common/cp1252.h"

namespace {

constexpr std::size_t kAnswerColumn = 20;
constexpr std::size_t kMediaColumn = 21;
constexpr std::size_t kLastColumn = 30;

const char* kindName(QuizKind kind)
{
    switch (kind) {
    case QuizKind::Text:
        return "text quiz (numbered list with captions)";
    case QuizKind::Picture:
        return "picture quiz (cards of three per row)";
    case QuizKind::Sound:
        return "sound quiz (cards with play and stop buttons)";
    case QuizKind::Video:
        return "video quiz (cards with play and stop buttons)";
    }
    return "?";
}

const char* revealName(int mode)
{
    switch (mode) {
    case 0:
        return "nothing is revealed";
    case 1:
        return "a solved question shows its answer picture";
    case 2:
        return "a solved question shows its reveal text";
    case 3:
        return "a solved question shows its reveal text and answer picture";
    case 4:
        return "all reveal texts once every question is solved";
    }
    return "?";
}

// Cut to width columns with a trailing '~' when cut, then padded with blanks to width.
std::string column(const std::string& text, std::size_t width)
{
    if (text.size() > width) {
        return text.substr(0, width - 1) + "~ ";
    }
    return text + std::string(width - text.size() + 1, ' ');
}

std::string mediaCell(const std::optional<MediaFacts>& facts)
{
    return facts ? describeMedia(facts->info, facts->size) : "-";
}

void line(std::string& out, const char* label, const std::string& value)
{
    std::string text = column(label, 12) + value;
    while (text.back() == ' ') {
        text.pop_back();
    }
    out += text + "\n";
}

}  // namespace

MediaFacts factsOf(const std::vector<unsigned char>& bytes)
{
    return {bytes.size(), inspectMedia(bytes.data(), bytes.size())};
}

std::string summariseQuiz(const QuizFacts& facts)
{
    const QuizSource& quiz = facts.quiz;
    std::string out;
    line(out, "Title", quiz.title);
    line(out, "Author", quiz.author);
    line(out, "Explanation", quiz.explanation);
    line(out, "Kind", kindName(quiz.kind));
    std::string questions = std::to_string(quiz.questions.size()) + ", " + std::to_string(quiz.answersPerQuestion) +
                            " answer" + (quiz.answersPerQuestion == 2 ? "s" : "") + " each";
    if (quiz.answersPerQuestion == 2) {
        questions += " (labels '" + quiz.answerLabel1 + "' and '" + quiz.answerLabel2 + "')";
    }
    line(out, "Questions", questions);
    line(out, "Reveal", std::to_string(quiz.revealMode) + ": " + revealName(quiz.revealMode));
    char colour[48];
    std::snprintf(colour, sizeof colour, "%d %d %d (#%02X%02X%02X)", quiz.red, quiz.green, quiz.blue, quiz.red,
                  quiz.green, quiz.blue);
    line(out, "Background", colour);
    std::size_t given = 0;
    std::string codes;
    for (const std::string& code : quiz.codes) {
        given += code.empty() ? 0 : 1;
        codes += " " + (code.empty() ? std::string("-") : code);
    }
    line(out, "Codes", std::to_string(given) + " of " + std::to_string(quiz.questions.size()) + ":" + codes);

    std::size_t mediaCount = 0;
    std::size_t mediaBytes = 0;
    for (const auto* list : {&facts.cards, &facts.answers}) {
        for (const std::optional<MediaFacts>& media : *list) {
            if (media) {
                ++mediaCount;
                mediaBytes += media->size;
            }
        }
    }
    line(out, "Media",
         std::to_string(mediaCount) + " file" + (mediaCount == 1 ? "" : "s") + ", " + describeSize(mediaBytes));

    const bool text = quiz.kind == QuizKind::Text;
    const bool answerPictures = quiz.kind == QuizKind::Picture && revealShowsAnswerPictures(quiz.revealMode);
    const bool revealTexts = !text && revealShowsTexts(quiz.revealMode);
    std::string heading = column(" #", 3) + column("answer", kAnswerColumn) +
                          (text ? "" : column("media", kMediaColumn)) +
                          (answerPictures ? column("answer picture", kMediaColumn) : "") +
                          (text          ? "caption"
                           : revealTexts ? "reveal text"
                                         : "");
    while (heading.back() == ' ') {
        heading.pop_back();
    }
    out += "\n" + heading + "\n";
    for (std::size_t i = 0; i < quiz.questions.size(); ++i) {
        const QuizQuestion& question = quiz.questions[i];
        const std::string number = std::to_string(i + 1);
        std::string row = column(std::string(number.size() < 2 ? 1 : 0, ' ') + number, 3);
        row += column(quiz.answersPerQuestion == 2 ? question.answer1 + " / " + question.answer2 : question.answer1,
                      kAnswerColumn);
        if (!text) {
            row += column(mediaCell(i < facts.cards.size() ? facts.cards[i] : std::nullopt), kMediaColumn);
        }
        if (answerPictures) {
            row += column(mediaCell(i < facts.answers.size() ? facts.answers[i] : std::nullopt), kMediaColumn);
        }
        const std::string& last = text ? question.caption : revealTexts ? question.revealText : std::string();
        row += last.size() > kLastColumn ? last.substr(0, kLastColumn - 1) + "~" : last;
        while (!row.empty() && row.back() == ' ') {
            row.pop_back();
        }
        out += row + "\n";
    }
    return cp1252ToUtf8(out);
}
