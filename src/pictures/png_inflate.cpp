// Inflate of the PNG image data: the zlib wrapper around deflate blocks (stored, fixed and dynamic
// Huffman codes), decoded bit by bit with canonical codes, straight into the image-data buffer.
#include <cstring>

#include "pictures/png_internal.h"

namespace {

// Base values and extra bits of the length symbols 257 to 285.
const std::uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                       31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const std::uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};

// Base values and extra bits of the distance symbols 0 to 29.
const std::uint16_t kDistanceBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                         33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                         1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const std::uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                         6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// Order in which a dynamic block lists the code lengths of the code-length alphabet.
const std::uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

constexpr int kEndOfBlock = 256;
constexpr int kFirstLengthSymbol = 257;
constexpr int kLengthSymbols = 29;
constexpr int kDistanceSymbols = 30;
// Symbol counts a block can declare: 5-bit HLIT + 257 and HDIST + 1. Symbols beyond the ones
// above may have codes, but using one is corrupt data.
constexpr int kMaxLiteralLengthCodes = 288;
constexpr int kMaxDistanceCodes = 32;
constexpr int kCodeLengthCodes = 19;

constexpr int kMaxCodeLength = 15;
constexpr int kFixedLiteralMaxLength = 9;
constexpr int kFixedDistanceLength = 5;
constexpr int kCodeLengthMaxLength = 7;

constexpr int kStoredBlock = 0;
constexpr int kFixedBlock = 1;
constexpr int kDynamicBlock = 2;

// zlib header: compression method 8 (deflate), window of at most 2^(7 + 8) bytes, no preset
// dictionary. The header check value is not tested, nor is the Adler-32 trailer read: a picture
// that inflates is shown even if those were damaged.
constexpr unsigned kDeflateMethod = 8;
constexpr unsigned kMaxWindowInfo = 7;
constexpr unsigned kPresetDictionaryFlag = 0x20;

// Why inflating stopped, named like the LZW decoder's statuses. Every reason but kInflateOk fails
// the picture with kPngCorrupt.
enum InflateStatus {
    kInflateOk,
    kInflateNoImageData,           // no image-data chunk, or none that fits in the source
    kInflateStreamEnded,           // the image-data chunks end before the stream does
    kInflateNotDeflate,            // zlib header: a compression method other than deflate
    kInflateWindowTooLarge,        // zlib header: a window above 2^15 bytes
    kInflatePresetDictionary,      // zlib header: a preset dictionary, which the image data never has
    kInflateReservedBlockType,     // block type 3
    kInflateStoredLengthMismatch,  // a stored block's length and its complement disagree
    kInflateOutputFull,            // more bytes than the header implies
    kInflateUnknownCode,           // bits that are no code of the block's Huffman code
    kInflateBadLengthSymbol,       // length symbol 286 or 287: they may have codes but mean nothing
    kInflateBadDistanceSymbol,     // distance symbol 30 or 31, likewise
    kInflateDistanceTooFar,        // a back-reference to before the first byte written
    kInflateRepeatWithoutLength,   // code-length symbol 16 with no length before it to repeat
    kInflateRepeatTooLong,         // a code-length repeat past the lengths the block declared
};

// Reads the compressed bits, least significant bit of each byte first, from the data of the
// first image-data chunk and then of each image-data chunk directly after it. It checks before
// it reads: when no such chunk is left the stream has ended and every read fails.
//
// The unread bits wait in two 64-bit registers holding the same bits in opposite orders: `low`
// has the next bit in bit 0, for numbers stored least significant bit first; `high` has it in
// bit 63, so its top bits are the next Huffman code read most significant bit first, with no bit
// reversal per symbol. Bits past `bitCount` are zero or the stream's own next bits.
struct BitReader {
    const PngImage* image;
    std::uint64_t position;  // source offset of the next byte not yet in the registers
    std::uint64_t chunkEnd;  // source offset just past the current chunk's data
    std::uint64_t low;
    std::uint64_t high;
    unsigned bitCount;  // unread bits in the registers, 0 to 63
};

// The inflated bytes: imageData, the only window back-references can reach into.
struct Output {
    unsigned char* data;
    std::uint32_t size;
    std::uint32_t written;
};

// Lengths the walk compares at once before it branches (see codeLength).
constexpr unsigned kCountedLengths = 6;

// A canonical Huffman code: how many codes each length has, and the symbols in code order, with
// what the length-by-length walk compares against, derived from the counts. Left-justified in
// 16 bits, the codes of length L are the values from first[L] << (16 - L) up to limit[L], so one
// comparison per length with the next 16 bits of the stream finds the code's length.
struct HuffmanCode {
    std::uint16_t counts[kMaxCodeLength + 1];  // counts[0] is unused
    std::uint16_t symbols[kMaxLiteralLengthCodes];
    std::uint32_t limit[kMaxCodeLength + 2 + kCountedLengths];  // past the longest code: above any peek
    std::int32_t offset[kMaxCodeLength + 1];                    // sorted index of code c of length L: offset[L] + c
    unsigned minLength;                                         // where the walk starts
    unsigned maxLength;                                         // the longest code; longer bits match nothing
};

constexpr unsigned kPeekBits = 16;
constexpr std::uint32_t kAboveEveryCode = 0xFFFFFFFFu;
// A refill leaves at least this many bits when the stream has them: enough for a length code,
// its extra bits, a distance code and its extra bits (15 + 5 + 15 + 13).
constexpr unsigned kRefillBits = 56;

// Moves to the data of the next chunk if it is an image-data chunk that fits in the source.
InflateStatus nextChunk(BitReader& reader)
{
    const std::uint64_t frame = reader.chunkEnd + 4;  // past the current chunk's CRC
    std::uint32_t length = 0;
    // Any other spelling of the name either failed the container check (an unknown critical
    // chunk) or, with a lower-case first letter, ends the stream here.
    if (!pngFrameAt(*reader.image, frame, length) ||
        std::memcmp(reader.image->sourceData + frame + 4, "IDAT", 4) != 0) {
        return kInflateStreamEnded;
    }
    reader.position = frame + 8;
    reader.chunkEnd = reader.position + length;
    return kInflateOk;
}

// Skips empty chunks; kInflateStreamEnded when the stream has no more bytes.
InflateStatus haveByte(BitReader& reader)
{
    while (reader.position == reader.chunkEnd) {
        const InflateStatus status = nextChunk(reader);
        if (status != kInflateOk) {
            return status;
        }
    }
    return kInflateOk;
}

// Written out byte by byte, which compilers turn into one load (and a byte swap).
inline std::uint64_t loadLittleEndian64(const unsigned char* bytes)
{
    return std::uint64_t{bytes[0]} | std::uint64_t{bytes[1]} << 8 | std::uint64_t{bytes[2]} << 16 |
           std::uint64_t{bytes[3]} << 24 | std::uint64_t{bytes[4]} << 32 | std::uint64_t{bytes[5]} << 40 |
           std::uint64_t{bytes[6]} << 48 | std::uint64_t{bytes[7]} << 56;
}

inline std::uint64_t loadBigEndian64(const unsigned char* bytes)
{
    return std::uint64_t{bytes[0]} << 56 | std::uint64_t{bytes[1]} << 48 | std::uint64_t{bytes[2]} << 40 |
           std::uint64_t{bytes[3]} << 32 | std::uint64_t{bytes[4]} << 24 | std::uint64_t{bytes[5]} << 16 |
           std::uint64_t{bytes[6]} << 8 | std::uint64_t{bytes[7]};
}

// Each byte's bits in reverse order: with the bytes in stream order from the top, the stream's
// first bit becomes the most significant.
inline std::uint64_t reverseBitsOfBytes(std::uint64_t value)
{
    value = (value >> 1 & 0x5555555555555555u) | (value & 0x5555555555555555u) << 1;
    value = (value >> 2 & 0x3333333333333333u) | (value & 0x3333333333333333u) << 2;
    return (value >> 4 & 0x0F0F0F0F0F0F0F0Fu) | (value & 0x0F0F0F0F0F0F0F0Fu) << 4;
}

// Byte by byte, through the chunk frames, until at least kRefillBits bits wait or the stream has
// ended. Takes and returns the reader by value so that a caller's copy can live in registers.
BitReader refillBytes(BitReader reader)
{
    while (reader.bitCount < kRefillBits && haveByte(reader) == kInflateOk) {
        const std::uint64_t byte = reader.image->sourceData[reader.position++];
        reader.low |= byte << reader.bitCount;
        reader.high |= reverseBitsOfBytes(byte << 56) >> reader.bitCount;
        reader.bitCount += 8;
    }
    return reader;
}

// Tops the registers up to at least kRefillBits bits, or to every bit left when the stream ends
// sooner. A word at a time while 8 bytes remain in the chunk (the bytes past those counted are
// the stream's next ones, loaded again by the next refill); byte by byte near a chunk's end.
inline void refill(BitReader& reader)
{
    if (reader.bitCount >= kRefillBits) {
        return;
    }
    if (reader.chunkEnd - reader.position < 8) {
        reader = refillBytes(reader);
        return;
    }
    const unsigned char* bytes = reader.image->sourceData + reader.position;
    reader.low |= loadLittleEndian64(bytes) << reader.bitCount;
    reader.high |= reverseBitsOfBytes(loadBigEndian64(bytes)) >> reader.bitCount;
    reader.position += (63 - reader.bitCount) >> 3;
    reader.bitCount |= kRefillBits;
}

inline void dropBits(BitReader& reader, unsigned count)
{
    reader.low >>= count;
    reader.high <<= count;
    reader.bitCount -= count;
}

// count bits (up to 16) as a number whose first bit read is the least significant, from the
// registers as they are; kInflateStreamEnded when the stream ended before them.
inline InflateStatus takeBits(BitReader& reader, unsigned count, unsigned& value)
{
    if (count > reader.bitCount) {
        return kInflateStreamEnded;
    }
    value = static_cast<unsigned>(reader.low & ((std::uint64_t{1} << count) - 1));
    dropBits(reader, count);
    return kInflateOk;
}

InflateStatus readBits(BitReader& reader, unsigned count, unsigned& value)
{
    refill(reader);
    return takeBits(reader, count, value);
}

// Builds the code of lengths[0 .. symbolCount), each at most maxLength; length 0 means no code.
void buildCode(HuffmanCode& code, const std::uint8_t* lengths, int symbolCount, int maxLength)
{
    std::memset(code.counts, 0, sizeof code.counts);
    for (int symbol = 0; symbol < symbolCount; ++symbol) {
        ++code.counts[lengths[symbol]];
    }
    code.counts[0] = 0;
    // Shorter codes come first in code order, and within one length the lower symbol first.
    std::uint16_t next[kMaxCodeLength + 1];
    next[1] = 0;
    for (int length = 1; length < kMaxCodeLength; ++length) {
        next[length + 1] = static_cast<std::uint16_t>(next[length] + code.counts[length]);
    }
    for (int symbol = 0; symbol < symbolCount; ++symbol) {
        if (lengths[symbol] != 0) {
            code.symbols[next[lengths[symbol]]++] = static_cast<std::uint16_t>(symbol);
        }
    }
    // The first code of each length follows the last of the length before, doubled. Even when
    // the lengths over-fill the code space (corrupt data) the walk stays exact: bits that reach
    // length L without a match are at least first << (16 - L).
    code.minLength = 0;
    code.maxLength = 0;
    std::uint32_t first = 0;
    for (int length = 1; length <= maxLength; ++length) {
        const std::uint32_t count = code.counts[length];
        if (count != 0) {
            code.minLength = code.minLength != 0 ? code.minLength : static_cast<unsigned>(length);
            code.maxLength = static_cast<unsigned>(length);
        }
        code.limit[length] = (first + count) << (kPeekBits - length);
        code.offset[length] = static_cast<std::int32_t>(next[length] - count) - static_cast<std::int32_t>(first);
        first = (first + count) << 1;
    }
    for (unsigned length = code.maxLength + 1; length < kMaxCodeLength + 2 + kCountedLengths; ++length) {
        code.limit[length] = kAboveEveryCode;
    }
    code.minLength = code.minLength != 0 ? code.minLength : 1;
}

// The length of the code in the top bits of `high`, walking up from the shortest; above
// code.maxLength when no code matches. The limits never decrease with the length, so the first
// kCountedLengths comparisons are summed rather than branched on: the branch on the length of
// each code would be mispredicted about as often as it is taken.
inline unsigned codeLength(const HuffmanCode& code, std::uint32_t peek)
{
    const std::uint32_t* limit = code.limit + code.minLength;
    // Written out: compilers leave the loop of six as a loop.
    unsigned length = code.minLength + (peek >= limit[0]) + (peek >= limit[1]) + (peek >= limit[2]) +
                      (peek >= limit[3]) + (peek >= limit[4]) + (peek >= limit[5]);
    while (peek >= code.limit[length]) {
        ++length;
    }
    return length;
}

// Decodes one code from the registers as they are, most significant bit first: the walk goes
// up from the shortest length while the next 16 bits lie at or above that length's limit.
// Missing bits read as zero, so a code longer than what is left means the stream ended.
inline InflateStatus takeSymbol(BitReader& reader, const HuffmanCode& code, unsigned& symbol)
{
    const std::uint32_t peek = static_cast<std::uint32_t>(reader.high >> (64 - kPeekBits));
    const unsigned length = codeLength(code, peek);
    if (length > reader.bitCount) {
        return kInflateStreamEnded;
    }
    if (length > code.maxLength) {
        return kInflateUnknownCode;  // no code of up to the longest length matches
    }
    symbol = code.symbols[code.offset[length] + static_cast<std::int32_t>(peek >> (kPeekBits - length))];
    dropBits(reader, length);
    return kInflateOk;
}

inline InflateStatus decodeSymbol(BitReader& reader, const HuffmanCode& code, unsigned& symbol)
{
    refill(reader);
    return takeSymbol(reader, code, symbol);
}

InflateStatus inflateStored(BitReader& reader, Output& output)
{
    dropBits(reader, reader.bitCount & 7);  // the lengths start on a byte boundary
    unsigned length = 0;
    unsigned complement = 0;
    InflateStatus status = readBits(reader, 16, length);
    if (status == kInflateOk) {
        status = readBits(reader, 16, complement);
    }
    if (status != kInflateOk) {
        return status;
    }
    if ((length ^ 0xFFFFu) != complement) {
        return kInflateStoredLengthMismatch;
    }
    if (length > output.size - output.written) {
        return kInflateOutputFull;
    }
    // Whole bytes still in the registers come first, then the chunks' bytes straight.
    while (length > 0 && reader.bitCount > 0) {
        output.data[output.written++] = static_cast<unsigned char>(reader.low);
        dropBits(reader, 8);
        --length;
    }
    if (reader.bitCount == 0) {
        reader.low = 0;  // the bytes copied straight below must not come back in a refill
        reader.high = 0;
    }
    while (length > 0) {
        status = haveByte(reader);
        if (status != kInflateOk) {
            return status;
        }
        const std::uint64_t available = reader.chunkEnd - reader.position;
        const unsigned piece = available < length ? static_cast<unsigned>(available) : length;
        std::memcpy(output.data + output.written, reader.image->sourceData + reader.position, piece);
        reader.position += piece;
        output.written += piece;
        length -= piece;
    }
    return kInflateOk;
}

// Copies a back-reference. When the distance is shorter than the length the copy reads bytes it
// has just written and so repeats them; with room to spare after it, whole 16 or 8 bytes move at
// a time when the distance keeps each move's source before its destination.
void copyMatch(Output& output, unsigned distance, unsigned length)
{
    unsigned char* to = output.data + output.written;
    const unsigned char* from = to - distance;
    const bool room = output.size - output.written - length >= 16;
    if (room && distance >= 16) {
        for (unsigned i = 0; i < length; i += 16) {
            std::memcpy(to + i, from + i, 16);
        }
    } else if (room && distance >= 8) {
        for (unsigned i = 0; i < length; i += 8) {
            std::memcpy(to + i, from + i, 8);
        }
    } else if (distance == 1) {
        std::memset(to, *from, length);
    } else {
        for (unsigned i = 0; i < length; ++i) {
            to[i] = from[i];
        }
    }
    output.written += length;
}

// One literal or back-reference, or the end of the block, with every check on the bits left and
// on the room in the output. One refill holds a whole length-distance pair, so the reads after
// the first take the registers as they are.
InflateStatus inflateSymbol(BitReader& reader, Output& output, const HuffmanCode& literals,
                            const HuffmanCode& distances, bool& endOfBlock)
{
    unsigned symbol = 0;
    InflateStatus status = decodeSymbol(reader, literals, symbol);
    if (status != kInflateOk) {
        return status;
    }
    if (symbol < kEndOfBlock) {
        if (output.written == output.size) {
            return kInflateOutputFull;
        }
        output.data[output.written++] = static_cast<unsigned char>(symbol);
        return kInflateOk;
    }
    if (symbol == kEndOfBlock) {
        endOfBlock = true;
        return kInflateOk;
    }
    const unsigned lengthIndex = symbol - kFirstLengthSymbol;
    if (lengthIndex >= kLengthSymbols) {
        return kInflateBadLengthSymbol;
    }
    unsigned extra = 0;
    status = takeBits(reader, kLengthExtra[lengthIndex], extra);
    if (status != kInflateOk) {
        return status;
    }
    const unsigned length = kLengthBase[lengthIndex] + extra;
    unsigned distanceSymbol = 0;
    status = takeSymbol(reader, distances, distanceSymbol);
    if (status != kInflateOk) {
        return status;
    }
    if (distanceSymbol >= kDistanceSymbols) {
        return kInflateBadDistanceSymbol;
    }
    status = takeBits(reader, kDistanceExtra[distanceSymbol], extra);
    if (status != kInflateOk) {
        return status;
    }
    const unsigned distance = kDistanceBase[distanceSymbol] + extra;
    if (distance > output.written) {
        return kInflateDistanceTooFar;
    }
    if (length > output.size - output.written) {
        return kInflateOutputFull;
    }
    copyMatch(output, distance, length);
    return kInflateOk;
}

// Room the fast loop keeps in the output: the longest back-reference and a 16-byte move past it.
constexpr std::uint32_t kFastOutputRoom = 258 + 16;

// Bits a pair may still need after its length code: length extra bits, distance code and its
// extra bits.
constexpr unsigned kMaxPairTailBits = 5 + kMaxCodeLength + 13;

// Adds the 8 bytes at `bytes` to the registers, up to at least kRefillBits bits.
inline void refillWord(const unsigned char* bytes, std::uint64_t& position, std::uint64_t& low, std::uint64_t& high,
                       unsigned& bitCount)
{
    low |= loadLittleEndian64(bytes) << bitCount;
    high |= reverseBitsOfBytes(loadBigEndian64(bytes)) >> bitCount;
    position += (63 - bitCount) >> 3;
    bitCount |= kRefillBits;
}

// Stands for "no code matches" where the fast loop expects a symbol.
constexpr unsigned kNoSymbol = 0xFFFF;

// Decodes one code from registers known to hold at least kMaxCodeLength bits.
inline unsigned fastSymbol(const HuffmanCode& code, std::uint64_t& low, std::uint64_t& high, unsigned& bitCount)
{
    const std::uint32_t peek = static_cast<std::uint32_t>(high >> (64 - kPeekBits));
    const unsigned length = codeLength(code, peek);
    if (length > code.maxLength) {
        return kNoSymbol;
    }
    low >>= length;
    high <<= length;
    bitCount -= length;
    return code.symbols[code.offset[length] + static_cast<std::int32_t>(peek >> (kPeekBits - length))];
}

inline unsigned fastBits(unsigned count, std::uint64_t& low, std::uint64_t& high, unsigned& bitCount)
{
    const unsigned value = static_cast<unsigned>(low & ((std::uint64_t{1} << count) - 1));
    low >>= count;
    high <<= count;
    bitCount -= count;
    return value;
}

// The common case, inflateSymbol's work while at least 16 bytes remain in the chunk and
// kFastOutputRoom in the output. A refill gives at least kRefillBits bits: three literal codes, or
// a literal code and a length code, and a second refill before a pair's tail makes room for it; so
// the bits are not counted, and the output cannot fill up. Only the checks on the data itself
// remain. Works on locals the compiler keeps in registers (the bytes stored into the output could
// otherwise be any field of the reader's). Returns kInflateOk when it stops for input or room,
// leaving the rest to inflateSymbol.
InflateStatus inflateFast(BitReader& reader, Output& output, const HuffmanCode& literals, const HuffmanCode& distances,
                          bool& endOfBlock)
{
    const unsigned char* const source = reader.image->sourceData;
    const std::uint64_t chunkEnd = reader.chunkEnd;
    std::uint64_t position = reader.position;
    std::uint64_t low = reader.low;
    std::uint64_t high = reader.high;
    unsigned bitCount = reader.bitCount;
    unsigned char* const data = output.data;
    const std::uint32_t size = output.size;
    std::uint32_t written = output.written;
    InflateStatus status = kInflateOk;
    // Two refills at most per turn, each moving on by at most 7 bytes.
    while (chunkEnd - position >= 16 && size - written >= kFastOutputRoom) {
        refillWord(source + position, position, low, high, bitCount);
        unsigned symbol = fastSymbol(literals, low, high, bitCount);
        if (symbol < kEndOfBlock) {
            data[written++] = static_cast<unsigned char>(symbol);
            symbol = fastSymbol(literals, low, high, bitCount);
            if (symbol < kEndOfBlock) {
                data[written++] = static_cast<unsigned char>(symbol);
                symbol = fastSymbol(literals, low, high, bitCount);
                if (symbol < kEndOfBlock) {
                    data[written++] = static_cast<unsigned char>(symbol);
                    continue;
                }
            }
        }
        if (symbol == kEndOfBlock) {
            endOfBlock = true;
            break;
        }
        if (symbol == kNoSymbol) {
            status = kInflateUnknownCode;
            break;
        }
        const unsigned lengthIndex = symbol - kFirstLengthSymbol;
        if (lengthIndex >= kLengthSymbols) {
            status = kInflateBadLengthSymbol;
            break;
        }
        refillWord(source + position, position, low, high, bitCount);
        const unsigned length = kLengthBase[lengthIndex] + fastBits(kLengthExtra[lengthIndex], low, high, bitCount);
        const unsigned distanceSymbol = fastSymbol(distances, low, high, bitCount);
        if (distanceSymbol == kNoSymbol) {
            status = kInflateUnknownCode;
            break;
        }
        if (distanceSymbol >= kDistanceSymbols) {
            status = kInflateBadDistanceSymbol;
            break;
        }
        const unsigned distance =
            kDistanceBase[distanceSymbol] + fastBits(kDistanceExtra[distanceSymbol], low, high, bitCount);
        if (distance > written) {
            status = kInflateDistanceTooFar;
            break;
        }
        Output match{data, size, written};
        copyMatch(match, distance, length);
        written = match.written;
    }
    reader.position = position;
    reader.low = low;
    reader.high = high;
    reader.bitCount = bitCount;
    output.written = written;
    return status;
}

// Literals and back-references until the end-of-block symbol.
InflateStatus inflateCodes(BitReader& reader, Output& output, const HuffmanCode& literals, const HuffmanCode& distances)
{
    bool endOfBlock = false;
    for (;;) {
        InflateStatus status = inflateFast(reader, output, literals, distances, endOfBlock);
        if (status == kInflateOk && !endOfBlock) {
            status = inflateSymbol(reader, output, literals, distances, endOfBlock);
        }
        if (status != kInflateOk || endOfBlock) {
            return status;
        }
    }
}

InflateStatus inflateFixed(BitReader& reader, Output& output)
{
    std::uint8_t lengths[kMaxLiteralLengthCodes];
    std::memset(lengths, 8, 144);
    std::memset(lengths + 144, 9, 256 - 144);
    std::memset(lengths + 256, 7, 280 - 256);
    std::memset(lengths + 280, 8, kMaxLiteralLengthCodes - 280);
    HuffmanCode literals;
    buildCode(literals, lengths, kMaxLiteralLengthCodes, kFixedLiteralMaxLength);
    // Thirty-two codes of five bits: reading them this way is reading five bits most
    // significant first.
    std::memset(lengths, kFixedDistanceLength, kMaxDistanceCodes);
    HuffmanCode distances;
    buildCode(distances, lengths, kMaxDistanceCodes, kFixedDistanceLength);
    return inflateCodes(reader, output, literals, distances);
}

// Reads the code lengths of a dynamic block and builds its two codes.
InflateStatus readDynamicCodes(BitReader& reader, HuffmanCode& literals, HuffmanCode& distances)
{
    unsigned literalCount = 0;
    unsigned distanceCount = 0;
    unsigned codeLengthCount = 0;
    InflateStatus status = readBits(reader, 5, literalCount);
    if (status == kInflateOk) {
        status = readBits(reader, 5, distanceCount);
    }
    if (status == kInflateOk) {
        status = readBits(reader, 4, codeLengthCount);
    }
    if (status != kInflateOk) {
        return status;
    }
    literalCount += 257;
    distanceCount += 1;
    codeLengthCount += 4;

    std::uint8_t lengths[kMaxLiteralLengthCodes + kMaxDistanceCodes] = {};
    for (unsigned i = 0; i < codeLengthCount; ++i) {
        unsigned length = 0;
        status = readBits(reader, 3, length);
        if (status != kInflateOk) {
            return status;
        }
        lengths[kCodeLengthOrder[i]] = static_cast<std::uint8_t>(length);
    }
    HuffmanCode codeLengths;
    buildCode(codeLengths, lengths, kCodeLengthCodes, kCodeLengthMaxLength);

    // Literal/length and distance lengths form one run: a repeat may cross from one to the other.
    const unsigned total = literalCount + distanceCount;
    unsigned filled = 0;
    while (filled < total) {
        unsigned symbol = 0;
        status = decodeSymbol(reader, codeLengths, symbol);
        if (status != kInflateOk) {
            return status;
        }
        if (symbol < 16) {
            lengths[filled++] = static_cast<std::uint8_t>(symbol);
            continue;
        }
        std::uint8_t value = 0;
        unsigned repeat = 0;
        if (symbol == 16) {
            if (filled == 0) {
                return kInflateRepeatWithoutLength;
            }
            status = readBits(reader, 2, repeat);
            value = lengths[filled - 1];
            repeat += 3;
        } else if (symbol == 17) {
            status = readBits(reader, 3, repeat);
            repeat += 3;
        } else {
            status = readBits(reader, 7, repeat);
            repeat += 11;
        }
        if (status != kInflateOk) {
            return status;
        }
        if (repeat > total - filled) {
            return kInflateRepeatTooLong;
        }
        std::memset(lengths + filled, value, repeat);
        filled += repeat;
    }
    buildCode(literals, lengths, static_cast<int>(literalCount), kMaxCodeLength);
    buildCode(distances, lengths + literalCount, static_cast<int>(distanceCount), kMaxCodeLength);
    return kInflateOk;
}

InflateStatus inflateDynamic(BitReader& reader, Output& output)
{
    HuffmanCode literals;
    HuffmanCode distances;
    const InflateStatus status = readDynamicCodes(reader, literals, distances);
    return status == kInflateOk ? inflateCodes(reader, output, literals, distances) : status;
}

InflateStatus inflateBlock(BitReader& reader, Output& output, unsigned type)
{
    switch (type) {
    case kStoredBlock:
        return inflateStored(reader, output);
    case kFixedBlock:
        return inflateFixed(reader, output);
    case kDynamicBlock:
        return inflateDynamic(reader, output);
    default:
        return kInflateReservedBlockType;
    }
}

InflateStatus inflateStream(BitReader& reader, Output& output)
{
    unsigned method = 0;
    unsigned flags = 0;
    InflateStatus status = readBits(reader, 8, method);
    if (status == kInflateOk) {
        status = readBits(reader, 8, flags);
    }
    if (status != kInflateOk) {
        return status;
    }
    if ((method & 0x0F) != kDeflateMethod) {
        return kInflateNotDeflate;
    }
    if ((method >> 4) > kMaxWindowInfo) {
        return kInflateWindowTooLarge;
    }
    if ((flags & kPresetDictionaryFlag) != 0) {
        return kInflatePresetDictionary;
    }
    unsigned lastBlock = 0;
    while (lastBlock == 0) {
        unsigned type = 0;
        status = readBits(reader, 1, lastBlock);
        if (status == kInflateOk) {
            status = readBits(reader, 2, type);
        }
        if (status == kInflateOk) {
            status = inflateBlock(reader, output, type);
        }
        if (status != kInflateOk) {
            return status;
        }
    }
    return kInflateOk;
}

// The zlib stream that starts in the first image-data chunk, inflated into imageData.
InflateStatus inflateImageData(PngImage& image)
{
    std::uint32_t length = 0;
    if (image.firstDataChunk == nullptr || image.imageData == nullptr ||
        !pngFrameAt(image, static_cast<std::uint64_t>(image.firstDataChunk - image.sourceData), length)) {
        return kInflateNoImageData;
    }
    BitReader reader{};
    reader.image = &image;
    reader.position = static_cast<std::uint64_t>(image.firstDataChunk - image.sourceData) + 8;
    reader.chunkEnd = reader.position + length;
    Output output{image.imageData, image.imageDataSize, 0};
    const InflateStatus status = inflateStream(reader, output);
    if (status != kInflateOk) {
        return status;
    }
    // A stream may end short of the size the header implies; those rows read as zeros.
    std::memset(output.data + output.written, 0, output.size - output.written);
    return kInflateOk;
}

}  // namespace

int pngInflate(PngImage& image)
{
    if (inflateImageData(image) != kInflateOk) {
        return pngFail(image, kPngCorrupt);
    }
    image.errorCode = kPngOk;
    return 1;
}
