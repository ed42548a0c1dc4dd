#include "JpegWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace norak::art {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jumpBack;
};

[[noreturn]] void onFatalError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jumpBack, 1);
}

// Runs under setjmp: no object with a destructor lives in this frame.
bool compress(const QImage* rgb, int quality, unsigned char** buffer, unsigned long* size) {
    jpeg_compress_struct cinfo{};
    ErrorManager errors;
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onFatalError;
    if (setjmp(errors.jumpBack) != 0) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, buffer, size);
    cinfo.image_width = JDIMENSION(rgb->width());
    cinfo.image_height = JDIMENSION(rgb->height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.optimize_coding = TRUE;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb->constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

bool writeBytes(const QByteArray& bytes, const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

QByteArray encodeJpeg(const QImage& picture, int quality) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    QByteArray bytes;
    if (compress(&rgb, quality, &buffer, &size)) {
        bytes = QByteArray(reinterpret_cast<const char*>(buffer), qsizetype(size));
    }
    std::free(buffer);
    return bytes;
}

bool writeJpeg(const QImage& picture, const QString& path, int quality) {
    const QByteArray bytes = encodeJpeg(picture, quality);
    if (bytes.isEmpty()) {
        std::fprintf(stderr, "cannot encode %s\n", qPrintable(path));
        return false;
    }
    return writeBytes(bytes, path);
}

bool writePng(const QImage& picture, const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!picture.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace norak::art
