// The player's fixed resources as Windows reads them from a linked executable: dialog templates
// 1001/1002, hand cursor 1003, icons 1004/1005, version block, and no manifest.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "resource.h"
#include "test_support.h"

namespace {

std::vector<uint8_t> resourceBytes(int id, LPCSTR type)
{
    HRSRC info = FindResourceA(self(), MAKEINTRESOURCEA(id), type);
    const auto* data = info ? static_cast<const uint8_t*>(LockResource(LoadResource(self(), info))) : nullptr;
    return data ? std::vector<uint8_t>(data, data + SizeofResource(self(), info)) : std::vector<uint8_t>{};
}

// The little-endian words of a resource from offset on, as one text: "w w w ...".
std::string words(const std::vector<uint8_t>& bytes, size_t offset, size_t count)
{
    std::string text;
    for (size_t i = offset; i < offset + 2 * count && i + 1 < bytes.size(); i += 2)
        text += (text.empty() ? "" : " ") + std::to_string(bytes[i] | bytes[i + 1] << 8);
    return text;
}

// A DIALOG template (DLGTEMPLATE): style, ex-style, item count, x y cx cy, no menu, no class, empty
// title, then the point size and face "MS Sans Serif" in UTF-16.
TEST(DialogTemplates, AreEmptyHiddenChildrenWithTheirFont)
{
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, self(), nullptr);
    for (const auto& [id, style] : {std::pair<int, DWORD>{IDD_BOARD, WS_CHILD | WS_BORDER | WS_VSCROLL | WS_HSCROLL | DS_SETFONT},
                                    std::pair<int, DWORD>{IDD_HEADER, WS_CHILD | WS_BORDER | DS_SETFONT}}) {
        SCOPED_TRACE(id);
        const std::vector<uint8_t> bytes = resourceBytes(id, RT_DIALOG);
        std::string face;
        for (size_t i = 26; i + 1 < bytes.size() && bytes[i]; i += 2)
            face += static_cast<char>(bytes[i]);
        EXPECT_EQ(words(bytes, 0, 13), std::to_string(style & 0xFFFF) + " " + std::to_string(style >> 16) +
                                           " 0 0 0 0 0 86 100 0 0 0 8");
        EXPECT_EQ(face, "MS Sans Serif");
        // The dialog manager accepts it as a child dialog, hidden and without controls.
        HWND dialog = CreateDialogParamA(self(), MAKEINTRESOURCEA(id), parent,
                                         [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(GetWindowLongA(dialog, GWL_STYLE) & (WS_CHILD | WS_VISIBLE), WS_CHILD);
        EXPECT_EQ(GetWindow(dialog, GW_CHILD), nullptr);
    }
    DestroyWindow(parent);
}

// Rows of a 1-bpp bitmap, top row first; true is a set bit.
std::vector<std::vector<bool>> monochromeRows(HBITMAP bitmap)
{
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    std::vector<uint8_t> bits(size_t(info.bmWidthBytes) * info.bmHeight);
    GetBitmapBits(bitmap, LONG(bits.size()), bits.data());
    std::vector<std::vector<bool>> rows(info.bmHeight, std::vector<bool>(info.bmWidth));
    for (int y = 0; y < info.bmHeight; ++y)
        for (int x = 0; x < info.bmWidth; ++x)
            rows[y][x] = (bits[size_t(y) * info.bmWidthBytes + x / 8] >> (7 - x % 8)) & 1;
    return rows;
}

// One monochrome 32 x 32 cursor (both masks: 64 high) whose hot spot is the black fingertip at its top.
TEST(HandCursor, PointsWithItsFingertipAtTheHotSpot)
{
    EXPECT_EQ(words(resourceBytes(IDC_LINK_HAND, RT_GROUP_CURSOR), 0, 7), "0 2 1 32 64 1 1");
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(LoadCursorA(self(), MAKEINTRESOURCEA(IDC_LINK_HAND)), &info));
    EXPECT_EQ(std::to_string(info.fIcon) + " " + std::to_string(info.xHotspot) + "," + std::to_string(info.yHotspot),
              "0 6,0");
    EXPECT_EQ(info.hbmColor, nullptr);
    const auto rows = monochromeRows(info.hbmMask);  // AND mask on top, XOR below
    DeleteObject(info.hbmMask);
    ASSERT_EQ(rows.size() * 100 + rows[0].size(), 6432u);
    EXPECT_TRUE(!rows[0][6] && !rows[32][6]) << "black at the hot spot";
    EXPECT_LE(std::count(rows[0].begin(), rows[0].end(), false), 4) << "a fingertip, not a block";
}

// A 32 x 32 two-colour icon: opaque, black on light grey, the black inside the part a 20 x 19
// button leaves visible; returns the black pixels' rows trimmed to their bounding box.
std::vector<std::string> blackShape(int id)
{
    EXPECT_EQ(words(resourceBytes(id, RT_GROUP_ICON), 0, 7), "0 1 1 8224 2 1 1") << "one 32 x 32 two-colour image";
    ICONINFO info = {};
    EXPECT_TRUE(GetIconInfo(LoadIconA(self(), MAKEINTRESOURCEA(id)), &info));
    for (const auto& row : monochromeRows(info.hbmMask))
        EXPECT_EQ(std::count(row.begin(), row.end(), true), 0) << "transparent pixels";
    const std::vector<DWORD> pixels = pixelsOf(info.hbmColor);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    EXPECT_EQ(pixels.size(), 32u * 32u);
    int left = 32, top = 32, right = -1, bottom = -1;
    for (int i = 0; i < int(pixels.size()); ++i) {
        EXPECT_TRUE(pixels[i] == 0 || pixels[i] == 0xC0C0C0) << std::hex << pixels[i];
        if (pixels[i] == 0)
            left = std::min(left, i % 32), right = std::max(right, i % 32), top = std::min(top, i / 32),
            bottom = std::max(bottom, i / 32);
    }
    EXPECT_TRUE(left >= 9 && top >= 9 && right <= 22 && bottom <= 22) << left << "," << top << " " << right << "," << bottom;
    std::vector<std::string> shape;
    for (int y = top; y <= bottom; ++y) {
        shape.emplace_back();
        for (int x = left; x <= right; ++x)
            shape.back() += pixels[y * 32 + x] ? '.' : '#';
    }
    return shape;
}

// Each row one run from a flat left side, mirrored about the middle, longest there and pointed.
TEST(PlayIcon, IsARightPointingTriangle)
{
    const std::vector<std::string> rows = blackShape(IDI_PLAY);
    ASSERT_GE(rows.size(), 5u);
    std::vector<size_t> runs;
    for (const std::string& row : rows) {
        runs.push_back(std::min(row.find('.'), row.size()));
        EXPECT_TRUE(runs.back() > 0 && row.find('#', runs.back()) == std::string::npos) << row;
    }
    EXPECT_TRUE(std::equal(runs.begin(), runs.end(), runs.rbegin()));
    EXPECT_TRUE(std::is_sorted(runs.begin(), runs.begin() + runs.size() / 2 + 1));
    EXPECT_LT(std::count(runs.begin(), runs.end(), rows[0].size()) * 3, long(rows.size())) << "pointed";
    EXPECT_LT(runs.front(), runs[runs.size() / 2]);
}

TEST(StopIcon, IsAFilledSquare)
{
    const std::vector<std::string> rows = blackShape(IDI_STOP);
    ASSERT_GE(rows.size(), 8u);
    EXPECT_EQ(rows, std::vector<std::string>(rows.size(), std::string(rows.size(), '#')));
}

TEST(VersionBlock, Is2_1_6InFrenchWindows1252)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(self(), path, MAX_PATH);
    DWORD ignored = 0;
    std::vector<char> data(GetFileVersionInfoSizeA(path, &ignored));
    ASSERT_TRUE(!data.empty() && GetFileVersionInfoA(path, 0, data.size(), data.data()));
    auto query = [&](const std::string& key) {
        void* value = nullptr;
        UINT length = 0;
        return VerQueryValueA(data.data(), key.c_str(), &value, &length) ? value : nullptr;
    };
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query("\\"));
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(std::vector<DWORD>({fixed->dwSignature, fixed->dwFileVersionMS, fixed->dwFileVersionLS,
                                  fixed->dwProductVersionMS, fixed->dwProductVersionLS, fixed->dwFileType}),
              std::vector<DWORD>({0xFEEF04BD, 0x20001, 0x60000, 0x20001, 0x60000, VFT_APP}));
    const auto* translation = static_cast<const WORD*>(query("\\VarFileInfo\\Translation"));
    ASSERT_NE(translation, nullptr);
    EXPECT_EQ(translation[0] * 10000 + translation[1], 0x040C * 10000 + 1252);
    std::string strings;
    for (const char* name : {"ProductName", "FileVersion", "ProductVersion", "OriginalFilename", "CompanyName",
                             "LegalCopyright", "FileDescription"}) {
        const char* value = static_cast<const char*>(query(std::string("\\StringFileInfo\\040C04E4\\") + name));
        strings += std::string(value ? value : "<missing>") + "|";
    }
    EXPECT_EQ(strings, "Enigo|2.1.6|2.1.6|enigo.exe|Equipe Enigo|Copyright (C) Equipe Enigo|Lecteur de quiz Enigo|");
}

// Version 6 of the common controls would restyle every control; the player keeps the classic ones.
TEST(Manifest, DoesNotSelectCommonControlsVersion6)
{
    for (int id : {1, 2, 3}) {
        const std::vector<uint8_t> manifest = resourceBytes(id, RT_MANIFEST);
        EXPECT_EQ(std::string(manifest.begin(), manifest.end()).find("Common-Controls"), std::string::npos) << id;
    }
}

} // namespace
