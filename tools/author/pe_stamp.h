// Makes a written executable independent of when it was written: fixed time stamps in the PE
// header and resource directories, and a checksum computed over the final bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The header's link time stamp; false (error set) when the bytes are no PE executable.
bool peTimeStamp(const std::vector<unsigned char>& exe, std::uint32_t& stamp, std::string& error);

// Sets the header's time stamp to stamp and every resource directory's to 0, then stores the
// PE checksum of the result. False, with error, when the bytes are no well-formed PE executable;
// exe may then be partly changed.
bool normaliseExecutable(std::vector<unsigned char>& exe, std::uint32_t stamp, std::string& error);

// The PE checksum (as the system's image help computes it) of exe, whose checksum field is at
// checksumOffset and counts as zero.
std::uint32_t peChecksum(const std::vector<unsigned char>& exe, std::size_t checksumOffset);
