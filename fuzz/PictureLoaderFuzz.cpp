// The picture loader on arbitrary file bytes: every input goes through the bitmap and the JPEG
// decoder (each refuses the other's files at once), whole, cut to a part as for a background
// larger than the screen, and as the check of a copy (a JPEG reduced), and what a decoded picture
// is drawn as, transparent or not. A refusal (BlitzfangError) is expected; a crash, a sanitizer
// report, a hang or a huge allocation is a finding.

#include "media/PictureLoader.h"
#include "platform/BlitzfangError.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// Drawing is the same per-pixel work for any size; on a huge picture it only slows the fuzzer.
constexpr int kLargestDrawnSide = 256;

// A part as small as a screen would not be: both cutting paths run on small inputs too.
const QSize kShownPart(40, 30);

void decodeAndDraw(QImage (*decode)(std::string_view, const std::string&, QSize), PictureKind kind,
                   std::string_view bytes, QSize shown)
{
    try {
        const QImage picture = decode(bytes, "eingabe", shown);
        if (picture.width() > kLargestDrawnSide || picture.height() > kLargestDrawnSide)
            return;
        drawnImage(picture, kind, true);
        drawnImage(picture, kind, false);
    } catch (const BlitzfangError&) {
        // a refused picture: the element shows the message
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const QSize shown : {QSize(), kShownPart}) {
        decodeAndDraw(decodeBitmap, PictureKind::Bitmap, bytes, shown);
        decodeAndDraw(decodeJpeg, PictureKind::Jpeg, bytes, shown);
    }
    try {
        checkPictureBytes(bytes, "eingabe.jpg");
    } catch (const BlitzfangError&) {
        // refused as a copy
    }
    return 0;
}
