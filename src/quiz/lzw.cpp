// Decoder of the variable-width LZW streams that carry the quiz resources: codes packed most
// significant bit first, three control codes (end, widen, reset), output one code behind the input.
#include "quiz/lzw.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace {

// Longest previous string the format allows, hence the longest learned string (a learned string
// is a previous string plus one byte, and later becomes a previous string itself). A stream that
// needs a longer one is outside the format and fails as corrupt instead of being read by a more
// lenient rule. Within the output bound no stream comes near it: a string of n bytes is learned
// only after the strings of 1 .. n-1 bytes leading to it were written, n(n-1)/2 bytes in all, so
// no string exceeds 490 bytes. The check stays so that no arena write rests on that argument.
constexpr std::size_t kMaxStringLength = 4096;

// Every learned string is the previous string plus one byte, and it is learned in the same
// step that writes the previous string to the output (after checking that it fits), so the
// learned strings of one call never take more than twice the output bound. The 256 one-byte
// strings sit in front of them.
constexpr std::size_t kArenaSize = 256 + 2 * kLzwMaxOutput;

// A string of the dictionary: where its bytes are in the arena, and how many there are.
struct LzwString {
    std::uint32_t offset;
    std::uint32_t length;
};

// Reads codes most significant bit first. Checks that all bytes of a code are there before it
// consumes any, so it never indexes past its input. The read position is a size_t: inputs of
// more than 65535 bytes are read like any other.
struct LzwBitReader {
    const unsigned char* input;  // the compressed bytes
    std::size_t size;            // their count
    std::size_t position;        // index of the next byte not yet read
    unsigned leftover;           // unconsumed low bits of the last byte read, left-aligned in 8 bits
    int leftoverCount;           // how many bits leftover holds, 0 to 7
};

// Everything one call needs besides the output buffer; allocated once per call.
struct LzwDecoder {
    LzwBitReader reader;
    // Indexed by code. 0-255: the one-byte strings; 256-258: control codes, never looked up;
    // 259 upwards: learned strings, valid below nextCode only.
    LzwString dictionary[kLzwDictionarySize];
    // Bytes of every string the dictionary has held during this call, appended and never
    // overwritten. A code learned again after a reset gets new bytes here, so strings built
    // from older ones (the previous string kept across a reset) are never disturbed, and the
    // previous string needs no buffer of its own.
    unsigned char arena[kArenaSize];
    std::size_t arenaUsed;   // bytes of arena in use
    std::uint32_t nextCode;  // code the next learned string receives, at most kLzwDictionarySize
    int width;               // bits of the next code; checked against kLzwMaxWidth before each read
    LzwString previous;      // string of the last data code read, written when the next code is read
    unsigned char* output;   // the caller's buffer of kLzwMaxOutput bytes
    std::size_t outputSize;  // bytes written to it
};

// Reads the next code of the given width (at most 32 bits). False when the input ends first;
// the reader is then unchanged.
bool readCode(LzwBitReader& reader, int width, std::uint32_t& code)
{
    int neededBits = width - reader.leftoverCount;
    std::size_t neededBytes = static_cast<std::size_t>(neededBits + 7) / 8;
    if (reader.size - reader.position < neededBytes) {
        return false;
    }
    // Accumulated in 64 bits, so that no shift of a code of up to 32 bits can overflow.
    std::uint64_t value = reader.leftover >> (8 - reader.leftoverCount);
    while (neededBits > 7) {
        value = (value << 8) | reader.input[reader.position++];
        neededBits -= 8;
    }
    reader.leftover = 0;
    reader.leftoverCount = 0;
    if (neededBits > 0) {
        unsigned byte = reader.input[reader.position++];
        value = (value << neededBits) | (byte >> (8 - neededBits));
        reader.leftover = (byte << neededBits) & 0xFFu;
        reader.leftoverCount = 8 - neededBits;
    }
    code = static_cast<std::uint32_t>(value);
    return true;
}

void startDecoder(LzwDecoder& decoder, const unsigned char* input, std::size_t inputSize, unsigned char* output)
{
    decoder.reader = LzwBitReader{input, inputSize, 0, 0, 0};
    for (int byte = 0; byte < 256; ++byte) {
        decoder.arena[byte] = static_cast<unsigned char>(byte);
        decoder.dictionary[byte] = LzwString{static_cast<std::uint32_t>(byte), 1};
    }
    decoder.arenaUsed = 256;
    decoder.nextCode = kLzwFirstLearnedCode;
    decoder.width = kLzwStartWidth;
    decoder.output = output;
    decoder.outputSize = 0;
}

// Appends the previous string to the output. kLzwCorrupt when it would not fit.
int writePrevious(LzwDecoder& decoder)
{
    const LzwString& previous = decoder.previous;
    if (kLzwMaxOutput - decoder.outputSize < previous.length) {
        return kLzwCorrupt;  // the stream decodes to more than the output bound
    }
    std::memcpy(decoder.output + decoder.outputSize, decoder.arena + previous.offset, previous.length);
    decoder.outputSize += previous.length;
    return kLzwOk;
}

// Handles a data code (anything but the control codes): learns the previous string followed by
// the first byte of the code's string, writes the previous string, and makes the code's string
// the previous one.
int decodeDataCode(LzwDecoder& decoder, std::uint32_t code)
{
    if (code > decoder.nextCode) {
        return kLzwCorrupt;  // code beyond the dictionary
    }
    if (decoder.nextCode >= static_cast<std::uint32_t>(kLzwDictionarySize)) {
        return kLzwCorrupt;  // dictionary full: a well-formed stream resets before this
    }
    const LzwString previous = decoder.previous;
    if (previous.length >= kMaxStringLength) {
        return kLzwCorrupt;  // the learned string would be longer than the format allows
    }
    // Written before anything is learned: the arena bound above relies on this order.
    int status = writePrevious(decoder);
    if (status != kLzwOk) {
        return status;
    }
    std::size_t learnedLength = previous.length + 1;
    if (kArenaSize - decoder.arenaUsed < learnedLength) {
        return kLzwCorrupt;  // cannot happen given the bound on learned bytes; never write past it
    }
    // For the code being learned right now, its string starts with the previous string.
    const LzwString& source = code == decoder.nextCode ? previous : decoder.dictionary[code];
    unsigned char firstByte = decoder.arena[source.offset];
    unsigned char* learned = decoder.arena + decoder.arenaUsed;
    std::memcpy(learned, decoder.arena + previous.offset, previous.length);
    learned[previous.length] = firstByte;
    decoder.dictionary[decoder.nextCode] =
        LzwString{static_cast<std::uint32_t>(decoder.arenaUsed), static_cast<std::uint32_t>(learnedLength)};
    decoder.arenaUsed += learnedLength;
    ++decoder.nextCode;
    decoder.previous = decoder.dictionary[code];
    return kLzwOk;
}

int decodeStream(LzwDecoder& decoder)
{
    std::uint32_t code = 0;
    if (!readCode(decoder.reader, kLzwStartWidth, code)) {
        return kLzwNoFirstCode;  // input empty or shorter than the first code
    }
    // The first code is a literal whatever its ninth bit; nothing is learned or written yet.
    decoder.previous = decoder.dictionary[code & 0xFFu];
    for (;;) {
        if (decoder.width > kLzwMaxWidth) {
            return kLzwCorrupt;  // widened beyond 32 bits
        }
        if (!readCode(decoder.reader, decoder.width, code)) {
            return kLzwCorrupt;  // input ended before the end code
        }
        if (code == kLzwEndCode) {
            return writePrevious(decoder);
        }
        if (code == kLzwResetCode) {
            // The previous string is kept: the next data code learns it again as entry 259.
            decoder.nextCode = kLzwFirstLearnedCode;
            decoder.width = kLzwStartWidth;
            continue;
        }
        if (code == kLzwWidenCode) {
            ++decoder.width;
            continue;
        }
        int status = decodeDataCode(decoder, code);
        if (status != kLzwOk) {
            return status;
        }
    }
}

}  // namespace

int lzwDecode(const unsigned char* input, std::size_t inputSize, LzwOutput& output)
{
    output.bytes.clear();
    output.outputBufferFailed = false;
    // The output buffer comes first, so that its failure alone is reported as such.
    try {
        output.bytes.resize(kLzwMaxOutput);
    } catch (const std::bad_alloc&) {
        output.outputBufferFailed = true;
        return kLzwOutOfMemory;
    }
    std::unique_ptr<LzwDecoder> decoder(new (std::nothrow) LzwDecoder);
    if (!decoder) {
        output.bytes.clear();
        return kLzwOutOfMemory;  // dictionary and string arena
    }
    startDecoder(*decoder, input, inputSize, output.bytes.data());
    int status = decodeStream(*decoder);
    // Shrinking keeps the buffer; it cannot allocate.
    output.bytes.resize(status == kLzwOk ? decoder->outputSize : 0);
    return status;
}
