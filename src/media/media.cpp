// The media host: a Windows Media Player control hosted without interface in a zero-sized child
// of the board, fed with question media extracted from the executable's resources to files.
#include "media/media.h"

#include <ocidl.h>
#include <ole2.h>
// Defines the player's class and interface ids in this one file.
#include <initguid.h>
#include <wmp.h>

#include "base/app.h"
#include "base/message_box.h"
#include "base/quiz_resources.h"
#include "base/shell_open.h"
#include "board/board_ids.h"
#include "media/media_names.h"
#include "quiz/quiz_state.h"

MediaState media = {};

namespace {

constexpr const char* kCaption = "Information";
constexpr const char* kNoPlayer = "WindowMediaplayer non d\xE9"
                                  "tect\xE9"
                                  ".";
constexpr const char* kSoundUnloadable = "Impossible de charger le fichier audio.";
constexpr const char* kVideoUnloadable = "Impossible de charger le fichier vid\xE9"
                                         "o.";

constexpr DWORD kPlayerContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;
static_assert(kPlayerContext == 7, "player creation context");
constexpr DWORD kContainerStyle = WS_CHILD | WS_VISIBLE | WS_BORDER;

// Folder, name, number and extension of an extracted file.
constexpr int kFileNameSize = sizeof(QuizState::mediaFolder) + 32;
// Texts handed to the player; the longest is a file name without folder.
constexpr int kPlayerTextSize = 512;

HRESULT createSystemPlayer(IWMPPlayer** player)
{
    return CoCreateInstance(CLSID_WindowsMediaPlayer, nullptr, kPlayerContext, IID_IWMPPlayer,
                            reinterpret_cast<void**>(player));
}

PlayerFactory playerFactory = nullptr;

bool quizHasMedia()
{
    return app.quiz && (app.quiz->mediaKind == kMediaSound || app.quiz->mediaKind == kMediaVideo);
}

bool quizHasVideo()
{
    return app.quiz->mediaKind == kMediaVideo;
}

// The player reads its texts as BSTRs, whose length sits in front of the characters: a plain
// wide buffer would hand it a garbage length.
class PlayerText {
public:
    explicit PlayerText(const char* text)
    {
        wchar_t wide[kPlayerTextSize] = {};
        MultiByteToWideChar(CP_ACP, 0, text, -1, wide, kPlayerTextSize - 1);
        text_ = SysAllocString(wide);
    }
    ~PlayerText() { SysFreeString(text_); }
    PlayerText(const PlayerText&) = delete;
    PlayerText& operator=(const PlayerText&) = delete;
    BSTR get() const { return text_; }

private:
    BSTR text_;
};

// Deletes "enigoN.mp3" or "enigoN.avi" in the current directory; a missing file is no error.
void deleteMediaFile(int question)
{
    char name[kFileNameSize];
    mediaFileName(name, sizeof name, "", question, quizHasVideo());
    DeleteFileA(name);
}

// The whole of bytes in a new file, or no file: a part-written file is removed again.
bool writeWholeFile(const char* name, const void* bytes, DWORD size)
{
    HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool whole = WriteFile(file, bytes, size, &written, nullptr) && written == size;
    CloseHandle(file);
    if (!whole)
        DeleteFileA(name);
    return whole;
}

void reportUnloadable(int kind)
{
    showMessage(nullptr, kind == kMediaFileVideo ? kVideoUnloadable : kSoundUnloadable, kCaption, MB_OK);
}

void playQuestion(HWND board, int question)
{
    if (!media.playerMissing && media.playerControls)
        media.playerControls->stop();
    // Stopped first: Windows does not delete a file that is playing.
    deleteMediaFile(media.lastPlayedQuestion);
    media.lastPlayedQuestion = question;
    if (extractMediaFile(board, cardResourceId(question), app.quiz->mediaKind - 1) != 1)
        return;

    char name[kFileNameSize];
    mediaFileName(name, sizeof name, "", question, quizHasVideo());
    if (media.playerMissing) {
        shellOpen(board, "open", name, nullptr, nullptr, SW_HIDE);
        return;
    }
    PlayerText url(name);
    media.player->put_URL(url.get());
    if (media.playerControls)
        media.playerControls->play();
}

// Stops whatever was played last, whichever card's stop button was pressed.
void stopPlaying()
{
    if (media.playerMissing || !media.playerControls)
        return;
    media.playerControls->stop();
    deleteMediaFile(media.lastPlayedQuestion);
}

// Left to start by itself, the player would start each file as it is given and again on play().
// Wine's player crashes on that second start when the first failed (a file it cannot decode).
void startOnlyWhenAsked(IWMPPlayer* player)
{
    IWMPSettings* settings = nullptr;
    if (SUCCEEDED(player->get_settings(&settings)) && settings) {
        settings->put_autoStart(VARIANT_FALSE);
        settings->Release();
    }
}

void releasePlayer()
{
    if (media.playerControls)
        media.playerControls->Release();
    if (media.player)
        media.player->Release();
    media.playerControls = nullptr;
    media.player = nullptr;
}

}  // namespace

void initMediaHost()
{
    if (!quizHasMedia())
        return;
    // Without the hosting library COM is left uninitialised, and Windows then refuses to make the
    // player: the quiz falls back to the shell.
    media.hostLibrary = LoadLibraryA("atl.dll");
    if (!media.hostLibrary)
        return;
    // Through the generic function type, the one cast GCC accepts between unrelated signatures.
    FARPROC entry = GetProcAddress(media.hostLibrary, "AtlAxAttachControl");
    media.attachControl = reinterpret_cast<AttachControlFunction>(reinterpret_cast<void (*)()>(entry));
    media.comInitialised = SUCCEEDED(CoInitialize(nullptr));
}

void createMediaPlayer(HWND board)
{
    media.playerContainer =
        CreateWindowExA(0, "STATIC", "", kContainerStyle, 0, 0, 0, 0, board,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPlayerContainerId)), app.module, nullptr);

    IWMPPlayer* player = nullptr;
    const HRESULT created = playerFactory ? playerFactory(&player) : createSystemPlayer(&player);
    if (created != S_OK) {
        // Only a plain success counts; an object that came with another result is not kept.
        if (player)
            player->Release();
        media.player = nullptr;
        media.playerMissing = 1;
        showMessage(board, kNoPlayer, kCaption, MB_OK);
        return;
    }
    media.player = player;
    media.playerMissing = 0;
    // A library without the entry point leaves the player unhosted; it still plays sound.
    if (media.attachControl)
        media.attachControl(player, media.playerContainer, nullptr);
    player->get_controls(&media.playerControls);
    PlayerText none("none");
    player->put_uiMode(none.get());
    startOnlyWhenAsked(player);
}

int extractMediaFile(HWND, int id, int kind)
{
    HRSRC found = FindResourceA(app.module, MAKEINTRESOURCEA(id), kMediaResourceType);
    if (!found)
        return 0;
    const DWORD size = SizeofResource(app.module, found);
    HGLOBAL loaded = LoadResource(app.module, found);
    if (!loaded) {
        reportUnloadable(kind);
        return 0;
    }
    const void* bytes = LockResource(loaded);
    if (!bytes)
        return 0;

    char name[kFileNameSize];
    mediaFileName(name, sizeof name, app.quiz->mediaFolder, mediaQuestionOf(id), kind == kMediaFileVideo);
    const bool written = writeWholeFile(name, bytes, size);
    FreeResource(loaded);
    // A missing or partial file would be handed to the player as if it were the media.
    if (!written) {
        reportUnloadable(kind);
        return 0;
    }
    return 1;
}

INT_PTR handleMediaCommand(HWND board, WPARAM command)
{
    if (!quizHasMedia())
        return FALSE;
    const MediaCommand button = mediaCommand(command);
    switch (button.button) {
    case MediaButton::Play:
        playQuestion(board, button.question);
        return TRUE;
    case MediaButton::Stop:
        stopPlaying();
        return TRUE;
    case MediaButton::None:
        break;
    }
    return FALSE;
}

void shutdownMedia(HWND mainWindow)
{
    if (!quizHasMedia())
        return;
    // Windows refuses to delete a file that is playing: stop the player and let it go first.
    // COM objects must also go before COM itself does.
    if (media.playerControls)
        media.playerControls->stop();
    releasePlayer();
    // Every number a quiz may have, whatever this quiz's own count.
    for (int question = 1; question <= kMaxQuestions; ++question)
        deleteMediaFile(question);
    DestroyWindow(mainWindow);
    if (media.comInitialised)
        CoUninitialize();
    if (media.hostLibrary)
        FreeLibrary(media.hostLibrary);
    // Nothing the record held is valid any more.
    media = {};
}

PlayerFactory setPlayerFactory(PlayerFactory factory)
{
    PlayerFactory previous = playerFactory;
    playerFactory = factory;
    return previous;
}
