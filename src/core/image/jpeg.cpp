#include "core/image/jpeg.h"

#include "core/base/fileio.h"

#include <csetjmp>

#include <jpeglib.h>

namespace rekal {

namespace {

// libjpeg's standard error manager, except that a fatal error jumps back to the decoding function
// instead of ending the process, and warnings are not printed.
struct JpegErrorManager {
    jpeg_error_mgr standard;
    std::jmp_buf jump;
};

[[noreturn]] void leaveOnError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->jump, 1);
}

// A progressive file may hold any number of scans, each a pass over the whole picture; more than a
// writer ever makes are refused.
void limitScans(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor) return;
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxJpegScans) leaveOnError(cinfo);
}

void ignoreMessage(j_common_ptr) {}

// One decoded scanline, in libjpeg's output components, to blue, green, red.
void convertScanline(const JSAMPLE* src, int components, bool invertedCmyk, JDIMENSION width, uint8_t* dst) {
    for (JDIMENSION x = 0; x < width; ++x, src += components, dst += 3) {
        switch (components) {
        case 1:
            dst[0] = dst[1] = dst[2] = src[0];
            break;
        case 3:
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
            break;
        default: {
            // Ink amounts to light: each of cyan, magenta, yellow and black takes its share away.
            // Adobe's writers store the amounts inverted (255 = no ink), as most CMYK files do.
            int c = src[0], m = src[1], y = src[2], k = src[3];
            if (!invertedCmyk) {
                c = 255 - c;
                m = 255 - m;
                y = 255 - y;
                k = 255 - k;
            }
            dst[0] = static_cast<uint8_t>(y * k / 255);
            dst[1] = static_cast<uint8_t>(m * k / 255);
            dst[2] = static_cast<uint8_t>(c * k / 255);
            break;
        }
        }
    }
}

// Everything between setjmp and the last libjpeg call lives here, with no C++ object that a jump
// would skip; `image` belongs to the caller.
bool decodeInto(std::FILE* file, DibImage& image) {
    jpeg_decompress_struct cinfo;
    JpegErrorManager errors;
    cinfo.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = leaveOnError;
    errors.standard.output_message = ignoreMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    // libjpeg's own whole-picture buffers (progressive files) stay within the same bound as ours;
    // beyond it libjpeg fails, as it has no backing store.
    cinfo.mem->max_memory_to_use = static_cast<long>(kMaxImageDataBytes);
    jpeg_progress_mgr progress{};
    progress.progress_monitor = limitScans;
    cinfo.progress = &progress;
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    if (!picturePixelsAllowed(cinfo.image_width, cinfo.image_height)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }

    bool invertedCmyk = false;
    switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
        cinfo.out_color_space = JCS_GRAYSCALE;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        cinfo.out_color_space = JCS_CMYK;
        invertedCmyk = cinfo.saw_Adobe_marker;
        break;
    default:
        cinfo.out_color_space = JCS_RGB;
        break;
    }
    jpeg_calc_output_dimensions(&cinfo);
    const int components = cinfo.output_components;
    if ((components != 1 && components != 3 && components != 4) ||
        !allocateDib(image, cinfo.output_width, cinfo.output_height, 24, 0)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_start_decompress(&cinfo);
    JSAMPARRAY line = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                 cinfo.output_width * static_cast<JDIMENSION>(components), 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        const JDIMENSION y = cinfo.output_scanline;
        if (jpeg_read_scanlines(&cinfo, line, 1) != 1) break;
        convertScanline(line[0], components, invertedCmyk, cinfo.output_width,
                        image.row(static_cast<int>(y)));
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

} // namespace

std::optional<DibImage> decodeJpegStream(std::FILE* file) {
    if (!file) return std::nullopt;
    DibImage image;
    if (!decodeInto(file, image)) return std::nullopt;
    return image;
}

std::optional<DibImage> loadJpegFile(const std::filesystem::path& path) {
    if (!isPlainFile(path)) return std::nullopt;
    FilePtr file = openFile(path, "rb");
    if (!file) return std::nullopt;
    return decodeJpegStream(file.get());
}

} // namespace rekal
