// Checks the player's fixed resources as Windows sees them once linked into an
// executable: dialog templates 1001/1002, hand cursor 1003, icons 1004/1005, version block.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "resource.h"
#include "test_support.h"

namespace {

// Bytes of one resource of this executable; empty when it is missing.
std::vector<uint8_t> resourceBytes(int id, LPCSTR type) {
    HRSRC info = FindResourceA(self(), MAKEINTRESOURCEA(id), type);
    if (!info) return {};
    HGLOBAL handle = LoadResource(self(), info);
    const DWORD size = SizeofResource(self(), info);
    const auto* data = static_cast<const uint8_t*>(LockResource(handle));
    if (!data || size == 0) return {};
    return std::vector<uint8_t>(data, data + size);
}

// Little-endian reader that fails instead of reading past the end.
struct ByteReader {
    const std::vector<uint8_t>& bytes;
    size_t pos = 0;
    bool ok = true;

    uint32_t read(size_t width) {
        if (pos + width > bytes.size()) {
            ok = false;
            return 0;
        }
        uint32_t value = 0;
        for (size_t i = 0; i < width; ++i) value |= uint32_t(bytes[pos + i]) << (8 * i);
        pos += width;
        return value;
    }
    uint16_t word() { return uint16_t(read(2)); }
    uint32_t dword() { return read(4); }
    // A zero-terminated UTF-16 string, kept only if ASCII (all the names checked here are).
    std::string wideString() {
        std::string text;
        for (uint16_t c = word(); ok && c != 0; c = word()) text += c < 0x80 ? char(c) : '?';
        return text;
    }
    // Menu, class and title fields: 0 = none, 0xFFFF + ordinal, or a string.
    std::string nameOrOrdinal() {
        const size_t start = pos;
        const uint16_t first = word();
        if (first == 0) return "";
        if (first == 0xFFFF) return "#" + std::to_string(word());
        pos = start;
        return wideString();
    }
    void alignToDword() { pos = (pos + 3) & ~size_t(3); }
};

struct DialogHeader {
    bool parsed = false;
    bool extended = false;
    uint32_t style = 0, exStyle = 0;
    unsigned itemCount = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::string menu, windowClass, title;
    unsigned pointSize = 0;
    std::string face;
};

// Reads both layouts a resource compiler may emit: DLGTEMPLATE (DIALOG) and DLGTEMPLATEEX (DIALOGEX).
DialogHeader parseDialogTemplate(const std::vector<uint8_t>& bytes) {
    DialogHeader h;
    ByteReader r{bytes};
    const uint16_t version = r.word();
    const uint16_t signature = r.word();
    h.extended = version == 1 && signature == 0xFFFF;
    if (h.extended) {
        r.dword();  // help id
        h.exStyle = r.dword();
        h.style = r.dword();
    } else {
        r.pos = 0;
        h.style = r.dword();
        h.exStyle = r.dword();
    }
    h.itemCount = r.word();
    h.x = int16_t(r.word());
    h.y = int16_t(r.word());
    h.cx = int16_t(r.word());
    h.cy = int16_t(r.word());
    h.menu = r.nameOrOrdinal();
    h.windowClass = r.nameOrOrdinal();
    h.title = r.wideString();
    if (h.style & (DS_SETFONT | DS_SHELLFONT)) {
        h.pointSize = r.word();
        if (h.extended) {
            r.word();  // weight
            r.read(1);  // italic
            r.read(1);  // charset
        }
        h.face = r.wideString();
    }
    h.parsed = r.ok;
    return h;
}

void expectEmptyChildTemplate(int id, uint32_t expectedStyle) {
    const std::vector<uint8_t> bytes = resourceBytes(id, RT_DIALOG);
    ASSERT_FALSE(bytes.empty()) << "dialog " << id << " missing";
    const DialogHeader h = parseDialogTemplate(bytes);
    ASSERT_TRUE(h.parsed) << "dialog " << id << " truncated";
    EXPECT_EQ(h.style, expectedStyle) << std::hex << "stored style 0x" << h.style;
    EXPECT_EQ(h.style & WS_VISIBLE, 0u) << "must start hidden";
    EXPECT_EQ(h.exStyle, 0u);
    EXPECT_EQ(h.itemCount, 0u) << "the procedures create every control";
    EXPECT_EQ(std::to_string(h.x) + "," + std::to_string(h.y) + " " + std::to_string(h.cx) + "x" + std::to_string(h.cy),
              "0,0 86x100");
    EXPECT_EQ(h.menu + "|" + h.windowClass + "|" + h.title, "||");
    EXPECT_EQ(h.pointSize, 8u);
    EXPECT_EQ(h.face, "MS Sans Serif");
}

TEST(DialogTemplates, BoardIsEmptyHiddenScrollingChild) {
    expectEmptyChildTemplate(IDD_BOARD, WS_CHILD | WS_BORDER | WS_VSCROLL | WS_HSCROLL | DS_SETFONT);
}

TEST(DialogTemplates, HeaderIsEmptyHiddenChildWithoutScrollBars) {
    expectEmptyChildTemplate(IDD_HEADER, WS_CHILD | WS_BORDER | DS_SETFONT);
}

INT_PTR CALLBACK silentDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// The templates must also be accepted by the dialog manager as child dialogs.
TEST(DialogTemplates, CreateHiddenChildDialogsWithoutControls) {
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                                  self(), nullptr);
    ASSERT_NE(parent, nullptr);
    for (int id : {IDD_BOARD, IDD_HEADER}) {
        HWND dialog = CreateDialogParamA(self(), MAKEINTRESOURCEA(id), parent, silentDialogProc, 0);
        ASSERT_NE(dialog, nullptr) << "dialog " << id;
        const LONG style = GetWindowLongA(dialog, GWL_STYLE);
        EXPECT_TRUE(style & WS_CHILD) << "dialog " << id;
        EXPECT_FALSE(style & WS_VISIBLE) << "dialog " << id;
        EXPECT_EQ(GetParent(dialog), parent);
        EXPECT_EQ(GetWindow(dialog, GW_CHILD), nullptr) << "dialog " << id;
        DestroyWindow(dialog);
    }
    DestroyWindow(parent);
}

// Rows of a 1-bpp bitmap as booleans, top row first.
std::vector<std::vector<bool>> monochromeRows(HBITMAP bitmap) {
    BITMAP info{};
    if (!GetObjectA(bitmap, sizeof info, &info) || info.bmBitsPixel != 1) return {};
    std::vector<uint8_t> bits(size_t(info.bmWidthBytes) * info.bmHeight);
    if (GetBitmapBits(bitmap, LONG(bits.size()), bits.data()) != LONG(bits.size())) return {};
    std::vector<std::vector<bool>> rows(info.bmHeight, std::vector<bool>(info.bmWidth));
    for (int y = 0; y < info.bmHeight; ++y)
        for (int x = 0; x < info.bmWidth; ++x)
            rows[y][x] = (bits[size_t(y) * info.bmWidthBytes + x / 8] >> (7 - x % 8)) & 1;
    return rows;
}

TEST(HandCursor, GroupHoldsOneMonochrome32x32Cursor) {
    const std::vector<uint8_t> group = resourceBytes(IDC_LINK_HAND, RT_GROUP_CURSOR);
    ASSERT_FALSE(group.empty());
    ByteReader r{group};
    EXPECT_EQ(r.word(), 0);  // reserved
    EXPECT_EQ(r.word(), 2);  // cursor resources
    ASSERT_EQ(r.word(), 1) << "exactly one image";
    EXPECT_EQ(r.word(), 32);  // width
    EXPECT_EQ(r.word(), 64);  // height of XOR + AND masks
    EXPECT_EQ(r.word(), 1);   // planes
    EXPECT_EQ(r.word(), 1);   // bits per pixel
    EXPECT_TRUE(r.ok);
}

TEST(HandCursor, LoadsWithHotSpotAtFingertipBothWays) {
    HCURSOR cursor = LoadCursorA(self(), MAKEINTRESOURCEA(IDC_LINK_HAND));
    ASSERT_NE(cursor, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 6u);
    EXPECT_EQ(info.yHotspot, 0u);
    EXPECT_EQ(info.hbmColor, nullptr) << "a monochrome cursor has no colour bitmap";

    // Monochrome: one 32 x 64 mask, AND half on top, XOR half below.
    const auto rows = monochromeRows(info.hbmMask);
    ASSERT_EQ(rows.size(), 64u);
    ASSERT_EQ(rows[0].size(), 32u);
    auto opaque = [&](int x, int y) { return !rows[y][x]; };
    auto white = [&](int x, int y) { return opaque(x, y) && rows[32 + y][x]; };
    auto black = [&](int x, int y) { return opaque(x, y) && !rows[32 + y][x]; };

    // The hot spot is on a visible black pixel of a narrow tip, with a broad hand below.
    EXPECT_TRUE(black(6, 0));
    int tipWidth = 0, palmWidth = 0, whiteCount = 0, transparentCount = 0;
    for (int x = 0; x < 32; ++x) {
        tipWidth += opaque(x, 0);
        palmWidth += opaque(x, 16);
        for (int y = 0; y < 32; ++y) {
            whiteCount += white(x, y);
            transparentCount += !opaque(x, y);
        }
    }
    EXPECT_LE(tipWidth, 4);
    EXPECT_GE(palmWidth, 12);
    EXPECT_GT(whiteCount, 100) << "white fill";
    EXPECT_GT(transparentCount, 32 * 32 / 2) << "the hand does not fill its square";
    EXPECT_FALSE(opaque(31, 0));
    EXPECT_FALSE(opaque(31, 31));
    EXPECT_FALSE(opaque(0, 31));

    // The black outline is closed: no white pixel touches a transparent one or the border.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            if (!white(x, y)) continue;
            ASSERT_TRUE(x > 0 && x < 31 && y > 0 && y < 31) << "white at edge " << x << "," << y;
            EXPECT_TRUE(opaque(x - 1, y) && opaque(x + 1, y) && opaque(x, y - 1) && opaque(x, y + 1))
                << "outline gap next to " << x << "," << y;
        }

    DeleteObject(info.hbmMask);

    // Loaded by LoadImage at its default size: the same size and hot spot.
    HANDLE image = LoadImageA(self(), MAKEINTRESOURCEA(IDC_LINK_HAND), IMAGE_CURSOR, 0, 0, 0);
    ASSERT_NE(image, nullptr);
    ASSERT_TRUE(GetIconInfo(static_cast<HCURSOR>(image), &info));
    EXPECT_EQ(bitmapSize(info.hbmMask).cx, 32);
    EXPECT_EQ(bitmapSize(info.hbmMask).cy, 64);
    EXPECT_EQ(info.xHotspot, 6u);
    EXPECT_EQ(info.yHotspot, 0u);
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DestroyCursor(static_cast<HCURSOR>(image));
}

const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kLightGrey = RGB(192, 192, 192);

// A loaded icon's colours (top row first) and whether every pixel is opaque.
struct IconPixels {
    int width = 0, height = 0;
    std::vector<COLORREF> colours;
    bool allOpaque = false;
    COLORREF at(int x, int y) const { return colours[size_t(y) * width + x]; }
};

IconPixels readIcon(int id) {
    IconPixels result;
    HICON icon = LoadIconA(self(), MAKEINTRESOURCEA(id));
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return result;
    BITMAP colour{};
    if (info.hbmColor && GetObjectA(info.hbmColor, sizeof colour, &colour)) {
        BITMAPINFO bmi{};
        bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
        bmi.bmiHeader.biWidth = colour.bmWidth;
        bmi.bmiHeader.biHeight = -colour.bmHeight;  // top-down
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        std::vector<uint32_t> pixels(size_t(colour.bmWidth) * colour.bmHeight);
        HDC dc = CreateCompatibleDC(nullptr);
        if (GetDIBits(dc, info.hbmColor, 0, colour.bmHeight, pixels.data(), &bmi, DIB_RGB_COLORS) ==
            colour.bmHeight) {
            result.width = colour.bmWidth;
            result.height = colour.bmHeight;
            for (uint32_t p : pixels)  // 0x00RRGGBB in memory order B, G, R
                result.colours.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
        }
        DeleteDC(dc);
    }
    const auto mask = monochromeRows(info.hbmMask);
    result.allOpaque = !mask.empty();
    for (const auto& row : mask)
        for (bool transparent : row) result.allOpaque = result.allOpaque && !transparent;
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    return result;
}

// Group entry of a two-colour 32 x 32 icon.
void expectTwoColourGroup(int id) {
    const std::vector<uint8_t> group = resourceBytes(id, RT_GROUP_ICON);
    ASSERT_FALSE(group.empty()) << "icon " << id << " missing";
    ByteReader r{group};
    EXPECT_EQ(r.word(), 0);
    EXPECT_EQ(r.word(), 1);  // icon resources
    ASSERT_EQ(r.word(), 1) << "exactly one image";
    EXPECT_EQ(r.read(1), 32u);  // width
    EXPECT_EQ(r.read(1), 32u);  // height
    EXPECT_EQ(r.read(1), 2u);   // colour count
    r.read(1);
    EXPECT_EQ(r.word(), 1);  // planes
    EXPECT_EQ(r.word(), 1);  // bits per pixel
    EXPECT_TRUE(r.ok);
}

struct BlackBox {
    int left = 32, top = 32, right = -1, bottom = -1, count = 0;
};

BlackBox blackBox(const IconPixels& icon) {
    BlackBox box;
    for (int y = 0; y < icon.height; ++y)
        for (int x = 0; x < icon.width; ++x)
            if (icon.at(x, y) == kBlack) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
                ++box.count;
            }
    return box;
}

// Both icons: 32 x 32, opaque, only black and light grey, grey corners, and the black
// shape inside the part that a 20 x 19 button (icon centred, 3-pixel frame) leaves visible.
void expectBlackOnGrey(const IconPixels& icon, const BlackBox& box) {
    ASSERT_EQ(icon.width, 32);
    ASSERT_EQ(icon.height, 32);
    EXPECT_TRUE(icon.allOpaque);
    for (COLORREF c : icon.colours) ASSERT_TRUE(c == kBlack || c == kLightGrey) << std::hex << c;
    EXPECT_EQ(icon.at(0, 0), kLightGrey);
    EXPECT_EQ(icon.at(31, 0), kLightGrey);
    EXPECT_EQ(icon.at(0, 31), kLightGrey);
    EXPECT_EQ(icon.at(31, 31), kLightGrey);
    ASSERT_GT(box.count, 0);
    EXPECT_GE(box.left, 9);
    EXPECT_GE(box.top, 9);
    EXPECT_LE(box.right, 22);
    EXPECT_LE(box.bottom, 22);
}

TEST(PlayIcon, IsBlackRightPointingTriangleOnLightGrey) {
    expectTwoColourGroup(IDI_PLAY);
    const IconPixels icon = readIcon(IDI_PLAY);
    const BlackBox box = blackBox(icon);
    expectBlackOnGrey(icon, box);
    if (HasFatalFailure()) return;

    // Each row is one run from the flat left side; rows mirror about the middle and
    // shorten towards top and bottom, so columns thin out towards the tip on the right.
    const int height = box.bottom - box.top + 1;
    std::vector<int> runs;
    for (int y = box.top; y <= box.bottom; ++y) {
        int run = 0;
        while (box.left + run <= box.right && icon.at(box.left + run, y) == kBlack) ++run;
        for (int x = box.left + run; x <= box.right; ++x)
            ASSERT_EQ(icon.at(x, y), kLightGrey) << "row " << y << " is not one run from the left";
        runs.push_back(run);
    }
    for (int k = 0; k < height; ++k) EXPECT_EQ(runs[k], runs[height - 1 - k]) << "row " << k;
    for (int k = 1; k <= (height - 1) / 2; ++k) EXPECT_GE(runs[k], runs[k - 1]) << "row " << k;
    EXPECT_LT(runs.front(), runs[height / 2]);

    auto columnCount = [&](int x) {
        int n = 0;
        for (int y = box.top; y <= box.bottom; ++y) n += icon.at(x, y) == kBlack;
        return n;
    };
    EXPECT_EQ(columnCount(box.left), height) << "flat left side";
    EXPECT_GT(columnCount(box.left), 3 * columnCount(box.right)) << "pointed right end";
    EXPECT_GT(box.right - box.left, height / 2) << "not a mere sliver";
}

TEST(StopIcon, IsBlackSquareOnLightGrey) {
    expectTwoColourGroup(IDI_STOP);
    const IconPixels icon = readIcon(IDI_STOP);
    const BlackBox box = blackBox(icon);
    expectBlackOnGrey(icon, box);
    if (HasFatalFailure()) return;
    const int width = box.right - box.left + 1;
    const int height = box.bottom - box.top + 1;
    EXPECT_EQ(width, height) << "square";
    EXPECT_EQ(box.count, width * height) << "filled";
    EXPECT_GE(width, 8);
}

// Strings of the version block as the version API reads them from this executable.
class VersionBlock : public ::testing::Test {
protected:
    void SetUp() override {
        char path[MAX_PATH] = {};
        ASSERT_GT(GetModuleFileNameA(self(), path, MAX_PATH), 0u);
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
        ASSERT_GT(size, 0u) << "no version block";
        data_.resize(size);
        ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, data_.data()));
    }
    std::string text(const char* name) {
        void* value = nullptr;
        UINT length = 0;
        const std::string key = std::string("\\StringFileInfo\\040C04E4\\") + name;
        if (!VerQueryValueA(data_.data(), key.c_str(), &value, &length) || !value) return "<missing>";
        return static_cast<const char*>(value);
    }
    std::vector<char> data_;
};

TEST_F(VersionBlock, FixedNumbersAre2_1_6) {
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data_.data(), "\\", &value, &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00020001u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00060000u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00020001u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00060000u);
    EXPECT_EQ(fixed->dwFileType, DWORD(VFT_APP));
}

TEST_F(VersionBlock, TranslationIsFrenchWindows1252) {
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data_.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    const auto* pair = static_cast<const WORD*>(value);
    EXPECT_EQ(pair[0], 0x040C);
    EXPECT_EQ(pair[1], 1252);
}

TEST_F(VersionBlock, StringsNameEnigo2_1_6) {
    EXPECT_EQ(text("ProductName"), "Enigo");
    EXPECT_EQ(text("FileVersion"), "2.1.6");
    EXPECT_EQ(text("ProductVersion"), "2.1.6");
    EXPECT_EQ(text("FileVersion"), ENIGO_VERSION_STRING);
    EXPECT_NE(text("CompanyName").find("Enigo"), std::string::npos);
    EXPECT_NE(text("LegalCopyright").find("Enigo"), std::string::npos);
    EXPECT_NE(text("FileDescription").find("Enigo"), std::string::npos);
    EXPECT_EQ(text("OriginalFilename"), "enigo.exe");
}

// Version 6 of the common controls would restyle every control; the player keeps the classic ones.
TEST(Manifest, DoesNotSelectCommonControlsVersion6) {
    for (int id : {1, 2, 3}) {
        const std::vector<uint8_t> manifest = resourceBytes(id, RT_MANIFEST);
        const std::string text(manifest.begin(), manifest.end());
        EXPECT_EQ(text.find("Microsoft.Windows.Common-Controls"), std::string::npos) << "manifest " << id;
    }
}

}  // namespace
