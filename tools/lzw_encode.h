// Encoder producing LZW streams exactly as the player's decoder expects them.
#pragma once

#include <cstddef>
#include <vector>

// Encodes data into a stream the player's decoder reads back: the first byte as a 9-bit literal,
// greedy LZW codes, code 257 before any code too wide for the current width, code 258 whenever
// the dictionary fills, then the last code, the end code 256 and zero bits up to a whole byte.
// Empty data gives an empty vector: the format has no way to say "no bytes" (its first code is
// always a data byte), and the decoder refuses an empty stream. The decoder also refuses streams
// of more than 120000 bytes of data; encoding them is not an error here.
std::vector<unsigned char> lzwEncode(const unsigned char* data, std::size_t size);
