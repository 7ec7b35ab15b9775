// UTF-8 decoding and encoding, and the Windows-1252 mapping used for every text the quiz tools
// write or read back.
#include "cp1252.h"

#include <cstdio>

namespace {

// Code points of bytes 0x80-0x9F; 0 marks the five bytes the code page leaves undefined,
// which must never be produced (the player would show them as something unpredictable).
const char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

std::string hexByte(unsigned char byte)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "0x%02X", byte);
    return buffer;
}

std::string codePointName(char32_t codePoint)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(codePoint));
    return buffer;
}

// Decodes one UTF-8 sequence at text[pos]; on success advances pos and returns true.
// Rejects overlong forms, surrogates and values past U+10FFFF, as the standard requires.
bool decodeOne(std::string_view text, std::size_t& pos, char32_t& codePoint, std::string& error)
{
    const unsigned char lead = static_cast<unsigned char>(text[pos]);
    int extra;
    char32_t minimum;
    if (lead < 0x80) {
        codePoint = lead;
        ++pos;
        return true;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        minimum = 0x80;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        minimum = 0x800;
        codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        minimum = 0x10000;
        codePoint = lead & 0x07;
    } else {
        error = "invalid UTF-8: unexpected byte " + hexByte(lead);
        return false;
    }
    if (text.size() - pos <= static_cast<std::size_t>(extra)) {
        error = "invalid UTF-8: sequence starting with " + hexByte(lead) + " is cut short";
        return false;
    }
    for (int i = 1; i <= extra; ++i) {
        const unsigned char next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            error = "invalid UTF-8: sequence starting with " + hexByte(lead) + " is cut short";
            return false;
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < minimum) {
        error = "invalid UTF-8: overlong encoding of " + codePointName(codePoint);
        return false;
    }
    if ((codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF) {
        error = "invalid UTF-8: encodes " + codePointName(codePoint) + ", which is not a character";
        return false;
    }
    pos += static_cast<std::size_t>(extra) + 1;
    return true;
}

void appendUtf8(std::string& out, char32_t codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

}  // namespace

int cp1252FromCodePoint(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<int>(codePoint);
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] != 0 && kHighControls[i] == codePoint) {
            return 0x80 + i;
        }
    }
    return -1;
}

bool checkUtf8(std::string_view text, std::string& error)
{
    std::size_t pos = 0;
    char32_t codePoint = 0;
    while (pos < text.size()) {
        if (!decodeOne(text, pos, codePoint, error)) {
            return false;
        }
    }
    return true;
}

bool utf8ToCp1252(std::string_view utf8, std::string& out, std::string& error)
{
    out.clear();
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t codePoint = 0;
        if (!decodeOne(utf8, pos, codePoint, error)) {
            return false;
        }
        const int byte = cp1252FromCodePoint(codePoint);
        if (byte < 0) {
            error = "character " + codePointName(codePoint) + " has no Windows-1252 form";
            return false;
        }
        out.push_back(static_cast<char>(byte));
    }
    return true;
}

bool cp1252Defines(unsigned char byte)
{
    return byte < 0x80 || byte >= 0xA0 || kHighControls[byte - 0x80] != 0;
}

std::string cp1252ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        const bool high = byte >= 0x80 && byte < 0xA0 && cp1252Defines(byte);
        appendUtf8(out, high ? kHighControls[byte - 0x80] : byte);
    }
    return out;
}

unsigned char cp1252Upper(unsigned char byte)
{
    switch (byte) {
    case 0x9A:  // š, œ, ž: their capitals sit 16 bytes lower
    case 0x9C:
    case 0x9E:
        return static_cast<unsigned char>(byte - 0x10);
    case 0xFF:  // ÿ
        return 0x9F;
    case 0xF7:  // ÷ is no letter
        return byte;
    default:
        break;
    }
    const bool lower = (byte >= 'a' && byte <= 'z') || byte >= 0xE0;
    return lower ? static_cast<unsigned char>(byte - 0x20) : byte;
}
