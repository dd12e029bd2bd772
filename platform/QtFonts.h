#pragma once
// The windows were designed with fonts that Linux desktops lack. Every font of the program is
// asked for through designFont(), which maps the designed family to an installed one first:
// asking fontconfig for a missing family can cost up to a second at start.

#include <QFont>
#include <QString>

// The installed family that stands in for a designed one ("MS Sans Serif" -> "DejaVu Sans").
QString installedFamily(const QString& designedFamily);

// A font of the designed family (mapped), `pixelSize` pixels high.
QFont designFont(const QString& designedFamily, int pixelSize, bool bold = false);

// The program's default font: "MS Sans Serif", 11 pixels, mapped.
QFont defaultDesignFont();

// `font`, narrowed and then made smaller as far as needed for `text` to take at most `width`
// pixels; unchanged when the text fits already.
QFont fontFittingWidth(QFont font, const QString& text, int width);
