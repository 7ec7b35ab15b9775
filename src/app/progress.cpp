// The progress file on disk: saved from the board's answer fields through a temporary file,
// and read back through a read-only mapping while the board builds its fields.
#include "app/progress.h"

#include <cstring>

#include "app/progress_lines.h"
#include "board/board_controls.h"
#include "board/board_ids.h"

namespace {

const char kTemporarySuffix[] = ".tmp";

// The temporary sits beside the progress file so that the final rename stays on one volume.
void temporaryFileName(const char* name, char (&temporary)[kTextSize + sizeof kTemporarySuffix])
{
    const std::size_t length = std::strlen(name);
    std::memcpy(temporary, name, length);
    std::memcpy(temporary + length, kTemporarySuffix, sizeof kTemporarySuffix);
}

// The text of the board's control with that id, at most 259 characters; empty without such a control.
void fieldText(HWND board, int id, char (&text)[kTextSize])
{
    text[0] = '\0';
    HWND field = board ? controlOf(boardControls, board, id) : nullptr;
    if (field) {
        SendMessageA(field, WM_GETTEXT, kTextSize, reinterpret_cast<LPARAM>(text));
    }
}

bool writeAnswers(HANDLE file, const QuizState& state)
{
    // questionCount and answersPerQuestion are bounded by the loader (96 and one byte); the wide
    // product only keeps odd states from overflowing.
    const long long lines = static_cast<long long>(state.questionCount) * state.answersPerQuestion;
    for (long long line = 1; line <= lines; ++line) {
        char text[kTextSize];
        fieldText(state.boardWindow, progressFieldId(static_cast<int>(line)), text);
        char bytes[kProgressLineSize];
        const int length = formatProgressLine(text, bytes);
        DWORD written = 0;
        if (!WriteFile(file, bytes, static_cast<DWORD>(length), &written, nullptr) ||
            written != static_cast<DWORD>(length)) {
            return false;
        }
    }
    // The old file is replaced next; the new one must be on disk before it goes.
    return FlushFileBuffers(file) != 0;
}

}  // namespace

void progressFileName(char* name)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    // A path that fills the buffer may come back unterminated: keep its first 259 characters.
    if (length >= MAX_PATH) {
        length = MAX_PATH - 1;
    }
    path[length] = '\0';
    char fileName[kTextSize];
    progressNameFromPath(path, fileName);
    std::memcpy(name, fileName, std::strlen(fileName) + 1);
}

int saveProgress(const QuizState& state)
{
    char name[MAX_PATH];
    progressFileName(name);
    char temporary[kTextSize + sizeof kTemporarySuffix];
    temporaryFileName(name, temporary);
    // A progress file marked read-only is kept as it is. Windows refuses to replace it anyway; Wine run by root
    // would replace it.
    const DWORD attributes = GetFileAttributesA(name);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return 0;
    }

    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 0;
    }
    const bool written = writeAnswers(file, state);
    const bool closed = CloseHandle(file) != 0;
    if (!written || !closed || !MoveFileExA(temporary, name, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temporary);
        return 0;
    }
    return 1;
}

ProgressReader::~ProgressReader()
{
    close();
}

void ProgressReader::open()
{
    close();
    char name[MAX_PATH];
    progressFileName(name);
    file_ = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) {
        return;
    }
    LARGE_INTEGER size;
    // An empty file cannot be mapped, and one larger than the address space cannot be viewed:
    // both read as empty.
    if (!GetFileSizeEx(file_, &size) || size.QuadPart <= 0 ||
        static_cast<unsigned long long>(size.QuadPart) > static_cast<std::size_t>(-1)) {
        return;
    }
    mapping_ = CreateFileMappingA(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!mapping_) {
        return;
    }
    view_ = static_cast<const unsigned char*>(MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0));
    if (view_) {
        size_ = static_cast<std::size_t>(size.QuadPart);
    }
}

void ProgressReader::nextLine(char (&text)[kTextSize])
{
    position_ = readProgressLine(view_, size_, position_, text);
}

void ProgressReader::close()
{
    if (view_) {
        UnmapViewOfFile(view_);
    }
    if (mapping_) {
        CloseHandle(mapping_);
    }
    if (file_ != INVALID_HANDLE_VALUE) {
        CloseHandle(file_);
    }
    file_ = INVALID_HANDLE_VALUE;
    mapping_ = nullptr;
    view_ = nullptr;
    size_ = 0;
    position_ = 0;
}
