// Media on real boards with a stand-in player: files written on play, deleted on stop and at exit; the shell fallback.
#include <windows.h>

#include <ole2.h>
#include <wmp.h>

#include <gtest/gtest.h>

#include "base/app.h"
#include "board/board.h"
#include "media/media.h"
#include "quiz/quiz_state_win.h"
#include "resource.h"
#include "test_support.h"

namespace {

using Names = std::vector<std::string>;

Names mediaFiles() { return folderContents("enigo"); }

// Distinct bytes and length per question, a zero byte inside.
std::string mediaBytes(int question) { return std::string(1000 + question, char(question)) + '\0' + "fin"; }

#define NOT_CALLED(name, ...) HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { return E_NOTIMPL; }
#define LOGGED(name, text, ...) HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { return log(text); }

// Player and controls in one: logs the calls and the files present at each stop, counts references.
class StandInPlayer final : public IWMPPlayer, public IWMPControls {
public:
    Names calls;
    std::vector<Names> filesAtStop;
    LONG references = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IWMPCore) || iid == __uuidof(IWMPPlayer))
            *object = static_cast<IWMPPlayer*>(this);
        else
            *object = iid == __uuidof(IWMPControls) ? static_cast<IWMPControls*>(this) : nullptr;
        return *object ? (AddRef(), S_OK) : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE get_controls(IWMPControls** c) override { return *c = this, AddRef(), S_OK; }
    LOGGED(put_URL, "url " + std::string(url, url + SysStringLen(url)), BSTR url) LOGGED(play, "play")
    LOGGED(stop, (filesAtStop.push_back(mediaFiles()), "stop")) NOT_CALLED(put_uiMode, BSTR) NOT_CALLED(close)
    NOT_CALLED(pause) NOT_CALLED(GetTypeInfoCount, UINT*) NOT_CALLED(GetTypeInfo, UINT, LCID, ITypeInfo**)
    NOT_CALLED(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*) NOT_CALLED(get_URL, BSTR*)
    NOT_CALLED(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) NOT_CALLED(next)
    NOT_CALLED(get_openState, WMPOpenState*) NOT_CALLED(get_playState, WMPPlayState*) NOT_CALLED(previous)
    NOT_CALLED(get_settings, IWMPSettings**) NOT_CALLED(get_currentMedia, IWMPMedia**) NOT_CALLED(launchURL, BSTR)
    NOT_CALLED(put_currentMedia, IWMPMedia*) NOT_CALLED(get_versionInfo, BSTR*) NOT_CALLED(get_network, IWMPNetwork**)
    NOT_CALLED(get_mediaCollection, IWMPMediaCollection**) NOT_CALLED(get_playlistCollection, IWMPPlaylistCollection**)
    NOT_CALLED(get_currentPlaylist, IWMPPlaylist**) NOT_CALLED(put_currentPlaylist, IWMPPlaylist*)
    NOT_CALLED(get_cdromCollection, IWMPCdromCollection**) NOT_CALLED(get_closedCaption, IWMPClosedCaption**)
    NOT_CALLED(get_isOnline, VARIANT_BOOL*) NOT_CALLED(get_Error, IWMPError**) NOT_CALLED(get_status, BSTR*)
    NOT_CALLED(get_enabled, VARIANT_BOOL*) NOT_CALLED(put_enabled, VARIANT_BOOL) NOT_CALLED(get_uiMode, BSTR*)
    NOT_CALLED(get_fullScreen, VARIANT_BOOL*) NOT_CALLED(put_fullScreen, VARIANT_BOOL) NOT_CALLED(fastForward)
    NOT_CALLED(get_enableContextMenu, VARIANT_BOOL*) NOT_CALLED(put_enableContextMenu, VARIANT_BOOL)
    NOT_CALLED(get_isAvailable, BSTR, VARIANT_BOOL*) NOT_CALLED(fastReverse) NOT_CALLED(currentItem, IWMPMedia**)
    NOT_CALLED(get_currentPosition, double*) NOT_CALLED(put_currentPosition, double) NOT_CALLED(playItem, IWMPMedia*)
    NOT_CALLED(get_currentPositionString, BSTR*) NOT_CALLED(put_currentItem, IWMPMedia*)
    NOT_CALLED(get_currentMarker, LONG*) NOT_CALLED(put_currentMarker, LONG)

private:
    HRESULT log(const std::string& call) { return calls.push_back(call), S_OK; }
};

StandInPlayer standIn;

HRESULT makeStandIn(IWMPPlayer** player) { return *player = &standIn, standIn.AddRef(), S_OK; }

// What a failing creation returns; S_FALSE comes with an object, the errors without.
HRESULT forced = S_OK;

HRESULT failCreation(IWMPPlayer** player) { return forced == S_FALSE ? makeStandIn(player), S_FALSE : forced; }

// Other suites build media boards too: the stand-in spares them the system's player and its messages.
const PlayerFactory systemPlayer = setPlayerFactory(makeStandIn);

Names played(const std::string& file) { return {"stop", "url " + file, "play"}; }

// A real board whose media sit in a fixture module, in a scratch current folder, the shell captured.
class Media : public testing::Test {
protected:
    void SetUp() override
    {
        media = {};
        standIn.calls.clear(), standIn.filesAtStop.clear(), standIn.references = 1;
    }
    void TearDown() override
    {
        shutdownMedia(parent_);  // destroys the parent and clears the media record
        setPlayerFactory(makeStandIn);
    }

    // A quiz of four questions, each with its media, and its board.
    void build(int mediaKind)
    {
        for (int question = 1; question <= 4; ++question) {
            const std::string bytes = mediaBytes(question);
            module_.add("IMG", 400 + question, {bytes.begin(), bytes.end()});
        }
        app.module = module_.load();
        describeQuiz({mediaKind, 4, 1, 0});
        initMediaHost();
        board_ = CreateDialogParamA(self(), MAKEINTRESOURCEA(IDD_BOARD), parent_, boardProc, 0);
        ASSERT_NE(board_, nullptr);
    }

    Names click(int id)  // the player calls the button made
    {
        SendDlgItemMessageA(board_, id, BM_CLICK, 0, 0);
        return std::exchange(standIn.calls, {});
    }

    ScratchFolder scratch_;
    QuizApp quizApp_;
    ShellCapture shell_;
    FixtureModule module_;
    HWND parent_ = makeChild("Static", "main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1000, 700, nullptr);
    HWND board_ = nullptr;
};

class MediaKind : public Media, public testing::WithParamInterface<int> {};

// Play stops the player, deletes the last file, then writes and plays its own; any stop button deletes the last
// played; exit stops, lets the player go, then deletes every number a quiz may use of the quiz's kind.
TEST_P(MediaKind, PlayStopAndExitWriteAndDeleteTheQuizFiles)
{
    const bool video = GetParam() == kMediaVideo;
    const std::string ext = video ? ".avi" : ".mp3", other = video ? ".mp3" : ".avi";
    for (const std::string& name : {"enigo1" + ext, "enigo96" + ext, "enigo97" + ext, "enigo5" + other})
        writeFile(name, "stray");
    build(GetParam());
    EXPECT_EQ(click(6003), played("enigo3" + ext));
    EXPECT_EQ(readFile("enigo3" + ext), mediaBytes(3));
    EXPECT_EQ(click(6002), played("enigo2" + ext));
    EXPECT_EQ(readFile("enigo2" + ext) + readFile("enigo3" + ext), mediaBytes(2)) << "3 deleted";
    EXPECT_EQ(click(7004), Names{"stop"});
    EXPECT_EQ(readFile("enigo2" + ext), "");
    click(6001);
    shutdownMedia(parent_);
    EXPECT_EQ(mediaFiles(), Names({"enigo5" + other, "enigo97" + ext}));
    // Each stop came while the last file was still there: Windows would refuse to delete a playing file.
    ASSERT_EQ(standIn.filesAtStop.size(), 5u);
    EXPECT_EQ(standIn.filesAtStop[2],
              Names({"enigo1" + ext, "enigo2" + ext, "enigo5" + other, "enigo96" + ext, "enigo97" + ext}));
    // The parent gone, every reference given back, the shell left alone.
    EXPECT_TRUE(standIn.filesAtStop[4].size() == 4 && !IsWindow(parent_) && standIn.references == 1 &&
                shell_.requests().empty());
}

INSTANTIATE_TEST_SUITE_P(SoundAndVideo, MediaKind, testing::Values(kMediaSound, kMediaVideo));

class NoPlayer : public Media, public testing::WithParamInterface<HRESULT> {};

// Anything but a plain success means no player: the shell opens each file, hidden, and stop leaves it.
TEST_P(NoPlayer, ShellOpensEachFileAndStopLeavesIt)
{
    forced = GetParam();
    setPlayerFactory(failCreation);
    MessageCapture capture;
    build(kMediaSound);
    EXPECT_EQ(standIn.references, 1) << "an object that came with S_FALSE is given back";
    const Names calls = click(6003);
    ASSERT_EQ(capture.messages().size() * 10 + shell_.requests().size(), 11u);
    const CapturedMessage& m = capture.messages()[0];
    const ShellRequest& r = shell_.requests()[0];
    EXPECT_EQ(m.text + "|" + m.caption + "|" + std::to_string(m.flags) + " " + r.verb + " " + r.file,
              "WindowMediaplayer non d\xE9tect\xE9.|Information|0 open enigo3.mp3");
    EXPECT_TRUE(m.owner == board_ && r.owner == board_ && !r.parameters && !r.directory && r.show == SW_HIDE);
    EXPECT_EQ(readFile("enigo3.mp3"), mediaBytes(3));
    EXPECT_TRUE(click(7003).empty() && calls.empty()) << "no player to call";
    EXPECT_EQ(mediaFiles(), Names{"enigo3.mp3"}) << "the shell's application may still use it";
    shutdownMedia(parent_);
    EXPECT_TRUE(mediaFiles().empty());
}

INSTANTIATE_TEST_SUITE_P(Failures, NoPlayer, testing::Values(REGDB_E_CLASSNOTREG, E_NOINTERFACE, S_FALSE));

} // namespace
