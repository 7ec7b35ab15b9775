// Decoder of the variable-width LZW streams that carry the quiz resources.
#pragma once

#include <cstddef>
#include <vector>

constexpr int kLzwOk = 0;
constexpr int kLzwOutOfMemory = -4;
constexpr int kLzwNoFirstCode = -5;
constexpr int kLzwCorrupt = -7;

constexpr std::size_t kLzwMaxOutput = 120000;
constexpr int kLzwDictionarySize = 4096;
constexpr int kLzwEndCode = 256;
constexpr int kLzwWidenCode = 257;
constexpr int kLzwResetCode = 258;
constexpr int kLzwFirstLearnedCode = 259;
constexpr int kLzwStartWidth = 9;
constexpr int kLzwMaxWidth = 32;

struct LzwOutput {
    std::vector<unsigned char> bytes;  // exactly the decoded bytes on success
    bool outputBufferFailed = false;   // the 120000-byte output buffer itself could not be had
};

// Decodes one stream. Returns kLzwOk, or kLzwOutOfMemory / kLzwNoFirstCode / kLzwCorrupt.
// Never writes more than kLzwMaxOutput bytes nor learns past kLzwDictionarySize entries nor
// builds a string of more than 4096 bytes: such streams fail with kLzwCorrupt. Inputs of any
// size are read. On failure output.bytes is empty; outputBufferFailed is set only when the
// output buffer itself could not be allocated. Throws nothing.
int lzwDecode(const unsigned char* input, std::size_t inputSize, LzwOutput& output);
