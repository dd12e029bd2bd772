#include "media/PictureLoader.h"

#include "media/MediaFile.h"
#include "platform/BlitzfangError.h"
#include "platform/Cancellation.h"
#include "storage/ScenarioNames.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

namespace {

// libjpeg's own memory beside the picture. A progressive picture keeps all its coefficients,
// 2 bytes a sample: 190 MiB for the largest picture with full colour resolution, a little more
// when its sides are not whole blocks.
constexpr long kLargestJpegDecoderMemory = 200L * 1024 * 1024;

// What Qt's bitmap reader may allocate, in MiB: the largest picture at 4 bytes a pixel.
constexpr int kLargestBitmapAllocation = 128;

// --- JPEG through libjpeg ------------------------------------------------------------------
// The decoder reports errors by longjmp out of error_exit, so the function that calls setjmp
// holds plain C data only; the QImage lives in the caller and is made through a callback.

struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    int code;
};

[[noreturn]] void failJpeg(j_common_ptr cinfo, int code)
{
    auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    manager->code = code;
    std::longjmp(manager->jump, 1);
}

void jpegErrorExit(j_common_ptr cinfo)
{
    failJpeg(cinfo, cinfo->err->msg_code);
}

// Warnings (e.g. a file cut inside the image data) are not errors and print nothing.
void jpegNoOutput(j_common_ptr) {}

// Returned instead of a message code when the header claims a picture beyond the ceiling, when
// the picture has more scans than any real one, and when the player cancelled the work.
constexpr int kJpegTooLarge = -1;
constexpr int kJpegTooManyScans = -2;
constexpr int kJpegCancelled = -3;

// Each scan is a pass over the whole picture: a file that repeats one scan thousands of times
// would keep the decoder busy for minutes. The outline refuses such a file before; this stays
// for a stream the outline read otherwise. Called for every row of every scan, so a cancelled
// check stops here too.
void stopAtTooManyScans(j_common_ptr cinfo)
{
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMostJpegScans)
        failJpeg(cinfo, kJpegTooManyScans);
    if (cancelRequested())
        failJpeg(cinfo, kJpegCancelled);
}

// --- The outline of a JPEG, from its markers alone -----------------------------------------

class MarkerWalk {
public:
    explicit MarkerWalk(std::string_view bytes) : bytes_(bytes) {}

    JpegOutline outline()
    {
        if (bytes_.size() < 2 || byte(0) != 0xff || byte(1) != 0xd8)
            return outline_;
        at_ = 2;
        while (const int marker = nextMarker()) {
            if (marker == 0xd9) // end of the picture
                break;
            if (marker == 0xd8 || marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7))
                continue; // no length
            if (at_ + 2 > bytes_.size())
                break;
            const std::size_t length = std::size_t(byte(at_)) << 8 | byte(at_ + 1);
            if (length < 2 || at_ + length > bytes_.size())
                break;
            const std::string_view segment = bytes_.substr(at_ + 2, length - 2);
            at_ += length;
            if (isFrame(marker) && !outline_.framed)
                readFrame(marker, segment);
            else if (marker == 0xda)
                readScan(segment);
        }
        return outline_;
    }

private:
    unsigned byte(std::size_t at) const { return static_cast<unsigned char>(bytes_[at]); }

    static bool isFrame(int marker)
    {
        return marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
    }

    // As the decoder: bytes before a marker are skipped, as are fill bytes and a stuffed zero.
    int nextMarker()
    {
        for (;;) {
            while (at_ < bytes_.size() && byte(at_) != 0xff)
                ++at_;
            while (at_ < bytes_.size() && byte(at_) == 0xff)
                ++at_;
            if (at_ >= bytes_.size())
                return 0;
            const int marker = int(byte(at_++));
            if (marker != 0)
                return marker;
        }
    }

    void readFrame(int marker, std::string_view segment)
    {
        if (segment.size() < 6)
            return;
        const auto at = [&](std::size_t i) { return unsigned(static_cast<unsigned char>(segment[i])); };
        outline_.framed = true;
        outline_.height = at(1) << 8 | at(2);
        outline_.width = at(3) << 8 | at(4);
        // Progressive (C2, C6, CA, CE) and arithmetic-coded (C9 to CF) frames cost by their data.
        outline_.progressive = marker == 0xc2 || marker == 0xc6 || marker >= 0xc9;
        const std::size_t count = std::min<std::size_t>(at(5), (segment.size() - 6) / 3);
        unsigned widest = 1, tallest = 1;
        for (std::size_t i = 0; i < count; ++i) {
            widest = std::max(widest, at(7 + 3 * i) >> 4);
            tallest = std::max(tallest, at(7 + 3 * i) & 15);
        }
        // Blocks by whole MCUs, as an interleaved scan passes over them.
        const std::uint64_t across = (std::uint64_t(outline_.width) + 8 * widest - 1) / (8 * widest);
        const std::uint64_t down = (std::uint64_t(outline_.height) + 8 * tallest - 1) / (8 * tallest);
        for (std::size_t i = 0; i < count; ++i)
            blocks_[at(6 + 3 * i)] = across * (at(7 + 3 * i) >> 4) * down * (at(7 + 3 * i) & 15);
    }

    // The scan header, then its data up to the next marker that is no restart marker.
    void readScan(std::string_view segment)
    {
        ++outline_.scans;
        const std::size_t count = segment.empty() ? 0 : std::min<std::size_t>(segment[0], (segment.size() - 1) / 2);
        for (std::size_t i = 0; i < count; ++i)
            outline_.blockPasses += blocks_[static_cast<unsigned char>(segment[1 + 2 * i])];
        const std::size_t start = at_;
        while (at_ < bytes_.size()) {
            if (byte(at_) != 0xff) {
                ++at_;
                continue;
            }
            std::size_t next = at_ + 1;
            while (next < bytes_.size() && byte(next) == 0xff)
                ++next;
            if (next < bytes_.size() && (byte(next) == 0 || (byte(next) >= 0xd0 && byte(next) <= 0xd7))) {
                at_ = next + 1;
                continue;
            }
            break;
        }
        outline_.entropyBytes += at_ - start;
    }

    std::string_view bytes_;
    std::size_t at_ = 0;
    JpegOutline outline_;
    std::uint64_t blocks_[256] = {};
};

// Refused before decoding: a picture beyond the ceiling, or one whose decoding would cost more
// than any picture a program writes.
void judgeJpeg(std::string_view bytes, const std::string& path)
{
    const JpegOutline outline = outlineJpeg(bytes);
    if (!outline.framed)
        return;
    if (!pictureSizeAllowed(outline.width, outline.height))
        throw BlitzfangError(fehlertext::bildZuGross(path, int(outline.width), int(outline.height)));
    if (outline.scans > kMostJpegScans)
        throw BlitzfangError(fehlertext::bildMitZuVielenDurchlaeufen(path, kMostJpegScans));
    if (outline.work() > kMostJpegWork)
        throw BlitzfangError(fehlertext::bildZuAufwendig(path, outline.scans));
}

// 0 for a side without a limit.
struct JpegRequest {
    // Only the top-left part of this size is decoded.
    unsigned shownWidth;
    unsigned shownHeight;
    // Decoded reduced (by 1/2, 1/4 or 1/8) as far as the result is still this large.
    unsigned leastWidth;
    unsigned leastHeight;
};

struct JpegTarget {
    // Returns the first row of a width × height buffer of 32-bit pixels (0xffRRGGBB) and its row
    // length in bytes, or nullptr when the picture is too large.
    unsigned char* (*allocate)(void* context, int width, int height, std::size_t* stride);
    void* context;
    // The size the header claims, once it is read.
    unsigned width;
    unsigned height;
};

// The largest reduction 1/8, 1/4, 1/2 that leaves the picture at least `least` pixels large.
unsigned reductionFor(unsigned size, unsigned least)
{
    unsigned denominator = 8;
    while (denominator > 1 && least > 0 && (size + denominator - 1) / denominator < least)
        denominator /= 2;
    return least > 0 ? denominator : 1;
}

// Returns 0 on success, kJpegTooLarge, kJpegTooManyScans or the decoder's message code.
int decodeJpegBytes(const unsigned char* bytes, unsigned long size, const JpegRequest& request, JpegTarget& target)
{
    jpeg_decompress_struct cinfo;
    JpegErrorManager manager;
    jpeg_progress_mgr progress;
    cinfo.err = jpeg_std_error(&manager.pub);
    manager.pub.error_exit = jpegErrorExit;
    manager.pub.output_message = jpegNoOutput;
    manager.code = 0;
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = kLargestJpegDecoderMemory;
    progress.progress_monitor = stopAtTooManyScans;
    cinfo.progress = &progress;
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
    // Straight into QImage::Format_RGB32: the filler byte is 0xff.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    cinfo.out_color_space = JCS_EXT_BGRX;
#else
    cinfo.out_color_space = JCS_EXT_XRGB;
#endif
    cinfo.scale_num = 1;
    cinfo.scale_denom = std::min(reductionFor(cinfo.image_width, request.leastWidth),
                                 reductionFor(cinfo.image_height, request.leastHeight));
    jpeg_start_decompress(&cinfo);

    // Columns are cut at block boundaries, so a few more than asked for may come.
    if (request.shownWidth > 0 && request.shownWidth < cinfo.output_width) {
        JDIMENSION left = 0;
        JDIMENSION width = request.shownWidth;
        jpeg_crop_scanline(&cinfo, &left, &width);
    }
    const JDIMENSION rows =
        request.shownHeight > 0 ? std::min<JDIMENSION>(request.shownHeight, cinfo.output_height) : cinfo.output_height;

    std::size_t stride = 0;
    unsigned char* pixels =
        target.allocate(target.context, static_cast<int>(cinfo.output_width), static_cast<int>(rows), &stride);
    if (!pixels) {
        jpeg_destroy_decompress(&cinfo);
        return JERR_OUT_OF_MEMORY;
    }
    enum { batch = 8 };
    while (cinfo.output_scanline < rows) {
        JSAMPROW rowPointers[batch];
        JDIMENSION count = 0;
        while (count < batch && cinfo.output_scanline + count < rows) {
            rowPointers[count] = pixels + static_cast<std::size_t>(cinfo.output_scanline + count) * stride;
            ++count;
        }
        jpeg_read_scanlines(&cinfo, rowPointers, count);
    }
    // Whatever follows the rows wanted is of no interest: destroying aborts the decoder.
    jpeg_destroy_decompress(&cinfo);
    return 0;
}

unsigned char* allocateImage(void* context, int width, int height, std::size_t* stride)
{
    if (!pictureSizeAllowed(width, height))
        return nullptr;
    auto* image = static_cast<QImage*>(context);
    *image = QImage(width, height, QImage::Format_RGB32);
    if (image->isNull())
        return nullptr;
    *stride = static_cast<std::size_t>(image->bytesPerLine());
    return image->bits();
}

// The whole picture's size is returned through `size`.
QImage decodeJpegAs(std::string_view bytes, const std::string& path, const JpegRequest& request, QSize* size = nullptr)
{
    judgeJpeg(bytes, path);
    QImage image;
    JpegTarget target{allocateImage, &image, 0, 0};
    const int code =
        decodeJpegBytes(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), request, target);
    if (code == kJpegTooLarge)
        throw BlitzfangError(
            fehlertext::bildZuGross(path, static_cast<int>(target.width), static_cast<int>(target.height)));
    if (code == kJpegTooManyScans)
        throw BlitzfangError(fehlertext::bildMitZuVielenDurchlaeufen(path, kMostJpegScans));
    if (code == kJpegCancelled)
        throw WorkCancelled();
    if (code != 0)
        throw BlitzfangError(fehlertext::jpegFehler(code));
    if (size)
        *size = QSize(static_cast<int>(target.width), static_cast<int>(target.height));
    if (request.shownWidth > 0 && static_cast<unsigned>(image.width()) > request.shownWidth)
        image = image.copy(0, 0, static_cast<int>(request.shownWidth), image.height());
    return image;
}

// 0 for an invalid size or side: no limit.
unsigned sideOf(int side)
{
    return side > 0 ? static_cast<unsigned>(side) : 0;
}

// --- Bitmaps through Qt ---------------------------------------------------------------------

// The whole picture's size is returned through `size`.
QImage decodeBitmapFrom(QIODevice& device, const std::string& path, QSize shown, QSize* size)
{
    // The extension decides: a PNG or JPEG named .bmp is not a valid bitmap.
    QImageReader reader(&device, "bmp");
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    reader.setAllocationLimit(kLargestBitmapAllocation);
    // The header's size is what the reader would allocate.
    const QSize claimed = reader.size();
    if (claimed.isValid() && !pictureSizeAllowed(claimed.width(), claimed.height()))
        throw BlitzfangError(fehlertext::bildZuGross(path, claimed.width(), claimed.height()));
    QImage image;
    if (!reader.read(&image) || image.isNull())
        throw BlitzfangError(fehlertext::bitmapUngueltig);
    if (size)
        *size = image.size();
    // The reader cannot leave rows out: the part is cut from the whole picture.
    if (shown.isValid() && image.size().boundedTo(shown) != image.size())
        image = image.copy(QRect(QPoint(0, 0), image.size().boundedTo(shown)));
    return image;
}

QImage decodeBitmapBytes(std::string_view bytes, const std::string& path, QSize shown, QSize* size)
{
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return decodeBitmapFrom(buffer, path, shown, size);
}

JpegRequest shownPart(QSize shown)
{
    return {shown.isValid() ? sideOf(shown.width()) : 0, shown.isValid() ? sideOf(shown.height()) : 0, 0, 0};
}

LoadedPicture loadedJpeg(std::string_view bytes, const std::string& path, QSize shown)
{
    LoadedPicture loaded{{}, PictureKind::Jpeg, {}};
    loaded.image = decodeJpegAs(bytes, path, shownPart(shown), &loaded.size);
    return loaded;
}

LoadedPicture loadedFrom(const MediaFile& file, PictureKind kind, QSize shown)
{
    if (kind == PictureKind::Jpeg)
        return loadedJpeg(file.readAll(), file.path(), shown);
    // Read by the bitmap reader straight from the file: its pixels are most of it.
    QFile device;
    if (!device.open(file.descriptor(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        throw BlitzfangError(fehlertext::dateiKannNichtGeoeffnetWerden(file.path()));
    LoadedPicture loaded{{}, kind, {}};
    loaded.image = decodeBitmapFrom(device, file.path(), shown, &loaded.size);
    return loaded;
}

} // namespace

PictureKind kindByExtension(const std::string& path)
{
    const std::string extension = pictureExtension(path);
    const std::string lower = kleinAZ(extension);
    if (lower == "bmp")
        return PictureKind::Bitmap;
    if (lower == "jpg" || lower == "jpeg")
        return PictureKind::Jpeg;
    throw BlitzfangError(fehlertext::unbekannteBilddateierweiterung(extension));
}

JpegOutline outlineJpeg(std::string_view bytes)
{
    return MarkerWalk(bytes).outline();
}

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

LoadedPicture loadPictureFile(const std::string& path, QSize shown)
{
    const PictureKind kind = kindByExtension(path);
    return loadedFrom(MediaFile(path, kLargestPictureFile), kind, shown);
}

LoadedPicture loadPictureBytes(std::string_view bytes, const std::string& path, QSize shown)
{
    const PictureKind kind = kindByExtension(path);
    if (bytes.size() > kLargestPictureFile)
        throw BlitzfangError(fehlertext::dateiKannNichtGeoeffnetWerden(path));
    if (kind == PictureKind::Jpeg)
        return loadedJpeg(bytes, path, shown);
    LoadedPicture loaded{{}, kind, {}};
    loaded.image = decodeBitmapBytes(bytes, path, shown, &loaded.size);
    return loaded;
}

LoadedPicture loadPictureBytesAtLeast(std::string_view bytes, const std::string& path, QSize least)
{
    if (kindByExtension(path) == PictureKind::Bitmap || bytes.size() > kLargestPictureFile)
        return loadPictureBytes(bytes, path);
    LoadedPicture loaded{{}, PictureKind::Jpeg, {}};
    loaded.image = decodeJpegAs(bytes, path, {0, 0, sideOf(least.width()), sideOf(least.height())}, &loaded.size);
    return loaded;
}

namespace {

// A JPEG decoded reduced as far as `least` allows (an eighth for 1 x 1), a bitmap whole.
QImage decodedForCheck(std::string_view bytes, const std::string& path, QSize least)
{
    const PictureKind kind = kindByExtension(path);
    if (bytes.size() > kLargestPictureFile)
        throw BlitzfangError(fehlertext::dateiKannNichtGeoeffnetWerden(path));
    if (kind == PictureKind::Jpeg)
        return decodeJpegAs(bytes, path, {0, 0, sideOf(least.width()), sideOf(least.height())});
    return decodeBitmapBytes(bytes, path, QSize(), nullptr);
}

} // namespace

void checkPictureBytes(std::string_view bytes, const std::string& path)
{
    decodedForCheck(bytes, path, QSize(1, 1));
}

QImage checkedPreview(std::string_view bytes, const std::string& path, QSize box)
{
    QImage image = decodedForCheck(bytes, path, box);
    if (image.width() > box.width() || image.height() > box.height())
        image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

QImage previewPicture(const std::string& path, QSize box)
{
    QImage image;
    try {
        const PictureKind kind = kindByExtension(path);
        const MediaFile file(path, kLargestPictureFile);
        if (kind == PictureKind::Jpeg)
            image = decodeJpegAs(file.readAll(), path, {0, 0, sideOf(box.width()), sideOf(box.height())});
        else
            image = loadedFrom(file, kind, QSize()).image;
    } catch (const BlitzfangError&) {
        return {};
    }
    if (image.width() > box.width() || image.height() > box.height())
        image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

QImage decodeBitmap(std::string_view bytes, const std::string& path, QSize shown)
{
    return decodeBitmapBytes(bytes, path, shown, nullptr);
}

QImage decodeJpeg(std::string_view bytes, const std::string& path, QSize shown)
{
    return decodeJpegAs(bytes, path, shownPart(shown));
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
