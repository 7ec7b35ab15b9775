// Picture loading and scaling from fixture modules through the system loader or the PNG decoder, read back.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "base/quiz_resources.h"
#include "board/board_layout.h"
#include "pictures/picture.h"
#include "pictures/png_picture.h"
#include "test_support.h"

namespace {

using Bytes = std::vector<unsigned char>;
const char* const kRawData = MAKEINTRESOURCEA(10);

Bytes fixture(const char* name)
{
    const std::string bytes = readFile(windowsPath(ENIGO_TEST_FIXTURES) + "\\" + name);
    EXPECT_FALSE(bytes.empty()) << name;
    return Bytes(bytes.begin(), bytes.end());
}

// "WxH" and a 4 x 4 grid of samples, each the R, G, B, White, Yellow or blacK it is near, else '?' (lossy coding blurs).
std::string describe(HBITMAP bitmap)
{
    const SIZE size = bitmapSize(bitmap);
    const std::vector<DWORD> pixels = pixelsOf(bitmap);
    std::string text = std::to_string(size.cx) + "x" + std::to_string(size.cy);
    for (double fy : {0.0, 0.3, 0.7, 1.0}) {
        text += ' ';
        for (double fx : {0.0, 0.3, 0.7, 1.0}) {
            const DWORD p = pixels.at(size_t(fy * (size.cy - 1)) * size.cx + size_t(fx * (size.cx - 1)));
            static const std::pair<char, DWORD> kNames[] = {{'R', 0xFF0000}, {'G', 0x00FF00}, {'B', 0x0000FF},
                                                            {'W', 0xFFFFFF}, {'Y', 0xFFFF00}, {'K', 0x000000}};
            char nearest = '?';
            for (auto [name, colour] : kNames) {
                bool close = true;
                for (int shift : {0, 8, 16})
                    close = close && std::abs(int((p >> shift) & 0xFF) - int((colour >> shift) & 0xFF)) <= 64;
                nearest = close ? name : nearest;
            }
            text += nearest;
        }
    }
    return text;
}

// loadPicture of question 1 from a module holding the given (type, file) resources.
HBITMAP loadFrom(const std::vector<std::pair<const char*, Bytes>>& resources)
{
    FixtureModule module;
    module.add("OTHER", 1, {1});  // a module needs one resource to be written
    for (const auto& [type, bytes] : resources)
        module.add(type, cardResourceId(1), bytes);
    return loadPicture(module.load(), cardResourceId(1), kMediaResourceType, kCardPictureBox, kCardPictureBox);
}

const char* const kQuadrants = " RRGG RRGG BBWW BBWW";

// Shrunk or enlarged into the box, as a screen-compatible bitmap, no DIB (the arithmetic is pinned on the host).
TEST(SystemLoaderPicture, DecodesAndScalesIntoTheCardBox)
{
    const struct {
        const char* file;
        std::string unscaled, scaled;
    } cases[] = {{"landscape.jpg", "480x360 RRBB RRBB RRBB RRBB", "260x195 RRBB RRBB RRBB RRBB"},
                 {"wide.bmp", std::string("30x20") + kQuadrants, std::string("260x173") + kQuadrants}};
    HDC screen = GetDC(nullptr);
    const int screenBits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    MessageCapture capture;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const Bytes bytes = fixture(c.file);
        HBITMAP unscaled = loadOlePicture(bytes.data(), bytes.size());
        EXPECT_EQ(describe(unscaled), c.unscaled);
        HBITMAP picture = loadFrom({{kMediaResourceType, bytes}});
        EXPECT_EQ(describe(picture), c.scaled);
        BITMAP info = {};
        DIBSECTION section = {};
        GetObjectA(picture, sizeof info, &info);
        EXPECT_EQ(info.bmBitsPixel * info.bmPlanes, screenBits);
        EXPECT_NE(GetObjectA(picture, sizeof section, &section), int(sizeof section)) << "a DIB section";
        DeleteObject(picture);
        DeleteObject(unscaled);
    }
    EXPECT_EQ(loadOlePicture(nullptr, 10), nullptr);
    EXPECT_EQ(loadOlePicture(fixture("landscape.jpg").data(), 0), nullptr);
    EXPECT_TRUE(capture.messages().empty());
}

// By where a picture is stored, never its bytes; Wine's system loader reads PNG, that of Windows does not.
TEST(PictureRouting, GoesToTheDecoderOfWhereItIsStored)
{
    const Bytes jpeg = fixture("landscape.jpg"), png = fixture("picture.png");
    const bool systemReadsPng = loadOlePicture(png.data(), png.size()) != nullptr;
    const std::string pngScaled = "260x195 GGGG GGGG YYYY YYYY";
    const struct {
        std::vector<std::pair<const char*, Bytes>> resources;
        std::string picture;  // empty: none
    } cases[] = {
        {{{kMediaResourceType, jpeg}, {kRawData, png}}, "260x195 RRBB RRBB RRBB RRBB"},
        {{{kMediaResourceType, png}}, systemReadsPng ? pngScaled : ""},
        {{{kRawData, png}}, pngScaled},
        {{}, ""},
        {{{kMediaResourceType, {'p', 'a', 's', ' ', 'u', 'n', 'e', ' ', 'i', 'm', 'a', 'g', 'e'}}}, ""},
        {{{kRawData, jpeg}}, ""},  // raw data is for the PNG decoder only
        {{{"JPG", jpeg}}, ""},
    };
    MessageCapture capture;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.picture + " from " + std::to_string(c.resources.size()));
        HBITMAP picture = loadFrom(c.resources);
        EXPECT_EQ(picture ? describe(picture) : "", c.picture);
        DeleteObject(picture);
    }
    EXPECT_TRUE(capture.messages().empty());
}

// The system loader reads an icon, but its handle is no bitmap, so the copy step fails and says so.
TEST(OlePicture, ReportsACopyFailureInAnInformationBox)
{
    MessageCapture capture;
    EXPECT_EQ(loadFrom({{kMediaResourceType, fixture("icon.ico")}}), nullptr);
    ASSERT_EQ(capture.messages().size(), 1u);
    const CapturedMessage& message = capture.messages()[0];
    EXPECT_EQ(message.owner, nullptr);
    EXPECT_EQ(message.caption, "info");
    EXPECT_EQ(message.flags, UINT(MB_OK | MB_ICONINFORMATION));
    // The error code is whatever the system reports; the rest of the text is fixed.
    const std::string prefix = "CopyImage plante avec l'erreur : ";
    ASSERT_EQ(message.text.substr(0, prefix.size()), prefix);
    const std::string code = message.text.substr(prefix.size());
    EXPECT_EQ(code, std::to_string(std::atoi(code.c_str())) + "\n");
}

// A top-down 30 x 20 DIB section of quadrants: red, green over blue, white.
HBITMAP quadrantSection(int width = 30, int height = 20)
{
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    for (int y = 0; section && y < height; ++y)
        for (int x = 0; x < width; ++x)
            static_cast<DWORD*>(bits)[y * width + x] =
                y >= height / 2 ? (x >= width / 2 ? 0xFFFFFF : 0x0000FF) : (x >= width / 2 ? 0x00FF00 : 0xFF0000);
    return section;
}

// A new bitmap; the source is left as it was and free to be selected or deleted by the caller.
TEST(ScaleToFit, EnlargesProportionallyIntoANewBitmap)
{
    HBITMAP source = quadrantSection();
    const std::vector<DWORD> before = pixelsOf(source);
    HBITMAP scaled = scaleToFit(source, kCardPictureBox, kCardPictureBox);
    EXPECT_NE(scaled, source);
    EXPECT_EQ(describe(scaled), std::string("260x173") + kQuadrants);
    EXPECT_EQ(pixelsOf(source), before);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, source);
    EXPECT_NE(previous, nullptr) << "the source is still selected somewhere";
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(scaled);
    DeleteObject(source);
}

TEST(ScaleToFit, RejectsWhatCannotBeScaled)
{
    HBITMAP source = quadrantSection();
    HBITMAP thin = quadrantSection(1, 1000);
    HBRUSH brush = CreateHatchBrush(HS_CROSS, RGB(255, 0, 0));
    EXPECT_EQ(scaleToFit(nullptr, kCardPictureBox, kCardPictureBox), nullptr);
    // A brush's LOGBRUSH would read as a 255 x 4 BITMAP.
    EXPECT_EQ(scaleToFit(reinterpret_cast<HBITMAP>(brush), kCardPictureBox, kCardPictureBox), nullptr);
    EXPECT_EQ(scaleToFit(thin, kCardPictureBox, kCardPictureBox), nullptr) << "scaled to no width";
    HDC holder = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(holder, source);
    EXPECT_EQ(scaleToFit(source, kCardPictureBox, kCardPictureBox), nullptr) << "selected elsewhere";
    SelectObject(holder, previous);
    DeleteDC(holder);
    DeleteObject(brush);
    DeleteObject(thin);
    DeleteObject(source);
}

// Entering an apartment answers S_OK on a thread in none and S_FALSE on one in it: after a load, that tells
// whether the load (of a picture or of unreadable bytes) left COM as it found it.
TEST(PictureCom, EachLoadLeavesComAsItFoundIt)
{
    const Bytes text = {'t', 'e', 'x', 't'}, jpeg = fixture("landscape.jpg");
    for (DWORD apartment : {DWORD(COINIT_APARTMENTTHREADED), DWORD(COINIT_MULTITHREADED)})
        for (bool enter : {false, true}) {
            SCOPED_TRACE(std::to_string(apartment) + (enter ? " entered" : " none"));
            ASSERT_TRUE(!enter || CoInitializeEx(nullptr, apartment) == S_OK);
            HBITMAP picture = loadFrom({{kMediaResourceType, enter ? text : jpeg}});
            EXPECT_EQ(picture != nullptr, !enter);
            DeleteObject(picture);
            const HRESULT probe = CoInitializeEx(nullptr, apartment);
            EXPECT_EQ(probe, enter ? S_FALSE : S_OK);
            for (int calls = SUCCEEDED(probe) + enter; calls > 0; --calls)
                CoUninitialize();
        }
}

} // namespace
