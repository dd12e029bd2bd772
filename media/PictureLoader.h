#pragma once
// Picture files without a widget: the decoder is chosen by the file's extension ("bmp" through
// Qt's bitmap reader, "jpg"/"jpeg" through libjpeg), and the image that an element draws is
// derived from the picture and its transparency switch.

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The largest picture: an 8K screen (7680 × 4320), in any shape up to 16384 pixels a side,
// 127 MiB at 4 bytes a pixel. Its file may hold 128 MiB: an uncompressed 32-bit bitmap of that
// size needs 127 MiB. A progressive JPEG keeps all its coefficients while it is decoded (up to
// 190 MiB for full colour resolution) and passes over the whole picture once for each of its
// scans: real ones have about ten, more than kMostJpegScans none.
inline constexpr long long kLargestPictureSide = 16384;
inline constexpr long long kLargestPicturePixels = 7680LL * 4320;
inline constexpr std::size_t kLargestPictureFile = 128 * 1024 * 1024;
inline constexpr int kMostJpegScans = 100;

// What decoding a JPEG costs, told by its markers before anything is decoded: each scan passes
// over the 8 x 8 blocks of the colour components it holds, and the data of a progressive (or
// arithmetic-coded) scan costs about two thirds of a block pass per byte. Measured here
// (libjpeg-turbo 2.1, decoded at an eighth as the checks do, processor time): about 39 ns a block
// pass, 25 ns a byte of progressive data; a baseline picture's bytes cost a fifth of that.
struct JpegOutline {
    bool framed = false; // a frame header with the picture's size was found
    unsigned width = 0;
    unsigned height = 0;
    bool progressive = false; // or arithmetic-coded: both cost by their bytes
    int scans = 0;
    std::uint64_t blockPasses = 0;
    std::uint64_t entropyBytes = 0;

    std::uint64_t work() const { return blockPasses + (progressive ? entropyBytes * 2 / 3 : 0); }
};
// At most this much work, about a second here. What programs write stays well below: an 8K
// picture (518,400 blocks a component) at full colour resolution with the ten scans of
// ImageMagick, cjpeg, GIMP or libjpeg's standard progression and 10 MB of data needs 14 million,
// with half the colour resolution and 6 MB 8 million; a baseline picture (a camera's) at most
// 1.6 million. That is up to 46 passes over an 8K picture's brightness, more over smaller ones.
inline constexpr std::uint64_t kMostJpegWork = 24'000'000;

// The markers of a JPEG walked as the decoder walks them: the first frame's size and kind, the
// scans up to the end of the picture with the blocks each passes over, and the bytes of their
// data. Anything unreadable ends the walk (the decoder reports it).
JpegOutline outlineJpeg(std::string_view bytes);

// True when a picture of this size is within the ceiling.
bool pictureSizeAllowed(long long width, long long height);

enum class PictureKind { Bitmap, Jpeg };

struct LoadedPicture {
    // What was decoded: the whole picture, or its top-left part that was asked for.
    QImage image;
    PictureKind kind = PictureKind::Bitmap;
    // The whole picture's size.
    QSize size;
};

// The extension of the path's file name part without its dot, as written ("" when none).
std::string pictureExtension(const std::string& path);

// The decoder the extension names, in any letter case. Throws BlitzfangError with the German
// text for any other extension.
PictureKind kindByExtension(const std::string& path);

// Loads a BMP or JPEG file, opened once without waiting on anything that is not a regular file.
// With a valid `shown` size only the picture's top-left part of that size is decoded (a
// background larger than the screen); the result still tells the whole picture's size.
// Throws BlitzfangError with the German text for an unknown extension (the empty name
// included), a file that cannot be opened, an invalid bitmap, a picture beyond the ceiling, a
// JPEG with too many scans and a JPEG error (the decoder's message code).
LoadedPicture loadPictureFile(const std::string& path, QSize shown = QSize());

// The same for the bytes of the file `path`, read already (more than kLargestPictureFile bytes
// cannot be opened).
LoadedPicture loadPictureBytes(std::string_view bytes, const std::string& path, QSize shown = QSize());

// The same, decoded only as large as `least` needs (a thumbnail): a JPEG at 1/2, 1/4 or 1/8 of
// its size as far as it stays at least that large, a bitmap whole. `size` still tells the whole
// picture's size.
LoadedPicture loadPictureBytesAtLeast(std::string_view bytes, const std::string& path, QSize least);

// The check of a copy: throws as loadPictureBytes would, but decodes a JPEG at an eighth of its
// size, which reads all of its data for a fraction of the memory.
void checkPictureBytes(std::string_view bytes, const std::string& path);
// The same check, giving the picture fitted into `box` from what the check decoded anyway (a
// JPEG at an eighth, or as large as the box needs).
QImage checkedPreview(std::string_view bytes, const std::string& path, QSize box);

// The picture dialog's preview of `path` fitted into `box`: a JPEG is decoded only as large as
// the box needs. A null image for a file that does not load, without a message.
QImage previewPicture(const std::string& path, QSize box);

// The single decoders; the extension is not looked at. `path` names the file in messages;
// `shown` as for loadPictureFile.
QImage decodeBitmap(std::string_view bytes, const std::string& path, QSize shown = QSize());
QImage decodeJpeg(std::string_view bytes, const std::string& path, QSize shown = QSize());

// The colour a transparent bitmap leaves undrawn: its bottom-left pixel's colour, white for a
// monochrome bitmap. Returned as opaque 0xffRRGGBB.
QRgb transparentColour(const QImage& bitmap);

// What the element draws: with the switch on, a bitmap's pixels of its transparent colour
// become fully transparent (Format_ARGB32_Premultiplied); otherwise, and always for a JPEG,
// the picture is opaque (Format_RGB32).
QImage drawnImage(const QImage& picture, PictureKind kind, bool transparent);
