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
struct BitReader {
    const PngImage* image;
    std::uint64_t position;  // source offset of the next unread byte
    std::uint64_t chunkEnd;  // source offset just past the current chunk's data
    unsigned bits;           // unread bits of the last byte fetched, in the low bits
    int bitCount;            // how many there are, 0 to 8
};

// The inflated bytes: imageData, the only window back-references can reach into.
struct Output {
    unsigned char* data;
    std::uint32_t size;
    std::uint32_t written;
};

// A canonical Huffman code: how many codes each length has, and the symbols in code order.
struct HuffmanCode {
    std::uint16_t counts[kMaxCodeLength + 1];  // counts[0] is unused
    std::uint16_t symbols[kMaxLiteralLengthCodes];
    int maxLength;
};

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

// The next bit, or -1 when the stream has ended.
int nextBit(BitReader& reader)
{
    if (reader.bitCount == 0) {
        if (haveByte(reader) != kInflateOk) {
            return -1;
        }
        reader.bits = reader.image->sourceData[reader.position++];
        reader.bitCount = 8;
    }
    const int bit = static_cast<int>(reader.bits & 1);
    reader.bits >>= 1;
    --reader.bitCount;
    return bit;
}

// count bits (up to 16) as a number whose first bit read is the least significant.
InflateStatus readBits(BitReader& reader, int count, unsigned& value)
{
    value = 0;
    for (int i = 0; i < count; ++i) {
        const int bit = nextBit(reader);
        if (bit < 0) {
            return kInflateStreamEnded;
        }
        value |= static_cast<unsigned>(bit) << i;
    }
    return kInflateOk;
}

// Builds the code of lengths[0 .. symbolCount), each at most maxLength; length 0 means no code.
void buildCode(HuffmanCode& code, const std::uint8_t* lengths, int symbolCount, int maxLength)
{
    std::memset(code.counts, 0, sizeof code.counts);
    for (int symbol = 0; symbol < symbolCount; ++symbol) {
        ++code.counts[lengths[symbol]];
    }
    code.counts[0] = 0;
    code.maxLength = maxLength;
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
}

// Reads one code bit by bit, most significant bit first, into symbol. At each length the codes
// of that length are the `count` values from `first`; the code only grows, so it never falls
// below first, and the symbol index stays below the number of symbols that have a code.
InflateStatus decodeSymbol(BitReader& reader, const HuffmanCode& code, int& symbol)
{
    unsigned value = 0;
    unsigned first = 0;
    unsigned index = 0;
    for (int length = 1; length <= code.maxLength; ++length) {
        const int bit = nextBit(reader);
        if (bit < 0) {
            return kInflateStreamEnded;
        }
        value |= static_cast<unsigned>(bit);
        const unsigned count = code.counts[length];
        if (value - first < count) {
            symbol = code.symbols[index + (value - first)];
            return kInflateOk;
        }
        index += count;
        first = (first + count) << 1;
        value <<= 1;
    }
    return kInflateUnknownCode;  // no code of up to maxLength bits matches
}

InflateStatus inflateStored(BitReader& reader, Output& output)
{
    reader.bitCount = 0;  // the lengths start on a byte boundary
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

// Literals and back-references until the end-of-block symbol.
InflateStatus inflateCodes(BitReader& reader, Output& output, const HuffmanCode& literals, const HuffmanCode& distances)
{
    for (;;) {
        int symbol = 0;
        InflateStatus status = decodeSymbol(reader, literals, symbol);
        if (status != kInflateOk) {
            return status;
        }
        if (symbol < kEndOfBlock) {
            if (output.written == output.size) {
                return kInflateOutputFull;
            }
            output.data[output.written++] = static_cast<unsigned char>(symbol);
            continue;
        }
        if (symbol == kEndOfBlock) {
            return kInflateOk;
        }
        const int lengthIndex = symbol - kFirstLengthSymbol;
        if (lengthIndex >= kLengthSymbols) {
            return kInflateBadLengthSymbol;
        }
        unsigned extra = 0;
        status = readBits(reader, kLengthExtra[lengthIndex], extra);
        if (status != kInflateOk) {
            return status;
        }
        const unsigned length = kLengthBase[lengthIndex] + extra;
        int distanceSymbol = 0;
        status = decodeSymbol(reader, distances, distanceSymbol);
        if (status != kInflateOk) {
            return status;
        }
        if (distanceSymbol >= kDistanceSymbols) {
            return kInflateBadDistanceSymbol;
        }
        status = readBits(reader, kDistanceExtra[distanceSymbol], extra);
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
        // Byte by byte: when the distance is shorter than the length, the copy reads bytes it
        // has just written and so repeats them.
        unsigned char* to = output.data + output.written;
        const unsigned char* from = to - distance;
        for (unsigned i = 0; i < length; ++i) {
            to[i] = from[i];
        }
        output.written += length;
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
        int symbol = 0;
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
