// Conversion between the quiz source's UTF-8 texts and the Windows-1252 bytes the player shows.
#pragma once

#include <string>
#include <string_view>

// Converts utf8 into Windows-1252. Returns true and fills out on success; otherwise returns
// false and sets error to a one-line reason (the offending character as U+XXXX, or the
// malformed byte); out is then not to be used. The caller adds the file and line.
bool utf8ToCp1252(std::string_view utf8, std::string& out, std::string& error);

// Checks that text is well-formed UTF-8; on failure sets error as utf8ToCp1252 does.
bool checkUtf8(std::string_view text, std::string& error);

// Windows-1252 byte of a Unicode code point, or -1 when the code page has none.
int cp1252FromCodePoint(char32_t codePoint);

// Whether the code page gives byte a character: all bytes but five of 0x80-0x9F.
bool cp1252Defines(unsigned char byte);

// Windows-1252 bytes as UTF-8. The five bytes the code page leaves undefined become the C1
// control characters of the same value, which the source parser then refuses by name.
std::string cp1252ToUtf8(std::string_view text);

// The capital of a Windows-1252 letter (a-z, the accented letters, œ š ž ÿ); any other byte as it is.
// ß and µ have no capital of their own in the code page and stay as they are.
unsigned char cp1252Upper(unsigned char byte);
