// Media on real boards: files extracted on play, removed on stop and at exit, the player's calls, the shell fallback.
#include <windows.h>

#include <ole2.h>
#include <wmp.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/app.h"
#include "board/board.h"
#include "media/media.h"
#include "quiz/quiz_state_win.h"
#include "resource.h"
#include "test_support.h"

namespace {

using Names = std::vector<std::string>;

Names mediaFiles() { return folderContents("enigo*"); }

// Distinct bytes, zeros included, and a distinct length per question.
std::string mediaBytes(int question)
{
    std::string bytes(1000 + 97 * question, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 + question * 31);
    return bytes;
}

bool comIsUp()
{
    const HRESULT probe = CoInitialize(nullptr);
    if (SUCCEEDED(probe))
        CoUninitialize();
    return probe == S_FALSE;
}

std::string narrow(BSTR text) { return std::string(text, text + SysStringLen(text)); }

#define NOT_CALLED(name, ...) \
    HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { return E_NOTIMPL; }
#define LOGGED(name, text, ...) \
    HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { return log(text); }

// Player and controls in one: logs the calls, the files present at each stop, and COM's state at the last release.
class StandInPlayer final : public IWMPPlayer, public IWMPControls {
public:
    Names calls;
    std::vector<Names> filesAtStop;
    LONG references = 1;
    bool comAliveAtLastRelease = false;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IWMPCore) || iid == __uuidof(IWMPPlayer))
            *object = static_cast<IWMPPlayer*>(this);
        else if (iid == __uuidof(IWMPControls))
            *object = static_cast<IWMPControls*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        if (--references == 1)
            comAliveAtLastRelease = comIsUp();
        return references;
    }
    HRESULT STDMETHODCALLTYPE get_controls(IWMPControls** controls) override { return *controls = this, AddRef(), S_OK; }
    LOGGED(put_URL, "url " + narrow(url), BSTR url) LOGGED(put_uiMode, "uiMode " + narrow(mode), BSTR mode)
    LOGGED(close, "close") LOGGED(play, "play") LOGGED(pause, "pause")
    LOGGED(stop, (filesAtStop.push_back(mediaFiles()), "stop"))
    NOT_CALLED(GetTypeInfoCount, UINT*) NOT_CALLED(GetTypeInfo, UINT, LCID, ITypeInfo**)
    NOT_CALLED(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
    NOT_CALLED(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
    NOT_CALLED(get_URL, BSTR*) NOT_CALLED(get_openState, WMPOpenState*) NOT_CALLED(get_playState, WMPPlayState*)
    NOT_CALLED(get_settings, IWMPSettings**) NOT_CALLED(get_currentMedia, IWMPMedia**) NOT_CALLED(put_currentMedia, IWMPMedia*)
    NOT_CALLED(get_mediaCollection, IWMPMediaCollection**) NOT_CALLED(get_playlistCollection, IWMPPlaylistCollection**)
    NOT_CALLED(get_versionInfo, BSTR*) NOT_CALLED(launchURL, BSTR) NOT_CALLED(get_network, IWMPNetwork**)
    NOT_CALLED(get_currentPlaylist, IWMPPlaylist**) NOT_CALLED(put_currentPlaylist, IWMPPlaylist*)
    NOT_CALLED(get_cdromCollection, IWMPCdromCollection**) NOT_CALLED(get_closedCaption, IWMPClosedCaption**)
    NOT_CALLED(get_isOnline, VARIANT_BOOL*) NOT_CALLED(get_Error, IWMPError**) NOT_CALLED(get_status, BSTR*)
    NOT_CALLED(get_enabled, VARIANT_BOOL*) NOT_CALLED(put_enabled, VARIANT_BOOL) NOT_CALLED(get_fullScreen, VARIANT_BOOL*)
    NOT_CALLED(put_fullScreen, VARIANT_BOOL) NOT_CALLED(get_enableContextMenu, VARIANT_BOOL*)
    NOT_CALLED(put_enableContextMenu, VARIANT_BOOL) NOT_CALLED(get_uiMode, BSTR*) NOT_CALLED(get_isAvailable, BSTR, VARIANT_BOOL*)
    NOT_CALLED(fastForward) NOT_CALLED(fastReverse) NOT_CALLED(get_currentPosition, double*) NOT_CALLED(put_currentPosition, double)
    NOT_CALLED(get_currentPositionString, BSTR*) NOT_CALLED(next) NOT_CALLED(previous) NOT_CALLED(currentItem, IWMPMedia**)
    NOT_CALLED(put_currentItem, IWMPMedia*) NOT_CALLED(get_currentMarker, LONG*) NOT_CALLED(put_currentMarker, LONG)
    NOT_CALLED(playItem, IWMPMedia*)

private:
    HRESULT log(const std::string& call) { return calls.push_back(call), S_OK; }
};
#undef LOGGED
#undef NOT_CALLED

StandInPlayer standIn;

HRESULT makeStandIn(IWMPPlayer** player) { return *player = &standIn, standIn.AddRef(), S_OK; }

// What a failing creation returns; S_FALSE comes with an object, the errors without.
HRESULT forcedResult = S_OK;

HRESULT failCreation(IWMPPlayer** player)
{
    if (forcedResult == S_FALSE)
        makeStandIn(player);
    return forcedResult;
}

// Other suites build media boards without a host: the stand-in spares them the system's player and its messages.
class StandInPlayerByDefault : public testing::Environment {
public:
    void SetUp() override { setPlayerFactory(makeStandIn); }
};

testing::Environment* const standInByDefault = testing::AddGlobalTestEnvironment(new StandInPlayerByDefault);

HWND attachedTo = nullptr;
IUnknown* attachedControl = nullptr;

// The media code wants no container back: a window noted with one would not count.
HRESULT WINAPI recordAttach(IUnknown* control, HWND window, IUnknown** container)
{
    attachedControl = control, attachedTo = container ? nullptr : window;
    return S_OK;
}

Names played(const std::string& file) { return {"stop", "url " + file, "play"}; }

// A real board whose media sit in a fixture module, in a scratch current folder, the shell captured.
class Media : public testing::Test {
protected:
    void SetUp() override
    {
        media = {};
        standIn.calls.clear(), standIn.filesAtStop.clear(), standIn.references = 1;
        attachedTo = nullptr;
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

    void describeQuiz(int mediaKind, int questions, const std::vector<int>& withMedia)
    {
        for (int question : withMedia) {
            const std::string bytes = mediaBytes(question);
            module_.add("IMG", 400 + question, {bytes.begin(), bytes.end()});
        }
        app.module = module_.load();
        ::describeQuiz({mediaKind, questions, 1, 0});
    }

    void build()
    {
        board_ = CreateDialogParamA(self(), MAKEINTRESOURCEA(IDD_BOARD), parent_, boardProc, 0);
        ASSERT_NE(board_, nullptr);
    }

    void click(int id) { SendMessageA(GetDlgItem(board_, id), BM_CLICK, 0, 0); }

    // The calls since the last look, without the set-up's "uiMode none".
    Names calls()
    {
        Names result;
        for (const std::string& call : standIn.calls)
            if (call != "uiMode none")
                result.push_back(call);
        standIn.calls.clear();
        return result;
    }

    ScratchFolder scratch_;
    QuizApp quizApp_;
    ShellCapture shell_;
    FixtureModule module_;
    HWND parent_ = nullptr;
    HWND board_ = nullptr;
};

TEST_F(Media, PlayingACardStopsAndDeletesTheLastFileThenWritesAndPlaysItsOwn)
{
    describeQuiz(kMediaSound, 5, {1, 2, 3, 4, 5});
    build();
    click(6003);
    EXPECT_EQ(calls(), played("enigo3.mp3"));
    EXPECT_EQ(readFile("enigo3.mp3"), mediaBytes(3));
    click(6005);
    EXPECT_EQ(calls(), played("enigo5.mp3"));
    // Stopped while its file was still there: Windows would refuse to delete a playing file.
    EXPECT_EQ(standIn.filesAtStop, std::vector<Names>({{}, {"enigo3.mp3"}}));
    EXPECT_EQ(mediaFiles(), Names{"enigo5.mp3"});
    EXPECT_EQ(readFile("enigo5.mp3"), mediaBytes(5));
    // The same button again writes and plays the file afresh.
    writeFile("enigo5.mp3", "spoilt");
    click(6005);
    EXPECT_EQ(calls(), played("enigo5.mp3"));
    EXPECT_EQ(readFile("enigo5.mp3"), mediaBytes(5));
}

TEST_F(Media, StopDeletesWhatWasPlayedLastWhicheverStopButton)
{
    describeQuiz(kMediaSound, 4, {1, 2, 3, 4});
    writeFile("enigo1.mp3", "left by someone else");
    build();
    click(7001);
    EXPECT_EQ(calls(), Names{"stop"});
    // No question has played yet: question 1's file is not the one to delete.
    EXPECT_EQ(mediaFiles(), Names{"enigo1.mp3"});

    click(6002);
    calls();
    standIn.filesAtStop.clear();
    click(7004);
    EXPECT_EQ(calls(), Names{"stop"});
    EXPECT_EQ(standIn.filesAtStop, std::vector<Names>({{"enigo1.mp3", "enigo2.mp3"}}));
    EXPECT_EQ(mediaFiles(), Names{"enigo1.mp3"});
    EXPECT_TRUE(shell_.requests().empty());
}

TEST_F(Media, VideoQuizUsesAviNamesThroughout)
{
    describeQuiz(kMediaVideo, 4, {1, 2, 3, 4});
    writeFile("enigo7.avi", "stray video");
    writeFile("enigo7.mp3", "stray sound");
    build();
    click(6002);
    EXPECT_EQ(calls(), played("enigo2.avi"));
    EXPECT_EQ(readFile("enigo2.avi"), mediaBytes(2));
    click(6004);
    EXPECT_EQ(mediaFiles(), Names({"enigo4.avi", "enigo7.avi", "enigo7.mp3"}));
    click(7001);
    EXPECT_EQ(mediaFiles(), Names({"enigo7.avi", "enigo7.mp3"}));
    shutdownMedia(parent_);
    EXPECT_EQ(mediaFiles(), Names{"enigo7.mp3"});
}

TEST_F(Media, ExitStopsReleasesThenDeletesEveryNumberUpTo96)
{
    describeQuiz(kMediaSound, 4, {1, 2, 3, 4});
    for (const char* name : {"enigo1.mp3", "enigo50.mp3", "enigo96.mp3", "enigo97.mp3", "enigo5.avi"})
        writeFile(name, "stray");
    initMediaHost();
    build();
    click(6002);
    standIn.filesAtStop.clear();
    shutdownMedia(parent_);
    EXPECT_EQ(mediaFiles(), Names({"enigo5.avi", "enigo97.mp3"}));
    ASSERT_EQ(standIn.filesAtStop.size(), 1u);
    EXPECT_EQ(standIn.filesAtStop[0].size(), 6u) << "stopped before anything was deleted";
    EXPECT_FALSE(IsWindow(parent_));
    // Every reference taken was given back while COM was up, and COM is down now.
    EXPECT_EQ(standIn.references, 1);
    EXPECT_TRUE(standIn.comAliveAtLastRelease);
    EXPECT_FALSE(comIsUp());
}

// Text and picture quizzes touch neither atl.dll nor COM and ignore media commands; sound and video hold both till exit.
TEST_F(Media, OnlyMediaKindsLoadTheHostAndCom)
{
    const bool hostLoadedBefore = GetModuleHandleA("atl.dll") != nullptr;
    describeQuiz(kMediaText, 3, {1});
    for (int kind : {kMediaText, kMediaPicture}) {
        SCOPED_TRACE(kind);
        app.quiz->mediaKind = kind;
        initMediaHost();
        EXPECT_FALSE(comIsUp());
        EXPECT_TRUE(hostLoadedBefore || !GetModuleHandleA("atl.dll"));
        // Question 1 has a resource that a mistaken extraction would write out.
        writeFile("enigo2.mp3", "stray");
        build();
        EXPECT_EQ(GetDlgItem(board_, 9900), nullptr);
        for (WPARAM id : {6001, 6002, 7001})
            SendMessageA(board_, WM_COMMAND, id, 0);
        shutdownMedia(parent_);
        EXPECT_TRUE(IsWindow(parent_)) << "only the media kinds destroy the main window here";
        EXPECT_EQ(mediaFiles(), Names{"enigo2.mp3"});
        DestroyWindow(board_);
    }
    EXPECT_TRUE(standIn.calls.empty());
    EXPECT_TRUE(shell_.requests().empty());

    for (int kind : {kMediaSound, kMediaVideo}) {
        app.quiz->mediaKind = kind;
        initMediaHost();
        EXPECT_EQ(media.hostLibrary, GetModuleHandleA("atl.dll"));
        EXPECT_EQ(reinterpret_cast<void*>(media.attachControl),
                  reinterpret_cast<void*>(GetProcAddress(media.hostLibrary, "AtlAxAttachControl")));
        EXPECT_TRUE(comIsUp());
        shutdownMedia(nullptr);
        EXPECT_FALSE(comIsUp()) << "still initialised after exit";
    }
}

TEST_F(Media, PlayerLivesUnseenInAZeroSizedFirstChild)
{
    describeQuiz(kMediaSound, 2, {1, 2});
    initMediaHost();
    media.attachControl = recordAttach;
    build();
    HWND container = GetWindow(board_, GW_CHILD);
    EXPECT_EQ(GetDlgCtrlID(container), 9900);
    EXPECT_EQ(lstrcmpiA(classOf(container).c_str(), "Static"), 0);
    EXPECT_EQ(DWORD(GetWindowLongA(container, GWL_STYLE)), DWORD(WS_CHILD | WS_VISIBLE | WS_BORDER));
    expectPlace(container, 0, 0, 0, 0);
    EXPECT_TRUE(attachedControl == static_cast<IWMPPlayer*>(&standIn) && attachedTo == container);
    EXPECT_EQ(standIn.calls, Names{"uiMode none"});
}

class NoPlayer : public Media, public testing::WithParamInterface<HRESULT> {};

// Anything but a plain success means no player: the shell opens each file and stop leaves it.
TEST_P(NoPlayer, ShellOpensEachFileAndStopLeavesIt)
{
    forcedResult = GetParam();
    setPlayerFactory(failCreation);
    describeQuiz(kMediaSound, 4, {1, 2, 3, 4});
    MessageCapture capture;
    build();
    ASSERT_EQ(capture.messages().size(), 1u);
    expectMessage(capture.messages()[0], board_, "WindowMediaplayer non d\xE9tect\xE9.", "Information", MB_OK);
    EXPECT_EQ(standIn.references, 1) << "an object that came with S_FALSE is given back";
    EXPECT_NE(GetDlgItem(board_, 7004), nullptr) << "the board is built on";

    click(6003);
    ASSERT_EQ(shell_.requests().size(), 1u);
    const ShellRequest& r = shell_.requests()[0];
    EXPECT_TRUE(r.owner == board_ && !r.parameters && !r.directory && r.show == SW_HIDE);
    EXPECT_EQ(r.verb + " " + r.file, "open enigo3.mp3");
    EXPECT_EQ(readFile("enigo3.mp3"), mediaBytes(3));
    click(7003);
    EXPECT_EQ(mediaFiles(), Names{"enigo3.mp3"}) << "the shell's application may still use it";
    EXPECT_TRUE(standIn.calls.empty());
    shutdownMedia(parent_);
    EXPECT_TRUE(mediaFiles().empty());
}

INSTANTIATE_TEST_SUITE_P(Failures, NoPlayer, testing::Values(REGDB_E_CLASSNOTREG, E_NOINTERFACE, S_FALSE));

// The default factory makes the system's player and gets its controls, without a word.
TEST_F(Media, DefaultFactoryGivesTheSystemPlayer)
{
    setPlayerFactory(nullptr);
    describeQuiz(kMediaSound, 1, {1});
    initMediaHost();
    MessageCapture capture;
    build();
    EXPECT_NE(media.playerControls, nullptr);
    EXPECT_TRUE(capture.messages().empty());
}

// A folder or an unshared open file where the media file goes (read-only would not stop root under Wine).
TEST_F(Media, FileThatCannotBeWrittenIsAFailedExtraction)
{
    const struct {
        int kind;
        const char* blocked;
        bool folder;
        const char* message;
    } cases[] = {{kMediaSound, "enigo3.mp3", false, "Impossible de charger le fichier audio."},
                 {kMediaVideo, "enigo3.avi", true, "Impossible de charger le fichier vid\xE9o."}};
    describeQuiz(kMediaSound, 3, {1, 2, 3});
    build();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.blocked);
        app.quiz->mediaKind = c.kind;
        HANDLE held = c.folder ? (CreateDirectoryA(c.blocked, nullptr), INVALID_HANDLE_VALUE)
                               : CreateFileA(c.blocked, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        MessageCapture capture;
        calls();
        click(6003);
        EXPECT_EQ(calls(), Names{"stop"}) << "stopped, but handed nothing to play";
        ASSERT_EQ(capture.messages().size(), 1u);
        expectMessage(capture.messages()[0], nullptr, c.message, "Information", MB_OK);
        EXPECT_EQ(extractMediaFile(board_, 402, c.kind - 1), 1);
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
    }
}

// The whole first parameter is compared with the ranges; a question without media stops and says nothing; no
// hosting entry is loaded, so the player is used unhosted.
TEST_F(Media, OnlyPlainClicksOfTheButtonRangesCount)
{
    describeQuiz(kMediaSound, 3, {1, 96});
    build();
    const struct {
        WPARAM command;
        Names calls;
    } cases[] = {
        {6001, played("enigo1.mp3")}, {6096, played("enigo96.mp3")}, {7001, {"stop"}}, {7096, {"stop"}}, {6002, {"stop"}},
        {6000, {}}, {6097, {}}, {7000, {}}, {7097, {}}, {9900, {}}, {MAKEWPARAM(6001, BN_DOUBLECLICKED), {}},
        {MAKEWPARAM(7001, 1), {}}, {(WPARAM{1} << 32) | 6001, {}},
    };
    MessageCapture capture;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        click(7001);
        calls();
        SendMessageA(board_, WM_COMMAND, c.command, 0);
        EXPECT_EQ(calls(), c.calls);
        EXPECT_EQ(mediaFiles().size(), c.calls.size() > 1 ? 1u : 0u);
    }
    EXPECT_TRUE(capture.messages().empty());
}

} // namespace
