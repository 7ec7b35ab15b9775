// The question board: builds one card per question when it initialises (answer fields filled
// from the progress file and judged at once), colours its labels and hands scrolling on.
#include "board/board.h"

#include <cstdio>

#include "app/progress.h"
#include "base/app.h"
#include "base/edit_font.h"
#include "base/quiz_resources.h"
#include "board/answer_box.h"
#include "board/board_controls.h"
#include "board/board_ids.h"
#include "board/board_layout.h"
#include "board/board_scroll.h"
#include "judging/judge.h"
#include "judging/verdict.h"
#include "media/media.h"
#include "pictures/picture.h"
#include "quiz/quiz_state_win.h"
#include "resource.h"

namespace {

constexpr DWORD kRightLabel = WS_CHILD | WS_VISIBLE | SS_RIGHT;
constexpr DWORD kPlainLabel = WS_CHILD | WS_VISIBLE;
constexpr DWORD kCentredLabel = WS_CHILD | WS_VISIBLE | SS_CENTER;
constexpr DWORD kFramedLabel = WS_CHILD | WS_VISIBLE | WS_BORDER | SS_CENTERIMAGE | SS_CENTER;
constexpr DWORD kPictureStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | SS_CENTERIMAGE | SS_BITMAP;
constexpr DWORD kCardAnswer = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_CENTER;
// The list's fields carry one more style bit than the cards' (0x200, no named edit style).
constexpr DWORD kListAnswer = kCardAnswer | 0x200;
constexpr DWORD kIconButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_ICON | BS_DEFPUSHBUTTON;
static_assert(kFramedLabel == 0x50800201 && kPictureStyle == 0x5080020E && kListAnswer == 0x50810281 &&
                  kIconButton == 0x50010041,
              "board control styles");

constexpr COLORREF kBravoColour = RGB(0, 255, 0);

// Green background of right verdicts; lives from the board's construction to its destruction.
HBRUSH bravoBrush = nullptr;

// What one construction pass carries from card to card.
struct BoardBuilder {
    QuizState& state;
    HWND board;
    ProgressReader progress;
    int top = kBoardTop;
    int row = 0;
    int rowPictureHeight = 0;
    HBITMAP rowBitmaps[kGridColumns] = {};
    SIZE rowSizes[kGridColumns] = {};
    HICON playIcon = nullptr;
    HICON stopIcon = nullptr;
    HFONT guiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
};

HWND makeControl(HWND board, const char* className, const char* text, DWORD style, const BoxRect& box, int id,
                 HFONT font)
{
    HWND control = CreateWindowExA(0, className, text, style, box.x, box.y, box.width, box.height, board,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), app.module, nullptr);
    keepControl(boardControls, control, id);
    if (font)
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

const char* captionOf(const QuizState& state, int question)
{
    const QuestionRecord* record = questionByNumber(state, question);
    return record ? record->caption : "";
}

const char* revealTextOf(const QuizState& state, int question)
{
    const QuestionRecord* record = questionByNumber(state, question);
    return record ? record->revealText : "";
}

// The question's number label: "12." for question 12.
void makeNumberLabel(HWND board, int question, const BoxRect& box, int id)
{
    char number[16];
    std::snprintf(number, sizeof number, "%d.", question);
    makeControl(board, "Static", number, kRightLabel, box, id, nullptr);
}

// Makes an answer field holding the next saved line, and its verdict label showing the blank verdict.
int makeAnswerPair(BoardBuilder& builder, DWORD fieldStyle, const BoxRect& field, const BoxRect& verdict, int fieldId,
                   HFONT verdictFont)
{
    char saved[kTextSize];
    builder.progress.nextLine(saved);
    setEditFont(makeControl(builder.board, "Edit", saved, fieldStyle, field, fieldId, nullptr), builder.state.boardFont,
                FALSE);
    makeControl(builder.board, "Static", verdictText(Verdict::Blank), kFramedLabel, verdict, verdictLabelId(fieldId),
                verdictFont);
    return fieldId;
}

void buildListLine(BoardBuilder& builder, int question)
{
    ListLine line = listLine(builder.top);
    makeNumberLabel(builder.board, question, line.number, kListNumberLabelId);
    makeControl(builder.board, "Static", captionOf(builder.state, question), kFramedLabel, line.caption,
                kListCaptionLabelId, builder.state.boardFont);
    // The list has one field per question whatever the quiz's answer count.
    int field = makeAnswerPair(builder, kListAnswer, line.answer, line.verdict, answerFieldId(question, 1, 1), nullptr);
    judgeAnswer(builder.state, builder.board, field);
    installAnswerBoxProc(controlOf(boardControls, builder.board, field));

    builder.top += kListLineStep;
    builder.state.contentWidth = kListContentWidth;
    builder.state.contentHeight = builder.top;
}

void releaseRowBitmaps(BoardBuilder& builder)
{
    for (HBITMAP& bitmap : builder.rowBitmaps) {
        if (bitmap)
            DeleteObject(bitmap);
        bitmap = nullptr;
    }
}

// Loads the three pictures of the row that question starts, even past the last question,
// and makes the row as high as its tallest picture.
void loadRowPictures(BoardBuilder& builder, int question)
{
    releaseRowBitmaps(builder);
    builder.rowPictureHeight = 0;
    for (int column = 0; column < kGridColumns; ++column) {
        HBITMAP bitmap = loadPicture(app.module, cardResourceId(question + column), kMediaResourceType, kCardPictureBox,
                                     kCardPictureBox);
        SIZE size = {kCardPictureBox, 0};
        BITMAP description;
        if (bitmap && GetObjectA(bitmap, sizeof description, &description)) {
            size.cx = description.bmWidth;
            size.cy = description.bmHeight;
        }
        builder.rowBitmaps[column] = bitmap;
        builder.rowSizes[column] = size;
        if (size.cy > builder.rowPictureHeight)
            builder.rowPictureHeight = size.cy;
    }
    if (builder.row < kMaxRows)
        builder.state.rowHeights[builder.row] = builder.rowPictureHeight;
    ++builder.row;
}

void buildGridCard(BoardBuilder& builder, int question)
{
    QuizState& state = builder.state;
    HWND board = builder.board;
    const int answers = state.answersPerQuestion;
    const bool picture = state.mediaKind == kMediaPicture;
    const int column = gridColumn(question);

    if (picture && column == 0)
        loadRowPictures(builder, question);
    GridCard card = gridCard(question, answers, state.mediaKind, builder.top, builder.rowPictureHeight);

    if (picture) {
        SIZE size = builder.rowSizes[column];
        HWND pictureControl = makeControl(board, "STATIC", "", kPictureStyle,
                                          gridPicture(card, builder.top, builder.rowPictureHeight, size.cx, size.cy),
                                          pictureControlId(question), nullptr);
        // Handed over at once, before the restored answers are judged: a question they solve
        // swaps in its answer picture, which a later hand-over would cover up again.
        SendMessageA(pictureControl, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(builder.rowBitmaps[column]));
        builder.rowBitmaps[column] = nullptr;
    }
    if (answers == 2 && column == 0) {
        makeControl(board, "Static", state.answerLabel1, kPlainLabel, gridAnswerName(1, card.fieldTop),
                    kAnswerNameLabelId, builder.guiFont);
        makeControl(board, "Static", state.answerLabel2, kPlainLabel, gridAnswerName(2, card.fieldTop),
                    kAnswerNameLabelId, builder.guiFont);
    }
    makeNumberLabel(board, question, gridNumber(card), gridNumberLabelId(question));
    if (hasRevealLabels(state.revealMode)) {
        HWND reveal = makeControl(board, "Static", revealTextOf(state, question), kCentredLabel, gridReveal(card),
                                  revealLabelId(question), builder.guiFont);
        ShowWindow(reveal, SW_HIDE);
    }

    for (int answer = 1; answer <= answers; ++answer) {
        if (answers == 1) {
            int field = makeAnswerPair(builder, kCardAnswer, gridAnswerField(card, 1, 1), gridVerdict(card, 1, 1),
                                       answerFieldId(question, 1, 1), nullptr);
            judgeAnswer(state, board, field);
            installAnswerBoxProc(controlOf(boardControls, board, field));
        } else if (answers == 2) {
            int field =
                makeAnswerPair(builder, kCardAnswer, gridAnswerField(card, answer, 2), gridVerdict(card, answer, 2),
                               answerFieldId(question, answer, 2), builder.guiFont);
            installAnswerBoxProc(controlOf(boardControls, board, field));
            judgeAnswer(state, board, field);
        } else {
            // An answer count the board cannot show still uses up its saved line.
            char unused[kTextSize];
            builder.progress.nextLine(unused);
        }
    }

    if (!picture) {
        HWND play =
            makeControl(board, "Button", "", kIconButton, gridPlayButton(card), playButtonId(question), nullptr);
        SendMessageA(play, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(builder.playIcon));
        HWND stop =
            makeControl(board, "Button", "", kIconButton, gridStopButton(card), stopButtonId(question), nullptr);
        SendMessageA(stop, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(builder.stopIcon));
    }

    int spacing = gridRowSpacing(state.revealMode);
    if (column == 0) {
        state.contentWidth = kGridContentWidth;
        state.contentHeight = card.fieldTop + spacing;
    }
    if (column == kGridColumns - 1)
        builder.top = card.fieldTop + spacing;
}

INT_PTR onBoardInit(HWND board)
{
    QuizState& state = *app.quiz;
    keepControlsOf(boardControls, board, kBoardIdCount);
    bravoBrush = CreateSolidBrush(kBravoColour);
    state.contentWidth = 0;
    state.contentHeight = 0;

    BoardBuilder builder{state, board, {}};
    if (state.mediaKind == kMediaSound || state.mediaKind == kMediaVideo) {
        builder.playIcon = LoadIconA(app.module, MAKEINTRESOURCEA(IDI_PLAY));
        builder.stopIcon = LoadIconA(app.module, MAKEINTRESOURCEA(IDI_STOP));
        createMediaPlayer(board);
    }
    builder.progress.open();
    createBoardFont(state);

    for (int question = 1; question <= state.questionCount; ++question) {
        if (isListLayout(state.mediaKind))
            buildListLine(builder, question);
        else if (isGridLayout(state.mediaKind))
            buildGridCard(builder, question);
    }
    releaseRowBitmaps(builder);
    state.contentWidth += contentWidthMargin(state.answersPerQuestion);

    builder.progress.close();
    setUpBoardScrollBars(state, board);
    return TRUE;
}

COLORREF brushColour(HBRUSH brush)
{
    LOGBRUSH description = {};
    GetObjectA(brush, sizeof description, &description);
    return description.lbColor;
}

// Text background in the brush's own colour, and that brush for the rest of the label.
INT_PTR paintWith(HDC dc, HBRUSH brush)
{
    SetBkColor(dc, brushColour(brush));
    return reinterpret_cast<INT_PTR>(brush);
}

INT_PTR onBoardColourStatic(HDC dc, HWND control)
{
    const QuizState& state = *app.quiz;
    switch (labelColouring(GetDlgCtrlID(control), state.questionCount * state.answersPerQuestion)) {
    case LabelColouring::Background:
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, darkTextOnBackground(state.backRed, state.backGreen) ? RGB(0, 0, 0) : RGB(255, 255, 255));
        return reinterpret_cast<INT_PTR>(state.backBrush);
    case LabelColouring::Caption:
        return paintWith(dc, state.captionBrush);
    case LabelColouring::Verdict:
        break;
    case LabelColouring::Default:
        return FALSE;
    }
    char verdict[kVerdictReadSize] = {};
    GetWindowTextA(control, verdict, sizeof verdict);
    switch (verdictColour(verdict)) {
    case VerdictColour::Right:
        return paintWith(dc, bravoBrush);
    case VerdictColour::Wrong:
        return paintWith(dc, state.wrongBrush);
    case VerdictColour::Anagram:
        return paintWith(dc, state.anagramBrush);
    case VerdictColour::Hint:
        return paintWith(dc, state.hintBrush);
    case VerdictColour::Unjudged:
        break;
    }
    return FALSE;
}

INT_PTR onBoardDestroy(HWND board)
{
    forgetControlsOf(boardControls, board);
    if (bravoBrush)
        DeleteObject(bravoBrush);
    bravoBrush = nullptr;
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK boardProc(HWND board, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return onBoardInit(board);
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(app.quiz->backBrush);
    case WM_CTLCOLORSTATIC:
        return onBoardColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DESTROY:
    case WM_CLOSE:
        return onBoardDestroy(board);
    case WM_COMMAND:
        return handleMediaCommand(board, wParam);
    case WM_SIZE:
        return onBoardSize(board);
    case WM_VSCROLL:
        return onBoardVScroll(board, wParam);
    case WM_HSCROLL:
        return onBoardHScroll(board, wParam);
    case WM_MOUSEWHEEL:
        return onBoardWheel(board, wParam);
    default:
        return FALSE;
    }
}
