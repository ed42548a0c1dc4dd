#include "platform/qt/JpegImage.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

using norak::decodeJpeg;
using norak::loadJpegResource;

namespace {

QByteArray resourceBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

struct PictureSize {
    const char* path;
    int width;
    int height;
};

// Every picture the windows load, with the size their panels are laid out for.
const PictureSize kPictures[] = {
    {":/pictures/course/futbol1.jpg", 332, 489}, {":/pictures/course/futbol2.jpg", 332, 489},
    {":/pictures/course/futbol3.jpg", 332, 489}, {":/pictures/course/futbol4.jpg", 332, 489},
    {":/pictures/course/futbol5.jpg", 332, 489}, {":/pictures/course/basket1.jpg", 332, 489},
    {":/pictures/course/basket2.jpg", 332, 489}, {":/pictures/course/basket3.jpg", 332, 489},
    {":/pictures/course/basket4.jpg", 332, 489}, {":/pictures/course/basket5.jpg", 332, 489},
    {":/pictures/course/futsal1.jpg", 332, 489}, {":/pictures/course/futsal2.jpg", 332, 489},
    {":/pictures/course/futsal3.jpg", 332, 489}, {":/pictures/course/futsal4.jpg", 332, 489},
    {":/pictures/course/futsal5.jpg", 332, 489}, {":/pictures/course/zevez1.jpg", 332, 489},
    {":/pictures/course/zevez2.jpg", 332, 489},  {":/pictures/course/zevez3.jpg", 332, 489},
    {":/pictures/start/zevez.jpg", 826, 592},    {":/pictures/start/futbol.jpg", 826, 592},
    {":/pictures/start/futsal.jpg", 826, 592},   {":/pictures/help/futbol.jpg", 290, 480},
    {":/pictures/help/futsal.jpg", 290, 480},    {":/pictures/help/zevez.jpg", 290, 480},
    {":/pictures/help/basket.jpg", 290, 484},    {":/pictures/logo.jpg", 303, 40},
    {":/pictures/funder.jpg", 120, 60},
};

// Mean absolute difference per channel between two pictures of the same size.
double meanDifference(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar* p = x.constScanLine(row);
        const uchar* q = y.constScanLine(row);
        for (int i = 0; i < x.width() * 3; ++i) {
            sum += std::abs(int(p[i]) - int(q[i]));
        }
    }
    return sum / (double(x.width()) * x.height() * 3);
}

QByteArray validJpeg() {
    return resourceBytes(QStringLiteral(":/pictures/course/zevez1.jpg"));
}

}  // namespace

TEST(JpegImage, EveryEmbeddedPictureDecodesAtItsPanelSize) {
    for (const PictureSize& picture : kPictures) {
        SCOPED_TRACE(picture.path);
        const QImage image = loadJpegResource(QString::fromLatin1(picture.path));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), picture.width);
        EXPECT_EQ(image.height(), picture.height);
        EXPECT_EQ(image.format(), QImage::Format_RGB888);
    }
}

TEST(JpegImage, DecodesTheSamePixelsAsAnIndependentReader) {
    // Qt's own JPEG reader serves as the reference: same pixels, same channel order.
    if (!QImageReader::supportedImageFormats().contains("jpeg")) {
        GTEST_SKIP() << "no JPEG reader in this Qt";
    }
    for (const char* path :
         {":/pictures/start/zevez.jpg", ":/pictures/course/basket2.jpg", ":/pictures/logo.jpg"}) {
        SCOPED_TRACE(path);
        const QByteArray bytes = resourceBytes(QString::fromLatin1(path));
        const QImage ours = decodeJpeg(bytes);
        const QImage reference = QImage::fromData(bytes, "JPEG");
        ASSERT_FALSE(reference.isNull());
        ASSERT_EQ(ours.size(), reference.size());
        EXPECT_LT(meanDifference(ours, reference), 1.0);
    }
}

TEST(JpegImage, KeepsRedGreenBlueInOrder) {
    // The volleyball court is orange and its free zone blue-green: a swapped channel order
    // would turn the court blue.
    const QImage image = loadJpegResource(QStringLiteral(":/pictures/course/zevez3.jpg"));
    ASSERT_FALSE(image.isNull());
    const QColor court = image.pixelColor(150, 120);
    EXPECT_GT(court.red(), court.green());
    EXPECT_GT(court.green(), court.blue());
    EXPECT_GT(court.red() - court.blue(), 100);
    const QColor corner = image.pixelColor(1, 1);  // white panel ground outside the card
    EXPECT_GT(corner.red(), 240);
    EXPECT_GT(corner.blue(), 240);
}

TEST(JpegImage, GreyPicturesComeOutAsGreyRgb) {
    QImage grey(40, 30, QImage::Format_Grayscale8);
    for (int y = 0; y < grey.height(); ++y) {
        for (int x = 0; x < grey.width(); ++x) {
            grey.scanLine(y)[x] = uchar(x * 6);
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(95);
    if (!writer.canWrite() || !writer.write(grey)) {
        GTEST_SKIP() << "no JPEG writer in this Qt";
    }
    const QImage image = decodeJpeg(bytes);
    ASSERT_EQ(image.size(), QSize(40, 30));
    const QColor left = image.pixelColor(2, 15);
    const QColor right = image.pixelColor(37, 15);
    EXPECT_EQ(left.red(), left.green());
    EXPECT_EQ(left.green(), left.blue());
    EXPECT_NEAR(right.red(), 37 * 6, 6);
}

TEST(JpegImage, CmykPicturesAreConvertedToRgb) {
    // A 16 x 8 CMYK picture in the Adobe convention (inverted ink): red on the left, blue on the
    // right. libjpeg writes the Adobe marker itself for CMYK input.
    constexpr int kW = 16;
    constexpr int kH = 8;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = kW;
    cinfo.image_height = kH;
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 100, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    unsigned char row[kW * 4];
    // Inverted ink, 255 meaning none: red is magenta and yellow, blue is cyan and magenta.
    for (int x = 0; x < kW; ++x) {
        const bool red = x < kW / 2;
        row[x * 4 + 0] = red ? 255 : 0;  // cyan
        row[x * 4 + 1] = 0;              // magenta
        row[x * 4 + 2] = red ? 0 : 255;  // yellow
        row[x * 4 + 3] = 255;            // black
    }
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW line = row;
        jpeg_write_scanlines(&cinfo, &line, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    const QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);

    const QImage image = decodeJpeg(bytes);
    ASSERT_EQ(image.size(), QSize(kW, kH));
    const QColor left = image.pixelColor(2, 4);
    const QColor right = image.pixelColor(13, 4);
    EXPECT_GT(left.red(), 200);
    EXPECT_LT(left.green(), 60);
    EXPECT_LT(left.blue(), 60);
    EXPECT_LT(right.red(), 60);
    EXPECT_LT(right.green(), 60);
    EXPECT_GT(right.blue(), 200);
}

TEST(JpegImage, DamagedDataGivesANullPictureWithoutStoppingTheProgram) {
    const QByteArray good = validJpeg();
    ASSERT_GT(good.size(), 1000);

    EXPECT_TRUE(decodeJpeg(QByteArray()).isNull());
    EXPECT_TRUE(decodeJpeg(QByteArray("not a picture at all")).isNull());
    EXPECT_TRUE(decodeJpeg(QByteArray(4096, '\0')).isNull());
    EXPECT_TRUE(decodeJpeg(QByteArray::fromHex("FFD8FFD9")).isNull());  // start and end, nothing between

    // Cut short anywhere: in the header, in the tables, in the middle of the scan, at the end.
    for (qsizetype length : {qsizetype(2), qsizetype(20), qsizetype(300), good.size() / 2, good.size() - 2}) {
        SCOPED_TRACE(length);
        EXPECT_TRUE(decodeJpeg(good.left(length)).isNull());
    }
}

TEST(JpegImage, ScrambledScanDataNeverCrashes) {
    // Flipped bits in the compressed scan either decode to a picture of the right size or
    // are refused; they must never bring the program down.
    const QByteArray good = validJpeg();
    for (int seed = 1; seed <= 40; ++seed) {
        QByteArray bad = good;
        for (int k = 0; k < 12; ++k) {
            const qsizetype at = 700 + (qsizetype(seed) * 7919 + k * 104729) % (bad.size() - 710);
            bad[at] = char(bad[at] ^ (1 << ((seed + k) % 8)));
        }
        const QImage image = decodeJpeg(bad);
        if (!image.isNull()) {
            EXPECT_EQ(image.size(), QSize(332, 489));
        }
    }
}

TEST(JpegImage, RefusesImpossibleDimensions) {
    QByteArray bytes = validJpeg();
    const qsizetype frame = bytes.indexOf(QByteArray::fromHex("FFC0"));
    ASSERT_GE(frame, 0);
    // Frame header: marker, length (2), precision (1), height (2), width (2).
    QByteArray huge = bytes;
    huge[frame + 5] = char(0xFF);
    huge[frame + 6] = char(0xFF);
    huge[frame + 7] = char(0xFF);
    huge[frame + 8] = char(0xFF);
    EXPECT_TRUE(decodeJpeg(huge).isNull());
    QByteArray empty = bytes;
    empty[frame + 5] = 0;
    empty[frame + 6] = 0;
    EXPECT_TRUE(decodeJpeg(empty).isNull());
}

TEST(JpegImage, MissingFileGivesANullPicture) {
    EXPECT_TRUE(loadJpegResource(QStringLiteral(":/pictures/no-such-picture.jpg")).isNull());
    EXPECT_TRUE(loadJpegResource(QString()).isNull());
    EXPECT_TRUE(loadJpegResource(QStringLiteral(":/sound/sonido.wav")).isNull());
}
