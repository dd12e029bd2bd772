#pragma once
// Picture files without a widget: the decoder is chosen by the file's extension ("bmp" through
// Qt's bitmap reader, "jpg"/"jpeg" through libjpeg), and the image that an element draws is
// derived from the picture and its transparency switch.

#include <QImage>

#include <string>

enum class PictureKind { Bitmap, Jpeg };

struct LoadedPicture {
    QImage image;
    PictureKind kind = PictureKind::Bitmap;
};

// The extension of the path's file name part without its dot, as written ("" when none).
std::string pictureExtension(const std::string& path);

// Loads a BMP or JPEG file. Throws BlitzfangError with the German text for an unknown
// extension (the empty name included), a file that cannot be opened, an invalid bitmap and a
// JPEG error (the decoder's message code).
LoadedPicture loadPictureFile(const std::string& path);

// The single decoders; the extension is not looked at.
QImage decodeBitmap(const std::string& path);
QImage decodeJpeg(const std::string& path);

// The colour a transparent bitmap leaves undrawn: its bottom-left pixel's colour, white for a
// monochrome bitmap. Returned as opaque 0xffRRGGBB.
QRgb transparentColour(const QImage& bitmap);

// What the element draws: with the switch on, a bitmap's pixels of its transparent colour
// become fully transparent (Format_ARGB32_Premultiplied); otherwise, and always for a JPEG,
// the picture is opaque (Format_RGB32).
QImage drawnImage(const QImage& picture, PictureKind kind, bool transparent);
