#pragma once
// The one error type of the program. Its text is the German message the central
// handler shows in an error box; the program goes on after it.

#include <cerrno>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

class BlitzfangError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The general error texts, each written once here.
namespace fehlertext {

inline std::string keinIntegerwert(std::string_view text)
{
    return "'" + std::string(text) + "' ist kein gültiger Integerwert";
}

// The system's error number, in words where a player can act on it (free space, a write-protected
// disk, permissions, a long name), with its number for whoever helps.
inline std::string eaFehler(int code)
{
    const std::string number = "E/A-Fehler " + std::to_string(code);
    switch (code) {
    case ENOSPC: return "Der Datenträger ist voll (" + number + ").";
    case EDQUOT: return "Der Speicherplatz, der Ihnen auf dem Datenträger zusteht, ist aufgebraucht (" + number + ").";
    case EFBIG: return "Die Datei wird größer, als es hier erlaubt ist (" + number + ").";
    case EROFS: return "Der Datenträger ist schreibgeschützt (" + number + ").";
    case EACCES:
    case EPERM: return "Dafür fehlt die Berechtigung (" + number + ").";
    case ENAMETOOLONG: return "Der Name ist für den Datenträger zu lang (" + number + ").";
    default: return number;
    }
}

inline const std::string dateiNichtGefunden = "Datei nicht gefunden";

inline std::string dateiKannNichtGeoeffnetWerden(std::string_view path)
{
    return "Datei " + std::string(path) + " kann nicht geöffnet werden";
}

inline std::string verknuepfungNichtGeschrieben(std::string_view path)
{
    return std::string(path) + " ist eine Verknüpfung (Link): dort wird nichts geschrieben.";
}

inline std::string verknuepfungNichtGelesen(std::string_view path)
{
    return std::string(path) + " ist eine Verknüpfung (Link) und wird nicht gelesen.";
}

// A size as every message gives it, in the largest unit that divides it: "4 GiB", "16 MiB",
// "64 KiB", "1000 Bytes".
inline std::string sizeText(std::uint64_t bytes)
{
    for (const auto& [unit, name] : {std::pair<std::uint64_t, const char*>{1ull << 30, " GiB"}, {1ull << 20, " MiB"},
                                     {1ull << 10, " KiB"}})
        if (bytes >= unit && bytes % unit == 0)
            return std::to_string(bytes / unit) + name;
    return std::to_string(bytes) + " Bytes";
}

inline std::string dateiZuGross(std::string_view path, std::string_view largest)
{
    return "Die Datei " + std::string(path) + " ist größer als " + std::string(largest) + " und wird nicht gelesen.";
}

inline const std::string keinMciGeraet = "Kein MCI-Gerät geöffnet";
inline const std::string unbekannterFehlercode = "Unbekannter Fehlercode";
inline const std::string unbekannterFehler = "Unbekannter Fehler";

inline std::string unbekannteBilddateierweiterung(std::string_view extensionWithoutDot)
{
    return "Unbekannte Bilddateierweiterung (." + std::string(extensionWithoutDot) + ")";
}

inline const std::string bitmapUngueltig = "Bitmap ist ungültig";

inline std::string bildZuGross(std::string_view path, int width, int height)
{
    return "Das Bild " + std::string(path) + " ist mit " + std::to_string(width) + " × " + std::to_string(height) +
           " Bildpunkten zu groß.";
}

inline std::string bildMitZuVielenDurchlaeufen(std::string_view path, int most)
{
    return "Das Bild " + std::string(path) + " ist beschädigt: es hat mehr als " + std::to_string(most) +
           " Durchläufe.";
}

inline std::string bildZuAufwendig(std::string_view path, int scans)
{
    return "Das Bild " + std::string(path) + " macht zu viel Arbeit beim Entpacken: " + std::to_string(scans) +
           " Durchläufe über so viele Bildpunkte oder Daten schreibt kein gewöhnliches Programm.";
}

inline std::string keineGueltigeWavDatei(std::string_view path)
{
    return "Die Datei " + std::string(path) + " ist keine gültige WAV-Datei.";
}

inline std::string wavFormatNichtAbspielbar(std::string_view path)
{
    return "Die Datei " + std::string(path) + " hat ein WAV-Format, das nicht abgespielt werden kann.";
}

inline std::string klangZuLang(std::string_view path)
{
    return "Die Datei " + std::string(path) + " ist zu lang für einen Klang.";
}

inline std::string jpegFehler(int code)
{
    return "JPEG-Fehler #" + std::to_string(code);
}

} // namespace fehlertext
