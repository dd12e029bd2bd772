#include "platform/QtFonts.h"

#include <QFontDatabase>

namespace {

// Zurich BlkEx is a heavy display face; the condensed DejaVu keeps long titles on the panel.
QString headlineFamily()
{
    static const QString family = QFontDatabase::hasFamily(QStringLiteral("DejaVu Sans Condensed"))
                                      ? QStringLiteral("DejaVu Sans Condensed")
                                      : QStringLiteral("DejaVu Sans");
    return family;
}

} // namespace

QString installedFamily(const QString& designedFamily)
{
    if (designedFamily == QLatin1String("Zurich BlkEx BT"))
        return headlineFamily();
    if (designedFamily == QLatin1String("Palatino Linotype"))
        return QStringLiteral("DejaVu Serif");
    // "MS Sans Serif" and anything else unknown.
    return QStringLiteral("DejaVu Sans");
}

QFont designFont(const QString& designedFamily, int pixelSize, bool bold)
{
    QFont font(installedFamily(designedFamily));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont defaultDesignFont()
{
    return designFont(QStringLiteral("MS Sans Serif"), 11);
}
