#include "platform/qt/JpegImage.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first

#include <jpeglib.h>

namespace norak {

namespace {

// Largest picture accepted, in pixels; a damaged header must not make us allocate gigabytes.
constexpr quint64 kMaxPixels = quint64(1) << 26;

// libjpeg reports fatal errors through error_exit, which must not return. We jump back to the
// decoding function instead of letting the library call exit().
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jumpBack;
};

[[noreturn]] void onFatalError(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(manager->jumpBack, 1);
}

// Warnings (level -1) mean the data is damaged: libjpeg would go on and fill the rest of the
// picture with grey. We treat them as failures. Trace messages (level >= 0) are dropped.
void onMessage(j_common_ptr cinfo, int level) {
    if (level < 0) {
        onFatalError(cinfo);
    }
}

void discardMessage(j_common_ptr) {}

// Converts one CMYK scanline (4 bytes a pixel) to RGB (3 bytes a pixel). Files carrying an
// Adobe marker store CMYK inverted (0 = full ink), which is how nearly all CMYK JPEGs come.
void cmykToRgb(const JSAMPLE* in, uchar* out, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x, in += 4, out += 3) {
        int c = in[0], m = in[1], y = in[2], k = in[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        out[0] = uchar(c * k / 255);
        out[1] = uchar(m * k / 255);
        out[2] = uchar(y * k / 255);
    }
}

// The part that runs under setjmp. It holds no object with a destructor, so that a jump back
// from libjpeg skips nothing; the picture lives in the caller's frame.
bool decodeInto(const uchar* bytes, unsigned long size, QImage* picture) {
    jpeg_decompress_struct cinfo{};
    ErrorManager errors;
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onFatalError;
    errors.base.emit_message = onMessage;
    errors.base.output_message = discardMessage;

    if (setjmp(errors.jumpBack) != 0) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }

    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes, size);
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }

    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&cinfo);

    const JDIMENSION width = cinfo.output_width;
    const JDIMENSION height = cinfo.output_height;
    const int components = cinfo.output_components;
    if (width == 0 || height == 0 || quint64(width) * height > kMaxPixels || components != (cmyk ? 4 : 3)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }

    *picture = QImage(int(width), int(height), QImage::Format_RGB888);
    if (picture->isNull()) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }

    // CMYK rows go through a row buffer owned by libjpeg's image pool.
    JSAMPARRAY cmykRow = nullptr;
    if (cmyk) {
        cmykRow =
            (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, width * 4, 1);
    }
    const bool inverted = cinfo.saw_Adobe_marker;

    while (cinfo.output_scanline < height) {
        uchar* line = picture->scanLine(int(cinfo.output_scanline));
        if (cmyk) {
            if (jpeg_read_scanlines(&cinfo, cmykRow, 1) != 1) {
                break;
            }
            cmykToRgb(cmykRow[0], line, width, inverted);
        } else {
            JSAMPROW row = line;
            if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) {
                break;
            }
        }
    }
    const bool complete = cinfo.output_scanline == height;
    if (complete) {
        jpeg_finish_decompress(&cinfo);
    }
    jpeg_destroy_decompress(&cinfo);
    return complete;
}

}  // namespace

QImage decodeJpeg(const QByteArray& data) {
    if (data.isEmpty()) {
        return {};
    }
    QImage picture;
    if (!decodeInto(reinterpret_cast<const uchar*>(data.constData()), static_cast<unsigned long>(data.size()),
                    &picture)) {
        return {};
    }
    return picture;
}

QImage loadJpegResource(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return decodeJpeg(file.readAll());
}

}  // namespace norak
