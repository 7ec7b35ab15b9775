// The progress file's byte rules, free of Win32: its name from the executable's path, the
// reading of one line from the mapped bytes, and the writing of one line.
#pragma once

#include <cstddef>

#include "quiz/quiz_state.h"

// One saved line at its longest: the text and CR LF.
constexpr int kProgressLineSize = kMaxTextLength + 2;

// The file name for an executable path (read up to 259 characters): the part after the last
// '\' or '/', with its last three characters overwritten by "txt" (a name shorter than three
// characters becomes "txt"). name receives at most kTextSize bytes, zero included.
void progressNameFromPath(const char* path, char (&name)[kTextSize]);

// Reads the line that starts at position in bytes[0, size) into text and returns the position
// of the next line. The line's text is every byte up to the next CR (a bare LF is text), cut
// at 259 bytes and zero-terminated; the bytes from that CR up to and including the next LF are
// skipped. At or past the end the text is empty and size is returned. Bytes are copied as they
// are: a NUL byte inside a line ends the text as a C string sees it, the line goes on to its CR.
std::size_t readProgressLine(const unsigned char* bytes, std::size_t size, std::size_t position,
                             char (&text)[kTextSize]);

// Writes one saved line for a field's text into line and returns its length: the text up to
// its first CR or zero, at most 259 bytes, then CR LF. No terminating zero is written.
int formatProgressLine(const char* text, char (&line)[kProgressLineSize]);
