// Picture loading and scaling in-process: real JPEG, GIF, BMP, PNG and icon files embedded in
// fixture modules, decoded by the system picture loader, scaled into the card box and read back
// pixel by pixel; plus the failure roads, the choice of decoder and COM balance.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "pictures/picture.h"
#include "pictures/png_picture.h"
#include "test_support.h"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);

Bytes fixtureBytes(const char* name)
{
    const std::string bytes = readFile(windowsPath(ENIGO_TEST_FIXTURES) + "\\" + name);
    if (bytes.empty())
        ADD_FAILURE() << "cannot read fixture " << name;
    return Bytes(bytes.begin(), bytes.end());
}

struct Size {
    int width;
    int height;
};

Size sizeOf(HBITMAP bitmap)
{
    const SIZE size = bitmapSize(bitmap);
    return {size.cx, size.cy};
}

// A point given as a fraction of the picture's size, and the colour expected there.
struct Sample {
    double x;
    double y;
    COLORREF colour;
};

// Lossy coding and halftone stretching blur colours a little, never from one primary to another.
void expectColours(HBITMAP bitmap, const std::vector<Sample>& samples, int tolerance)
{
    const Size size = sizeOf(bitmap);
    const std::vector<DWORD> pixels = pixelsOf(bitmap);
    if (pixels.empty())
        return;
    for (const Sample& sample : samples) {
        const int x = static_cast<int>(sample.x * (size.width - 1));
        const int y = static_cast<int>(sample.y * (size.height - 1));
        const DWORD pixel = pixels[static_cast<size_t>(y) * size.width + x];
        const int red = (pixel >> 16) & 0xFF;
        const int green = (pixel >> 8) & 0xFF;
        const int blue = pixel & 0xFF;
        EXPECT_LE(std::abs(red - GetRValue(sample.colour)), tolerance) << "red at " << x << "," << y;
        EXPECT_LE(std::abs(green - GetGValue(sample.colour)), tolerance) << "green at " << x << "," << y;
        EXPECT_LE(std::abs(blue - GetBValue(sample.colour)), tolerance) << "blue at " << x << "," << y;
    }
}

// Half red (left or top) and half blue; corners and the middle of each half.
const std::vector<Sample> kRedLeftBlueRight = {
    {0.0, 0.0, kRed}, {0.25, 0.5, kRed}, {0.0, 1.0, kRed},
    {1.0, 0.0, kBlue}, {0.75, 0.5, kBlue}, {1.0, 1.0, kBlue}};
const std::vector<Sample> kRedTopBlueBottom = {
    {0.0, 0.0, kRed}, {0.5, 0.25, kRed}, {1.0, 0.0, kRed},
    {0.0, 1.0, kBlue}, {0.5, 0.75, kBlue}, {1.0, 1.0, kBlue}};
// Quadrants red, green over blue, white.
const std::vector<Sample> kQuadrants = {
    {0.0, 0.0, kRed}, {0.25, 0.25, kRed}, {1.0, 0.0, kGreen}, {0.75, 0.25, kGreen},
    {0.0, 1.0, kBlue}, {0.25, 0.75, kBlue}, {1.0, 1.0, kWhite}, {0.75, 0.75, kWhite}};
const std::vector<Sample> kGreenOverYellow = {{0.5, 0.2, kGreen}, {0.5, 0.8, kYellow}};

struct PictureCase {
    const char* file;
    Size unscaled;
    Size scaled;
    std::vector<Sample> samples;
    int tolerance;
};

std::ostream& operator<<(std::ostream& out, const PictureCase& c)
{
    return out << c.file;
}

class SystemLoaderPicture : public testing::TestWithParam<PictureCase> {};

TEST_P(SystemLoaderPicture, UnderImgBecomesAScreenBitmapScaledIntoTheCardBox)
{
    const PictureCase& c = GetParam();
    MessageCapture capture;
    FixtureModule fixture;
    fixture.add(kPictureResourceType, cardPictureId(1), fixtureBytes(c.file));
    HMODULE module = fixture.load();

    HBITMAP picture = loadPicture(module, cardPictureId(1), kPictureResourceType, kPictureBox, kPictureBox);
    ASSERT_NE(picture, nullptr);
    const Size size = sizeOf(picture);
    EXPECT_EQ(size.width, c.scaled.width);
    EXPECT_EQ(size.height, c.scaled.height);
    expectColours(picture, c.samples, c.tolerance);

    // Compatible with the screen: a device-dependent bitmap of the screen's depth.
    HDC screen = GetDC(nullptr);
    const int screenBits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    BITMAP info = {};
    DIBSECTION section = {};
    GetObjectA(picture, sizeof info, &info);
    EXPECT_EQ(info.bmBitsPixel * info.bmPlanes, screenBits);
    EXPECT_NE(GetObjectA(picture, sizeof section, &section), static_cast<int>(sizeof section)) << "a DIB section";

    EXPECT_TRUE(capture.messages().empty());
    DeleteObject(picture);
}

TEST_P(SystemLoaderPicture, DecodesUnscaled)
{
    const PictureCase& c = GetParam();
    MessageCapture capture;
    const Bytes bytes = fixtureBytes(c.file);
    HBITMAP picture = loadOlePicture(bytes.data(), bytes.size());
    ASSERT_NE(picture, nullptr);
    const Size size = sizeOf(picture);
    EXPECT_EQ(size.width, c.unscaled.width);
    EXPECT_EQ(size.height, c.unscaled.height);
    expectColours(picture, c.samples, c.tolerance);
    EXPECT_TRUE(capture.messages().empty());
    DeleteObject(picture);
}

INSTANTIATE_TEST_SUITE_P(Formats, SystemLoaderPicture, testing::Values(
    PictureCase{"landscape.jpg", {480, 360}, {260, 195}, kRedLeftBlueRight, 48},
    PictureCase{"portrait.jpg", {360, 480}, {195, 260}, kRedTopBlueBottom, 48},
    PictureCase{"square.gif", {100, 100}, {260, 260}, kQuadrants, 8},
    PictureCase{"wide.bmp", {30, 20}, {260, 173}, kQuadrants, 8}));

struct MissingCase {
    const char* what;
    const char* type;    // null: nothing stored under the asked id
    const char* file;    // stored when given, else bytes
    Bytes bytes;
};

std::ostream& operator<<(std::ostream& out, const MissingCase& c)
{
    return out << c.what;
}

class NoPicture : public testing::TestWithParam<MissingCase> {};

TEST_P(NoPicture, YieldsNullAndNoMessage)
{
    const MissingCase& c = GetParam();
    MessageCapture capture;
    FixtureModule fixture;
    // A real picture next to the one asked for, so only the asked id is missing or broken.
    fixture.add(kPictureResourceType, cardPictureId(2), fixtureBytes("landscape.jpg"));
    if (c.type)
        fixture.add(c.type, cardPictureId(1), c.file ? fixtureBytes(c.file) : c.bytes);
    HMODULE module = fixture.load();

    EXPECT_EQ(loadPicture(module, cardPictureId(1), kPictureResourceType, kPictureBox, kPictureBox), nullptr);
    EXPECT_TRUE(capture.messages().empty());
}

const Bytes kText = {'p', 'a', 's', ' ', 'u', 'n', 'e', ' ', 'i', 'm', 'a', 'g', 'e'};

INSTANTIATE_TEST_SUITE_P(Cases, NoPicture, testing::Values(
    MissingCase{"no resource of the id anywhere", nullptr, nullptr, {}},
    MissingCase{"text under IMG", kPictureResourceType, nullptr, kText},
    MissingCase{"a lone byte under IMG", kPictureResourceType, nullptr, {0}},
    MissingCase{"a JPEG start marker alone under IMG", kPictureResourceType, nullptr, {0xFF, 0xD8}},
    MissingCase{"a JPEG under raw data is for the PNG decoder only", MAKEINTRESOURCEA(10), "landscape.jpg", {}},
    MissingCase{"a JPEG under another type name", "JPG", "landscape.jpg", {}}));

TEST(OlePicture, RejectsEmptyInputWithoutAMessage)
{
    MessageCapture capture;
    const Bytes bytes = fixtureBytes("landscape.jpg");
    EXPECT_EQ(loadOlePicture(nullptr, bytes.size()), nullptr);
    EXPECT_EQ(loadOlePicture(bytes.data(), 0), nullptr);
    EXPECT_TRUE(capture.messages().empty());
}

// The system loader reads an icon, but its handle is no bitmap, so the copy step fails.
TEST(OlePicture, ReportsACopyFailureInAnInformationBox)
{
    MessageCapture capture;
    FixtureModule fixture;
    fixture.add(kPictureResourceType, cardPictureId(1), fixtureBytes("icon.ico"));
    HMODULE module = fixture.load();

    EXPECT_EQ(loadPicture(module, cardPictureId(1), kPictureResourceType, kPictureBox, kPictureBox), nullptr);
    ASSERT_EQ(capture.messages().size(), 1u);
    const CapturedMessage& message = capture.messages()[0];
    EXPECT_EQ(message.owner, nullptr);
    EXPECT_EQ(message.caption, "info");
    EXPECT_EQ(message.flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    // The error code is whatever the system reports; the rest of the text is fixed.
    const std::string prefix = "CopyImage plante avec l'erreur : ";
    ASSERT_GT(message.text.size(), prefix.size() + 1);
    EXPECT_EQ(message.text.substr(0, prefix.size()), prefix);
    EXPECT_EQ(message.text.back(), '\n');
    const std::string code = message.text.substr(prefix.size(), message.text.size() - prefix.size() - 1);
    EXPECT_EQ(code, std::to_string(std::atoi(code.c_str()))) << "not a decimal number: " << code;
}

// The decoder is chosen by where a picture is stored, never by its bytes. Wine's system loader
// reads PNG (green over yellow), that of Windows does not: a case with a reference decoder
// expects a picture exactly when that decoder alone gives one.
enum class Reference { None, SystemLoader, PngDecoder };

struct RoutingCase {
    const char* what;
    const char* img;      // file stored under IMG
    const char* rawData;  // file stored as raw data
    Reference reference;
    std::vector<Sample> samples;
    int tolerance;
};

std::ostream& operator<<(std::ostream& out, const RoutingCase& c)
{
    return out << c.what;
}

class PictureRouting : public testing::TestWithParam<RoutingCase> {};

TEST_P(PictureRouting, GoesToTheDecoderOfWhereItIsStored)
{
    const RoutingCase& c = GetParam();
    MessageCapture capture;
    FixtureModule fixture;
    if (c.img)
        fixture.add(kPictureResourceType, cardPictureId(1), fixtureBytes(c.img));
    if (c.rawData)
        fixture.add(MAKEINTRESOURCEA(10), cardPictureId(1), fixtureBytes(c.rawData));
    HMODULE module = fixture.load();

    HBITMAP direct = nullptr;
    if (c.reference == Reference::SystemLoader) {
        const Bytes bytes = fixtureBytes(c.img);
        direct = loadOlePicture(bytes.data(), bytes.size());
    } else if (c.reference == Reference::PngDecoder) {
        direct = loadPngPicture(module, cardPictureId(1));
    }
    HBITMAP picture = loadPicture(module, cardPictureId(1), kPictureResourceType, kPictureBox, kPictureBox);
    EXPECT_EQ(picture != nullptr, c.reference == Reference::None || direct != nullptr);
    if (picture) {
        EXPECT_EQ(sizeOf(picture).width, 260);
        EXPECT_EQ(sizeOf(picture).height, 195);
        expectColours(picture, c.samples, c.tolerance);
    }
    EXPECT_TRUE(capture.messages().empty());
    DeleteObject(picture);
    DeleteObject(direct);
}

INSTANTIATE_TEST_SUITE_P(Stores, PictureRouting, testing::Values(
    RoutingCase{"IMG is preferred to raw data", "landscape.jpg", "picture.png", Reference::None, kRedLeftBlueRight, 48},
    RoutingCase{"PNG under IMG goes to the system loader", "picture.png", nullptr, Reference::SystemLoader,
                kGreenOverYellow, 8},
    RoutingCase{"PNG as raw data goes to the PNG decoder", nullptr, "picture.png", Reference::PngDecoder,
                kGreenOverYellow, 8}));

// A 30 x 20 DIB section of quadrants (red, green / blue, white), stored top-down or bottom-up.
HBITMAP quadrantSection(bool topDown, int width = 30, int height = 20)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = topDown ? -height : height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section)
        return nullptr;
    DWORD* pixels = static_cast<DWORD*>(bits);
    for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;    // y from the top of the picture
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2;
            const bool bottom = y >= height / 2;
            pixels[row * width + x] = bottom ? (right ? 0xFFFFFF : 0x0000FF) : (right ? 0x00FF00 : 0xFF0000);
        }
    }
    return section;
}

class ScaleToFit : public testing::TestWithParam<bool> {};

TEST_P(ScaleToFit, ReturnsANewScaledBitmapAndLeavesTheSourceAsItWas)
{
    HBITMAP source = quadrantSection(GetParam());
    ASSERT_NE(source, nullptr);
    const std::vector<DWORD> before = pixelsOf(source);

    HBITMAP scaled = scaleToFit(source, kPictureBox, kPictureBox);
    ASSERT_NE(scaled, nullptr);
    EXPECT_NE(scaled, source);
    EXPECT_EQ(sizeOf(scaled).width, 260);
    EXPECT_EQ(sizeOf(scaled).height, 173);
    expectColours(scaled, kQuadrants, 8);

    EXPECT_EQ(sizeOf(source).width, 30);
    EXPECT_EQ(sizeOf(source).height, 20);
    EXPECT_EQ(pixelsOf(source), before);
    // Free again: a bitmap still selected into a device context can be neither selected elsewhere
    // nor deleted, so the caller could not release it.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, source);
    EXPECT_NE(previous, nullptr);
    SelectObject(dc, previous);
    DeleteDC(dc);

    DeleteObject(scaled);
    DeleteObject(source);
}

INSTANTIATE_TEST_SUITE_P(RowOrder, ScaleToFit, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "TopDown" : "BottomUp"; });

TEST(ScaleToFitRejects, WhatCannotBeScaled)
{
    HBITMAP source = quadrantSection(true);
    HBITMAP thin = quadrantSection(true, 1, 1000);
    HBRUSH brush = CreateHatchBrush(HS_CROSS, kRed);
    ASSERT_NE(source, nullptr);
    ASSERT_NE(thin, nullptr);

    EXPECT_EQ(scaleToFit(nullptr, kPictureBox, kPictureBox), nullptr) << "no bitmap";
    EXPECT_EQ(scaleToFit(reinterpret_cast<HBITMAP>(brush), kPictureBox, kPictureBox), nullptr) << "a brush (its LOGBRUSH would read as a 255 x 4 BITMAP)";
    EXPECT_EQ(scaleToFit(source, 0, kPictureBox), nullptr) << "empty box";
    EXPECT_EQ(scaleToFit(source, kPictureBox, -1), nullptr) << "negative box";
    EXPECT_EQ(scaleToFit(thin, kPictureBox, kPictureBox), nullptr) << "scaled to no width";

    HDC holder = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(holder, source);
    EXPECT_EQ(scaleToFit(source, kPictureBox, kPictureBox), nullptr) << "selected elsewhere";
    SelectObject(holder, previous);
    DeleteDC(holder);

    DeleteObject(brush);
    DeleteObject(thin);
    DeleteObject(source);
}

// COM state of the test thread around one load: none, or an apartment the test itself entered.
struct ComCase {
    const char* what;
    bool enter;
    DWORD apartment;
    const char* file;
    bool expectPicture;
};

std::ostream& operator<<(std::ostream& out, const ComCase& c)
{
    return out << c.what;
}

class ComBalance : public testing::TestWithParam<ComCase> {};

// Entering an apartment answers S_OK on a thread that is in none and S_FALSE on one already in
// it, so the answer after a load tells whether the load left COM as it found it.
TEST_P(ComBalance, EachLoadLeavesComAsItFoundIt)
{
    const ComCase& c = GetParam();
    if (c.enter) {
        ASSERT_EQ(CoInitializeEx(nullptr, c.apartment), S_OK);
    }
    MessageCapture capture;
    FixtureModule fixture;
    fixture.add(kPictureResourceType, cardPictureId(1), c.file ? fixtureBytes(c.file) : kText);
    HMODULE module = fixture.load();

    HBITMAP picture = loadPicture(module, cardPictureId(1), kPictureResourceType, kPictureBox, kPictureBox);
    EXPECT_EQ(picture != nullptr, c.expectPicture);
    DeleteObject(picture);

    const HRESULT probe = CoInitializeEx(nullptr, c.apartment);
    EXPECT_EQ(probe, c.enter ? S_FALSE : S_OK);
    if (SUCCEEDED(probe))
        CoUninitialize();
    if (c.enter)
        CoUninitialize();
}

INSTANTIATE_TEST_SUITE_P(Threads, ComBalance, testing::Values(
    ComCase{"no COM, picture", false, COINIT_APARTMENTTHREADED, "landscape.jpg", true},
    ComCase{"no COM, unreadable", false, COINIT_APARTMENTTHREADED, nullptr, false},
    ComCase{"single-threaded apartment, picture", true, COINIT_APARTMENTTHREADED, "landscape.jpg", true},
    ComCase{"single-threaded apartment, unreadable", true, COINIT_APARTMENTTHREADED, nullptr, false},
    ComCase{"multithreaded apartment, picture", true, COINIT_MULTITHREADED, "landscape.jpg", true},
    ComCase{"multithreaded apartment, unreadable", true, COINIT_MULTITHREADED, nullptr, false}));

} // namespace
