// Benchmark of the PNG decoder against libpng (whole pictures) and zlib (inflate alone) on
// 480 x 360 photograph-like pictures written by libpng with its default filters and compression;
// prints the time ratios of the same run at the end.
#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

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

constexpr std::uint32_t kWidth = 480;
constexpr std::uint32_t kHeight = 360;

// Smooth shading with a little sensor noise: what the filters and deflate see in a photograph.
Bytes photograph(int channels)
{
    std::mt19937 random(42);
    Bytes pixels(static_cast<std::size_t>(kWidth) * kHeight * channels);
    for (std::uint32_t y = 0; y < kHeight; ++y) {
        for (std::uint32_t x = 0; x < kWidth; ++x) {
            for (int c = 0; c < channels; ++c) {
                const double shade =
                    128 + 60 * std::sin(x / (40.0 + 15 * c)) * std::cos(y / 55.0) + (x + y) / 12.0 - 30 * c;
                const int noise = static_cast<int>(random() % 9) - 4;
                const int value = c == 3 ? 255 - static_cast<int>(y / 4) : static_cast<int>(shade) + noise;
                pixels[(static_cast<std::size_t>(y) * kWidth + x) * channels + c] =
                    static_cast<unsigned char>(value < 0     ? 0
                                               : value > 255 ? 255
                                                             : value);
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

Bytes encode(int channels)
{
    const Bytes pixels = photograph(channels);
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fprintf(stderr, "libpng could not write the picture\n");
        std::exit(1);
    }
    png_set_write_fn(png, &out, writeToMemory, flushNothing);
    png_set_IHDR(png, info, kWidth, kHeight, 8, channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (std::uint32_t y = 0; y < kHeight; ++y) {
        png_write_row(png, pixels.data() + static_cast<std::size_t>(y) * kWidth * channels);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

const Bytes& picture(int channels)
{
    static const Bytes rgb = encode(3);
    static const Bytes rgba = encode(4);
    return channels == 4 ? rgba : rgb;
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
    const Bytes& file = picture(static_cast<int>(state.range(0)));
    Bytes bits;
    for (auto _ : state) {
        PngImage image;
        pngInit(image);
        PngBitmapInfo info;
        std::uint32_t format = 0;
        if (!pngAttach(image, file.data(), static_cast<std::uint32_t>(file.size())) || !pngDecode(image) ||
            !pngBitmapInfo(image, info, format)) {
            state.SkipWithError("decoder failed");
            break;
        }
        bits.resize(static_cast<std::size_t>(pngBitmapStride(image)) * image.height);
        pngRender(image, format, bits.data(), bits.size());
        benchmark::DoNotOptimize(bits.data());
        pngCleanup(image);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kWidth * kHeight * state.range(0));
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
    const Bytes& file = picture(static_cast<int>(state.range(0)));
    Bytes bits(static_cast<std::size_t>(kWidth) * kHeight * 4);
    std::vector<png_bytep> rows(kHeight);
    for (auto _ : state) {
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        MemoryReader reader{&file, 0};
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
        for (std::uint32_t y = 0; y < kHeight; ++y) {
            rows[y] = bits.data() + y * stride;
        }
        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
        png_destroy_read_struct(&png, &info, nullptr);
        benchmark::DoNotOptimize(bits.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kWidth * kHeight * state.range(0));
}

// Inflate alone: ours into the image data, against zlib's on the same stream.
void ourInflate(benchmark::State& state)
{
    const Bytes& file = picture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        PngImage image;
        pngInit(image);
        if (!pngAttach(image, file.data(), static_cast<std::uint32_t>(file.size())) || !pngDecode(image)) {
            state.SkipWithError("decoder failed");
            break;
        }
        benchmark::DoNotOptimize(image.imageData);
        pngCleanup(image);
    }
}

void zlibInflate(benchmark::State& state)
{
    const Bytes& file = picture(static_cast<int>(state.range(0)));
    const Bytes stream = zlibStreamOf(file);
    Bytes out(static_cast<std::size_t>(kHeight) * (kWidth * state.range(0) + 1));
    for (auto _ : state) {
        uLongf size = static_cast<uLongf>(out.size());
        if (uncompress(out.data(), &size, stream.data(), static_cast<uLong>(stream.size())) != Z_OK) {
            state.SkipWithError("zlib failed");
            break;
        }
        benchmark::DoNotOptimize(out.data());
    }
}

BENCHMARK(ourDecoder)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(libpngDecoder)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(ourInflate)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(zlibInflate)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);

// Console output as usual, then each of our benchmarks as a multiple of its baseline, in CPU
// time: the decoders are single-threaded, and CPU time holds steady on a busy machine.
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
                seconds_[run.benchmark_name()] = run.cpu_accumulated_time / static_cast<double>(run.iterations);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const std::pair<const char*, const char*> pairs[] = {{"ourDecoder", "libpngDecoder"},
                                                             {"ourInflate", "zlibInflate"}};
        for (const auto& pair : pairs) {
            for (const char* argument : {"/3", "/4"}) {
                const auto ours = seconds_.find(std::string(pair.first) + argument);
                const auto baseline = seconds_.find(std::string(pair.second) + argument);
                if (ours != seconds_.end() && baseline != seconds_.end()) {
                    std::printf("CPU time %s%s / %s%s = %.2f (%s)\n", pair.first, argument, pair.second, argument,
                                ours->second / baseline->second, argument[1] == '3' ? "RGB" : "RGBA");
                }
            }
        }
    }

private:
    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    std::printf("pictures: RGB %zu bytes, RGBA %zu bytes (480 x 360, libpng defaults)\n", picture(3).size(),
                picture(4).size());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
