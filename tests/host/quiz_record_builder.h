// Test-side producer of decoded quiz records (resource 104), written from the record layout,
// independently of the parser: bytes and '|'-terminated texts in the order given.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class QuizRecordBuilder {
public:
    // The four header bytes: not interpreted, media byte, question count, answers per question.
    QuizRecordBuilder& header(unsigned first, unsigned media, unsigned count, unsigned answers)
    {
        return byte(first).byte(media).byte(count).byte(answers);
    }
    QuizRecordBuilder& byte(unsigned value)
    {
        bytes_.push_back(static_cast<unsigned char>(value));
        return *this;
    }
    // One text and its '|'.
    QuizRecordBuilder& text(const std::string& value)
    {
        bytes_.insert(bytes_.end(), value.begin(), value.end());
        bytes_.push_back('|');
        return *this;
    }
    QuizRecordBuilder& texts(std::initializer_list<std::string> values)
    {
        for (const std::string& value : values) {
            text(value);
        }
        return *this;
    }
    QuizRecordBuilder& colour(unsigned red, unsigned green, unsigned blue)
    {
        return byte(red).byte(green).byte(blue);
    }
    // Bytes written as they are, no terminator.
    QuizRecordBuilder& raw(const std::string& value)
    {
        bytes_.insert(bytes_.end(), value.begin(), value.end());
        return *this;
    }
    std::size_t size() const { return bytes_.size(); }
    const std::vector<unsigned char>& bytes() const { return bytes_; }

private:
    std::vector<unsigned char> bytes_;
};

// A heap block of exactly the given bytes, so that AddressSanitizer flags any read past its end.
class ExactBuffer {
public:
    ExactBuffer(const unsigned char* bytes, std::size_t size) : size_(size), data_(new unsigned char[size])
    {
        for (std::size_t i = 0; i < size; ++i) {
            data_[i] = bytes[i];
        }
    }
    explicit ExactBuffer(const std::vector<unsigned char>& bytes) : ExactBuffer(bytes.data(), bytes.size()) {}
    explicit ExactBuffer(const std::string& bytes)
        : ExactBuffer(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size())
    {
    }
    const unsigned char* data() const { return data_.get(); }
    std::size_t size() const { return size_; }

private:
    std::size_t size_;
    std::unique_ptr<unsigned char[]> data_;
};

// A text of the given length whose bytes vary, so a cut in the wrong place shows.
inline std::string patternText(std::size_t length, char first = 'a')
{
    std::string text(length, ' ');
    for (std::size_t i = 0; i < length; ++i) {
        text[i] = static_cast<char>(first + static_cast<char>(i % 26));
    }
    return text;
}
