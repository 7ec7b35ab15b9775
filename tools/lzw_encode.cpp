// Greedy LZW encoder for the quiz resources; runs on the build host, so it favours plainness.
#include "lzw_encode.h"

#include <cstdint>
#include <utility>

#include "quiz/lzw.h"

namespace {

// Packs codes most significant bit first, as the decoder unpacks them.
class BitWriter {
public:
    void write(std::uint32_t code, int width)
    {
        for (int bit = width - 1; bit >= 0; --bit) {
            pending_ = static_cast<unsigned>((pending_ << 1) | ((code >> bit) & 1u));
            if (++pendingCount_ == 8) {
                bytes_.push_back(static_cast<unsigned char>(pending_));
                pending_ = 0;
                pendingCount_ = 0;
            }
        }
    }

    // Pads the last partial byte with zero bits and hands the stream over.
    std::vector<unsigned char> finish()
    {
        if (pendingCount_ > 0) {
            bytes_.push_back(static_cast<unsigned char>(pending_ << (8 - pendingCount_)));
        }
        return std::move(bytes_);
    }

private:
    std::vector<unsigned char> bytes_;
    unsigned pending_ = 0;
    int pendingCount_ = 0;
};

// The code stream with the width the decoder will be reading at.
class CodeWriter {
public:
    // Widens first, as often as needed: the decoder reads each 257 at the width before it.
    void write(std::uint32_t code)
    {
        while ((code >> width_) != 0) {
            bits_.write(kLzwWidenCode, width_);
            ++width_;
        }
        bits_.write(code, width_);
    }

    void reset()
    {
        write(kLzwResetCode);
        width_ = kLzwStartWidth;
    }

    std::vector<unsigned char> finish()
    {
        write(kLzwEndCode);
        return bits_.finish();
    }

private:
    BitWriter bits_;
    int width_ = kLzwStartWidth;
};

// Dictionary as a trie: each string's node lists the strings one byte longer (first child, then
// siblings). Small enough to start over cheaply at every reset.
class Dictionary {
public:
    // The code of string(code) + byte, or 0 when it is not in the dictionary (0 is never learned).
    std::uint32_t child(std::uint32_t code, unsigned char byte) const
    {
        for (std::uint32_t node = nodes_[code].firstChild; node != 0; node = nodes_[node].nextSibling) {
            if (nodes_[node].byte == byte) {
                return node;
            }
        }
        return 0;
    }

    // Enters string(code) + byte as the next code. True when that filled the dictionary.
    bool learn(std::uint32_t code, unsigned char byte)
    {
        enter(code, byte);
        return nextCode_ == static_cast<std::uint32_t>(kLzwDictionarySize);
    }

    // Starts over with the one-byte strings, then enters string(code) + byte, the string that
    // filled the old dictionary, as entry 259: that is what the decoder learns from the previous
    // string it keeps across the reset. Only a one-byte string(code) has a node in the new trie;
    // for a longer one entry 259 is a code this encoder never emits, which is harmless.
    void reset(std::uint32_t code, unsigned char byte)
    {
        for (Node& node : nodes_) {
            node.firstChild = 0;
        }
        nextCode_ = kLzwFirstLearnedCode;
        if (code < 256) {
            enter(code, byte);
        } else {
            ++nextCode_;
        }
    }

private:
    struct Node {
        std::uint16_t firstChild = 0;
        std::uint16_t nextSibling = 0;
        unsigned char byte = 0;
    };

    void enter(std::uint32_t parent, unsigned char byte)
    {
        Node& node = nodes_[nextCode_];
        node.firstChild = 0;
        node.byte = byte;
        node.nextSibling = nodes_[parent].firstChild;
        nodes_[parent].firstChild = static_cast<std::uint16_t>(nextCode_);
        ++nextCode_;
    }

    Node nodes_[kLzwDictionarySize];
    std::uint32_t nextCode_ = kLzwFirstLearnedCode;
};

}  // namespace

std::vector<unsigned char> lzwEncode(const unsigned char* data, std::size_t size)
{
    if (size == 0) {
        return {};
    }
    CodeWriter codes;
    Dictionary dictionary;
    // The dictionary holds only one-byte strings at the start, so the first code is the first
    // byte, written at width 9.
    std::uint32_t current = data[0];
    for (std::size_t i = 1; i < size; ++i) {
        unsigned char byte = data[i];
        std::uint32_t longer = dictionary.child(current, byte);
        if (longer != 0) {
            current = longer;
            continue;
        }
        codes.write(current);
        if (dictionary.learn(current, byte)) {
            codes.reset();
            dictionary.reset(current, byte);
        }
        current = byte;
    }
    codes.write(current);
    return codes.finish();
}
