// PE header walking with bounds checks: header, section table, resource directory tree.
#include "pe_stamp.h"

namespace {

constexpr std::size_t kDosLfanewOffset = 0x3C;
constexpr std::size_t kCoffHeaderSize = 20;
constexpr std::size_t kCoffStampOffset = 4;  // inside the COFF header, after "PE\0\0"
constexpr std::size_t kOptionalChecksumOffset = 64;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kResourceDirectoryIndex = 2;
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
// A resource tree has three levels (type, name, language); anything deeper is malformed.
constexpr int kResourceTreeDepth = 3;

std::uint32_t read16(const std::vector<unsigned char>& bytes, std::size_t offset)
{
    return static_cast<std::uint32_t>(bytes[offset] | bytes[offset + 1] << 8);
}

std::uint32_t read32(const std::vector<unsigned char>& bytes, std::size_t offset)
{
    return read16(bytes, offset) | read16(bytes, offset + 2) << 16;
}

void write32(std::vector<unsigned char>& bytes, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        bytes[offset + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
    }
}

bool fits(const std::vector<unsigned char>& bytes, std::size_t offset, std::size_t size)
{
    return offset <= bytes.size() && size <= bytes.size() - offset;
}

struct PeLayout {
    std::size_t coffOffset;      // first byte after the "PE\0\0" signature
    std::size_t optionalOffset;  // first byte of the optional header
    std::size_t sectionsOffset;
    std::size_t sectionCount;
    std::uint32_t resourceRva;
    std::uint32_t resourceSize;
};

bool readLayout(const std::vector<unsigned char>& exe, PeLayout& layout, std::string& error)
{
    if (!fits(exe, 0, kDosLfanewOffset + 4) || exe[0] != 'M' || exe[1] != 'Z') {
        error = "not an executable (no MZ header)";
        return false;
    }
    const std::size_t peOffset = read32(exe, kDosLfanewOffset);
    if (!fits(exe, peOffset, 4 + kCoffHeaderSize) || read32(exe, peOffset) != 0x00004550) {
        error = "not a PE executable";
        return false;
    }
    layout.coffOffset = peOffset + 4;
    layout.sectionCount = read16(exe, layout.coffOffset + 2);
    const std::size_t optionalSize = read16(exe, layout.coffOffset + 16);
    layout.optionalOffset = layout.coffOffset + kCoffHeaderSize;
    layout.sectionsOffset = layout.optionalOffset + optionalSize;
    if (!fits(exe, layout.optionalOffset, optionalSize) || optionalSize < kOptionalChecksumOffset + 4 ||
        !fits(exe, layout.sectionsOffset, layout.sectionCount * kSectionHeaderSize)) {
        error = "the PE headers are cut short";
        return false;
    }
    const std::uint32_t magic = read16(exe, layout.optionalOffset);
    const std::size_t directoriesOffset = magic == kPe32PlusMagic ? 112 : magic == kPe32Magic ? 96 : 0;
    if (directoriesOffset == 0) {
        error = "unknown PE optional header";
        return false;
    }
    const std::size_t resourceEntry = directoriesOffset + 8 * kResourceDirectoryIndex;
    layout.resourceRva = 0;
    layout.resourceSize = 0;
    if (resourceEntry + 8 <= optionalSize) {
        layout.resourceRva = read32(exe, layout.optionalOffset + resourceEntry);
        layout.resourceSize = read32(exe, layout.optionalOffset + resourceEntry + 4);
    }
    return true;
}

// File offset of the resource section's start, found through the section holding its address.
bool resourceFileOffset(const std::vector<unsigned char>& exe, const PeLayout& layout, std::size_t& offset)
{
    for (std::size_t i = 0; i < layout.sectionCount; ++i) {
        const std::size_t header = layout.sectionsOffset + i * kSectionHeaderSize;
        const std::uint32_t virtualAddress = read32(exe, header + 12);
        const std::uint32_t rawSize = read32(exe, header + 16);
        const std::uint32_t rawOffset = read32(exe, header + 20);
        if (layout.resourceRva >= virtualAddress && layout.resourceRva - virtualAddress < rawSize) {
            offset = rawOffset + (layout.resourceRva - virtualAddress);
            return fits(exe, offset, layout.resourceSize);
        }
    }
    return false;
}

// Clears the time stamp of the directory at directory (relative to the tree's root) and of
// every directory below it.
bool clearDirectoryStamps(std::vector<unsigned char>& exe, std::size_t root, std::size_t size, std::size_t directory,
                          int depth)
{
    constexpr std::size_t kDirectorySize = 16;
    constexpr std::size_t kEntrySize = 8;
    constexpr std::uint32_t kSubdirectoryFlag = 0x80000000u;
    if (depth > kResourceTreeDepth || directory > size || size - directory < kDirectorySize) {
        return false;
    }
    write32(exe, root + directory + 4, 0);
    const std::size_t entries = read16(exe, root + directory + 12) + read16(exe, root + directory + 14);
    if (entries * kEntrySize > size - directory - kDirectorySize) {
        return false;
    }
    for (std::size_t i = 0; i < entries; ++i) {
        const std::uint32_t target = read32(exe, root + directory + kDirectorySize + i * kEntrySize + 4);
        if ((target & kSubdirectoryFlag) != 0 &&
            !clearDirectoryStamps(exe, root, size, target & ~kSubdirectoryFlag, depth + 1)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool peTimeStamp(const std::vector<unsigned char>& exe, std::uint32_t& stamp, std::string& error)
{
    PeLayout layout;
    if (!readLayout(exe, layout, error)) {
        return false;
    }
    stamp = read32(exe, layout.coffOffset + kCoffStampOffset);
    return true;
}

bool normaliseExecutable(std::vector<unsigned char>& exe, std::uint32_t stamp, std::string& error)
{
    PeLayout layout;
    if (!readLayout(exe, layout, error)) {
        return false;
    }
    write32(exe, layout.coffOffset + kCoffStampOffset, stamp);
    if (layout.resourceSize != 0) {
        std::size_t root = 0;
        if (!resourceFileOffset(exe, layout, root) || !clearDirectoryStamps(exe, root, layout.resourceSize, 0, 1)) {
            error = "the resource directory is malformed";
            return false;
        }
    }
    const std::size_t checksumOffset = layout.optionalOffset + kOptionalChecksumOffset;
    write32(exe, checksumOffset, peChecksum(exe, checksumOffset));
    return true;
}

std::uint32_t peChecksum(const std::vector<unsigned char>& exe, std::size_t checksumOffset)
{
    // 16-bit one's-complement style sum with the carries folded back in, plus the file length.
    std::uint64_t sum = 0;
    for (std::size_t offset = 0; offset < exe.size(); offset += 2) {
        if (offset >= checksumOffset && offset < checksumOffset + 4) {
            continue;
        }
        std::uint32_t word = exe[offset];
        if (offset + 1 < exe.size()) {
            word |= static_cast<std::uint32_t>(exe[offset + 1]) << 8;
        }
        sum += word;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint32_t>(sum) + static_cast<std::uint32_t>(exe.size());
}
