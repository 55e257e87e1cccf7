// PNG decoding speed: the program's decoder against libpng on the same 1024 x 768 pictures (a
// photo-like RGB one, an RGBA one, a 256-colour palette one and an interlaced RGB one), all written
// by libpng with its default filter choice and compression. libpng decodes to its plain rows (BGR
// order, interlace handled, nothing blended); the program's decoder also converts and blends.
// After the run, each picture's time ratio (ours / libpng's) is printed against the target 1.5.

#include "core/image/png.h"

#include <benchmark/benchmark.h>
#include <png.h>

#include "support/libpng_memory.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kWidth = 1024;
constexpr uint32_t kHeight = 768;

enum class Kind { Rgb, Rgba, Palette, Interlaced };

void appendBytes(png_structp png, png_bytep data, png_size_t size) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), size);
}
void flushNothing(png_structp) {}

// A photo-like picture: soft shapes and gradients with a little sensor noise.
std::string makePicture(Kind kind) {
    const int channels = kind == Kind::Rgba ? 4 : kind == Kind::Palette ? 1 : 3;
    std::vector<std::vector<png_byte>> rows(kHeight, std::vector<png_byte>(kWidth * channels));
    uint32_t noise = 12345;
    for (uint32_t y = 0; y < kHeight; ++y) {
        for (uint32_t x = 0; x < kWidth; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int n = static_cast<int>((noise >> 16) % 7) - 3;
            const double fx = x / double(kWidth), fy = y / double(kHeight);
            const double shade = 0.5 + 0.25 * std::sin(fx * 9.0 + std::cos(fy * 5.0) * 2.0) +
                                 0.2 * std::cos(std::hypot(fx - 0.6, fy - 0.4) * 20.0);
            int v[4] = {static_cast<int>(255 * shade * (0.6 + 0.4 * fx)) + n,
                        static_cast<int>(255 * shade * (0.9 - 0.3 * fy)) + n,
                        static_cast<int>(255 * (1.0 - shade) * 0.8 + 40 * fx) + n,
                        static_cast<int>(255 * std::fabs(std::sin(fx * 3.0 + fy * 2.0)))};
            png_byte* p = rows[y].data() + x * channels;
            if (kind == Kind::Palette) {
                p[0] =
                    static_cast<png_byte>(std::clamp(v[0], 0, 255) / 32 * 32 +
                                          std::clamp(v[2], 0, 255) / 64 * 8 + std::clamp(v[1], 0, 255) / 32);
                continue;
            }
            for (int c = 0; c < channels; ++c)
                p[c] = static_cast<png_byte>(std::clamp(v[c], 0, 255));
        }
    }
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, appendBytes, flushNothing);
    const int type = kind == Kind::Rgba      ? PNG_COLOR_TYPE_RGB_ALPHA
                     : kind == Kind::Palette ? PNG_COLOR_TYPE_PALETTE
                                             : PNG_COLOR_TYPE_RGB;
    png_set_IHDR(png, info, kWidth, kHeight, 8, type,
                 kind == Kind::Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    std::vector<png_color> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[i] = {static_cast<png_byte>(i / 32 * 36), static_cast<png_byte>(i % 8 * 36),
                      static_cast<png_byte>(i / 8 % 4 * 85)};
    if (kind == Kind::Palette) png_set_PLTE(png, info, palette.data(), 256);
    png_write_info(png, info);
    std::vector<png_bytep> pointers;
    for (auto& row : rows)
        pointers.push_back(row.data());
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

const std::string& picture(Kind kind) {
    static std::map<Kind, std::string> cache;
    auto it = cache.find(kind);
    if (it == cache.end()) it = cache.emplace(kind, makePicture(kind)).first;
    return it->second;
}

// One whole libpng decode into freshly allocated rows, as a loader would do it.
std::size_t decodeWithLibpng(const std::string& bytes) {
    rekal::test::PngMemoryReader reader{&bytes};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_byte> pixels;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return 0;
    }
    png_set_read_fn(png, &reader, rekal::test::readPngBytes);
    png_read_info(png, info);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    const uint32_t height = png_get_image_height(png, info);
    pixels.resize(rowBytes * height);
    std::vector<png_bytep> rows(height);
    for (uint32_t y = 0; y < height; ++y)
        rows[y] = pixels.data() + (height - 1 - y) * rowBytes;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return pixels.size();
}

void BM_Ours(benchmark::State& state, Kind kind) {
    const std::string& bytes = picture(kind);
    for (auto _ : state) {
        auto image = rekal::decodePng(bytes, 0x00C0C0C0);
        if (!image) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(image);
    }
}

void BM_Libpng(benchmark::State& state, Kind kind) {
    const std::string& bytes = picture(kind);
    for (auto _ : state) {
        const std::size_t size = decodeWithLibpng(bytes);
        if (size == 0) state.SkipWithError("libpng failed");
        benchmark::DoNotOptimize(size);
    }
}

// Keeps each run's processor time per iteration (steadier than wall time on a shared machine), so
// that the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                times[run.benchmark_name()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char** argv) {
    const std::pair<const char*, Kind> kinds[] = {{"rgb", Kind::Rgb},
                                                  {"rgba", Kind::Rgba},
                                                  {"palette", Kind::Palette},
                                                  {"interlaced", Kind::Interlaced}};
    for (const auto& [name, kind] : kinds) {
        std::printf("%-10s %zu bytes\n", name, picture(kind).size());
        benchmark::RegisterBenchmark((std::string("ours/") + name).c_str(), BM_Ours, kind)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("libpng/") + name).c_str(), BM_Libpng, kind)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nratio ours / libpng (target <= 1.50)\n");
    for (const auto& [name, kind] : kinds) {
        const auto ours = reporter.times.find(std::string("ours/") + name);
        const auto peer = reporter.times.find(std::string("libpng/") + name);
        if (ours == reporter.times.end() || peer == reporter.times.end() || peer->second <= 0) continue;
        const double ratio = ours->second / peer->second;
        std::printf("  %-10s %.2f%s\n", name, ratio, ratio > 1.5 ? "  (over target)" : "");
    }
    return 0;
}
