// Decoded quiz records (resource 104) built from the record layout, independently of the parser.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

class QuizRecordBuilder {
public:
    // The four header bytes: not interpreted, media byte, question count, answers per question.
    QuizRecordBuilder& header(unsigned first, unsigned media, unsigned count, unsigned answers)
    {
        return byte(first).byte(media).byte(count).byte(answers);
    }
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

// A text whose bytes vary, so a cut or a copy from the wrong place shows.
inline std::string patternText(std::size_t length, char first = 'a')
{
    std::string text(length, ' ');
    for (std::size_t i = 0; i < length; ++i) text[i] = static_cast<char>(first + static_cast<char>(i % 26));
    return text;
}
