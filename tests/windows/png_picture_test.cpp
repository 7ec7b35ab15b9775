// Raw-data PNGs through our decoder into a real DIB section, checked against the system loader (Wine's reads PNG).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/quiz_resources.h"
#include "board/board_layout.h"
#include "pictures/picture.h"
#include "pictures/png_picture.h"
#include "test_support.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes suiteFile(const std::string& name)
{
    const std::string bytes = readFile(windowsPath(ENIGO_PNGSUITE_DIR) + "\\" + name);
    return Bytes(bytes.begin(), bytes.end());
}

class SuiteImage : public testing::TestWithParam<const char*> {};

// Grey and palette images of 1 and 8 bits and 16-bit truecolour: the DIB layouts asked for (decoding is pinned on the host).
TEST_P(SuiteImage, DecodesToTheSamePixelsAsTheSystemLoader)
{
    Bytes png = suiteFile(GetParam());
    HBITMAP reference = loadOlePicture(png.data(), png.size());
    if (!reference)
        GTEST_SKIP() << "no PngSuite at " << ENIGO_PNGSUITE_DIR << ", or a system loader without PNG";
    FixtureModule fixture;
    fixture.add(MAKEINTRESOURCEA(10), 401, png);
    MessageCapture capture;
    HBITMAP ours = loadPngPicture(fixture.load(), 401);
    ASSERT_NE(ours, nullptr);
    EXPECT_TRUE(capture.messages().empty());
    EXPECT_EQ(bitmapSize(ours).cx * 10000 + bitmapSize(ours).cy, bitmapSize(reference).cx * 10000 + bitmapSize(reference).cy);
    EXPECT_TRUE(pixelsOf(ours) == pixelsOf(reference));
    DeleteObject(ours);
    DeleteObject(reference);
}

INSTANTIATE_TEST_SUITE_P(PngSuite, SuiteImage,
                         testing::Values("basn0g01.png", "basn0g08.png", "basn2c16.png", "basn3p08.png"));

// A damaged file gives no picture; only data that fails to inflate earns a message.
TEST(PngPicture, DamageGivesNoPictureAndTheRightMessage)
{
    Bytes good = suiteFile("basn2c08.png");
    if (good.empty())
        GTEST_SKIP() << "PngSuite not found";
    Bytes badSignature = good, headerOnly(good.begin(), good.begin() + 16), badData = good;
    badSignature[1] = 'Q';
    // The first deflate block (past the chunk type and zlib header) made final and of the reserved type.
    const char kImageData[] = "IDAT";
    *(std::search(badData.begin(), badData.end(), kImageData, kImageData + 4) + 6) = 0x07;
    const struct {
        Bytes png;
        std::string message;
    } cases[] = {{badSignature, ""}, {headerOnly, ""}, {badData, "Error: couldn't decode PNG resource"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        FixtureModule fixture;
        fixture.add(MAKEINTRESOURCEA(10), 401, c.png);
        MessageCapture capture;
        EXPECT_EQ(loadPicture(fixture.load(), 401, kMediaResourceType, kCardPictureBox, kCardPictureBox), nullptr);
        ASSERT_EQ(capture.messages().size(), c.message.empty() ? 0u : 1u);
        if (!c.message.empty())
            expectMessage(capture.messages()[0], nullptr, c.message, "APPNAME", MB_OK | MB_ICONERROR);
    }
}

TEST(PngPicture, StepsOutOfOrderOrWithoutResourceFailWithTheirReason)
{
    FixtureModule fixture;
    fixture.add(MAKEINTRESOURCEA(10), 402, Bytes{});
    fixture.add("OTHER", 1, Bytes{1});
    HMODULE module = fixture.load();
    PngImage image;
    pngInit(image);
    EXPECT_EQ(pngCreateBitmap(image, nullptr), nullptr);
    EXPECT_EQ(image.errorCode, kPngWrongState);
    EXPECT_EQ(pngLoadResource(image, module, 401), 0);
    EXPECT_EQ(image.errorCode, kPngResourceNotFound);
    pngInit(image);
    EXPECT_EQ(pngLoadResource(image, module, 402), 0);
    EXPECT_TRUE(image.errorCode == kPngResourceUnreadable || image.errorCode == kPngResourceNotFound);
}

} // namespace
