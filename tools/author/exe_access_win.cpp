// Win32 side of the authoring tool: resource update and lookup, file replacement. The player it
// copies is stripped, which the resource update functions need to leave a well-formed file.
#include "exe_access_win.h"

#include <windows.h>

#include "common/file_io.h"
#include "pe_stamp.h"
#include "quiz/quiz_state.h"

namespace fs = std::filesystem;

const char* const kPlayerResourceName = "PLAYER";

namespace {

const LPCSTR kRawDataType = MAKEINTRESOURCEA(kRawDataResourceType);
const WORD kNeutralLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);

std::string lastError(const char* what)
{
    const DWORD code = GetLastError();
    char text[256] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, sizeof text,
                   nullptr);
    std::string message = std::string(what) + " failed (Windows error " + std::to_string(code) + ")";
    std::string reason = text;
    while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' || reason.back() == ' ')) {
        reason.pop_back();
    }
    return reason.empty() ? message : message + ": " + reason;
}

// The ANSI functions take paths in the ANSI code page; the path came from there on the command line.
std::string ansiPath(const fs::path& path)
{
    const std::wstring wide = path.wstring();
    const int size =
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), &ansi[0], size, nullptr, nullptr);
    return ansi;
}

fs::path pathFromAnsi(const char* ansi)
{
    const int size = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size - 1 : 0), L'\0');
    if (size > 1) {
        MultiByteToWideChar(CP_ACP, 0, ansi, -1, &wide[0], size);
    }
    return fs::path(wide);
}

bool resourceBytes(HMODULE module, LPCSTR type, LPCSTR name, std::vector<unsigned char>& bytes)
{
    HRSRC found = FindResourceA(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) {
        return false;
    }
    const auto* first = static_cast<const unsigned char*>(data);
    bytes.assign(first, first + SizeofResource(module, found));
    return true;
}

bool addResource(HANDLE update, LPCSTR type, int id, const std::vector<unsigned char>& bytes)
{
    return UpdateResourceA(update, type, MAKEINTRESOURCEA(id), kNeutralLanguage,
                           const_cast<unsigned char*>(bytes.data()), static_cast<DWORD>(bytes.size())) != FALSE;
}

}  // namespace

fs::path WindowsExeAccess::toolPath() const
{
    char name[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, name, MAX_PATH);
    return pathFromAnsi(name);
}

bool WindowsExeAccess::writeQuizExe(const fs::path& path, const QuizResourceSet& set, std::string& error)
{
    std::vector<unsigned char> player;
    std::uint32_t stamp = 0;
    if (!resourceBytes(nullptr, kRawDataType, kPlayerResourceName, player) || !peTimeStamp(player, stamp, error)) {
        error = "this tool carries no player (resource " + std::string(kPlayerResourceName) + " is missing or damaged)";
        return false;
    }
    if (!writeFileBytes(path, player.data(), player.size())) {
        error = "cannot create the file";
        return false;
    }
    HANDLE update = BeginUpdateResourceA(ansiPath(path).c_str(), FALSE);
    if (!update) {
        error = lastError("BeginUpdateResource");
        return false;
    }
    bool added = addResource(update, kQuizRecordType, kQuizRecordId, set.quizRecord) &&
                 addResource(update, kQuizRecordType, kCodeRecordId, set.codeRecord);
    for (const MediaItem& item : set.media) {
        added = added && addResource(update, item.rawData ? kRawDataType : kMediaResourceType, item.id, item.bytes);
    }
    if (!added) {
        error = lastError("UpdateResource");
        EndUpdateResourceA(update, TRUE);
        return false;
    }
    if (!EndUpdateResourceA(update, FALSE)) {
        error = lastError("EndUpdateResource");
        return false;
    }
    // The resource writer may stamp the file with the time of writing; the same quiz must give
    // the same bytes, so the player's own stamp is put back and the checksum made to match.
    std::vector<unsigned char> written;
    if (!readFileBytes(path, written) || !normaliseExecutable(written, stamp, error) ||
        !writeFileBytes(path, written.data(), written.size())) {
        if (error.empty()) {
            error = "cannot rewrite the file's header";
        }
        return false;
    }
    return true;
}

bool WindowsExeAccess::readQuizExe(const fs::path& path, QuizResourceSet& set, std::string& error)
{
    std::error_code ignored;
    if (!fs::is_regular_file(path, ignored)) {
        error = "no such file";
        return false;
    }
    HMODULE module = LoadLibraryExA(ansiPath(path).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        error = lastError("opening it as an executable");
        return false;
    }
    set = QuizResourceSet();
    resourceBytes(module, kQuizRecordType, MAKEINTRESOURCEA(kQuizRecordId), set.quizRecord);
    resourceBytes(module, kQuizRecordType, MAKEINTRESOURCEA(kCodeRecordId), set.codeRecord);
    for (const auto resourceId : {cardResourceId, answerPictureId}) {
        for (int n = 1; n <= kMaxQuestions; ++n) {
            for (const bool rawData : {false, true}) {
                MediaItem item{resourceId(n), rawData, {}};
                if (resourceBytes(module, rawData ? kRawDataType : kMediaResourceType, MAKEINTRESOURCEA(item.id),
                                  item.bytes)) {
                    set.media.push_back(std::move(item));
                }
            }
        }
    }
    FreeLibrary(module);
    return true;
}

bool WindowsExeAccess::replaceFile(const fs::path& source, const fs::path& target, std::string& error)
{
    if (!MoveFileExA(ansiPath(source).c_str(), ansiPath(target).c_str(), MOVEFILE_REPLACE_EXISTING)) {
        error = lastError("replacing the file");
        return false;
    }
    return true;
}

bool WindowsExeAccess::runQuiz(const fs::path& exe, std::string& error)
{
    // In its own folder: the quiz writes its saved answers and played media beside itself.
    std::string command = "\"" + ansiPath(exe) + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, ansiPath(exe.parent_path()).c_str(),
                        &startup, &process)) {
        error = lastError("CreateProcess");
        return false;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
