// Host tests of the authoring tool's executable normalisation: fixed stamps, the checksum, lying headers.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "pe_stamp.h"

namespace {

using Bytes = std::vector<unsigned char>;

void put32(Bytes& bytes, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes[offset + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
}

std::uint32_t get32(const Bytes& bytes, std::size_t offset)
{
    return static_cast<std::uint32_t>(bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16) |
           static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

// A small PE32+ image: headers, then the resource section at 0x200 with directories at 0x00, 0x18 and 0x30 of it.
constexpr std::size_t kPe = 0x40, kStamp = kPe + 8, kOptional = kPe + 24, kChecksum = kOptional + 64;
constexpr std::size_t kSection = kOptional + 240, kResources = 0x200;
constexpr std::size_t kDirectories[] = {0x00, 0x18, 0x30};

// One resource (type 10, id 1, language 0) in a three-level tree, every directory stamped.
Bytes smallExecutable(std::uint32_t stamp, std::uint32_t directoryStamp)
{
    Bytes exe(0x300, 0);
    const std::pair<std::size_t, std::uint32_t> fields[] = {
        {0, 0x5A4D}, {0x3C, kPe}, {kPe, 0x00004550}, {kPe + 4, 0x8664}, {kPe + 6, 1}, {kStamp, stamp}, {kPe + 20, 240},
        {kOptional, 0x20B}, {kOptional + 108, 16},
        {kOptional + 128, 0x1000}, {kOptional + 132, 0x58},  // resource directory: address and size
        {kSection + 8, 0x100}, {kSection + 12, 0x1000}, {kSection + 16, 0x100}, {kSection + 20, kResources},  // .rsrc
        {kResources + 0x48, 0x1058}, {kResources + 0x4C, 4}};  // data entry: address and size
    for (const auto& field : fields) put32(exe, field.first, field.second);  // in order: a later field may overlap the zeros of an earlier one
    const std::uint32_t entries[] = {10, 0x80000000u | 0x18, 1, 0x80000000u | 0x30, 0, 0x48};
    for (int level = 0; level < 3; ++level) {
        const std::size_t directory = kResources + kDirectories[level];
        put32(exe, directory + 4, directoryStamp + static_cast<std::uint32_t>(level));
        put32(exe, directory + 14, 1);
        put32(exe, directory + 16, entries[2 * level]);
        put32(exe, directory + 20, entries[2 * level + 1]);
    }
    return exe;
}

TEST(PeStamp, SameImageWrittenAtDifferentTimesComesOutTheSame)
{
    Bytes early = smallExecutable(0x11111111, 0x22222222), late = smallExecutable(0x33333333, 0x44444444);
    std::string error;
    ASSERT_TRUE(normaliseExecutable(early, 0x5E000000, error)) << error;
    ASSERT_TRUE(normaliseExecutable(late, 0x5E000000, error)) << error;
    EXPECT_EQ(early, late);
    std::uint32_t stamp = 0;
    ASSERT_TRUE(peTimeStamp(early, stamp, error));
    EXPECT_EQ(stamp, 0x5E000000u);
    for (const std::size_t directory : kDirectories) EXPECT_EQ(get32(early, kResources + directory + 4), 0u) << directory;
    // The stored checksum is that of the final bytes; an old one in the field does not count.
    EXPECT_EQ(get32(early, kChecksum), peChecksum(early, kChecksum));
    put32(late, kChecksum, 0xDEADBEEF);
    EXPECT_EQ(peChecksum(late, kChecksum), get32(early, kChecksum));
}

TEST(PeStamp, ChecksumFoldsCarriesAndAddsTheLength)
{
    const std::tuple<Bytes, std::size_t, std::uint32_t> cases[] = {  // bytes, checksum offset, checksum
        {{0x01, 0x00, 0x02, 0x01}, 100, 0x0103 + 4},                   // words little-endian
        {{0xFF, 0xFF, 0x02, 0x00}, 100, 0x0002 + 4},                   // carry folded back
        {{0x01, 0x00, 0x05}, 100, 0x0006 + 3},                         // odd length pads the last byte
        {{0x01, 0x00, 0xAA, 0xBB, 0xCC, 0xDD, 0x02, 0x00}, 2, 0x0003 + 8},  // checksum field skipped
        {{}, 0, 0},
        {Bytes(2 * 65537, 0xFF), 2 * 65537, 0xFFFF + 2 * 65537},       // every addition carries: folded as it goes
    };
    for (const auto& [bytes, offset, expected] : cases) EXPECT_EQ(peChecksum(bytes, offset), expected) << bytes.size();
}

TEST(PeStamp, RefusesHeadersThatPointOutsideTheFile)
{
    // Where to write a value (beyond the end: cut the file to that size instead), and the error.
    const std::tuple<std::size_t, std::uint32_t, const char*> cases[] = {
        {0, 0x5A4E, "no MZ header"},
        {0x3C, 0x2FF0, "not a PE executable"},  // PE header beyond the end
        {kPe, 0x00004551, "not a PE executable"},
        {kPe + 20, 40, "cut short"},  // optional header too small
        {kPe + 6, 2000, "cut short"},  // section table beyond the end
        {kOptional, 0x30B, "unknown PE optional header"},
        {kOptional + 128, 0x9000, "resource directory is malformed"},  // resources in no section
        {kOptional + 132, 0x1000, "resource directory is malformed"},  // resources larger than the file
        {kResources + 14, 0x4000, "resource directory is malformed"},  // entry count beyond the directory
        {kResources + 20, 0x80000000u | 0x50, "resource directory is malformed"},  // subdirectory beyond the section
        {kResources + 0x30 + 20, 0x80000000u | 0x30, "resource directory is malformed"},  // a directory that holds itself
        {0x1000000, 0x100, "cut short"},
    };
    for (const auto& [offset, value, expected] : cases) {
        Bytes exe = smallExecutable(1, 2);
        if (offset >= exe.size()) exe.resize(value);
        else put32(exe, offset, value);
        std::string error;
        EXPECT_FALSE(normaliseExecutable(exe, 0, error)) << offset;
        EXPECT_NE(error.find(expected), std::string::npos) << offset << ": " << error;
    }
}

}  // namespace
