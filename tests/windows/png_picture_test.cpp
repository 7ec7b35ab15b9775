// PNG pictures stored as raw data, through the program's own decoder and a real DIB section,
// checked pixel for pixel against the system picture loader reading the same file (Wine's
// reads PNG), and the two failure messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

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

// Opaque images of every colour type and depth, plain and interlaced.
TEST_P(SuiteImage, DecodesToTheSamePixelsAsTheSystemLoader)
{
    Bytes png = suiteFile(GetParam());
    if (png.empty())
        GTEST_SKIP() << "PngSuite not found at " << ENIGO_PNGSUITE_DIR;
    HBITMAP reference = loadOlePicture(png.data(), png.size());
    if (!reference)
        GTEST_SKIP() << "this system's picture loader does not read PNG";

    FixtureModule fixture;
    fixture.add(MAKEINTRESOURCEA(10), 401, png);
    HMODULE module = fixture.load();
    MessageCapture capture;
    HBITMAP ours = loadPngPicture(module, 401);
    ASSERT_NE(ours, nullptr);
    EXPECT_TRUE(capture.messages().empty());

    ASSERT_EQ(bitmapSize(ours).cx, bitmapSize(reference).cx);
    ASSERT_EQ(bitmapSize(ours).cy, bitmapSize(reference).cy);
    std::vector<DWORD> ourPixels = pixelsOf(ours);
    std::vector<DWORD> referencePixels = pixelsOf(reference);
    int different = 0;
    for (size_t i = 0; i < ourPixels.size(); ++i)
        different += ourPixels[i] != referencePixels[i];
    EXPECT_EQ(different, 0) << "of " << ourPixels.size() << " pixels";
    DeleteObject(ours);
    DeleteObject(reference);
}

INSTANTIATE_TEST_SUITE_P(PngSuite, SuiteImage,
                         testing::Values("basn0g01.png", "basn0g08.png", "basn2c08.png", "basn2c16.png",
                                         "basn3p02.png", "basn3p08.png", "basi0g04.png", "basi2c08.png",
                                         "basi3p04.png", "f04n2c08.png"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

TEST(PngPicture, IsScaledIntoTheCardLikeAnyPicture)
{
    Bytes png = suiteFile("basn2c08.png");
    if (png.empty())
        GTEST_SKIP() << "PngSuite not found";
    FixtureModule fixture;
    fixture.add(MAKEINTRESOURCEA(10), 401, png);
    HMODULE module = fixture.load();
    HBITMAP picture = loadPicture(module, 401, kPictureResourceType, kPictureBox, kPictureBox);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(bitmapSize(picture).cx, 260);
    EXPECT_EQ(bitmapSize(picture).cy, 260);
    DeleteObject(picture);
}

struct FailureCase {
    const char* name;
    const char* file;
    bool badSignature;
    bool breakImageData;  // first deflate block made final and of the reserved type
    bool keepBytes;     // false: only the first 16 bytes are stored
    const char* message;    // null: no message
};

class PngFailures : public testing::TestWithParam<FailureCase> {};

TEST_P(PngFailures, YieldNoPictureAndTheRightMessage)
{
    const FailureCase& failure = GetParam();
    Bytes png = suiteFile(failure.file);
    if (png.empty())
        GTEST_SKIP() << "PngSuite not found";
    if (failure.badSignature)
        png[1] = 'Q';
    if (failure.breakImageData) {
        static const char kImageData[] = "IDAT";
        auto chunk = std::search(png.begin(), png.end(), kImageData, kImageData + 4);
        ASSERT_NE(chunk, png.end());
        // Past the chunk type and the two-byte zlib header.
        *(chunk + 4 + 2) = 0x07;
    }
    if (!failure.keepBytes)
        png.resize(16);
    FixtureModule fixture;
    fixture.add(MAKEINTRESOURCEA(10), 401, png);
    HMODULE module = fixture.load();
    MessageCapture capture;
    EXPECT_EQ(loadPicture(module, 401, kPictureResourceType, kPictureBox, kPictureBox), nullptr);
    if (!failure.message) {
        EXPECT_TRUE(capture.messages().empty());
        return;
    }
    ASSERT_EQ(capture.messages().size(), 1u);
    expectMessage(capture.messages()[0], nullptr, failure.message, "APPNAME", MB_OK | MB_ICONERROR);
}

INSTANTIATE_TEST_SUITE_P(
    Damaged, PngFailures,
    testing::Values(FailureCase{"BadSignature", "basn2c08.png", true, false, true, nullptr},
                    FailureCase{"HeaderOnly", "basn2c08.png", false, false, false, nullptr},
                    FailureCase{"CorruptImageData", "basn2c08.png", false, true, true,
                                "Error: couldn't decode PNG resource"}),
    [](const testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST(PngCreateBitmap, RefusesAnImageThatIsNotInflated)
{
    PngImage image;
    pngInit(image);
    EXPECT_EQ(pngCreateBitmap(image, nullptr), nullptr);
    EXPECT_EQ(image.errorCode, kPngWrongState);
}

TEST(PngLoadResource, TellsAMissingResourceFromAnEmptyOne)
{
    FixtureModule fixture;
    fixture.add(MAKEINTRESOURCEA(10), 402, Bytes{});
    fixture.add("OTHER", 1, Bytes{1});
    HMODULE module = fixture.load();
    PngImage image;
    pngInit(image);
    EXPECT_EQ(pngLoadResource(image, module, 401), 0);
    EXPECT_EQ(image.errorCode, kPngResourceNotFound);
    pngInit(image);
    EXPECT_EQ(pngLoadResource(image, module, 402), 0);
    EXPECT_TRUE(image.errorCode == kPngResourceUnreadable || image.errorCode == kPngResourceNotFound);
}

} // namespace
