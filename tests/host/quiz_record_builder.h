// Decoded quiz records (resource 104) built independently of the parser, and a parsed state in one line.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "quiz/quiz_state.h"

class QuizRecordBuilder {
public:
    // The four header bytes: not interpreted, media byte, question count, answers per question.
    QuizRecordBuilder& header(unsigned first, unsigned media, unsigned count, unsigned answers)
    { return byte(first).byte(media).byte(count).byte(answers); }
    QuizRecordBuilder& byte(unsigned value) { return bytes_.push_back(static_cast<unsigned char>(value)), *this; }
    QuizRecordBuilder& text(const std::string& value)
    {
        bytes_.insert(bytes_.end(), value.begin(), value.end());
        return byte('|');
    }
    QuizRecordBuilder& texts(std::initializer_list<std::string> values)
    {
        for (const std::string& value : values) text(value);
        return *this;
    }
    QuizRecordBuilder& colour(unsigned red, unsigned green, unsigned blue) { return byte(red).byte(green).byte(blue); }
    const std::vector<unsigned char>& bytes() const { return bytes_; }

private:
    std::vector<unsigned char> bytes_;
};

// "kind countxanswers mMode r,g,b title|author|explanation|label1|label2:" then "answer1/answer2/caption/reveal"
// per question, with the list's links checked.
inline std::string quizSummary(const QuizState& s)
{
    const auto n = [](int number) { return std::to_string(number); };
    std::string out = n(s.mediaKind) + " " + n(s.questionCount) + "x" + n(s.answersPerQuestion) + " m" +
                      n(s.revealMode) + " " + n(s.backRed) + "," + n(s.backGreen) + "," + n(s.backBlue) + " " + s.title +
                      "|" + s.author + "|" + s.explanation + "|" + s.answerLabel1 + "|" + s.answerLabel2 + ":";
    const QuestionRecord* previous = nullptr;
    for (const QuestionRecord* r = s.firstQuestion; r != nullptr; previous = r, r = r->next)
        out += std::string(previous ? ";" : "") + (r->previous != previous ? "<bad back link>" : "") + r->answer1 +
               "/" + r->answer2 + "/" + r->caption + "/" + r->revealText;
    return s.lastQuestion == previous ? out : out + "<bad last>";
}
