// Benchmark of the PNG decoder against libpng (whole pictures) and zlib (inflate alone) on
// photograph-like pictures written by libpng with its default filters and compression (colour and
// colour with alpha at 480 x 360, colour at 1024 x 768, a palette picture and an interlaced one);
// prints the medians of the same run and their ratios at the end, as a table.
#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "pictures/png_internal.h"

namespace {

using Bytes = std::vector<unsigned char>;

// One picture of the benchmark: what libpng is asked to write.
struct Picture {
    const char* name;
    std::uint32_t width;
    std::uint32_t height;
    int colourType;  // PNG_COLOR_TYPE_...
    int interlace;   // PNG_INTERLACE_...
};

const Picture kPictures[] = {
    {"RGB 480 x 360", 480, 360, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE},
    {"RGBA 480 x 360", 480, 360, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE},
    {"RGB 1024 x 768", 1024, 768, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE},
    {"palette 480 x 360", 480, 360, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE},
    {"RGB interlaced 480 x 360", 480, 360, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_ADAM7},
};
constexpr int kPictureCount = sizeof kPictures / sizeof kPictures[0];

int channelsOf(const Picture& picture)
{
    return picture.colourType == PNG_COLOR_TYPE_RGB_ALPHA ? 4 : picture.colourType == PNG_COLOR_TYPE_RGB ? 3 : 1;
}

// Smooth shading with a little sensor noise: what the filters and deflate see in a photograph.
// The palette picture takes the shading of the first channel, in 64 steps.
Bytes photograph(const Picture& picture)
{
    const int channels = picture.colourType == PNG_COLOR_TYPE_RGB_ALPHA ? 4 : 3;
    const int kept = channelsOf(picture);
    std::mt19937 random(42);
    Bytes pixels(static_cast<std::size_t>(picture.width) * picture.height * kept);
    for (std::uint32_t y = 0; y < picture.height; ++y) {
        for (std::uint32_t x = 0; x < picture.width; ++x) {
            for (int c = 0; c < channels; ++c) {
                const double shade =
                    128 + 60 * std::sin(x / (40.0 + 15 * c)) * std::cos(y / 55.0) + (x + y) / 12.0 - 30 * c;
                const int noise = static_cast<int>(random() % 9) - 4;
                const int value = c == 3 ? 255 - static_cast<int>(y / 4) : static_cast<int>(shade) + noise;
                const auto sample = static_cast<unsigned char>(value < 0 ? 0 : value > 255 ? 255 : value);
                if (c < kept) {
                    pixels[(static_cast<std::size_t>(y) * picture.width + x) * kept + c] =
                        kept == 1 ? sample / 4 : sample;
                }
            }
        }
    }
    return pixels;
}

void writeToMemory(png_structp png, png_bytep data, png_size_t count)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}

void flushNothing(png_structp)
{
}

Bytes encode(const Picture& picture)
{
    const Bytes pixels = photograph(picture);
    const std::size_t rowBytes = static_cast<std::size_t>(picture.width) * channelsOf(picture);
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fprintf(stderr, "libpng could not write the picture\n");
        std::exit(1);
    }
    png_set_write_fn(png, &out, writeToMemory, flushNothing);
    png_set_IHDR(png, info, picture.width, picture.height, 8, picture.colourType, picture.interlace,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color palette[64];
    for (int i = 0; i < 64; ++i) {
        palette[i] =
            png_color{static_cast<png_byte>(i * 4), static_cast<png_byte>(255 - i * 4), static_cast<png_byte>(i * 2)};
    }
    if (picture.colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_PLTE(png, info, palette, 64);
    }
    png_write_info(png, info);
    std::vector<png_bytep> rows(picture.height);
    for (std::uint32_t y = 0; y < picture.height; ++y) {
        rows[y] = const_cast<png_bytep>(pixels.data() + y * rowBytes);
    }
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

const Bytes& file(int index)
{
    static Bytes files[kPictureCount];
    if (files[index].empty()) {
        files[index] = encode(kPictures[index]);
    }
    return files[index];
}

// The concatenated image data of a PNG: the zlib stream alone.
Bytes zlibStreamOf(const Bytes& file)
{
    Bytes stream;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::size_t length =
            static_cast<std::size_t>(file[at]) << 24 | file[at + 1] << 16 | file[at + 2] << 8 | file[at + 3];
        if (std::memcmp(file.data() + at + 4, "IDAT", 4) == 0) {
            stream.insert(stream.end(), file.begin() + static_cast<std::ptrdiff_t>(at + 8),
                          file.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
        }
        at += length + 12;
    }
    return stream;
}

// The whole road of a picture in the player: attach, inflate, bitmap header, render.
void ourDecoder(benchmark::State& state)
{
    const Bytes& png = file(static_cast<int>(state.range(0)));
    Bytes bits;
    for (auto _ : state) {
        PngImage image;
        pngInit(image);
        PngBitmapInfo info;
        std::uint32_t format = 0;
        if (!pngAttach(image, png.data(), static_cast<std::uint32_t>(png.size())) || !pngDecode(image) ||
            !pngBitmapInfo(image, info, format)) {
            state.SkipWithError("decoder failed");
            break;
        }
        bits.resize(static_cast<std::size_t>(pngBitmapStride(image)) * image.height);
        pngRender(image, format, bits.data(), bits.size());
        benchmark::DoNotOptimize(bits.data());
        pngCleanup(image);
    }
}

struct MemoryReader {
    const Bytes* bytes;
    std::size_t at;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t count)
{
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    std::memcpy(out, reader->bytes->data() + reader->at, count);
    reader->at += count;
}

// libpng decoding to the same BGR(A) rows, into one buffer.
void libpngDecoder(benchmark::State& state)
{
    const Picture& picture = kPictures[state.range(0)];
    const Bytes& pngFile = file(static_cast<int>(state.range(0)));
    Bytes bits(static_cast<std::size_t>(picture.width) * picture.height * 4);
    std::vector<png_bytep> rows(picture.height);
    for (auto _ : state) {
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        MemoryReader reader{&pngFile, 0};
        if (setjmp(png_jmpbuf(png))) {
            png_destroy_read_struct(&png, &info, nullptr);
            state.SkipWithError("libpng failed");
            break;
        }
        png_set_read_fn(png, &reader, readFromMemory);
        png_read_info(png, info);
        png_set_bgr(png);
        png_read_update_info(png, info);
        const std::size_t stride = png_get_rowbytes(png, info);
        for (std::uint32_t y = 0; y < picture.height; ++y) {
            rows[y] = bits.data() + y * stride;
        }
        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
        png_destroy_read_struct(&png, &info, nullptr);
        benchmark::DoNotOptimize(bits.data());
    }
}

// Inflate alone: ours into the image data, against zlib's on the same stream.
void ourInflate(benchmark::State& state)
{
    const Bytes& png = file(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        PngImage image;
        pngInit(image);
        if (!pngAttach(image, png.data(), static_cast<std::uint32_t>(png.size())) || !pngDecode(image)) {
            state.SkipWithError("decoder failed");
            break;
        }
        benchmark::DoNotOptimize(image.imageData);
        pngCleanup(image);
    }
}

void zlibInflate(benchmark::State& state)
{
    const Bytes& png = file(static_cast<int>(state.range(0)));
    const Bytes stream = zlibStreamOf(png);
    PngImage image;
    pngInit(image);
    pngAttach(image, png.data(), static_cast<std::uint32_t>(png.size()));
    Bytes out(pngDataSize(image));
    pngCleanup(image);
    for (auto _ : state) {
        uLongf size = static_cast<uLongf>(out.size());
        if (uncompress(out.data(), &size, stream.data(), static_cast<uLong>(stream.size())) != Z_OK) {
            state.SkipWithError("zlib failed");
            break;
        }
        benchmark::DoNotOptimize(out.data());
    }
}

BENCHMARK(ourDecoder)->DenseRange(0, kPictureCount - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(libpngDecoder)->DenseRange(0, kPictureCount - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(ourInflate)->DenseRange(0, kPictureCount - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(zlibInflate)->DenseRange(0, kPictureCount - 1)->Unit(benchmark::kMillisecond);

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t half = values.size() / 2;
    return values.size() % 2 != 0 ? values[half] : (values[half - 1] + values[half]) / 2;
}

// Console output as usual, then, per picture, the median CPU time of ours and of the baseline over
// the repetitions, and their ratio, as a table for the closing note. CPU time: the decoders are
// single-threaded, and CPU time holds steadier than wall time on a busy machine.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter()
        : ConsoleReporter(OO_Tabular)
    {
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
                seconds_[run.benchmark_name()].push_back(run.cpu_accumulated_time /
                                                         static_cast<double>(run.iterations));
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\n| | ours | libpng / zlib | ratio |\n|---|---|---|---|\n");
        const std::pair<const char*, const char*> pairs[] = {{"ourDecoder", "libpngDecoder"},
                                                             {"ourInflate", "zlibInflate"}};
        for (const auto& pair : pairs) {
            for (int index = 0; index < kPictureCount; ++index) {
                const std::string argument = "/" + std::to_string(index);
                const auto ours = seconds_.find(pair.first + argument);
                const auto baseline = seconds_.find(pair.second + argument);
                if (ours != seconds_.end() && baseline != seconds_.end()) {
                    const double oursTime = median(ours->second);
                    const double baselineTime = median(baseline->second);
                    std::printf("| %s, %s | %.2f ms | %.2f ms | %.2f |\n",
                                pair.first == std::string("ourDecoder") ? "whole decode" : "inflate only",
                                kPictures[index].name, oursTime * 1e3, baselineTime * 1e3, oursTime / baselineTime);
                }
            }
        }
    }

private:
    std::map<std::string, std::vector<double>> seconds_;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    for (int index = 0; index < kPictureCount; ++index) {
        std::printf("picture %d: %s, %zu bytes (libpng defaults)\n", index, kPictures[index].name, file(index).size());
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
