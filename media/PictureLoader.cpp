#include "media/PictureLoader.h"

#include "platform/BlitzfangError.h"
#include "storage/SafeFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

namespace {

std::string asciiLower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// libjpeg's own memory beside the picture. A progressive picture keeps all its coefficients,
// 2 bytes a sample: 47.5 MiB for the largest picture with full colour resolution.
constexpr long kLargestJpegDecoderMemory = 56L * 1024 * 1024;

// --- JPEG through libjpeg ------------------------------------------------------------------
// The decoder reports errors by longjmp out of error_exit, so the function that calls setjmp
// holds plain C data only; the QImage lives in the caller and is made through a callback.

struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    int code;
};

void jpegErrorExit(j_common_ptr cinfo)
{
    auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    manager->code = manager->pub.msg_code;
    std::longjmp(manager->jump, 1);
}

// Warnings (e.g. a file cut inside the image data) are not errors and print nothing.
void jpegNoOutput(j_common_ptr) {}

// Returned instead of a message code when the header claims a picture beyond the ceiling.
constexpr int kJpegTooLarge = -1;

struct JpegTarget {
    // Returns the first row of a width × height RGBX buffer and its row length in bytes,
    // or nullptr when the picture is too large.
    unsigned char* (*allocate)(void* context, int width, int height, std::size_t* stride);
    void* context;
    // The size the header claims, once it is read.
    unsigned width;
    unsigned height;
};

// Returns 0 on success, kJpegTooLarge, or the decoder's message code.
int decodeJpegBytes(const unsigned char* bytes, unsigned long size, JpegTarget& target)
{
    jpeg_decompress_struct cinfo;
    JpegErrorManager manager;
    cinfo.err = jpeg_std_error(&manager.pub);
    manager.pub.error_exit = jpegErrorExit;
    manager.pub.output_message = jpegNoOutput;
    manager.code = 0;
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = kLargestJpegDecoderMemory;
    if (setjmp(manager.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return manager.code;
    }
    jpeg_mem_src(&cinfo, bytes, size);
    jpeg_read_header(&cinfo, TRUE);
    // Before jpeg_start_decompress, which reserves memory by the size the header claims.
    target.width = cinfo.image_width;
    target.height = cinfo.image_height;
    if (!pictureSizeAllowed(cinfo.image_width, cinfo.image_height)) {
        jpeg_destroy_decompress(&cinfo);
        return kJpegTooLarge;
    }
    cinfo.out_color_space = JCS_EXT_RGBX;
    jpeg_start_decompress(&cinfo);

    std::size_t stride = 0;
    unsigned char* pixels = target.allocate(target.context, static_cast<int>(cinfo.output_width),
                                            static_cast<int>(cinfo.output_height), &stride);
    if (!pixels) {
        jpeg_destroy_decompress(&cinfo);
        return JERR_OUT_OF_MEMORY;
    }
    enum { batch = 8 };
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rows[batch];
        JDIMENSION count = 0;
        while (count < batch && cinfo.output_scanline + count < cinfo.output_height) {
            rows[count] = pixels + static_cast<std::size_t>(cinfo.output_scanline + count) * stride;
            ++count;
        }
        jpeg_read_scanlines(&cinfo, rows, count);
    }
    // Whatever follows the image data is of no interest: destroying aborts the decoder.
    jpeg_destroy_decompress(&cinfo);
    return 0;
}

unsigned char* allocateRgbxImage(void* context, int width, int height, std::size_t* stride)
{
    if (!pictureSizeAllowed(width, height))
        return nullptr;
    auto* image = static_cast<QImage*>(context);
    *image = QImage(width, height, QImage::Format_RGBX8888);
    if (image->isNull())
        return nullptr;
    *stride = static_cast<std::size_t>(image->bytesPerLine());
    return image->bits();
}

} // namespace

bool pictureSizeAllowed(long long width, long long height)
{
    return width > 0 && height > 0 && width <= kLargestPictureSide && height <= kLargestPictureSide &&
           width * height <= kLargestPicturePixels;
}

std::string pictureExtension(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

namespace {

// The decoder the extension names; an unknown one is refused before the file is opened.
PictureKind kindByExtension(const std::string& path)
{
    const std::string extension = pictureExtension(path);
    const std::string lower = asciiLower(extension);
    if (lower == "bmp")
        return PictureKind::Bitmap;
    if (lower == "jpg" || lower == "jpeg")
        return PictureKind::Jpeg;
    throw BlitzfangError(fehlertext::unbekannteBilddateierweiterung(extension));
}

} // namespace

LoadedPicture loadPictureFile(const std::string& path)
{
    kindByExtension(path);
    return loadPictureBytes(readWholeFile(path, kLargestPictureFile), path);
}

LoadedPicture loadPictureBytes(std::string_view bytes, const std::string& path)
{
    const PictureKind kind = kindByExtension(path);
    if (bytes.size() > kLargestPictureFile)
        throw BlitzfangError(fehlertext::dateiKannNichtGeoeffnetWerden(path));
    if (kind == PictureKind::Bitmap)
        return {decodeBitmap(bytes, path), kind};
    return {decodeJpeg(bytes, path), kind};
}

QImage decodeBitmap(std::string_view bytes, const std::string& path)
{
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    // The extension decides: a PNG or JPEG named .bmp is not a valid bitmap.
    QImageReader reader(&buffer, "bmp");
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    // The header's size is what the reader would allocate.
    const QSize size = reader.size();
    if (size.isValid() && !pictureSizeAllowed(size.width(), size.height()))
        throw BlitzfangError(fehlertext::bildZuGross(path, size.width(), size.height()));
    QImage image;
    if (!reader.read(&image) || image.isNull())
        throw BlitzfangError(fehlertext::bitmapUngueltig);
    return image;
}

QImage decodeJpeg(std::string_view bytes, const std::string& path)
{
    QImage image;
    JpegTarget target{allocateRgbxImage, &image, 0, 0};
    const int code = decodeJpegBytes(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), target);
    if (code == kJpegTooLarge)
        throw BlitzfangError(
            fehlertext::bildZuGross(path, static_cast<int>(target.width), static_cast<int>(target.height)));
    if (code != 0)
        throw BlitzfangError(fehlertext::jpegFehler(code));
    return image;
}

QRgb transparentColour(const QImage& bitmap)
{
    if (bitmap.format() == QImage::Format_Mono || bitmap.format() == QImage::Format_MonoLSB)
        return qRgb(255, 255, 255);
    if (bitmap.isNull())
        return qRgb(255, 255, 255);
    // Taken from the opaque picture, as drawnImage compares: an alpha channel plays no part.
    return bitmap.copy(0, bitmap.height() - 1, 1, 1).convertToFormat(QImage::Format_RGB32).pixel(0, 0);
}

QImage drawnImage(const QImage& picture, PictureKind kind, bool transparent)
{
    QImage opaque = picture.convertToFormat(QImage::Format_RGB32);
    if (kind == PictureKind::Jpeg || !transparent || opaque.isNull())
        return opaque;
    const QRgb key = transparentColour(picture);
    QImage drawn(opaque.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < opaque.height(); ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(opaque.constScanLine(y));
        auto* target = reinterpret_cast<QRgb*>(drawn.scanLine(y));
        for (int x = 0; x < opaque.width(); ++x)
            target[x] = source[x] == key ? 0u : source[x];
    }
    return drawn;
}
