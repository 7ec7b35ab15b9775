// The question board and the header panel in-process, as the player shows them; the arithmetic behind
// them (geometry, scroll positions, verdicts, relayout plans) is pinned on the host.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>

#include "base/app.h"
#include "board/board.h"
#include "board/board_scroll.h"
#include "judging/header.h"
#include "judging/header_ids.h"
#include "judging/judge.h"
#include "resource.h"
#include "test_support.h"

namespace {

using Answers = std::vector<std::pair<std::string, std::string>>;
using Pictures = std::vector<std::array<int, 3>>;  // resource id, width, height

std::string content() { return std::to_string(app.quiz->contentWidth) + "x" + std::to_string(app.quiz->contentHeight); }

class Board : public testing::Test {
protected:
    // Progress file, pictures and quiz, then header and board as start-up makes them.
    void build(const QuizSetup& setup, const char* progress = "", const Pictures& pictures = {},
               const Answers& answers = {})
    {
        writeFile("windows_tests.txt", progress);
        for (const auto& p : pictures)
            pictures_.add("IMG", p[0], bmpFile(p[1], p[2], RGB(200, 0, 0)));
        describeQuiz(setup, answers);
        header_ = app.quiz->headerWindow = dialog(IDD_HEADER, headerProc);
        ShowWindow(header_, SW_SHOW);
        app.module = pictures_.load();
        board_ = dialog(IDD_BOARD, boardProc);
        app.boardWindow = app.quiz->boardWindow = board_;
        SetWindowPos(board_, nullptr, 5, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    }
    HWND dialog(int id, DLGPROC proc) { return CreateDialogParamA(self(), MAKEINTRESOURCEA(id), parent_, proc, 0); }
    HWND field(int question) const { return GetDlgItem(board_, 4000 + question); }
    std::string text(int id) const { return textOf(GetDlgItem(board_, id)); }
    LRESULT keyUp(int question, WPARAM key) const { return SendMessageA(field(question), WM_KEYUP, key, 0xC0000001); }
    void answer(int id, const char* typed) { SetDlgItemTextA(board_, id, typed), judgeAnswer(*app.quiz, board_, id); }
    int pos(int bar) const { return GetScrollPos(board_, bar); }
    std::string scrolled() const { return std::to_string(pos(SB_HORZ)) + "," + std::to_string(pos(SB_VERT)); }
    HBITMAP picture(int q) { return HBITMAP(SendDlgItemMessageA(board_, 9900 + q, STM_GETIMAGE, IMAGE_BITMAP, 0)); }

    // Per card: label shown (R), answer picture (P; "!" if bitmap and state differ), solved (S); latch, score, code.
    std::string cards()
    {
        const QuizState& state = *app.quiz;
        std::string out;
        for (int q = 1; q <= state.questionCount; ++q) {
            const bool shown = picture(q) && bitmapSize(picture(q)).cy == 260;
            out += GetWindowLongA(GetDlgItem(board_, 8000 + q), GWL_STYLE) & WS_VISIBLE ? 'R' : '-';
            out += shown == !!state.answerPictureShown[q] ? (shown ? 'P' : '-') : '!';
            out += state.solvedFlags[q] ? "S " : "- ";
        }
        return out + std::to_string(state.allRevealed) + textOf(GetDlgItem(header_, kHeaderScoreId)) + "|" +
               textOf(GetDlgItem(header_, kHeaderCodeId));
    }

    QuizApp quizApp_;
    ScratchFolder scratch_;
    FixtureModule pictures_;
    HWND parent_ = makeChild("Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 760, nullptr);
    HWND header_ = nullptr, board_ = nullptr;
    ~Board() override { DestroyWindow(parent_); }
};

// Row 0: a wide picture, none, a tall one; row 1 as high as picture 405, not 10401; restored answer 1 is judged.
TEST_F(Board, PictureGridWithRevealLabels)
{
    build({kMediaPicture, 4, 1, 3}, "a1\r\n\r\ntrois\r\n",
          {{401, 480, 360}, {403, 360, 480}, {404, 480, 360}, {405, 360, 480}, {10401, 200, 400}});
    EXPECT_EQ(content() + "\n" + controlsOf(board_),
              "910x825\n9901 [] 46,37 260x195\n2001 [1.] 18,277 27x17\n8001 [R\xE9ponse 1] 46,321 260x65\n"
              "4001 [a1] 46,275 260x20\n5001 [BRAVO] 46,294 260x20\n9902 [] 336,135 260x0\n"
              "2002 [2.] 308,277 27x17\n-8002 [R\xE9ponse 2] 336,321 260x65\n4002 [] 336,275 260x20\n"
              "5002 [?] 336,294 260x20\n9903 [] 658,5 195x260\n2003 [3.] 598,277 27x17\n"
              "-8003 [R\xE9ponse 3] 626,321 260x65\n4003 [trois] 626,275 260x20\n5003 [FAUX] 626,294 260x20\n"
              "9904 [] 46,447 260x195\n2004 [4.] 18,687 27x17\n-8004 [R\xE9ponse 4] 46,731 260x65\n"
              "4004 [] 46,685 260x20\n5004 [?] 46,704 260x20\n");
}

// The player's container first, answer names on a row's first card, play and stop buttons; label colours.
TEST_F(Board, SoundCardsWithTwoAnswersAndColours)
{
    build({kMediaSound, 2, 2, 0}, "a1\r\na2\r\nb1\r\n");
    EXPECT_EQ(content() + "\n" + controlsOf(board_),
              "970x65\n9900 [] 0,0 0x0\n156 [Pays] 4,7 95x20\n156 [Capitale] 3,27 95x20\n2001 [1.] 78,7 27x17\n"
              "4001 [a1] 126,5 181x20\n5001 [BRAVO] 306,5 60x20\n4002 [a2] 126,24 181x20\n"
              "5002 [FAUX] 306,24 60x20\n6001 [] 106,5 20x20\n7001 [] 106,25 20x19\n2002 [2.] 368,7 27x17\n"
              "4003 [b1] 416,5 181x20\n5003 [FAUX] 596,5 60x20\n4004 [] 416,24 181x20\n5004 [?] 596,24 60x20\n"
              "6002 [] 396,5 20x20\n7002 [] 396,25 20x19\n");

    // A static asking gets a brush (index below; 6: the board's green), text background and colour
    // (0xBBGGRR), background mode (1 transparent); "?" is left to the dialog's default processing.
    makeChild("Static", "", WS_CHILD, 0, 0, 5, 5, board_, 3000);  // as the list's caption labels
    QuizState& state = *app.quiz;
    state.backRed = 10;
    HDC dc = GetDC(board_);
    const auto paint = [&](int id, const char* text, int green) {
        state.backGreen = green;
        SetDlgItemTextA(board_, id, text ? text : textOf(GetDlgItem(board_, id)).c_str());
        SetBkColor(dc, RGB(1, 2, 3)), SetTextColor(dc, RGB(1, 2, 3)), SetBkMode(dc, OPAQUE);
        const auto brush = HBRUSH(SendMessageA(board_, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(GetDlgItem(board_, id))));
        const HBRUSH known[] = {state.wrongBrush,   state.anagramBrush, state.hintBrush,
                                state.captionBrush, state.backBrush,    GetSysColorBrush(COLOR_3DFACE)};
        char line[40];
        std::snprintf(line, sizeof line, "%d %06lx %06lx %d, ", int(std::find(known, known + 6, brush) - known),
                      GetBkColor(dc), GetTextColor(dc), GetBkMode(dc));
        return std::string(line).substr(0, text && text[0] == '?' ? 2 : 40);
    };
    // Number labels: white on a background whose red and green are both dark, black otherwise.
    EXPECT_EQ(paint(5001, "BRAVO", 60) + paint(5001, "FAUX", 60) + paint(5002, "Anagramme", 60) +
                  paint(5001, "Presque", 60) + paint(5001, "?", 60) + paint(3000, nullptr, 60) +
                  paint(2001, nullptr, 60) + paint(2001, nullptr, 70),
              "6 00ff00 030201 2, 0 0000ff 030201 2, 1 0064ff 030201 2, 2 26cbff 030201 2, 5 3 c0ffff 030201 2, "
              "4 030201 ffffff 1, 4 030201 000000 1, ");

    // Header statics 20 to 33 get the panel's brush, transparent, others none; the link is blue, underlined.
    const auto panel = HBRUSH(SendMessageA(header_, WM_CTLCOLORDLG, WPARAM(dc), 0));
    const auto linkFont = HFONT(SendDlgItemMessageA(header_, kHeaderLinkId, WM_GETFONT, 0, 0));
    LOGBRUSH brush = {};
    LOGFONTA font = {};
    GetObjectA(panel, sizeof brush, &brush), GetObjectA(linkFont, sizeof font, &font);
    char line[80];
    std::snprintf(line, sizeof line, "%u %06lx, font %ld %ld %d [%s]", brush.lbStyle, brush.lbColor, font.lfHeight,
                  font.lfWeight, font.lfUnderline, font.lfFaceName);
    std::string summary = line;
    for (int id : {24, 25, 33, 120}) {
        SetBkMode(dc, OPAQUE), SetTextColor(dc, RGB(1, 2, 3));
        const auto given = HBRUSH(headerProc(header_, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(GetDlgItem(header_, id))));
        std::snprintf(line, sizeof line, ", %d %s %d %06lx", id, given == panel ? "panel" : given ? "?" : "none",
                      GetBkMode(dc), GetTextColor(dc));
        summary += line;
    }
    // A click on the link opens the maker's address, a double click does not; the panel deletes its objects.
    ShellCapture shell;
    for (WPARAM command : {MAKEWPARAM(kHeaderLinkId, STN_DBLCLK), WPARAM(kHeaderLinkId)})
        SendMessageA(header_, WM_COMMAND, command, 0);
    for (const ShellRequest& r : shell.requests())
        summary += " " + r.verb + " " + r.file;
    ReleaseDC(board_, dc);
    DestroyWindow(header_);
    EXPECT_EQ(summary + " " + std::to_string(GetObjectType(panel) + GetObjectType(linkFont)),
              "0 ff8080, font -13 400 1 [], 24 panel 1 ff3232, 25 panel 1 030201, 33 panel 1 030201, "
              "120 none 2 030201 open https://enigo.example/ 0");
}

// Client 400 x 300 over 900 x 2005: bars stop at content minus client, fields move along, unneeded bars stay.
TEST_F(Board, ScrollRequestsMoveTheBarsAndTheControlsTogether)
{
    build({kMediaText, 80, 1, 0});
    scrollTarget = 1900;
    struct Case { int x, y; UINT message; WPARAM request; const char* after; };  // request: client size for WM_SIZE
    const Case cases[] = {
        {100, 1000, WM_VSCROLL, SB_LINEUP, "100,690"},   {100, 1000, WM_VSCROLL, SB_PAGEUP, "100,701"},
        {100, 0, WM_VSCROLL, SB_BOTTOM, "100,1705"},     {100, 0, WM_VSCROLL, 502, "100,1705"},
        {100, 1000, WM_HSCROLL, SB_LINELEFT, "99,1000"}, {300, 1000, WM_HSCROLL, SB_PAGERIGHT, "500,1000"},
        {100, 1000, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), "100,950"},
        {100, 1000, WM_MOUSEWHEEL, MAKEWPARAM(0, -120), "100,1050"},
        {100, 1000, WM_MOUSEWHEEL, MAKEWPARAM(0, 240), "100,1000"},
        {100, 1705, WM_SIZE, MAKEWPARAM(300, 200), "100,1705"}, {100, 1705, WM_SIZE, MAKEWPARAM(400, 500), "100,1505"},
        {100, 1000, WM_SIZE, MAKEWPARAM(950, 2100), "0,0"}};
    for (const auto& c : cases) {
        resizeClient(board_, 400, 300);
        scrollTo(board_, c.x, c.y);
        if (c.message == WM_SIZE)
            resizeClient(board_, LOWORD(c.request), HIWORD(c.request));
        else
            SendMessageA(board_, c.message, c.request, 0);
        for (MSG& posted : drainPosted(board_))
            DispatchMessageA(&posted);
        const bool kept = placeIn(field(1)).left + pos(SB_HORZ) == 610 && placeIn(field(80)).top + pos(SB_VERT) == 1980;
        EXPECT_EQ(scrolled() + (kept ? "" : " fields misplaced"), c.after) << c.message << " " << c.request;
    }
}

// Arrows and page keys scroll a page (digits) on release; Tab brings the field into view, also from under the
// horizontal bar. Focus leaving a field judges it, Enter (Alt too) in place; F1 fills all not "BRAVO"; F2 saves.
TEST_F(Board, AnswerFieldKeysAndFocus)
{
    build({kMediaText, 40, 1, 0}, "", {}, Answers(40, {"REPONSE", ""}));
    SetWindowPos(board_, nullptr, 0, 0, 500, 195, SWP_NOZORDER | SWP_NOMOVE);
    RECT client;
    GetClientRect(board_, &client);
    std::string seen;
    for (WPARAM key : {VK_DOWN, VK_NEXT, VK_UP, VK_PRIOR, VK_LEFT})
        keyUp(1, key), seen += std::to_string(pos(SB_VERT) / (client.bottom - 1));
    keyUp(12, VK_TAB);
    seen += " " + std::to_string(placeIn(field(12)).bottom - client.bottom);
    keyUp(1, VK_TAB);
    seen += " " + std::to_string(placeIn(field(1)).top) + " " + scrolled();
    keyUp(2, VK_TAB);
    EXPECT_EQ(seen + " " + scrolled(), "12100 0 0 0,5 0,5");

    SetFocus(field(1));
    SetDlgItemTextA(board_, 4001, "reponse");
    SetDlgItemTextA(board_, 4002, "XYZ");
    SetFocus(field(2));
    seen = text(5001) + text(5002);
    SetFocus(field(3));
    for (char typed : std::string("REPONSES"))
        SendMessageA(field(3), WM_CHAR, typed, 1);
    EXPECT_EQ(keyUp(3, VK_RETURN), 1);
    seen += " " + text(4003) + " " + text(5003) + (GetFocus() == field(3) ? "" : " focus lost");
    SetDlgItemTextA(board_, 4003, "reponse");
    EXPECT_EQ(SendMessageA(field(3), WM_SYSKEYDOWN, VK_RETURN, 0x20000001), 1);
    EXPECT_EQ(seen + " " + text(5003), "BRAVO? REPONSES Quasiment BRAVO");

    SetDlgItemTextA(board_, 4005, "OSLO");
    SetDlgItemTextA(board_, 5005, "BRAVO");
    SetFocus(field(2));
    SetDlgItemTextA(board_, 4002, "Reponse");
    keyUp(2, VK_F1);
    std::string fields, expected = "reponse\r\nReponse\r\nreponse\r\nReponse\r\nOSLO\r\n";
    for (int question = 1; question <= 40; ++question) {
        fields += text(4000 + question) + (text(5000 + question) == "BRAVO" ? "" : " unjudged") + "\r\n";
        expected += question > 5 ? "Reponse\r\n" : "";
    }
    EXPECT_EQ(fields + (GetFocus() == field(2) ? "" : "focus lost"), expected);
    keyUp(1, VK_F2);
    EXPECT_EQ(readFile("windows_tests.txt"), expected);
}

// Wine's shaping dies on an Edit whose text opens a run with "\x98": restored, typed and shown as a code, it stays.
TEST_F(Board, TildeLedTextsStayInTheFieldsByteForByte)
{
    build({kMediaText, 3, 1, 0}, "\x98\r\n\r\n\x98\x98 a\r\n", {}, {{"\x98", ""}});
    copyText(app.quiz->codes[0], "\x98 code");
    for (char typed : std::string("1\x98"))
        SendMessageA(field(2), WM_CHAR, static_cast<unsigned char>(typed), 1);
    judgeAnswer(*app.quiz, board_, 4002);
    EXPECT_EQ(text(4001) + "|" + text(4002) + "|" + text(4003) + "|" + textOf(GetDlgItem(header_, kHeaderCodeId)),
              "\x98|1\x98|\x98\x98 a|\x98 code");
}

// A field typed into and judged (typed into only when negative), and the cards() after it.
struct Step { int field; const char* typed, *after; };
struct Scenario { const char* name; QuizSetup setup; std::vector<int> answerPictures; std::vector<Step> steps; };

class Judging : public Board, public testing::WithParamInterface<Scenario> {};

TEST_P(Judging, Scenario)
{
    const Scenario& s = GetParam();
    Pictures pictures;
    for (int q : s.answerPictures)
        pictures.push_back({10400 + q, 200, 400});
    build(s.setup, "", pictures, {{"France", "Paris"}, {"Espagne", "Madrid"}, {"Italie", "Rome"}});
    for (const Step& step : s.steps) {
        if (step.field > 0)
            answer(step.field, step.typed);
        else
            SetDlgItemTextA(board_, -step.field, step.typed);
        EXPECT_EQ(cards(), step.after) << step.field << " " << step.typed;
    }
}

// Questions 1 to 3 solved in turn, then question 1 turning wrong.
std::vector<Step> solvedThenWrong(const char* one, const char* two, const char* three, const char* wrong)
{
    return {{4001, "france", one}, {4002, "espagne", two}, {4003, "italie", three}, {4001, "frange", wrong}};
}

INSTANTIATE_TEST_SUITE_P(
    RevealModes, Judging,
    testing::Values(
        // An answer picture stays once shown; a missing one leaves the card as it is.
        Scenario{"Picture", {kMediaPicture, 3, 1, 1}, {1, 3},
                 solvedThenWrong("-PS --- --- 0 1 / 3|CODE-1", "-PS --S --- 0 2 / 3|CODE-2",
                                 "-PS --S -PS 0 3 / 3|CODE-3", "-P- --S -PS 0 2 / 3|CODE-2")},
        Scenario{"LabelAndPicture", {kMediaPicture, 3, 1, 3}, {1, 2, 3},
                 solvedThenWrong("RPS --- --- 0 1 / 3|CODE-1", "RPS RPS --- 0 2 / 3|CODE-2",
                                 "RPS RPS RPS 0 3 / 3|CODE-3", "-P- RPS RPS 0 2 / 3|CODE-2")},
        // Every label once the last verdict turns right; one turning wrong hides its label, opens the latch.
        Scenario{"WholeBoard", {kMediaPicture, 3, 1, 4}, {1, 2, 3},
                 solvedThenWrong("--S --- --- 0 1 / 3|CODE-1", "--S --S --- 0 2 / 3|CODE-2",
                                 "R-S R-S R-S 1 3 / 3|CODE-3", "--- R-S R-S 0 2 / 3|CODE-2")},
        // Each field against its own answer; the card waits for what both fields hold now, labels aside.
        Scenario{"TwoAnswers", {kMediaPicture, 3, 2, 3}, {1, 2, 3},
                 {{4003, "espagne", "--- --- --- 0 0 / 3|      "}, {4004, "  Madrid", "--- RPS --- 0 1 / 3|CODE-1"},
                  {4003, "espagnol", "--- -P- --- 0 0 / 3|      "}, {4003, "ESPAGNE", "--- RPS --- 0 1 / 3|CODE-1"},
                  {4005, "Italie", "--- RPS --- 0 1 / 3|CODE-1"}, {-4005, "Italien", "--- RPS --- 0 1 / 3|CODE-1"},
                  {4006, "Rome", "--- RPS --S 0 2 / 3|CODE-2"}}},
        // One field per question even with two answers, judged against the first.
        Scenario{"ListOfATwoAnswerQuiz", {kMediaText, 3, 2, 4}, {},
                 {{4002, "Madrid", "--- --- --- 0 0 / 3|      "}, {4002, "Espagne", "--- --S --- 0 1 / 3|CODE-1"},
                  {4001, "France", "--S --S --- 0 2 / 3|CODE-2"}, {4003, "Italie", "--S --S --S 1 3 / 3|CODE-3"}}}),
    [](const testing::TestParamInfo<Scenario>& info) { return info.param.name; });

// "Cacher" ticked, solving row 0 (195 high, row 1 260) closes it, clearing reopens it; scrolled, controls follow.
TEST_F(Board, RelayoutClosesAndReopensARow)
{
    build({kMediaPicture, 6, 1, 0}, "", {{401, 480, 360}, {402, 480, 360}, {403, 480, 360}, {404, 360, 480},
                                         {405, 480, 360}, {406, 480, 360}});
    resizeClient(board_, 960, 650);
    // "id:top" in content coordinates, "-" before a hidden control.
    const auto tops = [&] {
        std::string out = scrolled() + " " + std::to_string(app.quiz->contentHeight);
        for (HWND child : childrenOf(board_))
            out += std::string(IsWindowVisible(child) ? " " : " -") + std::to_string(GetDlgCtrlID(child)) + ":" +
                   std::to_string(placeIn(child).top + pos(SB_VERT));
        return out;
    };
    const std::string closed = "405 -9901:5 2001:17 4001:15 5001:34 -9902:5 2002:17 4002:15 5002:34 -9903:5 2003:17 "
                               "4003:15 5003:34 9904:75 2004:347 4004:345 5004:364 9905:107 2005:347 4005:345 "
                               "5005:364 9906:107 2006:347 4006:345 5006:364";
    const std::string built = tops();
    std::string seen;
    SendDlgItemMessageA(header_, kHeaderHideId, BM_CLICK, 0, 0);
    for (const char* typed : {"a1", "a2", "a3"})
        answer(4000 + typed[1] - '0', typed);
    for (int click = 0; click < 3; ++click, SendDlgItemMessageA(header_, kHeaderHideId, BM_CLICK, 0, 0))
        seen += tops() + "\n";
    resizeClient(board_, 400, 300);
    scrollTo(board_, 200, 300);
    for (int click = 0; click < 2; ++click)
        SendDlgItemMessageA(header_, kHeaderHideId, BM_CLICK, 0, 0), seen += tops() + "\n";
    EXPECT_EQ(seen, "0,0 " + closed + "\n" + built + "\n0,0 " + closed + "\n200,105 " + closed + "\n200,105 " +
                        built.substr(4) + "\n");
}

// Every n-th restored answer right (none: 0), "Cacher" ticked, verdicts closing a row, cleared, a verdict, ticked: all
// shown once built and at the end, bars, score and code, hashed (FNV-1a) as shown before controls were kept by id.
class KeptControls : public Board, public testing::WithParamInterface<std::pair<int, uint64_t>> {};
TEST_P(KeptControls, ChangeNothingSeen)
{
    std::string progress;
    Pictures pictures = {{10401, 200, 400}, {10402, 200, 400}, {10405, 200, 400}};
    for (int q = 1, every = GetParam().first; q <= 12; ++q)
        progress += every && q % every == 0 ? "a" + std::to_string(q) + "\r\n" : "x\r\n",
            pictures.push_back({400 + q, 480, 360 + q});
    build({kMediaPicture, 12, 1, 3}, progress.c_str(), pictures);
    std::string seen = content() + cards() + controlsOf(board_);
    resizeClient(board_, 960, 400), scrollTo(board_, 0, 400);
    for (const char* step : {"", "a1", "a2", "a3", "x2", "", "a5", ""})
        step[0] ? answer(4000 + step[1] - '0', step)
                : void(SendDlgItemMessageA(header_, kHeaderHideId, BM_CLICK, 0, 0));
    for (int bar : {SB_HORZ, SB_VERT}) {
        SCROLLINFO info = {sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(board_, bar, &info);
        seen += std::to_string(info.nMax) + "/" + std::to_string(info.nPage) + "/" + std::to_string(info.nPos) + " ";
    }
    uint64_t hash = 14695981039346656037u;
    for (unsigned char c : seen + content() + cards() + controlsOf(board_))
        hash = (hash ^ c) * 1099511628211u;
    EXPECT_EQ(hash, GetParam().second);
}
INSTANTIATE_TEST_SUITE_P(Answers, KeptControls, testing::Values(std::make_pair(1, 14959323160351592636u),
    std::make_pair(0, 1575924120052600561u), std::make_pair(3, 11859712079401511636u)));

} // namespace
