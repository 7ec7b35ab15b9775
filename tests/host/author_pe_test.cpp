// Host tests of the authoring tool's executable normalisation: time stamps made fixed, the
// checksum's arithmetic, and headers that lie about their sizes.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pe_stamp.h"

namespace {

using Bytes = std::vector<unsigned char>;

void put16(Bytes& bytes, std::size_t offset, std::uint32_t value)
{
    bytes[offset] = static_cast<unsigned char>(value);
    bytes[offset + 1] = static_cast<unsigned char>(value >> 8);
}

void put32(Bytes& bytes, std::size_t offset, std::uint32_t value)
{
    put16(bytes, offset, value & 0xFFFF);
    put16(bytes, offset + 2, value >> 16);
}

std::uint32_t get32(const Bytes& bytes, std::size_t offset)
{
    return static_cast<std::uint32_t>(bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
                                      static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

// Layout of the small PE32+ image below.
constexpr std::size_t kPeOffset = 0x40;
constexpr std::size_t kStampOffset = kPeOffset + 8;
constexpr std::size_t kOptionalOffset = kPeOffset + 24;
constexpr std::size_t kChecksumOffset = kOptionalOffset + 64;
constexpr std::size_t kSectionOffset = kOptionalOffset + 240;
constexpr std::size_t kResourceOffset = 0x200;
// Resource directories (type, name, language) at these offsets from the resource section.
constexpr std::size_t kDirectories[] = {0x00, 0x18, 0x30};

// One resource (type 10, id 1, language 0) in a three-level tree, every directory stamped.
Bytes smallExecutable(std::uint32_t stamp, std::uint32_t directoryStamp)
{
    Bytes exe(0x300, 0);
    exe[0] = 'M';
    exe[1] = 'Z';
    put32(exe, 0x3C, kPeOffset);
    put32(exe, kPeOffset, 0x00004550);
    put16(exe, kPeOffset + 4, 0x8664);
    put16(exe, kPeOffset + 6, 1);
    put32(exe, kStampOffset, stamp);
    put16(exe, kPeOffset + 20, 240);
    put16(exe, kOptionalOffset, 0x20B);
    put32(exe, kOptionalOffset + 108, 16);
    put32(exe, kOptionalOffset + 112 + 16, 0x1000);  // resource directory: address and size
    put32(exe, kOptionalOffset + 112 + 20, 0x58);
    put32(exe, kSectionOffset + 8, 0x100);  // .rsrc: virtual size and address, raw size and offset
    put32(exe, kSectionOffset + 12, 0x1000);
    put32(exe, kSectionOffset + 16, 0x100);
    put32(exe, kSectionOffset + 20, kResourceOffset);
    const std::uint32_t entries[] = {10, 0x80000000u | 0x18, 1, 0x80000000u | 0x30, 0, 0x48};
    for (int level = 0; level < 3; ++level) {
        const std::size_t directory = kResourceOffset + kDirectories[level];
        put32(exe, directory + 4, directoryStamp + static_cast<std::uint32_t>(level));
        put16(exe, directory + 14, 1);
        put32(exe, directory + 16, entries[2 * level]);
        put32(exe, directory + 20, entries[2 * level + 1]);
    }
    put32(exe, kResourceOffset + 0x48, 0x1058);  // data entry: address and size
    put32(exe, kResourceOffset + 0x4C, 4);
    return exe;
}

TEST(PeStamp, SameImageWrittenAtDifferentTimesComesOutTheSame)
{
    Bytes early = smallExecutable(0x11111111, 0x22222222);
    Bytes late = smallExecutable(0x33333333, 0x44444444);
    std::string error;
    ASSERT_TRUE(normaliseExecutable(early, 0x5E000000, error)) << error;
    ASSERT_TRUE(normaliseExecutable(late, 0x5E000000, error)) << error;
    EXPECT_EQ(early, late);
    EXPECT_EQ(get32(early, kStampOffset), 0x5E000000u);
    for (const std::size_t directory : kDirectories) {
        EXPECT_EQ(get32(early, kResourceOffset + directory + 4), 0u) << directory;
    }
    std::uint32_t stamp = 0;
    ASSERT_TRUE(peTimeStamp(early, stamp, error));
    EXPECT_EQ(stamp, 0x5E000000u);
    // The stored checksum is that of the final bytes; an old one in the field does not count.
    EXPECT_EQ(get32(early, kChecksumOffset), peChecksum(early, kChecksumOffset));
    put32(late, kChecksumOffset, 0xDEADBEEF);
    EXPECT_EQ(peChecksum(late, kChecksumOffset), get32(early, kChecksumOffset));
}

TEST(PeStamp, ChecksumFoldsCarriesAndAddsTheLength)
{
    struct Case {
        const char* name;
        Bytes bytes;
        std::size_t checksumOffset;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {"WordsLittleEndian", {0x01, 0x00, 0x02, 0x01}, 100, 0x0103 + 4},
        {"CarryFoldedBack", {0xFF, 0xFF, 0x02, 0x00}, 100, 0x0002 + 4},
        {"OddLengthPadsTheLastByte", {0x01, 0x00, 0x05}, 100, 0x0006 + 3},
        {"ChecksumFieldSkipped", {0x01, 0x00, 0xAA, 0xBB, 0xCC, 0xDD, 0x02, 0x00}, 2, 0x0003 + 8},
        {"Empty", {}, 0, 0},
        // Every addition carries: the sum must fold as it goes, not once at the end.
        {"ManyCarries", Bytes(2 * 65537, 0xFF), 2 * 65537, 0xFFFF + 2 * 65537},
    };
    for (const Case& row : cases) {
        EXPECT_EQ(peChecksum(row.bytes, row.checksumOffset), row.expected) << row.name;
    }
}

TEST(PeStamp, RefusesHeadersThatPointOutsideTheFile)
{
    struct Case {
        const char* name;
        std::size_t offset;  // where to write value; beyond the end: cut the file to this size instead
        std::uint32_t value;
        const char* error;
    };
    const Case cases[] = {
        {"NoMzSignature", 0, 0x5A4E, "no MZ header"},
        {"PeHeaderBeyondTheEnd", 0x3C, 0x2FF0, "not a PE executable"},
        {"NoPeSignature", kPeOffset, 0x00004551, "not a PE executable"},
        {"OptionalHeaderTooSmall", kPeOffset + 20, 40, "cut short"},
        {"SectionTableBeyondTheEnd", kPeOffset + 6, 2000, "cut short"},
        {"UnknownOptionalHeader", kOptionalOffset, 0x30B, "unknown PE optional header"},
        {"ResourcesInNoSection", kOptionalOffset + 112 + 16, 0x9000, "resource directory is malformed"},
        {"ResourcesLargerThanTheFile", kOptionalOffset + 112 + 20, 0x1000, "resource directory is malformed"},
        {"EntryCountBeyondTheDirectory", kResourceOffset + 14, 0x4000, "resource directory is malformed"},
        {"SubdirectoryBeyondTheSection", kResourceOffset + 20, 0x80000000u | 0x50, "resource directory is malformed"},
        {"DirectoryThatHoldsItself", kResourceOffset + 0x30 + 20, 0x80000000u | 0x30, "resource directory is malformed"},
        {"CutInsideTheHeaders", 0x1000000, 0x100, "cut short"},
    };
    for (const Case& row : cases) {
        Bytes exe = smallExecutable(1, 2);
        if (row.offset >= exe.size()) {
            exe.resize(row.value);
        } else if (row.offset == 0) {
            put16(exe, 0, row.value);
        } else {
            put32(exe, row.offset, row.value);
        }
        std::string error;
        EXPECT_FALSE(normaliseExecutable(exe, 0, error)) << row.name;
        EXPECT_NE(error.find(row.error), std::string::npos) << row.name << ": " << error;
    }
}

}  // namespace
