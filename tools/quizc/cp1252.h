// Conversion of the quiz source's UTF-8 texts into the Windows-1252 bytes the player shows.
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
