#include "media/PackageChecks.h"

#include "media/PictureLoader.h"
#include "media/SoundPlayer.h"
#include "media/WavCheck.h"

namespace {

// A sound of which only the beginning is at hand: the header check reads nothing else.
class SoundBeginning : public WavBytes {
public:
    SoundBeginning(std::string_view firstBytes, std::uint64_t size) : first_(firstBytes), size_(size) {}
    std::uint64_t size() const override { return size_; }
    std::string_view at(std::uint64_t offset, std::size_t count) override
    {
        return offset >= first_.size() ? std::string_view() : first_.substr(std::size_t(offset), count);
    }

private:
    std::string_view first_;
    std::uint64_t size_;
};

} // namespace

MediaChecks packageMediaChecks()
{
    MediaChecks checks;
    checks.largestPicture = kLargestPictureFile;
    checks.picture = [](std::string_view bytes, const std::string& path, int previewSide) {
        if (previewSide <= 0) {
            checkPictureBytes(bytes, path);
            return SmallPicture();
        }
        const QImage preview =
            checkedPreview(bytes, path, QSize(previewSide, previewSide)).convertToFormat(QImage::Format_ARGB32);
        SmallPicture small{preview.width(), preview.height(), {}};
        small.pixels.reserve(std::size_t(preview.width()) * std::size_t(preview.height()));
        for (int y = 0; y < preview.height(); ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(preview.constScanLine(y));
            small.pixels.insert(small.pixels.end(), row, row + preview.width());
        }
        return small;
    };
    checks.largestSound = kLargestSoundFile;
    checks.sound = [](std::string_view firstBytes, std::uint64_t size, const std::string& path) {
        SoundBeginning sound(firstBytes, size);
        checkWavHeader(sound, path, playingDeviceFormat);
    };
    return checks;
}
