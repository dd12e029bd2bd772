#pragma once
// Picture files without a widget: the decoder is chosen by the file's extension ("bmp" through
// Qt's bitmap reader, "jpg"/"jpeg" through libjpeg), and the image that an element draws is
// derived from the picture and its transparency switch.

#include <QImage>

#include <cstddef>
#include <string>
#include <string_view>

// The largest picture: a 4K screen (3840 × 2160) as background, in any shape up to 8192 pixels
// a side. Decoded at 4 bytes a pixel it takes at most 32 MiB, its file at most as much; a
// progressive JPEG needs up to 48 MiB of decoder memory for its coefficients besides.
inline constexpr long long kLargestPictureSide = 8192;
inline constexpr long long kLargestPicturePixels = 3840LL * 2160;
inline constexpr std::size_t kLargestPictureFile = 32 * 1024 * 1024;

// True when a picture of this size is within the ceiling.
bool pictureSizeAllowed(long long width, long long height);

enum class PictureKind { Bitmap, Jpeg };

struct LoadedPicture {
    QImage image;
    PictureKind kind = PictureKind::Bitmap;
};

// The extension of the path's file name part without its dot, as written ("" when none).
std::string pictureExtension(const std::string& path);

// Loads a BMP or JPEG file, read once without waiting on anything that is not a regular file.
// Throws BlitzfangError with the German text for an unknown extension (the empty name
// included), a file that cannot be opened, an invalid bitmap, a picture beyond the ceiling and
// a JPEG error (the decoder's message code; #54 when the decoder would need more memory).
LoadedPicture loadPictureFile(const std::string& path);

// The same for the bytes of the file `path`, read already (more than kLargestPictureFile
// bytes cannot be opened).
LoadedPicture loadPictureBytes(std::string_view bytes, const std::string& path);

// The single decoders; the extension is not looked at. `path` names the file in messages.
QImage decodeBitmap(std::string_view bytes, const std::string& path);
QImage decodeJpeg(std::string_view bytes, const std::string& path);

// The colour a transparent bitmap leaves undrawn: its bottom-left pixel's colour, white for a
// monochrome bitmap. Returned as opaque 0xffRRGGBB.
QRgb transparentColour(const QImage& bitmap);

// What the element draws: with the switch on, a bitmap's pixels of its transparent colour
// become fully transparent (Format_ARGB32_Premultiplied); otherwise, and always for a JPEG,
// the picture is opaque (Format_RGB32).
QImage drawnImage(const QImage& picture, PictureKind kind, bool transparent);
