// Loading picture files: the decoder follows the extension, every bitmap variant and JPEG
// kind loads at its size, and bad files give the exact German messages.

#include "media/PictureLoader.h"
#include "platform/BlitzfangError.h"
#include "tests/media/MediaFixtures.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <utility>

using fixtures::JpegColours;

namespace {

std::string loadError(const std::string& path)
{
    try {
        loadPictureFile(path);
    } catch (const BlitzfangError& error) {
        return error.what();
    }
    return "(loaded)";
}

bool near(QRgb actual, QRgb expected, int tolerance = 12)
{
    return std::abs(qRed(actual) - qRed(expected)) <= tolerance
        && std::abs(qGreen(actual) - qGreen(expected)) <= tolerance
        && std::abs(qBlue(actual) - qBlue(expected)) <= tolerance;
}

const QRgb red = qRgb(255, 0, 0);
const QRgb green = qRgb(0, 255, 0);
const QRgb blue = qRgb(0, 0, 255);
const QRgb yellow = qRgb(255, 255, 0);

// The four quarters in place: rows are not upside down, columns not swapped.
void expectQuarters(const QImage& image, int tolerance = 0)
{
    const int w = image.width();
    const int h = image.height();
    EXPECT_TRUE(near(image.pixel(1, 1), red, tolerance));
    EXPECT_TRUE(near(image.pixel(w - 2, 1), green, tolerance));
    EXPECT_TRUE(near(image.pixel(1, h - 2), blue, tolerance));
    EXPECT_TRUE(near(image.pixel(w - 2, h - 2), yellow, tolerance));
}

} // namespace

// --- Bitmaps -----------------------------------------------------------------------------

TEST(BitmapFiles, everyColourDepthLoadsAtItsSizeTheRightWayUp)
{
    TempFolder folder;
    const QImage picture = fixtures::quarters(30, 20);
    QImage fourBit = picture.convertToFormat(QImage::Format_Indexed8);
    ASSERT_LE(fourBit.colorCount(), 16);
    QImage eightBit = fourBit;
    eightBit.setColorCount(200); // more than 16 colours: Qt writes 8 bits per pixel
    for (int i = 4; i < 200; ++i)
        eightBit.setColor(i, qRgb(i, i, i));

    fixtures::saveWithQt(folder / "vier.bmp", fourBit, "BMP");
    fixtures::saveWithQt(folder / "acht.bmp", eightBit, "BMP");
    fixtures::saveWithQt(folder / "vierundzwanzig.bmp", picture, "BMP");
    fixtures::writeBmp32(folder / "zweiunddreissig.bmp", picture);
    ASSERT_EQ(fixtures::readBytes(folder / "vier.bmp")[28], 4);
    ASSERT_EQ(fixtures::readBytes(folder / "acht.bmp")[28], 8);
    ASSERT_EQ(fixtures::readBytes(folder / "vierundzwanzig.bmp")[28], 24);

    for (const char* name : {"vier.bmp", "acht.bmp", "vierundzwanzig.bmp", "zweiunddreissig.bmp"}) {
        SCOPED_TRACE(name);
        const LoadedPicture loaded = loadPictureFile((folder / name).string());
        EXPECT_EQ(loaded.kind, PictureKind::Bitmap);
        EXPECT_EQ(loaded.image.size(), QSize(30, 20));
        expectQuarters(loaded.image);
    }
}

TEST(BitmapFiles, monochromeBitmapLoadsAsMonochrome)
{
    TempFolder folder;
    QImage mono(17, 9, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mono.fill(1);
    mono.setPixel(3, 4, 0);
    fixtures::saveWithQt(folder / "mono.bmp", mono, "BMP");
    ASSERT_EQ(fixtures::readBytes(folder / "mono.bmp")[28], 1);

    const QImage loaded = loadPictureFile((folder / "mono.bmp").string()).image;
    EXPECT_EQ(loaded.size(), QSize(17, 9));
    EXPECT_EQ(loaded.format(), QImage::Format_Mono);
    EXPECT_EQ(loaded.pixel(3, 4), qRgb(0, 0, 0));
    EXPECT_EQ(loaded.pixel(0, 8), qRgb(255, 255, 255));
}

TEST(BitmapFiles, damagedOrForeignBitmapsAreInvalid)
{
    TempFolder folder;
    fixtures::saveWithQt(folder / "gut.bmp", fixtures::quarters(30, 20), "BMP");
    const std::string good = fixtures::readBytes(folder / "gut.bmp");

    fixtures::writeBytes(folder / "leer.bmp", "");
    fixtures::writeBytes(folder / "text.bmp", "Das ist kein Bild.\r\n");
    fixtures::writeBytes(folder / "kopf.bmp", good.substr(0, 20));
    fixtures::saveWithQt(folder / "png.bmp", fixtures::quarters(30, 20), "PNG");
    fixtures::writeJpeg(folder / "jpeg.bmp", fixtures::quarters(30, 20));

    for (const char* name : {"leer.bmp", "text.bmp", "kopf.bmp", "png.bmp", "jpeg.bmp"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(loadError((folder / name).string()), "Bitmap ist ungültig");
    }
}

// --- JPEG --------------------------------------------------------------------------------

TEST(JpegFiles, colourGreyAndProgressivePicturesLoadAtTheirSize)
{
    TempFolder folder;
    const QImage picture = fixtures::quarters(64, 48);
    fixtures::writeJpeg(folder / "farbe.jpg", picture);
    fixtures::writeJpeg(folder / "progressiv.jpg", picture, JpegColours::Rgb, true);
    fixtures::writeJpeg(folder / "grau.jpg", picture, JpegColours::Grey);

    for (const char* name : {"farbe.jpg", "progressiv.jpg"}) {
        SCOPED_TRACE(name);
        const LoadedPicture loaded = loadPictureFile((folder / name).string());
        EXPECT_EQ(loaded.kind, PictureKind::Jpeg);
        EXPECT_EQ(loaded.image.size(), QSize(64, 48));
        expectQuarters(loaded.image, 24);
    }
    const QImage grey = loadPictureFile((folder / "grau.jpg").string()).image;
    EXPECT_EQ(grey.size(), QSize(64, 48));
    EXPECT_TRUE(near(grey.pixel(1, 1), qRgb(qGray(red), qGray(red), qGray(red)), 16));
}

TEST(JpegFiles, fileCutInsideTheImageDataStillLoadsWhole)
{
    TempFolder folder;
    fixtures::writeJpeg(folder / "ganz.jpg", fixtures::quarters(64, 48), JpegColours::Rgb, false, 100);
    const std::string whole = fixtures::readBytes(folder / "ganz.jpg");
    // Half of the entropy-coded data after the scan header (FFDA) is kept.
    const std::size_t scan = whole.find("\xff\xda");
    ASSERT_NE(scan, std::string::npos);
    fixtures::writeBytes(folder / "halb.jpg", whole.substr(0, scan + (whole.size() - scan) / 2));

    const QImage cut = loadPictureFile((folder / "halb.jpg").string()).image;
    EXPECT_EQ(cut.size(), QSize(64, 48));
    EXPECT_TRUE(near(cut.pixel(1, 1), red, 24));
}

TEST(JpegFiles, decoderErrorsGiveTheirCode)
{
    TempFolder folder;
    fixtures::writeJpeg(folder / "gut.jpg", fixtures::quarters(64, 48));
    const std::string good = fixtures::readBytes(folder / "gut.jpg");
    fixtures::writeBytes(folder / "leer.jpg", "");
    fixtures::writeBytes(folder / "text.jpg", "Das ist kein Bild.\r\n");
    fixtures::saveWithQt(folder / "bitmap.jpg", fixtures::quarters(30, 20), "BMP");
    fixtures::writeBytes(folder / "nurkopf.jpg", good.substr(0, 2) + "\xff\xd9");
    fixtures::writeJpeg(folder / "cmyk.jpg", fixtures::quarters(64, 48), JpegColours::Cmyk);

    EXPECT_EQ(loadError((folder / "leer.jpg").string()), "JPEG-Fehler #42");
    EXPECT_EQ(loadError((folder / "text.jpg").string()), "JPEG-Fehler #53");
    EXPECT_EQ(loadError((folder / "bitmap.jpg").string()), "JPEG-Fehler #53");
    EXPECT_EQ(loadError((folder / "nurkopf.jpg").string()), "JPEG-Fehler #51");
    EXPECT_EQ(loadError((folder / "cmyk.jpg").string()), "JPEG-Fehler #27");
}

// --- Pictures from strangers --------------------------------------------------------------

namespace {

// The JPEG with the size in its frame header (`marker`: C0 baseline, C2 progressive) forged.
std::string forgedJpeg(const std::string& bytes, char marker, int width, int height)
{
    const std::size_t frame = bytes.find(std::string{'\xff', marker});
    if (frame == std::string::npos)
        return "";
    std::string forged = bytes;
    const char size[] = {char(height >> 8), char(height & 0xff), char(width >> 8), char(width & 0xff)};
    forged.replace(frame + 5, 4, size, 4);
    return forged;
}

} // namespace

TEST(HostilePictures, areRefusedAtOnceWithinBoundedMemoryAndAn8kScreenStillLoads)
{
    if (!fixtures::addressSpaceCanBeLimited())
        GTEST_SKIP() << "an address-space limit does not work with a sanitizer";
    TempFolder folder;
    fixtures::writeJpeg(folder / "klein.jpg", fixtures::quarters(16, 16));
    fixtures::writeJpeg(folder / "kleinp.jpg", fixtures::quarters(16, 16), JpegColours::Rgb, true);
    fixtures::writeBytes(folder / "riesig.jpg", forgedJpeg(fixtures::readBytes(folder / "klein.jpg"), '\xc0', 65280, 65280));
    // A progressive picture reserved all its coefficients (1.75 GB here) before any check.
    fixtures::writeBytes(folder / "riesigp.jpg", forgedJpeg(fixtures::readBytes(folder / "kleinp.jpg"), '\xc2', 30000, 30000));
    // Each repeated scan is one more pass over the whole picture: minutes for a 4K picture.
    fixtures::writeJpeg(folder / "durchlauf.jpg", fixtures::quarters(640, 480), JpegColours::Rgb, true);
    fixtures::writeBytes(folder / "durchlauf.jpg", fixtures::withRepeatedLastScan(fixtures::readBytes(folder / "durchlauf.jpg"), 1000));
    fixtures::saveWithQt(folder / "lang.bmp", QImage(30000, 1, QImage::Format_RGB32), "BMP");
    fixtures::makeFifo(folder / "fifo.bmp");
    fixtures::makeFifo(folder / "fifo.jpg");
    std::filesystem::create_symlink("/dev/zero", folder / "null.jpg");
    fixtures::writeSparse(folder / "gross.bmp", fixtures::readBytes(folder / "klein.jpg"), 2048ull << 20);
    fixtures::writeJpeg(folder / "8k.jpg", fixtures::quarters(7680, 4320));
    // Progressive at full colour resolution, sides not whole blocks: the decoder's largest need.
    fixtures::writeJpeg(folder / "breitp.jpg", fixtures::quarters(16384, 2025), JpegColours::RgbFull, true);
    // An uncompressed 32-bit 8K bitmap (its pixels a hole in the file): the largest bitmap.
    QImage top(7680, 1, QImage::Format_ARGB32);
    fixtures::writeBmp32(folder / "8k.bmp", top);
    std::string bitmap = fixtures::readBytes(folder / "8k.bmp");
    bitmap.replace(22, 4, std::string{char(4320 & 0xff), char(4320 >> 8), 0, 0});
    fixtures::writeSparse(folder / "8k.bmp", bitmap.substr(0, 138), 138 + 7680ull * 4320 * 4);

    const auto tooLarge = [&](const char* name, int width, int height) {
        return "Das Bild " + (folder / name).string() + " ist mit " + std::to_string(width) + " × " +
               std::to_string(height) + " Bildpunkten zu groß.";
    };
    const auto cannotOpen = [&](const char* name) {
        return "Datei " + (folder / name).string() + " kann nicht geöffnet werden";
    };
    const std::pair<const char*, std::string> cases[] = {
        {"riesig.jpg", tooLarge("riesig.jpg", 65280, 65280)},
        {"riesigp.jpg", tooLarge("riesigp.jpg", 30000, 30000)},
        {"durchlauf.jpg", "Das Bild " + (folder / "durchlauf.jpg").string() + " ist beschädigt: es hat mehr als 100 Durchläufe."},
        {"lang.bmp", tooLarge("lang.bmp", 30000, 1)},
        {"fifo.bmp", cannotOpen("fifo.bmp")},
        {"fifo.jpg", cannotOpen("fifo.jpg")},
        {"null.jpg", cannotOpen("null.jpg")},
        {"gross.bmp", cannotOpen("gross.bmp")},
        {"8k.jpg", "(no error)"},
        {"breitp.jpg", "(no error)"},
        {"8k.bmp", "(no error)"},
    };
    for (const auto& [name, expected] : cases) {
        SCOPED_TRACE(name);
        const auto load = [&] { loadPictureFile((folder / name).string()); };
        EXPECT_EQ(fixtures::errorWithinMemory(load, 400u << 20), expected);
    }
}

TEST(PictureParts, onlyTheTopLeftPartIsDecodedAndTheWholeSizeIsTold)
{
    TempFolder folder;
    fixtures::writeJpeg(folder / "bild.jpg", fixtures::quarters(640, 480));
    fixtures::writeJpeg(folder / "bildp.jpg", fixtures::quarters(640, 480), JpegColours::RgbFull, true);
    fixtures::saveWithQt(folder / "bild.bmp", fixtures::quarters(640, 480), "BMP");
    for (const char* name : {"bild.jpg", "bildp.jpg", "bild.bmp"}) {
        SCOPED_TRACE(name);
        // 500 is no whole number of blocks: the columns beyond it are cut off.
        const LoadedPicture part = loadPictureFile((folder / name).string(), QSize(500, 300));
        EXPECT_EQ(part.size, QSize(640, 480));
        ASSERT_EQ(part.image.size(), QSize(500, 300));
        EXPECT_TRUE(near(part.image.pixel(10, 10), red, 24));
        EXPECT_TRUE(near(part.image.pixel(490, 10), green, 24));
        EXPECT_TRUE(near(part.image.pixel(10, 290), blue, 24));
        EXPECT_TRUE(near(part.image.pixel(490, 290), yellow, 24));
        EXPECT_EQ(loadPictureFile((folder / name).string(), QSize(800, 800)).image.size(), QSize(640, 480));
    }
}

TEST(PicturePreview, fitsTheBoxTheRightWayUpAndShowsNothingForWhatTheGameRefuses)
{
    TempFolder folder;
    fixtures::writeJpeg(folder / "gross.jpg", fixtures::quarters(1280, 960));
    fixtures::saveWithQt(folder / "klein.bmp", fixtures::quarters(60, 40), "BMP");
    fixtures::writeJpeg(folder / "durchlauf.jpg", fixtures::quarters(64, 48), JpegColours::Rgb, true);
    fixtures::writeBytes(folder / "durchlauf.jpg", fixtures::withRepeatedLastScan(fixtures::readBytes(folder / "durchlauf.jpg"), 200));
    fixtures::makeFifo(folder / "fifo.jpg");
    fixtures::saveWithQt(folder / "bild.png", fixtures::quarters(60, 40), "PNG");

    const QImage big = previewPicture((folder / "gross.jpg").string(), QSize(160, 160));
    EXPECT_EQ(big.size(), QSize(160, 120));
    expectQuarters(big, 24);
    EXPECT_EQ(previewPicture((folder / "klein.bmp").string(), QSize(160, 160)).size(), QSize(60, 40));
    for (const char* name : {"durchlauf.jpg", "fifo.jpg", "bild.png", "fehlt.jpg"})
        EXPECT_TRUE(previewPicture((folder / name).string(), QSize(160, 160)).isNull()) << name;
}

// --- Names ---------------------------------------------------------------------------------

TEST(PictureFileNames, extensionDecidesCaseInsensitively)
{
    TempFolder folder;
    fixtures::writeJpeg(folder / "a.JPG", fixtures::quarters(8, 6));
    fixtures::writeJpeg(folder / "b.Jpeg", fixtures::quarters(8, 6));
    fixtures::saveWithQt(folder / "c.BMP", fixtures::quarters(8, 6), "BMP");

    EXPECT_EQ(loadPictureFile((folder / "a.JPG").string()).kind, PictureKind::Jpeg);
    EXPECT_EQ(loadPictureFile((folder / "b.Jpeg").string()).kind, PictureKind::Jpeg);
    EXPECT_EQ(loadPictureFile((folder / "c.BMP").string()).kind, PictureKind::Bitmap);
}

TEST(PictureFileNames, unknownOrMissingExtensionIsNamedWithoutItsDot)
{
    TempFolder folder;
    fixtures::saveWithQt(folder / "bild.png", fixtures::quarters(8, 6), "PNG");
    fixtures::saveWithQt(folder / "bild", fixtures::quarters(8, 6), "BMP");

    EXPECT_EQ(loadError((folder / "bild.png").string()), "Unbekannte Bilddateierweiterung (.png)");
    EXPECT_EQ(loadError((folder / "fehlt.GIF").string()), "Unbekannte Bilddateierweiterung (.GIF)");
    EXPECT_EQ(loadError((folder / "bild").string()), "Unbekannte Bilddateierweiterung (.)");
    EXPECT_EQ(loadError(""), "Unbekannte Bilddateierweiterung (.)");
    // A dot in a folder's name is no extension of the file.
    EXPECT_EQ(loadError("/tmp/ordner.bmp/bild"), "Unbekannte Bilddateierweiterung (.)");
}

TEST(PictureFileNames, missingFileIsNamedWithItsFullPath)
{
    TempFolder folder;
    std::filesystem::create_directory(folder / "ordner.jpg");
    const std::string missingJpeg = (folder / "fehlt.jpg").string();
    const std::string missingBitmap = (folder / "fehlt.bmp").string();
    const std::string folderAsJpeg = (folder / "ordner.jpg").string();

    EXPECT_EQ(loadError(missingJpeg), "Datei " + missingJpeg + " kann nicht geöffnet werden");
    EXPECT_EQ(loadError(missingBitmap), "Datei " + missingBitmap + " kann nicht geöffnet werden");
    EXPECT_EQ(loadError(folderAsJpeg), "Datei " + folderAsJpeg + " kann nicht geöffnet werden");
}

// --- What is drawn -------------------------------------------------------------------------

TEST(TransparentDrawing, jpegAndAlphaInBitmapsStayOpaque)
{
    const QImage picture = fixtures::quarters(10, 10);
    EXPECT_FALSE(drawnImage(picture, PictureKind::Jpeg, true).hasAlphaChannel());

    // A 32-bit bitmap's own alpha plays no part: its half-transparent pixels are drawn solid.
    QImage withAlpha = picture.convertToFormat(QImage::Format_ARGB32);
    withAlpha.setPixel(5, 0, qRgba(0, 255, 0, 10));
    const QImage drawn = drawnImage(withAlpha, PictureKind::Bitmap, true);
    EXPECT_EQ(transparentColour(withAlpha), blue);
    EXPECT_EQ(drawn.pixel(5, 0), green);
    EXPECT_EQ(qAlpha(drawn.pixel(0, 9)), 0);
}
