#include "platform/QtFonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>

#include <algorithm>

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

QFont fontFittingWidth(QFont font, const QString& text, int width)
{
    const auto widthIn = [&text](const QFont& f) { return QFontMetrics(f).horizontalAdvance(text); };
    const int natural = widthIn(font);
    if (natural <= width)
        return font;
    // Narrower letters first, so that the text keeps its height; where the font cannot be
    // narrowed, or not enough, it gets smaller.
    constexpr int kNarrowest = 60;
    constexpr int kSmallestPixelSize = 5;
    font.setStretch(std::max(kNarrowest, 100 * width / natural));
    font.setPixelSize(QFontInfo(font).pixelSize());
    while (widthIn(font) > width && font.pixelSize() > kSmallestPixelSize)
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}
