// Files through the standard streams; paths through char8_t strings where the language has them.
#include "file_io.h"

#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

bool writeFileBytes(const fs::path& path, const void* data, std::size_t size)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    file.close();
    return static_cast<bool>(file);
}

bool readFileBytes(const fs::path& path, std::vector<unsigned char>& bytes)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

fs::path pathFromUtf8(const std::string& utf8)
{
#if defined(__cpp_char8_t)
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
#else
    return fs::u8path(utf8);
#endif
}

std::string pathToUtf8(const fs::path& path)
{
#if defined(__cpp_char8_t)
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
#else
    return path.u8string();
#endif
}
