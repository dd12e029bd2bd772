#include "thumbnailer/ScenarioThumbnail.h"

#include "game/GameRules.h"
#include "media/MediaFile.h"
#include "media/PackageChecks.h"
#include "media/PictureLoader.h"
#include "package/CheckedPackage.h"
#include "platform/BlitzfangError.h"
#include "platform/QtDialogs.h"
#include "platform/QtFonts.h"
#include "platform/QtText.h"
#include "storage/ScenarioFile.h"
#include "storage/ScenarioNames.h"

#include <QPainter>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>

namespace {

// Without a background picture the field covers the screen; it is drawn as a 4:3 one.
constexpr QSize kScreenField(800, 600);

// A picture of the scenario and its whole size: a bitmap decoded whole, a JPEG measured by its
// markers and decoded only as large as it is shown.
struct ScenarioPicture {
    std::string path;
    std::shared_ptr<const std::string> bytes;
    QSize size;
    QImage bitmap;
};

// The package's own pictures by their place in the scenario folder, shared by the elements that
// show the same one.
using PackagedPictures = std::map<std::string, std::shared_ptr<const std::string>>;

// The bytes of the package's own files among `paths` (places in the scenario folder, "bilder/F";
// a shipped standard picture is named by its absolute path instead), the package read through as
// the import unpacks it.
PackagedPictures packagedPictures(const CheckedPackage& package, const std::vector<std::string>& paths)
{
    PackagedPictures pictures;
    PackagedFileReader files(package);
    while (const PackagedFile* file = files.next()) {
        if (std::find(paths.begin(), paths.end(), file->target) == paths.end())
            continue;
        auto bytes = std::make_shared<std::string>();
        for (std::string_view piece = files.read(); !piece.empty(); piece = files.read())
            bytes->append(piece);
        pictures[file->target] = std::move(bytes);
    }
    return pictures;
}

// The picture `path` of the package, or the shipped standard picture of that absolute path.
// None for an empty path, and none for a picture that does not load (a shipped one missing):
// the thumbnail leaves it out.
std::optional<ScenarioPicture> scenarioPicture(const std::string& path, const PackagedPictures& packaged)
{
    if (path.empty())
        return std::nullopt;
    try {
        ScenarioPicture picture{path, {}, {}, {}};
        if (const auto found = packaged.find(path); found != packaged.end())
            picture.bytes = found->second;
        else if (path.starts_with('/'))
            picture.bytes = std::make_shared<const std::string>(MediaFile(path, kLargestPictureFile).readAll());
        else
            return std::nullopt;
        if (kindByExtension(path) == PictureKind::Jpeg) {
            const JpegOutline outline = outlineJpeg(*picture.bytes);
            if (!outline.framed)
                return std::nullopt;
            picture.size = QSize(int(outline.width), int(outline.height));
        } else {
            const LoadedPicture whole = loadPictureBytes(*picture.bytes, path);
            picture.size = whole.size;
            picture.bitmap = whole.image;
        }
        return picture;
    } catch (const BlitzfangError&) {
        return std::nullopt;
    }
}

// The picture at `scale`, at least `leastSide` pixels on its longer side, with its transparency
// (a bitmap's key colour left undrawn).
QImage shownAt(const std::optional<ScenarioPicture>& picture, double scale, int leastSide, bool transparent)
{
    if (!picture)
        return {};
    QSizeF scaled = QSizeF(picture->size) * scale;
    if (std::max(scaled.width(), scaled.height()) < leastSide)
        scaled.scale(leastSide, leastSide, Qt::KeepAspectRatio);
    const QSize shown = scaled.toSize().expandedTo(QSize(1, 1));
    LoadedPicture loaded{picture->bitmap, PictureKind::Bitmap, picture->size};
    if (loaded.image.isNull()) {
        try {
            loaded = loadPictureBytesAtLeast(*picture->bytes, picture->path, shown);
        } catch (const BlitzfangError&) {
            return {};
        }
    }
    return drawnImage(loaded.image, loaded.kind, transparent)
        .scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// A Target or Figure: at least an eighth of the thumbnail's height, so that it shows on the
// smallest thumbnail too.
QImage spriteAt(const std::optional<ScenarioPicture>& picture, double scale, const std::string& transparency,
                QSize canvas)
{
    return shownAt(picture, scale, canvas.height() / 8, !istAus(transparency));
}

QColor colourOf(const std::string& decimal)
{
    try {
        return colorFromBgr(std::uint32_t(strToInt(decimal)));
    } catch (const BlitzfangError&) {
        return Qt::black;
    }
}

// The title at the top of the field, where the game shows the points; an outline of the
// opposite brightness keeps it readable on any background.
void drawTitle(QPainter& painter, const QString& title, const QColor& colour, QSize canvas)
{
    const QFont font = fontFittingWidth(designFont(QStringLiteral("Palatino Linotype"), std::max(6, canvas.height() / 8), true),
                                        title, canvas.width() * 9 / 10);
    painter.setFont(font);
    const QRect band(0, canvas.height() / 40, canvas.width(), canvas.height() / 2);
    const int flags = Qt::AlignHCenter | Qt::AlignTop;
    painter.setPen(colour.lightness() < 128 ? Qt::white : Qt::black);
    for (const QPoint offset : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)})
        painter.drawText(band.translated(offset), flags, title);
    painter.setPen(colour);
    painter.drawText(band, flags, title);
}

QImage drawField(const ScenarioSettings& s, const PackagedPictures& packaged, int size)
{
    // A background in use sizes the field; a value other than on or "false" counts as off.
    const std::optional<ScenarioPicture> background =
        s.hintergrundbildAktiviert.empty() ? scenarioPicture(s.hintergrundbild, packaged) : std::nullopt;
    const QSize field = background ? background->size : kScreenField;
    const double scale = double(size) / std::max(field.width(), field.height());
    const QSize canvas = (QSizeF(field) * scale).toSize().expandedTo(QSize(1, 1));

    QImage thumbnail(canvas, QImage::Format_RGB32);
    thumbnail.fill(colourOf(s.hintergrundfarbe));
    QPainter painter(&thumbnail);
    painter.drawImage(QPoint(0, 0), shownAt(background, scale, 1, false));

    const QImage target = spriteAt(scenarioPicture(s.zielBild, packaged), scale, s.zielTransparent, canvas);
    const FieldPoint corner = targetPlace(field.width(), field.height(), int(target.width() / scale),
                                          int(target.height() / scale));
    const QPointF targetCorner = QPointF(corner.left, corner.top) * scale;
    painter.drawImage(targetCorner, target);
    // A Figure a third of its way from the top left corner to the Target.
    painter.drawImage(targetCorner / 3,
                      spriteAt(scenarioPicture(s.abschussBild, packaged), scale, s.abschussTransparent, canvas));

    drawTitle(painter, fromUtf8(s.titel), colourOf(s.textfarbe), canvas);
    return thumbnail;
}

} // namespace

QImage scenarioThumbnail(const std::string& packagePath, const std::filesystem::path& mediaFolder, int size)
{
    const CheckedPackage package = checkPackage(ConfinedFolder(mediaFolder), packagePath, packageMediaChecks());
    const ScenarioSettings& s = package.settings;
    PackagedPictures pictures;
    try {
        pictures = packagedPictures(package, {s.hintergrundbild, s.zielBild, s.abschussBild});
    } catch (const BlitzfangError& error) {
        throw BlitzfangError(paketNichtImportiert(packagePath, error.what()));
    }
    return drawField(s, pictures, size);
}
