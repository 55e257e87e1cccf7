#include "core/image/png.h"

#include "core/base/fileio.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <system_error>

namespace rekal {

namespace {

constexpr uint8_t kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

constexpr int kGrey = 0;
constexpr int kRgb = 2;
constexpr int kPalette = 3;
constexpr int kGreyAlpha = 4;
constexpr int kRgbAlpha = 6;

constexpr uint32_t chunkType(const char (&name)[5]) {
    return uint32_t(uint8_t(name[0])) << 24 | uint32_t(uint8_t(name[1])) << 16 |
           uint32_t(uint8_t(name[2])) << 8 | uint32_t(uint8_t(name[3]));
}
constexpr uint32_t kIHDR = chunkType("IHDR");
constexpr uint32_t kPLTE = chunkType("PLTE");
constexpr uint32_t kTRNS = chunkType("tRNS");
constexpr uint32_t kIDAT = chunkType("IDAT");
constexpr uint32_t kIEND = chunkType("IEND");

uint32_t readBe32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}
uint16_t readBe16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

// Column and row start and step of the seven Adam7 passes.
struct Adam7Pass {
    uint32_t columnStart, rowStart, columnStep, rowStep;
};
constexpr std::array<Adam7Pass, 7> kAdam7 = {{
    {0, 0, 8, 8},
    {4, 0, 8, 8},
    {0, 4, 4, 8},
    {2, 0, 4, 4},
    {0, 2, 2, 4},
    {1, 0, 2, 2},
    {0, 1, 1, 2},
}};

uint32_t passExtent(uint32_t size, uint32_t start, uint32_t step) {
    return size > start ? (size - start + step - 1) / step : 0;
}

struct PngState {
    uint32_t width = 0;
    uint32_t height = 0;
    int interlace = 0;
    int depth = 0;
    int colourType = 0;
    int bitsPerPixel = 0;

    std::array<DibColour, 256> palette{};
    int paletteCount = 0;

    bool hasTransparency = false;
    uint16_t transGrey = 0;
    std::array<uint16_t, 3> transRgb{}; // red, green, blue
    std::array<uint8_t, 256> alpha{};
    int alphaCount = 0;

    // The image data: as inflated until the walk reaches IEND, then unfiltered and without
    // interlace, each row a zero filter byte and rowBytes(width) bytes.
    std::vector<uint8_t> data;
    // Bytes the compressed stream produced; everything after them is zero, which is an unfiltered
    // row of zero pixels already.
    std::size_t produced = 0;
    // Rows of `data` holding anything but zeros once unfiltered.
    uint32_t rowsProduced = 0;

    uint64_t rowBytes(uint32_t columns) const { return (uint64_t{columns} * bitsPerPixel + 7) / 8; }
};

struct Chunk {
    uint32_t type = 0;
    uint32_t length = 0;
    const uint8_t* data = nullptr;
    std::size_t next = 0; // offset of the chunk after this one
};

// The chunk at `pos`; false when its header, data or CRC runs past the end of the bytes.
bool readChunk(std::string_view bytes, std::size_t pos, Chunk& chunk) {
    const auto* base = reinterpret_cast<const uint8_t*>(bytes.data());
    if (pos > bytes.size() || bytes.size() - pos < 12) return false;
    chunk.length = readBe32(base + pos);
    if (chunk.length > bytes.size() - pos - 12) return false;
    chunk.type = readBe32(base + pos + 4);
    chunk.data = base + pos + 8;
    chunk.next = pos + 12 + chunk.length;
    return true;
}

// Bytes of unfiltered data of a columns x rows picture (filter bytes included), or 0 when it has no
// pixels; false when it exceeds the limit.
bool addPassBytes(const PngState& s, uint32_t columns, uint32_t rows, uint64_t& total) {
    if (columns == 0 || rows == 0) return true;
    const uint64_t perRow = s.rowBytes(columns) + 1;
    if (perRow > kMaxImageDataBytes / rows) return false;
    total += perRow * rows;
    return total <= kMaxImageDataBytes;
}

bool inflatedSize(const PngState& s, uint64_t& total) {
    total = 0;
    if (s.interlace == 0) return addPassBytes(s, s.width, s.height, total);
    for (const Adam7Pass& p : kAdam7) {
        if (!addPassBytes(s, passExtent(s.width, p.columnStart, p.columnStep),
                          passExtent(s.height, p.rowStart, p.rowStep), total))
            return false;
    }
    return true;
}

int outputBitCount(const PngState& s) {
    if (s.colourType == kRgb || s.colourType == kGreyAlpha || s.colourType == kRgbAlpha) return 24;
    // A 16-bit grey key cannot be told apart once the samples are cut to 8 bits: such pictures are
    // resolved pixel by pixel into colour.
    if (s.depth == 16) return s.hasTransparency ? 24 : 8;
    if (s.bitsPerPixel == 2) return 4;
    return s.bitsPerPixel;
}

bool readHeader(PngState& s, const Chunk& c) {
    if (c.length != 13) return false;
    const uint8_t* d = c.data;
    s.width = readBe32(d);
    s.height = readBe32(d + 4);
    s.depth = d[8];
    s.colourType = d[9];
    s.interlace = d[12];
    if (d[10] != 0 || d[11] != 0 || s.interlace > 1) return false;
    // The bitmap header holds signed 32-bit sizes, and an empty picture has nothing to show.
    if (s.width == 0 || s.height == 0 || s.width > 0x7FFFFFFFu || s.height > 0x7FFFFFFFu) return false;
    if (!picturePixelsAllowed(s.width, s.height)) return false;
    int samples = 0;
    bool depthOk = false;
    switch (s.colourType) {
    case kGrey:
        samples = 1;
        depthOk = s.depth == 1 || s.depth == 2 || s.depth == 4 || s.depth == 8 || s.depth == 16;
        break;
    case kPalette:
        samples = 1;
        depthOk = s.depth == 1 || s.depth == 2 || s.depth == 4 || s.depth == 8;
        break;
    case kRgb:
    case kGreyAlpha:
    case kRgbAlpha:
        samples = s.colourType == kRgb ? 3 : s.colourType == kGreyAlpha ? 2 : 4;
        depthOk = s.depth == 8 || s.depth == 16;
        break;
    default:
        return false;
    }
    if (!depthOk) return false;
    s.bitsPerPixel = s.depth * samples;
    // Refuse, before anything is allocated, a header whose data or bitmap would be too large.
    uint64_t dataBytes = 0;
    if (!inflatedSize(s, dataBytes)) return false;
    if (s.interlace == 1 && (s.rowBytes(s.width) + 1) > kMaxImageDataBytes / s.height) return false;
    // The widest bitmap this header can lead to (a 16-bit grey picture widens when it has a key).
    const int outBits = s.colourType == kGrey && s.depth == 16 ? 24 : outputBitCount(s);
    return DibImage::dibRowBytes(s.width, outBits) <= kMaxImageDataBytes / s.height;
}

bool readPalette(PngState& s, const Chunk& c) {
    if (c.length % 3 != 0) return false;
    const uint32_t count = c.length / 3;
    if (count > (uint32_t{1} << std::min(s.depth, 8))) return false;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = c.data + 3 * i;
        s.palette[i] = {e[2], e[1], e[0], 0};
    }
    s.paletteCount = static_cast<int>(count);
    return true;
}

void readTransparency(PngState& s, const Chunk& c) {
    // A chunk too short for its colour type carries no usable key and is left aside.
    switch (s.colourType) {
    case kGrey:
        if (c.length < 2) return;
        s.transGrey = readBe16(c.data);
        break;
    case kRgb:
        if (c.length < 6) return;
        for (int i = 0; i < 3; ++i)
            s.transRgb[static_cast<std::size_t>(i)] = readBe16(c.data + 2 * i);
        break;
    case kPalette:
        // One alpha byte per palette entry: never more than the 256 a palette can hold.
        s.alphaCount = static_cast<int>(std::min<uint32_t>(c.length, 256));
        std::memcpy(s.alpha.data(), c.data, static_cast<std::size_t>(s.alphaCount));
        break;
    default:
        return;
    }
    s.hasTransparency = true;
}

// Inflates the run of consecutive IDAT chunks starting at `pos` into `out`, and leaves `pos` at the
// chunk after the run. Feeding stops once the buffer is full or the compressed stream has ended;
// the chunks left are only stepped over.
bool inflateRun(std::string_view bytes, std::size_t& pos, uint8_t* out, std::size_t outSize,
                std::size_t& produced) {
    z_stream zs{};
    // zlib checks only the major version; this is the oldest one the decoder was written against.
    if (inflateInit_(&zs, "1.1.3", static_cast<int>(sizeof(z_stream))) != Z_OK) return false;
    struct InflateEnd {
        z_stream* zs;
        ~InflateEnd() { inflateEnd(zs); }
    } end{&zs};

    zs.next_out = out;
    zs.avail_out = static_cast<uInt>(outSize);
    bool streamEnded = false;
    Chunk chunk;
    while (readChunk(bytes, pos, chunk) && chunk.type == kIDAT) {
        pos = chunk.next;
        zs.next_in = const_cast<Bytef*>(chunk.data);
        zs.avail_in = chunk.length;
        while (!streamEnded && zs.avail_in > 0 && zs.avail_out > 0) {
            const int rc = inflate(&zs, Z_NO_FLUSH);
            if (rc == Z_STREAM_END)
                streamEnded = true;
            else if (rc == Z_BUF_ERROR)
                break;
            else if (rc != Z_OK)
                return false;
        }
    }
    // A run not followed by a complete chunk is caught by the chunk walk.
    produced = outSize - zs.avail_out;
    return true;
}

uint8_t paethPredictor(uint8_t left, uint8_t above, uint8_t upperLeft) {
    int a = left;
    const int b = above, c = upperLeft;
    int pa = std::abs(b - c);
    const int pb = std::abs(a - c);
    const int pc = std::abs(a + b - 2 * c);
    if (pb < pa) {
        a = b;
        pa = pb;
    }
    return static_cast<uint8_t>(pc < pa ? c : a);
}

// Reverses the filter of one row in place. `prior` is the unfiltered row above (zeros for the first
// row of the image or pass); Bpp is the filter distance in bytes.
template <int Bpp> void unfilterRow(int filter, uint8_t* cur, const uint8_t* prior, std::size_t n) {
    switch (filter) {
    case 1:
        for (std::size_t i = Bpp; i < n; ++i)
            cur[i] = static_cast<uint8_t>(cur[i] + cur[i - Bpp]);
        break;
    case 2:
        for (std::size_t i = 0; i < n; ++i)
            cur[i] = static_cast<uint8_t>(cur[i] + prior[i]);
        break;
    case 3:
        for (std::size_t i = 0; i < n && i < Bpp; ++i)
            cur[i] = static_cast<uint8_t>(cur[i] + (prior[i] >> 1));
        for (std::size_t i = Bpp; i < n; ++i)
            cur[i] = static_cast<uint8_t>(cur[i] + ((cur[i - Bpp] + prior[i]) >> 1));
        break;
    case 4:
        for (std::size_t i = 0; i < n && i < Bpp; ++i)
            cur[i] = static_cast<uint8_t>(cur[i] + prior[i]);
        for (std::size_t i = Bpp; i < n; ++i)
            cur[i] = static_cast<uint8_t>(cur[i] + paethPredictor(cur[i - Bpp], prior[i], prior[i - Bpp]));
        break;
    default: // 0, and unknown filters, leave the row as it is
        break;
    }
}

template <int Bpp>
void unfilterRowsOf(uint8_t* rows, std::size_t rowBytes, uint32_t count, const uint8_t* zeros) {
    const uint8_t* prior = zeros;
    for (uint32_t y = 0; y < count; ++y) {
        uint8_t* row = rows + y * (rowBytes + 1);
        unfilterRow<Bpp>(row[0], row + 1, prior, rowBytes);
        row[0] = 0;
        prior = row + 1;
    }
}

// Unfilters `count` rows of `rowBytes` bytes (after their filter bytes) stored one after another.
bool unfilterRows(uint8_t* rows, std::size_t rowBytes, uint32_t count, int bitsPerPixel) {
    std::vector<uint8_t> zeros;
    if (!resizeZeroed(zeros, rowBytes)) return false;
    switch ((bitsPerPixel + 7) / 8) {
    case 1:
        unfilterRowsOf<1>(rows, rowBytes, count, zeros.data());
        break;
    case 2:
        unfilterRowsOf<2>(rows, rowBytes, count, zeros.data());
        break;
    case 3:
        unfilterRowsOf<3>(rows, rowBytes, count, zeros.data());
        break;
    case 4:
        unfilterRowsOf<4>(rows, rowBytes, count, zeros.data());
        break;
    case 6:
        unfilterRowsOf<6>(rows, rowBytes, count, zeros.data());
        break;
    default:
        unfilterRowsOf<8>(rows, rowBytes, count, zeros.data());
        break;
    }
    return true;
}

// Copies the pixels of one unfiltered Adam7 pass to their places in a non-interlaced layout.
void scatterPass(const PngState& s, const Adam7Pass& p, const uint8_t* pass, uint32_t columns, uint32_t rows,
                 uint8_t* image) {
    const std::size_t passRow = s.rowBytes(columns) + 1;
    const std::size_t imageRow = s.rowBytes(s.width) + 1;
    const int bpp = s.bitsPerPixel;
    for (uint32_t r = 0; r < rows; ++r) {
        const uint8_t* src = pass + r * passRow + 1;
        uint8_t* dst = image + (p.rowStart + std::size_t{r} * p.rowStep) * imageRow + 1;
        if (bpp >= 8) {
            const std::size_t bytes = static_cast<std::size_t>(bpp / 8);
            for (uint32_t c = 0; c < columns; ++c)
                std::memcpy(dst + (p.columnStart + std::size_t{c} * p.columnStep) * bytes, src + c * bytes,
                            bytes);
        } else {
            const unsigned mask = (1u << bpp) - 1;
            for (uint32_t c = 0; c < columns; ++c) {
                const std::size_t from = std::size_t{c} * bpp;
                const unsigned value = (src[from / 8] >> (8 - bpp - from % 8)) & mask;
                const std::size_t to = (p.columnStart + std::size_t{c} * p.columnStep) * bpp;
                dst[to / 8] = static_cast<uint8_t>(dst[to / 8] | value << (8 - bpp - to % 8));
            }
        }
    }
}

// Rows of `stride` bytes that hold any of the first `produced` bytes.
uint32_t rowsTouched(std::size_t produced, std::size_t stride, uint32_t rows) {
    return static_cast<uint32_t>(std::min<std::size_t>(rows, (produced + stride - 1) / stride));
}

// Inflates the image data run at `pos` into a zero-filled buffer of the size the header implies.
bool inflateImageData(PngState& s, std::string_view bytes, std::size_t& pos) {
    uint64_t size = 0;
    if (!inflatedSize(s, size)) return false;
    if (!resizeZeroed(s.data, (size + 3) / 4 * 4)) return false;
    return inflateRun(bytes, pos, s.data.data(), size, s.produced);
}

// Unfilters the inflated data and, for Adam7, replaces it with the same pixels laid out without
// interlace. Rows the stream never reached are zero rows with filter 0 and are left alone.
bool unfilterImageData(PngState& s) {
    const std::size_t rowBytes = s.rowBytes(s.width);
    if (s.interlace == 0) {
        s.rowsProduced = rowsTouched(s.produced, rowBytes + 1, s.height);
        return unfilterRows(s.data.data(), rowBytes, s.rowsProduced, s.bitsPerPixel);
    }
    std::vector<uint8_t> image;
    if (!resizeZeroed(image, (rowBytes + 1) * s.height)) return false;
    std::size_t offset = 0;
    for (const Adam7Pass& p : kAdam7) {
        const uint32_t columns = passExtent(s.width, p.columnStart, p.columnStep);
        const uint32_t rows = passExtent(s.height, p.rowStart, p.rowStep);
        if (columns == 0 || rows == 0) continue;
        const std::size_t passRow = s.rowBytes(columns);
        const std::size_t left = s.produced > offset ? s.produced - offset : 0;
        const uint32_t reached = rowsTouched(left, passRow + 1, rows);
        uint8_t* pass = s.data.data() + offset;
        if (!unfilterRows(pass, passRow, reached, s.bitsPerPixel)) return false;
        scatterPass(s, p, pass, columns, reached, image.data());
        offset += (passRow + 1) * rows;
    }
    s.data = std::move(image);
    s.rowsProduced = s.height;
    return true;
}

uint8_t blend(uint8_t value, uint8_t alpha, uint8_t back) {
    return static_cast<uint8_t>((value * alpha + (255 - alpha) * back) / 255);
}

void putBgr(uint8_t* dst, uint8_t red, uint8_t green, uint8_t blue) {
    dst[0] = blue;
    dst[1] = green;
    dst[2] = red;
}

// Widens 2-bit values to 4-bit ones in place, from the end of the row backwards.
void widenTwoBitRow(uint8_t* row, uint32_t width) {
    for (uint32_t x = width; x-- > 0;) {
        const unsigned value = (row[x / 4] >> (6 - 2 * (x % 4))) & 3;
        uint8_t& out = row[x / 2];
        out = static_cast<uint8_t>(x % 2 == 0 ? (out & 0x0F) | value << 4 : (out & 0xF0) | value);
    }
}

void convertRow(const PngState& s, const uint8_t* src, uint8_t* dst, const Rgb& back) {
    const uint32_t w = s.width;
    const bool wide = s.depth == 16;
    const std::size_t step = wide ? 2 : 1; // bytes per sample; the first one is the high byte
    switch (s.colourType) {
    case kGrey:
        if (wide && s.hasTransparency) {
            for (uint32_t x = 0; x < w; ++x, src += 2, dst += 3) {
                if (readBe16(src) == s.transGrey)
                    putBgr(dst, back.red, back.green, back.blue);
                else
                    putBgr(dst, src[0], src[0], src[0]);
            }
        } else if (wide) {
            for (uint32_t x = 0; x < w; ++x)
                dst[x] = src[2 * x];
        } else {
            std::memcpy(dst, src, s.rowBytes(w));
        }
        break;
    case kPalette:
        std::memcpy(dst, src, s.rowBytes(w));
        break;
    case kRgb:
        for (uint32_t x = 0; x < w; ++x, src += 3 * step, dst += 3) {
            // The key of an 8-bit picture is the low byte of each value; of a 16-bit one, the whole value.
            const bool keyed = s.hasTransparency &&
                               (wide ? readBe16(src) == s.transRgb[0] && readBe16(src + 2) == s.transRgb[1] &&
                                           readBe16(src + 4) == s.transRgb[2]
                                     : src[0] == (s.transRgb[0] & 0xFF) && src[1] == (s.transRgb[1] & 0xFF) &&
                                           src[2] == (s.transRgb[2] & 0xFF));
            if (keyed)
                putBgr(dst, back.red, back.green, back.blue);
            else
                putBgr(dst, src[0], src[step], src[2 * step]);
        }
        break;
    case kGreyAlpha:
        for (uint32_t x = 0; x < w; ++x, src += 2 * step, dst += 3) {
            const uint8_t g = src[0], a = src[step];
            putBgr(dst, blend(g, a, back.red), blend(g, a, back.green), blend(g, a, back.blue));
        }
        break;
    case kRgbAlpha:
        for (uint32_t x = 0; x < w; ++x, src += 4 * step, dst += 3) {
            const uint8_t a = src[3 * step];
            putBgr(dst, blend(src[0], a, back.red), blend(src[step], a, back.green),
                   blend(src[2 * step], a, back.blue));
        }
        break;
    default:
        break;
    }
    if (s.bitsPerPixel == 2) widenTwoBitRow(dst, w);
}

void fillColourTable(const PngState& s, DibImage& image, const Rgb& back) {
    if (image.header.bitCount == 24) return;
    if (s.colourType == kGrey) {
        const int levels = 1 << std::min(s.depth, 8);
        for (int i = 0; i < levels; ++i) {
            const auto v = static_cast<uint8_t>(i * 255 / (levels - 1));
            image.colours[static_cast<std::size_t>(i)] = {v, v, v, 0};
        }
        // A key outside the levels of the depth matches no pixel.
        if (s.hasTransparency && s.transGrey < levels)
            image.colours[s.transGrey] = {back.blue, back.green, back.red, 0};
        return;
    }
    image.colours = s.palette;
    for (int i = 0; i < s.alphaCount; ++i) {
        DibColour& c = image.colours[static_cast<std::size_t>(i)];
        const uint8_t a = s.alpha[static_cast<std::size_t>(i)];
        c = {blend(c.blue, a, back.blue), blend(c.green, a, back.green), blend(c.red, a, back.red), 0};
    }
}

std::optional<DibImage> convertToDib(const PngState& s, uint32_t background) {
    const Rgb back = backgroundRgb(background);
    const int bits = outputBitCount(s);
    uint32_t colorsUsed = 0;
    if (bits <= 8) colorsUsed = s.colourType == kGrey ? 1u << std::min(s.depth, 8) : s.paletteCount;
    DibImage image;
    if (!allocateDib(image, s.width, s.height, bits, colorsUsed)) return std::nullopt;
    const std::size_t srcRow = s.rowBytes(s.width) + 1;
    for (uint32_t y = 0; y < s.height; ++y) {
        uint8_t* out = image.row(static_cast<int>(y));
        // Rows past the end of a short stream are all alike: convert the first, copy it on.
        if (y > s.rowsProduced)
            std::memcpy(out, image.row(static_cast<int>(s.rowsProduced)), image.rowBytes());
        else
            convertRow(s, s.data.data() + y * srcRow + 1, out, back);
    }
    fillColourTable(s, image, back);
    return image;
}

} // namespace

std::optional<DibImage> decodePng(std::string_view bytes, uint32_t background) {
    if (bytes.size() < sizeof kSignature || std::memcmp(bytes.data(), kSignature, sizeof kSignature) != 0)
        return std::nullopt;
    PngState s;
    bool seenHeader = false, seenPalette = false, seenData = false, seenTransparency = false;
    std::size_t pos = sizeof kSignature;
    for (;;) {
        Chunk chunk;
        if (!readChunk(bytes, pos, chunk)) return std::nullopt;
        switch (chunk.type) {
        case kIHDR:
            if (seenHeader || seenPalette || seenData || seenTransparency || !readHeader(s, chunk))
                return std::nullopt;
            seenHeader = true;
            break;
        case kPLTE:
            if (!seenHeader || seenPalette || seenData || !readPalette(s, chunk)) return std::nullopt;
            seenPalette = true;
            break;
        case kTRNS:
            if (!seenHeader || seenData || seenTransparency) return std::nullopt;
            readTransparency(s, chunk);
            seenTransparency = true;
            break;
        case kIDAT:
            if (!seenHeader || seenData || !inflateImageData(s, bytes, pos)) return std::nullopt;
            seenData = true;
            continue; // pos already stands after the run
        case kIEND:
            if (!seenHeader || !seenData || !unfilterImageData(s)) return std::nullopt;
            return convertToDib(s, background);
        default:
            break;
        }
        pos = chunk.next;
    }
}

std::optional<DibImage> loadPngFile(const std::filesystem::path& path, uint32_t background) {
    if (!isPlainFile(path)) return std::nullopt;
    FileBytes file;
    try {
        file = readFileBytes(path);
    } catch (const std::bad_alloc&) {
        return std::nullopt; // a file too large for memory
    } catch (const std::length_error&) {
        return std::nullopt;
    }
    if (file.status != ReadStatus::Ok) return std::nullopt;
    return decodePng(file.bytes, background);
}

} // namespace rekal
