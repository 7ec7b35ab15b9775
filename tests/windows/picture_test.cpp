// Pictures from fixture modules: routed by where they are stored to the system loader or the PNG decoder, scaled
// into the card box; raw-data PNGs of several formats against the system loader (Wine's reads PNG).
#include <windows.h>

#include <gtest/gtest.h>

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

Bytes fixture(const char* name, const std::string& folder = ENIGO_TEST_FIXTURES)
{
    const std::string bytes = readFile(windowsPath(folder) + "\\" + name);
    return Bytes(bytes.begin(), bytes.end());
}

// "WxH" and the colours at the four quarter points, rows top first, each channel on from half way (lossy coding blurs):
// blacK, Blue, Green, Cyan, Red, Magenta, Yellow or White.
std::string describe(HBITMAP bitmap)
{
    const SIZE size = bitmapSize(bitmap);
    const std::vector<DWORD> pixels = pixelsOf(bitmap);
    std::string text = std::to_string(size.cx) + "x" + std::to_string(size.cy);
    for (int y : {size.cy / 4, size.cy * 3 / 4}) {
        text += ' ';
        for (int x : {size.cx / 4, size.cx * 3 / 4}) {
            const DWORD p = pixels.at(size_t(y) * size.cx + x);
            text += "KBGCRMYW"[(p >> 23 & 1) << 2 | (p >> 15 & 1) << 1 | (p >> 7 & 1)];
        }
    }
    return text;
}

// By where a picture is stored, never its bytes: the system loader for media, our decoder for raw data (PNG only).
// Missing and undecodable pictures, which give none, are met by the real player in the damaged-input test.
TEST(LoadPicture, GoesToTheDecoderOfWhereItIsStoredAndFitsTheBox)
{
    const Bytes jpeg = fixture("landscape.jpg"), png = fixture("picture.png");
    const char* const raw = MAKEINTRESOURCEA(kRawDataResourceType);
    const struct {
        std::vector<std::pair<const char*, Bytes>> resources;
        std::string picture;  // empty: none
    } cases[] = {
        {{{kMediaResourceType, jpeg}}, "260x195 RB RB"},  // 480 x 360, shrunk
        {{{kMediaResourceType, jpeg}, {raw, png}}, "260x195 RB RB"},
        {{{raw, png}}, "260x195 GG YY"},  // 40 x 30, enlarged
    };
    MessageCapture capture;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.picture + " from " + std::to_string(c.resources.size()));
        FixtureModule module;
        module.add("OTHER", 1, {1});  // a module needs one resource to be written
        for (const auto& [type, bytes] : c.resources)
            module.add(type, 401, bytes);  // question 1's card
        HBITMAP picture = loadPicture(module.load(), 401, kMediaResourceType, kCardPictureBox, kCardPictureBox);
        EXPECT_EQ(picture ? describe(picture) : "", c.picture);
        DeleteObject(picture);
    }
    EXPECT_TRUE(capture.messages().empty());
}

class SuiteImage : public testing::TestWithParam<const char*> {};

// 1-bit grey, 16-bit colour and an 8-bit palette: the DIB layouts asked for (the decoding is pinned on the host).
TEST_P(SuiteImage, DecodesToTheSamePixelsAsTheSystemLoader)
{
    Bytes png = fixture(GetParam(), ENIGO_PNGSUITE_DIR);
    HBITMAP reference = loadOlePicture(png.data(), png.size());
    if (!reference)
        GTEST_SKIP() << "no PngSuite at " << ENIGO_PNGSUITE_DIR << ", or a system loader without PNG";
    FixtureModule fixture;
    fixture.add(MAKEINTRESOURCEA(kRawDataResourceType), 401, png);
    HBITMAP ours = loadPngPicture(fixture.load(), 401);
    ASSERT_NE(ours, nullptr);
    EXPECT_TRUE(pixelsOf(ours) == pixelsOf(reference));
    DeleteObject(ours);
    DeleteObject(reference);
}

INSTANTIATE_TEST_SUITE_P(PngSuite, SuiteImage, testing::Values("basn0g01.png", "basn2c16.png", "basn3p08.png"));

} // namespace
