// Sound and video of the cards: the media host's start-up and exit, the hidden player the board
// hosts, the extraction of one question's media file, and the cards' play and stop buttons.
#pragma once

#include <unknwn.h>
#include <windows.h>

#include <cstdint>

struct IWMPPlayer;
struct IWMPControls;

// The control-hosting entry point of atl.dll: hosts a control object in a window.
using AttachControlFunction = HRESULT(WINAPI*)(IUnknown* control, HWND window, IUnknown** container);

// The process-wide media host; all zero until start-up.
struct MediaState {
    HMODULE hostLibrary;
    AttachControlFunction attachControl;
    // Whether start-up initialised COM, so exit undoes exactly that.
    int32_t comInitialised;
    int32_t lastPlayedQuestion;
    HWND playerContainer;
    IWMPPlayer* player;
    IWMPControls* playerControls;
    int32_t playerMissing;
};

extern MediaState media;

// The media kind handed to extractMediaFile: the quiz's mediaKind minus 1.
constexpr int kMediaFileSound = 1;
constexpr int kMediaFileVideo = 2;

// Start-up step after the quiz is loaded: the hosting library and COM, for sound and video only.
void initMediaHost();

// Board initialisation step for sound and video: the zero-sized container and the player in it,
// or the message and the shell fallback when no player can be made.
void createMediaPlayer(HWND board);

// Writes resource id of kind (kMediaFileSound or kMediaFileVideo) to "enigoN.mp3"/".avi" in the
// quiz's media folder. 1 when the file was written in full, 0 otherwise (no resource, or the
// resource or the file failed: those two say so in a message box).
int extractMediaFile(HWND owner, int id, int kind);

// The board's WM_COMMAND: plays or stops for a click on a play or stop button of a sound or
// video quiz. TRUE when the command was one of those.
INT_PTR handleMediaCommand(HWND board, WPARAM command);

// Exit step: deletes every media file name a quiz may use, destroys the main window and lets the
// player, COM and the hosting library go. Does nothing for text and picture quizzes.
void shutdownMedia(HWND mainWindow);

// Makes the player object. Tests replace it to force a missing player or to watch the calls.
using PlayerFactory = HRESULT (*)(IWMPPlayer** player);

// Replaces the system player's creation by factory (null restores it); returns the previous one.
PlayerFactory setPlayerFactory(PlayerFactory factory);
