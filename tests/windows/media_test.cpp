// Media playback on real boards built in-process: files extracted on play and removed on stop and
// at exit, the calls the hidden player receives, the shell fallback, and the host's start and end.
#include <windows.h>

#include <ole2.h>
#include <wmp.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/quiz_state_win.h"
#include "board/board.h"
#include "media/media.h"
#include "resource.h"
#include "test_support.h"

namespace {

bool fileExists(const std::string& name) { return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<unsigned char> fileBytes(const std::string& name)
{
    const std::string bytes = readFile(name);
    return {bytes.begin(), bytes.end()};
}

std::vector<std::string> mediaFiles() { return folderContents("enigo*"); }

// Distinct bytes, zeros included, and a distinct length per question.
std::vector<unsigned char> mediaBytes(int question)
{
    std::vector<unsigned char> bytes(1000 + 97 * question);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i * 7 + question * 31);
    return bytes;
}

std::string narrow(BSTR text)
{
    std::string result;
    for (UINT i = 0; i < SysStringLen(text); ++i)
        result += static_cast<char>(text[i]);
    return result;
}

// What the media code never calls.
#define NOT_CALLED(name, ...) \
    HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { return E_NOTIMPL; }

// Stands in for the system's player: one object that is both the player and its controls. It
// logs the calls the media code makes, and at each stop which media files were still there.
class StandInPlayer final : public IWMPPlayer, public IWMPControls {
public:
    std::vector<std::string> calls;
    std::vector<std::vector<std::string>> filesAtStop;
    LONG references = 1;
    // Whether COM was still initialised when the last reference taken from us went.
    bool comAliveAtLastRelease = false;

    void reset()
    {
        calls.clear();
        filesAtStop.clear();
        references = 1;
        comAliveAtLastRelease = false;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IWMPCore) || iid == __uuidof(IWMPPlayer))
            *object = static_cast<IWMPPlayer*>(this);
        else if (iid == __uuidof(IWMPControls))
            *object = static_cast<IWMPControls*>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        if (--references == 1) {
            APTTYPE type;
            APTTYPEQUALIFIER qualifier;
            comAliveAtLastRelease = CoGetApartmentType(&type, &qualifier) == S_OK;
        }
        return references;
    }
    NOT_CALLED(GetTypeInfoCount, UINT*) NOT_CALLED(GetTypeInfo, UINT, LCID, ITypeInfo**)
    NOT_CALLED(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
    NOT_CALLED(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)

    // IWMPCore
    HRESULT STDMETHODCALLTYPE close() override { return log("close"); }
    NOT_CALLED(get_URL, BSTR*)
    HRESULT STDMETHODCALLTYPE put_URL(BSTR url) override { return log("url " + narrow(url)); }
    NOT_CALLED(get_openState, WMPOpenState*) NOT_CALLED(get_playState, WMPPlayState*)
    HRESULT STDMETHODCALLTYPE get_controls(IWMPControls** controls) override
    {
        *controls = this;
        AddRef();
        return S_OK;
    }
    NOT_CALLED(get_settings, IWMPSettings**) NOT_CALLED(get_currentMedia, IWMPMedia**) NOT_CALLED(put_currentMedia, IWMPMedia*)
    NOT_CALLED(get_mediaCollection, IWMPMediaCollection**) NOT_CALLED(get_playlistCollection, IWMPPlaylistCollection**)
    NOT_CALLED(get_versionInfo, BSTR*) NOT_CALLED(launchURL, BSTR) NOT_CALLED(get_network, IWMPNetwork**)
    NOT_CALLED(get_currentPlaylist, IWMPPlaylist**) NOT_CALLED(put_currentPlaylist, IWMPPlaylist*)
    NOT_CALLED(get_cdromCollection, IWMPCdromCollection**) NOT_CALLED(get_closedCaption, IWMPClosedCaption**)
    NOT_CALLED(get_isOnline, VARIANT_BOOL*) NOT_CALLED(get_Error, IWMPError**) NOT_CALLED(get_status, BSTR*)

    // IWMPPlayer
    NOT_CALLED(get_enabled, VARIANT_BOOL*) NOT_CALLED(put_enabled, VARIANT_BOOL) NOT_CALLED(get_fullScreen, VARIANT_BOOL*)
    NOT_CALLED(put_fullScreen, VARIANT_BOOL) NOT_CALLED(get_enableContextMenu, VARIANT_BOOL*)
    NOT_CALLED(put_enableContextMenu, VARIANT_BOOL)
    HRESULT STDMETHODCALLTYPE put_uiMode(BSTR mode) override { return log("uiMode " + narrow(mode)); }
    NOT_CALLED(get_uiMode, BSTR*)

    // IWMPControls
    NOT_CALLED(get_isAvailable, BSTR, VARIANT_BOOL*)
    HRESULT STDMETHODCALLTYPE play() override { return log("play"); }
    HRESULT STDMETHODCALLTYPE stop() override
    {
        filesAtStop.push_back(mediaFiles());
        return log("stop");
    }
    HRESULT STDMETHODCALLTYPE pause() override { return log("pause"); }
    NOT_CALLED(fastForward) NOT_CALLED(fastReverse) NOT_CALLED(get_currentPosition, double*) NOT_CALLED(put_currentPosition, double)
    NOT_CALLED(get_currentPositionString, BSTR*) NOT_CALLED(next) NOT_CALLED(previous) NOT_CALLED(currentItem, IWMPMedia**)
    NOT_CALLED(put_currentItem, IWMPMedia*) NOT_CALLED(get_currentMarker, LONG*) NOT_CALLED(put_currentMarker, LONG)
    NOT_CALLED(playItem, IWMPMedia*)

private:
    HRESULT log(const std::string& call)
    {
        calls.push_back(call);
        return S_OK;
    }
};
#undef NOT_CALLED

StandInPlayer standIn;

HRESULT makeStandIn(IWMPPlayer** player)
{
    *player = &standIn;
    standIn.AddRef();
    return S_OK;
}

// What a failing creation returns; S_FALSE comes with an object, the errors without.
HRESULT forcedResult = S_OK;

HRESULT failCreation(IWMPPlayer** player)
{
    if (forcedResult == S_FALSE)
        makeStandIn(player);
    return forcedResult;
}

// Board and judging tests build sound and video boards without a media host: they get the
// stand-in, so no test depends on the system's player or waits on a message box about it.
class StandInPlayerByDefault : public testing::Environment {
public:
    void SetUp() override { setPlayerFactory(makeStandIn); }
};

testing::Environment* const standInByDefault = testing::AddGlobalTestEnvironment(new StandInPlayerByDefault);

struct Attachment {
    IUnknown* control;
    HWND window;
    IUnknown** container;
};

std::vector<Attachment> attachments;

HRESULT WINAPI recordAttach(IUnknown* control, HWND window, IUnknown** container)
{
    attachments.push_back({control, window, container});
    return S_OK;
}

const std::vector<std::string> kStopped = {"stop"};

std::vector<std::string> played(const std::string& file) { return {"stop", "url " + file, "play"}; }

// A real board of a sound, video, picture or text quiz whose media are written into a fixture
// module, in a scratch current folder, with the shell captured.
class Media : public testing::Test {
protected:
    void SetUp() override
    {
        media = {};
        standIn.reset();
        attachments.clear();
        parent_ = CreateWindowExA(0, "Static", "main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1000, 700, nullptr,
                                  nullptr, self(), nullptr);
    }

    void TearDown() override
    {
        shutdownMedia(parent_);
        if (IsWindow(parent_))
            DestroyWindow(parent_);
        setPlayerFactory(makeStandIn);
        media = {};
    }

    // A quiz of the given kind and number of questions; the listed questions get media resources.
    void describeQuiz(int mediaKind, int questions, const std::vector<int>& withMedia)
    {
        for (int question : withMedia)
            module_.add("IMG", 400 + question, mediaBytes(question));
        app.module = module_.load();
        ::describeQuiz({mediaKind, questions, 1, 0});
    }

    HWND build()
    {
        board_ = CreateDialogParamA(self(), MAKEINTRESOURCEA(IDD_BOARD), parent_, boardProc, 0);
        EXPECT_NE(board_, nullptr);
        return board_;
    }

    // A real click on a card button, or the command as the board receives it.
    void click(int id)
    {
        HWND button = GetDlgItem(board_, id);
        ASSERT_NE(button, nullptr) << "no button " << id;
        SendMessageA(button, BM_CLICK, 0, 0);
    }

    void command(WPARAM wParam) { SendMessageA(board_, WM_COMMAND, wParam, 0); }

    // The calls the stand-in got after it was set up in the board.
    std::vector<std::string> playerCalls() const
    {
        std::vector<std::string> calls = standIn.calls;
        if (!calls.empty() && calls.front() == "uiMode none")
            calls.erase(calls.begin());
        return calls;
    }

    ScratchFolder scratch_;
    QuizApp quizApp_;
    ShellCapture shell_;
    FixtureModule module_;
    HWND parent_ = nullptr;
    HWND board_ = nullptr;
};

TEST_F(Media, PlayingAnotherCardStopsAndDeletesTheFirstThenPlaysItsOwnFile)
{
    describeQuiz(kMediaSound, 5, {1, 2, 3, 4, 5});
    build();
    click(6003);
    EXPECT_EQ(playerCalls(), played("enigo3.mp3"));
    EXPECT_EQ(fileBytes("enigo3.mp3"), mediaBytes(3));

    standIn.calls.clear();
    standIn.filesAtStop.clear();
    click(6005);
    EXPECT_EQ(playerCalls(), played("enigo5.mp3"));
    // Stopped while its file was still there: Windows would refuse to delete a playing file.
    ASSERT_EQ(standIn.filesAtStop.size(), 1u);
    EXPECT_EQ(standIn.filesAtStop[0], std::vector<std::string>{"enigo3.mp3"});
    EXPECT_EQ(mediaFiles(), std::vector<std::string>{"enigo5.mp3"});
    EXPECT_EQ(fileBytes("enigo5.mp3"), mediaBytes(5));
}

TEST_F(Media, AnyStopButtonStopsAndDeletesWhatWasPlayedLast)
{
    describeQuiz(kMediaSound, 4, {1, 2, 3, 4});
    build();
    click(6002);
    standIn.calls.clear();
    standIn.filesAtStop.clear();
    click(7004);
    EXPECT_EQ(playerCalls(), kStopped);
    ASSERT_EQ(standIn.filesAtStop.size(), 1u);
    EXPECT_EQ(standIn.filesAtStop[0], std::vector<std::string>{"enigo2.mp3"});
    EXPECT_TRUE(mediaFiles().empty());

    // Once more: the idle player is stopped again and nothing else happens.
    click(7002);
    EXPECT_EQ(playerCalls(), std::vector<std::string>({"stop", "stop"}));
    EXPECT_TRUE(mediaFiles().empty());
}

TEST_F(Media, StopBeforeAnyPlayOnlyStopsTheIdlePlayer)
{
    describeQuiz(kMediaSound, 3, {1, 2, 3});
    writeFile("enigo1.mp3", "left by someone else");
    build();
    click(7001);
    EXPECT_EQ(playerCalls(), kStopped);
    // No question has played yet: the file of question 1 is not the one to delete.
    EXPECT_EQ(mediaFiles(), std::vector<std::string>{"enigo1.mp3"});
    EXPECT_TRUE(shell_.requests().empty());
}

TEST_F(Media, SamePlayButtonTwiceWritesAndPlaysTheFileAfresh)
{
    describeQuiz(kMediaSound, 3, {1, 2, 3});
    build();
    click(6002);
    writeFile("enigo2.mp3", "spoilt");
    standIn.calls.clear();
    click(6002);
    EXPECT_EQ(playerCalls(), played("enigo2.mp3"));
    EXPECT_EQ(fileBytes("enigo2.mp3"), mediaBytes(2));
}

TEST_F(Media, VideoQuizUsesAviNamesThroughout)
{
    describeQuiz(kMediaVideo, 4, {1, 2, 3, 4});
    writeFile("enigo7.avi", "stray video");
    writeFile("enigo7.mp3", "stray sound");
    build();
    click(6002);
    EXPECT_EQ(playerCalls(), played("enigo2.avi"));
    EXPECT_EQ(fileBytes("enigo2.avi"), mediaBytes(2));
    EXPECT_FALSE(fileExists("enigo2.mp3"));

    click(6004);
    EXPECT_FALSE(fileExists("enigo2.avi"));
    click(7001);
    EXPECT_FALSE(fileExists("enigo4.avi"));

    shutdownMedia(parent_);
    EXPECT_EQ(mediaFiles(), std::vector<std::string>{"enigo7.mp3"});
}

TEST_F(Media, ExitDeletesEveryMediaNumberUpToTheLargestQuiz)
{
    describeQuiz(kMediaSound, 4, {1, 2, 3, 4});
    for (const char* name : {"enigo1.mp3", "enigo50.mp3", "enigo96.mp3", "enigo97.mp3", "enigo5.avi"})
        writeFile(name, "stray");
    initMediaHost();
    build();
    click(6002);
    ASSERT_TRUE(fileExists("enigo2.mp3"));

    standIn.filesAtStop.clear();
    shutdownMedia(parent_);
    EXPECT_EQ(mediaFiles(), std::vector<std::string>({"enigo5.avi", "enigo97.mp3"}));
    // The file in play is stopped before it is deleted: Windows keeps a playing file.
    ASSERT_EQ(standIn.filesAtStop.size(), 1u);
    const std::vector<std::string>& atStop = standIn.filesAtStop.front();
    EXPECT_NE(std::find(atStop.begin(), atStop.end(), "enigo2.mp3"), atStop.end());
    EXPECT_FALSE(IsWindow(parent_)) << "the main window is destroyed";
    EXPECT_FALSE(IsWindow(board_));
    // Every reference the media code took was given back, while COM was still there.
    EXPECT_EQ(standIn.references, 1);
    EXPECT_TRUE(standIn.comAliveAtLastRelease);
    // COM is back to uninitialised: initialising it now is a first initialisation.
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
}

class MediaKinds : public Media, public testing::WithParamInterface<int> {};
class NonMediaKinds : public Media, public testing::WithParamInterface<int> {};

TEST_P(MediaKinds, LoadTheHostingLibraryAndComUntilExit)
{
    app.quiz->mediaKind = GetParam();
    initMediaHost();
    EXPECT_NE(media.hostLibrary, nullptr);
    EXPECT_EQ(media.hostLibrary, GetModuleHandleA("atl.dll"));
    EXPECT_EQ(reinterpret_cast<void*>(media.attachControl),
              reinterpret_cast<void*>(GetProcAddress(media.hostLibrary, "AtlAxAttachControl")));
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE) << "already initialised for this thread";
    CoUninitialize();

    shutdownMedia(parent_);
    EXPECT_EQ(CoInitialize(nullptr), S_OK) << "still initialised after exit";
    CoUninitialize();
}

TEST_P(NonMediaKinds, LeaveLibraryComFilesAndCommandsAlone)
{
    const bool hostLoadedBefore = GetModuleHandleA("atl.dll") != nullptr;
    // Question 1 has an IMG resource that a mistaken extraction would write out.
    describeQuiz(GetParam(), 3, {1});
    writeFile("enigo2.mp3", "stray");
    initMediaHost();
    if (!hostLoadedBefore) {
        EXPECT_EQ(GetModuleHandleA("atl.dll"), nullptr);
    }
    EXPECT_EQ(CoInitialize(nullptr), S_OK) << "COM was initialised";
    CoUninitialize();

    MessageCapture capture;
    build();
    EXPECT_EQ(GetDlgItem(board_, 9900), nullptr);
    for (WPARAM id : {6001, 6002, 7001})
        command(id);
    EXPECT_TRUE(standIn.calls.empty());
    EXPECT_TRUE(shell_.requests().empty());
    EXPECT_EQ(mediaFiles(), std::vector<std::string>{"enigo2.mp3"});

    shutdownMedia(parent_);
    EXPECT_TRUE(IsWindow(parent_)) << "only the media kinds destroy the main window here";
    EXPECT_EQ(mediaFiles(), std::vector<std::string>{"enigo2.mp3"});
}

INSTANTIATE_TEST_SUITE_P(SoundAndVideo, MediaKinds, testing::Values(kMediaSound, kMediaVideo));
INSTANTIATE_TEST_SUITE_P(TextAndPicture, NonMediaKinds, testing::Values(kMediaText, kMediaPicture));

TEST_F(Media, PlayerLivesUnseenInAZeroSizedContainer)
{
    describeQuiz(kMediaSound, 2, {1, 2});
    initMediaHost();
    media.attachControl = recordAttach;
    build();
    HWND container = GetDlgItem(board_, 9900);
    ASSERT_NE(container, nullptr);
    char className[16] = {};
    GetClassNameA(container, className, sizeof className);
    EXPECT_EQ(lstrcmpiA(className, "Static"), 0) << className;
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(container, GWL_STYLE)), static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_BORDER));
    expectPlace(container, 0, 0, 0, 0);
    // Made before the cards: the first child of the board.
    EXPECT_EQ(GetWindow(board_, GW_CHILD), container);

    ASSERT_EQ(attachments.size(), 1u);
    EXPECT_EQ(attachments[0].control, static_cast<IUnknown*>(static_cast<IWMPPlayer*>(&standIn)));
    EXPECT_EQ(attachments[0].window, container);
    EXPECT_EQ(attachments[0].container, nullptr);
    EXPECT_EQ(standIn.calls, std::vector<std::string>{"uiMode none"});
}

TEST_F(Media, WithoutPlayerTheShellOpensEachFileAndStopLeavesIt)
{
    forcedResult = REGDB_E_CLASSNOTREG;
    setPlayerFactory(failCreation);
    describeQuiz(kMediaSound, 4, {1, 2, 3, 4});
    MessageCapture capture;
    build();
    ASSERT_EQ(capture.messages().size(), 1u);
    expectMessage(capture.messages()[0], board_, "WindowMediaplayer non d\xE9" "tect\xE9" ".", "Information", MB_OK);
    // The board is built on: container and buttons all there.
    EXPECT_NE(GetDlgItem(board_, 9900), nullptr);
    EXPECT_NE(GetDlgItem(board_, 6004), nullptr);
    EXPECT_NE(GetDlgItem(board_, 7004), nullptr);

    click(6003);
    ASSERT_EQ(shell_.requests().size(), 1u);
    const ShellRequest& request = shell_.requests()[0];
    EXPECT_EQ(request.owner, board_);
    EXPECT_EQ(request.verb, "open");
    EXPECT_EQ(request.file, "enigo3.mp3");
    EXPECT_FALSE(request.parameters || request.directory);
    EXPECT_EQ(request.show, SW_HIDE);
    EXPECT_EQ(fileBytes("enigo3.mp3"), mediaBytes(3));

    click(7003);
    click(7001);
    EXPECT_EQ(shell_.requests().size(), 1u);
    EXPECT_EQ(mediaFiles(), std::vector<std::string>{"enigo3.mp3"}) << "the shell's application may still use it";
    EXPECT_TRUE(standIn.calls.empty());
    EXPECT_EQ(capture.messages().size(), 1u);

    shutdownMedia(parent_);
    EXPECT_TRUE(mediaFiles().empty());
}

class CreationResults : public Media, public testing::WithParamInterface<HRESULT> {};

TEST_P(CreationResults, AnythingButPlainSuccessMeansNoPlayer)
{
    forcedResult = GetParam();
    setPlayerFactory(failCreation);
    describeQuiz(kMediaSound, 1, {1});
    MessageCapture capture;
    build();
    ASSERT_EQ(capture.messages().size(), 1u);
    EXPECT_EQ(capture.messages()[0].owner, board_);
    // An object that came along with S_FALSE is given back, not used.
    EXPECT_EQ(standIn.references, 1);
    click(6001);
    EXPECT_TRUE(standIn.calls.empty());
    EXPECT_EQ(shell_.requests().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Failures, CreationResults, testing::Values(REGDB_E_CLASSNOTREG, E_NOINTERFACE, S_FALSE));

// The system's own player, hosted through atl.dll: made without a message, takes the files it
// is given and lets them be deleted on the next play and on stop; everything is let go at exit.
TEST_F(Media, SystemPlayerIsHostedAndPlays)
{
    setPlayerFactory(nullptr);
    describeQuiz(kMediaSound, 2, {1, 2});
    initMediaHost();
    MessageCapture capture;
    build();
    EXPECT_TRUE(capture.messages().empty());
    EXPECT_EQ(media.playerMissing, 0);
    EXPECT_NE(media.playerControls, nullptr);

    // The bytes are no sound the player can decode: neither start may bring the player down.
    click(6001);
    EXPECT_EQ(fileBytes("enigo1.mp3"), mediaBytes(1));
    click(6002);
    EXPECT_EQ(mediaFiles(), std::vector<std::string>{"enigo2.mp3"});
    click(7002);
    EXPECT_TRUE(mediaFiles().empty());
    EXPECT_TRUE(shell_.requests().empty());
    EXPECT_TRUE(capture.messages().empty());

    shutdownMedia(parent_);
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
}

struct WriteFailureCase {
    int mediaKind;
    const char* blocked;
    const char* message;
};

class WriteFailures : public Media, public testing::WithParamInterface<WriteFailureCase> {};

// A folder where the file should go: the file cannot be created, so nothing is played.
TEST_P(WriteFailures, FileThatCannotBeWrittenIsAFailedExtraction)
{
    const WriteFailureCase& c = GetParam();
    describeQuiz(c.mediaKind, 3, {1, 2, 3});
    ASSERT_TRUE(CreateDirectoryA(c.blocked, nullptr));
    build();
    MessageCapture capture;
    click(6003);
    EXPECT_EQ(playerCalls(), kStopped) << "stopped, but handed nothing to play";
    ASSERT_EQ(capture.messages().size(), 1u);
    expectMessage(capture.messages()[0], nullptr, c.message, "Information", MB_OK);

    EXPECT_EQ(extractMediaFile(board_, 403, c.mediaKind - 1), 0);
    EXPECT_EQ(extractMediaFile(board_, 402, c.mediaKind - 1), 1);
    EXPECT_EQ(capture.messages().size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(SoundAndVideo, WriteFailures,
                         testing::Values(WriteFailureCase{kMediaSound, "enigo3.mp3", "Impossible de charger le fichier audio."},
                                         WriteFailureCase{kMediaVideo, "enigo3.avi",
                                                          "Impossible de charger le fichier vid\xE9" "o."}));

TEST_F(Media, QuestionWithoutMediaPlaysNothingAndSaysNothing)
{
    describeQuiz(kMediaSound, 3, {1, 2});
    build();
    click(6001);
    MessageCapture capture;
    standIn.calls.clear();
    click(6003);
    EXPECT_EQ(playerCalls(), kStopped);
    EXPECT_TRUE(mediaFiles().empty()) << "the previous file is gone, no new one written";
    EXPECT_TRUE(capture.messages().empty());
    EXPECT_EQ(extractMediaFile(board_, 403, 1), 0);
}

struct CommandCase {
    WPARAM command;
    std::vector<std::string> calls;
    std::vector<std::string> files;
};

// The board compares the command's whole first parameter with the play and stop ranges. No
// hosting entry is loaded here: the player is used unhosted, never called through null.
TEST_F(Media, OnlyPlainClicksOfTheButtonRangesCount)
{
    describeQuiz(kMediaSound, 3, {1, 96});
    build();
    const CommandCase cases[] = {
        {6001, played("enigo1.mp3"), {"enigo1.mp3"}},
        {6096, played("enigo96.mp3"), {"enigo96.mp3"}},
        {7001, kStopped, {}},
        {7096, kStopped, {}},
        {6000, {}, {}},
        {6097, {}, {}},
        {7000, {}, {}},
        {7097, {}, {}},
        {9900, {}, {}},
        {MAKEWPARAM(6001, BN_DOUBLECLICKED), {}, {}},
        {MAKEWPARAM(7001, 1), {}, {}},
        {(WPARAM{1} << 32) | 6001, {}, {}},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.command);
        click(7001);
        standIn.calls.clear();
        command(c.command);
        EXPECT_EQ(standIn.calls, c.calls);
        EXPECT_EQ(mediaFiles(), c.files);
    }
}

} // namespace
