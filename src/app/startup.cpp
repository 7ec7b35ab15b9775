// Start-up sequence, message loop and orderly teardown of the player.
#include "app/startup.h"

#include <new>

#include "app/main_window.h"
#include "base/app.h"
#include "base/edit_font.h"
#include "base/message_box.h"
#include "board/board.h"
#include "judging/header.h"
#include "media/media.h"
#include "pictures/picture.h"
#include "quiz/quiz_loader.h"
#include "quiz/quiz_state_win.h"
#include "resource.h"

namespace {

constexpr const char* kWindowFailure = "Erreur dans la cr\xE9"
                                       "ation de la fen\xEA"
                                       "tre principale";

void reportWindowFailure()
{
    showMessage(nullptr, kWindowFailure, "Enigo information", MB_ICONINFORMATION);
}

}  // namespace

HWND createMainWindow(HINSTANCE module)
{
    HWND main = CreateWindowExA(0, kMainWindowClass, app.quiz->title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                kMainWindowWidth, kMainWindowHeight, nullptr, nullptr, module, nullptr);
    if (!main)
        return nullptr;
    centreOnDesktop(main);

    app.headerWindow = CreateDialogParamA(module, MAKEINTRESOURCEA(IDD_HEADER), main, headerProc, 0);
    app.quiz->headerWindow = app.headerWindow;
    ShowWindow(app.headerWindow, SW_SHOW);

    // Stored only once creation returns: while the board builds its cards, boardWindow is still null.
    app.boardWindow = CreateDialogParamA(module, MAKEINTRESOURCEA(IDD_BOARD), main, boardProc, 0);
    app.quiz->boardWindow = app.boardWindow;
    if (!app.headerWindow || !app.boardWindow) {
        DestroyWindow(main);
        // Destroying the main window posted the quit message, which would close the failure
        // message before anyone could read it.
        MSG quit;
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        app.headerWindow = app.quiz->headerWindow = nullptr;
        app.boardWindow = app.quiz->boardWindow = nullptr;
        return nullptr;
    }

    // The windows are always shown normally. On the first call Windows may put the show command
    // the program was started with (a shortcut set to minimised, "start /min") in place of ours;
    // a second call is taken as given.
    ShowWindow(main, SW_SHOWNORMAL);
    if (IsIconic(main) || IsZoomed(main))
        ShowWindow(main, SW_SHOWNORMAL);
    ShowWindow(app.boardWindow, SW_SHOW);
    SendMessageA(app.boardWindow, WM_VSCROLL, SB_TOP, 0);
    return main;
}

namespace {

int runMessageLoop()
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // Dialog navigation on the board is what moves the focus between answer fields on Tab.
        if (!IsDialogMessageA(app.boardWindow, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

void teardown(HWND main)
{
    EndDialog(app.boardWindow, 0);
    DestroyWindow(app.headerWindow);
    shutdownMedia(main);
    releasePictureApartment();
    releaseEditFonts();
    DeleteObject(app.labelBrush);
    app.labelBrush = nullptr;
    if (app.quiz) {
        releaseQuizState(*app.quiz);
        delete app.quiz;
        app.quiz = nullptr;
    }
}

}  // namespace

int runEnigo(HINSTANCE module)
{
    app.module = module;
    if (!registerMainWindowClass(module)) {
        reportWindowFailure();
        return 0;
    }
    app.labelBrush = CreateSolidBrush(kLabelColour);

    app.quiz = new (std::nothrow) QuizState;
    if (!app.quiz) {
        showOutOfMemory();
        teardown(nullptr);
        return 0;
    }
    initQuizState(*app.quiz);
    loadQuiz(*app.quiz, module);
    initMediaHost();
    if (app.quiz->mediaKind == kMediaPicture)
        holdPictureApartment();

    int exitCode = 0;
    HWND main = createMainWindow(module);
    if (main)
        exitCode = runMessageLoop();
    else
        reportWindowFailure();
    teardown(main);
    return exitCode;
}
