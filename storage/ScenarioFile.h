#pragma once
// The scenario file's text form: keys, layouts, strict integer conversion, line evaluation,
// text encoding.

#include "storage/ScenarioSettings.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The maker, named in every file's banner line; its web address ends every scenario file and
// is the page the program opens from its menu and help window.
inline constexpr const char* kMakerName = "Kolvar-Bauwerk";
inline constexpr const char* kMakerWebAddress = "http://www.kolvar-bauwerk.de";

// The fixed lines of the files. Every line is written with CR LF.
namespace fileLine {
inline constexpr std::string_view banner = "Blitzfang by >>> Kolvar-Bauwerk <<<";
inline constexpr std::string_view warning = "Manuelle Änderungen der Datei auf eigene Gefahr!";
inline constexpr std::string_view picturesSection = "Bilder:";
inline constexpr std::string_view captionsSection = "Beschriftung:";
inline constexpr std::string_view soundsSection = "Sounddateien:";
inline constexpr std::string_view otherSettingsSection = "Andere Einstellungen:";
inline constexpr std::string_view end = "Ende :-)";
inline constexpr std::string_view setupSection = "Speicherstände";
inline constexpr std::string_view setupEnd = "Ende =:-)";
} // namespace fileLine

// The keys of the reader's table, each with its trailing blank.
namespace fileKey {
inline constexpr std::string_view ziel = "Ziel: ";
inline constexpr std::string_view abschuss = "Abschuss: ";
inline constexpr std::string_view hintergrundfarbe = "Hintergrundfarbe: ";
inline constexpr std::string_view textfarbe = "Textfarbe: ";
inline constexpr std::string_view titel = "Titel: ";
inline constexpr std::string_view zielort = "Zielort: ";
inline constexpr std::string_view abschuss2ort = "Abschuss2ort: ";
inline constexpr std::string_view hintergrundbild = "Hintergrundbild: ";
inline constexpr std::string_view abschussTransparent = "Abschuss Transparent: ";
inline constexpr std::string_view zielTransparent = "Ziel Transparent: ";
inline constexpr std::string_view abschuss2textSichtbar = "Abschuss2text sichtbar: ";
inline constexpr std::string_view zieltextSichtbar = "Zieltext sichtbar: ";
inline constexpr std::string_view abschuss2 = "Abschuss2: ";
inline constexpr std::string_view schuss = "Schuss: ";
inline constexpr std::string_view ab2Aktiv = "Ab2 aktiv: ";
inline constexpr std::string_view schussTransparent = "Schuss Transparent: ";
inline constexpr std::string_view abschuss2Transparent = "Abschuss2 Transparent: ";
inline constexpr std::string_view hintergrundbildAktiviert = "Hintergrundbild aktiviert: ";
inline constexpr std::string_view sounddateianzahl = "Sounddateianzahl: ";
inline constexpr std::string_view sounds = "Sounds: ";
inline constexpr std::string_view verlorensound = "Verlorensound: ";
inline constexpr std::string_view siegsound = "Siegsound: ";
inline constexpr std::string_view explosionssound = "Explosionssound: ";
inline constexpr std::string_view schussstartsound = "Schussstartsound: ";
inline constexpr std::string_view spielstart = "Spielstart: ";
inline constexpr std::string_view speicherstand = "Speicherstand: ";
inline constexpr std::string_view spielername = "Spielername: ";
inline constexpr std::string_view highscore = "Highscore: ";
inline constexpr std::string_view schwierigkeitsgrad = "Schwierigkeitsgrad: ";
inline constexpr std::string_view startbutton = "Startbutton: ";
} // namespace fileKey

// More hit sounds than this, as "Sounddateianzahl: " or as "Sounds: " lines, is a damaged file,
// not a scenario; the editor adds no more than this either, so every saved file reads again.
inline constexpr std::int32_t kMaxSoundCount = 10000;
inline const std::string kZuVieleSounddateien = "Mehr als 10000 Sounddateien sind nicht möglich.";

// The largest scenario or setup file the loader reads: 10000 hit sounds with paths of 1600
// bytes each still fit, and reading the worst file stays far below 100 MB.
inline constexpr std::size_t kLargestScenarioFile = 16 * 1024 * 1024;

// A line edit holds 32767 characters (UTF-16 units): a longer value would be cut by the next
// save, so a file holding one is damaged.
inline constexpr std::size_t kLongestValue = 32767;
// "Der Wert von "Titel:" ist länger als 32767 Zeichen, mehr fasst der Editor nicht."
std::string wertZuLang(std::string_view key);
// The characters of a valid UTF-8 text as Qt's text controls count them (UTF-16 units).
std::size_t utf16Length(std::string_view utf8);

// More entries in the scenario list than this is a damaged file: each scenario has a file of
// its own in the program folder, and the list is read into memory at every load.
inline constexpr std::size_t kMaxListEntries = 100000;
inline const std::string kZuVieleSpeicherstaende = "Mehr als 100000 Szenarios in der Liste sind nicht möglich.";

// Strict conversion: optional leading blanks, optional sign, decimal digits or "$" and
// hexadecimal digits, nothing after; must fit 32 bits (hexadecimal up to $FFFFFFFF, taken as
// the 32-bit pattern: "$FFFFFFFF" is -1). Throws BlitzfangError
// ("'…' ist kein gültiger Integerwert") otherwise.
std::int32_t strToInt(std::string_view text);

// Evaluates one line against the key table; `soundIndex` is the running index of the
// "Sounds: " lines of the file being read (owned by the caller, advanced here). A "Sounds: "
// line beyond the array's end grows the array by one entry.
// "Speicherstand: " lines go into `setup.speicherstaende` through neudateieintrag.
// A "Sounddateianzahl: " outside 0..kMaxSoundCount, more "Sounds: " lines than
// kMaxSoundCount, or a value longer than kLongestValue throws BlitzfangError.
void zeileauswerten(const std::string& line, std::size_t& soundIndex, ScenarioSettings& settings,
                    SetupState& setup);

// Evaluates a whole file's bytes as zeileauswerten does line by line: a leading UTF-8 byte
// order mark is dropped, 0x1A ends the file, codes <= 32 before a line are skipped, a line ends
// at CR or LF, the sound index starts at 0. The text is UTF-8 when the whole file is, else
// Windows-1252 (see zuUtf8), converted one value at a time: the file is never copied whole,
// and a line that holds no key is never copied at all. The "Speicherstand: " names go into the
// list together, in the order that inserting them one by one gives; more than
// kMaxListEntries throw.
void evaluateFile(std::string_view bytes, ScenarioSettings& settings, SetupState& setup);

// True when the text holds nothing but codes <= 32 (after a byte order mark) before its end or
// its first 0x1A.
bool isBlankFile(std::string_view text);

// The loader's check of a scenario just read: every required setting is set and the first
// hit sound is not empty. A scenario that fails it is reset to the standard scenario.
bool passesLoadCheck(const ScenarioSettings& settings);

// The sorted scenario list (see ScenarioStore::neudateieintrag and suchevornach).
void neudateieintrag(ScenarioList& list, const std::string& name);
ScenarioList::iterator suchevornach(ScenarioList& list, const std::string& name);
// Inserts the names as neudateieintrag would one after the other, in one pass over the list.
void neudateieintraege(ScenarioList& list, std::vector<std::string> names);
// The list's order: A to Z folded to lower case, bytes compared unsigned, a prefix first.
bool foldedLess(std::string_view a, std::string_view b);

// File bytes to the program's UTF-8: valid UTF-8 stays, anything else is read as Windows-1252.
// A leading UTF-8 byte order mark is dropped; everything from the first 0x1A on is ignored.
std::string zuUtf8(std::string_view bytes);

// Builds the three prepared line lists from the fields: `bilderZeilen` (with the
// "Hintergrundbild: " line only when `mitHintergrundbild`), `beschriftungZeilen`, and
// `andereZeilen` with key + "false" for every switch that is exactly "false".
void buildPreparedLines(ScenarioSettings& settings, bool mitHintergrundbild);

// The three layouts, every line ending in CR LF.
std::string scenarioFileText(const ScenarioSettings& settings);
std::string standardFileText(const ScenarioSettings& standard);
std::string setupFileText(const std::string& spielstart, const ScenarioList& speicherstaende);
