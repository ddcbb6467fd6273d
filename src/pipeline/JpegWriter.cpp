#include "pipeline/JpegWriter.h"

#include "pipeline/WholeFile.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// jump back to WriteJpegFile with the message.
struct TJpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr cinfo) {
    auto *mgr = reinterpret_cast<TJpegErrorManager *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, mgr->message);
    std::longjmp(mgr->jump, 1);
}

void OnJpegMessage(j_common_ptr) {}  // no warnings on stderr

// The libjpeg part, free of objects with destructors so the long jump is safe.
// `row` has room for one RGB row. Returns false with the error text in `mgr`.
bool CompressToFile(std::FILE *file, const uint8_t *pixels, int width, int height, int stride, bool bgr,
                    int quality, uint8_t *row, TJpegErrorManager *mgr) {
    jpeg_compress_struct cinfo;
    cinfo.err = jpeg_std_error(&mgr->pub);
    mgr->pub.error_exit = OnJpegError;
    mgr->pub.output_message = OnJpegMessage;
    if (setjmp(mgr->jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        const uint8_t *src = pixels + static_cast<size_t>(cinfo.next_scanline) * stride;
        for (int x = 0; x < width; ++x) {
            row[3 * x + 0] = src[3 * x + (bgr ? 2 : 0)];
            row[3 * x + 1] = src[3 * x + 1];
            row[3 * x + 2] = src[3 * x + (bgr ? 0 : 2)];
        }
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

bool Fail(std::string *error, const std::string &message) {
    if (error)
        *error = message;
    return false;
}

}  // namespace

bool WriteJpeg(const std::string &path, const uint8_t *rgbOrBgr, int width, int height, int stride, bool bgr,
               int quality, std::string *error) {
    if (!rgbOrBgr)
        return Fail(error, "No pixel data");
    if (width <= 0 || height <= 0 || width > JPEG_MAX_DIMENSION || height > JPEG_MAX_DIMENSION)
        return Fail(error, "Unusable picture size " + std::to_string(width) + " x " + std::to_string(height));
    if (stride < 3 * width)
        return Fail(error, "Row stride shorter than a row");
    if (quality < 1)
        quality = 1;
    if (quality > 100)
        quality = 100;

    // Written beside the final name and renamed over it once complete: a full disk
    // or a crash never leaves a truncated picture under that name.
    TWholeFile file(path);
    if (!file.File())
        return Fail(error, file.Error());

    std::vector<uint8_t> row(3 * static_cast<size_t>(width));
    TJpegErrorManager mgr;
    mgr.message[0] = '\0';
    if (!CompressToFile(file.File(), rgbOrBgr, width, height, stride, bgr, quality, row.data(), &mgr))
        return Fail(error, "Cannot write \"" + path + "\": " + mgr.message);
    if (!file.Commit())
        return Fail(error, file.Error());
    return true;
}
