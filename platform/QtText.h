#pragma once
// Texts between storage (UTF-8 in std::string) and the controls (QString).

#include <QString>

#include <string>

inline QString fromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}
