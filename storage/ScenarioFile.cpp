#include "storage/ScenarioFile.h"

#include "platform/BlitzfangError.h"
#include "storage/ScenarioNames.h"

#include <algorithm>
#include <array>
#include <functional>
#include <iterator>
#include <limits>

namespace {

constexpr char kEndOfFile = '\x1a';

bool isBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

// ---- Integer conversion -------------------------------------------------------------

int digitValue(char c, bool hex)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (hex && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// ---- Text encoding --------------------------------------------------------------------

// Length of the valid UTF-8 sequence at `pos`, 0 when there is none (overlong forms,
// surrogates and code points above U+10FFFF are invalid).
std::size_t utf8SequenceLength(std::string_view s, std::size_t pos)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b0 = byte(pos);
    if (b0 < 0x80)
        return 1;
    std::size_t len;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF)
        len = 2;
    else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        if (b0 == 0xE0)
            lo = 0xA0;
        if (b0 == 0xED)
            hi = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        if (b0 == 0xF0)
            lo = 0x90;
        if (b0 == 0xF4)
            hi = 0x8F;
    } else
        return 0;
    if (pos + len > s.size())
        return 0;
    for (std::size_t i = 1; i < len; ++i) {
        const unsigned char b = byte(pos + i);
        if (b < (i == 1 ? lo : 0x80) || b > (i == 1 ? hi : 0xBF))
            return 0;
    }
    return len;
}

bool isValidUtf8(std::string_view s)
{
    for (std::size_t pos = 0; pos < s.size();) {
        const std::size_t len = utf8SequenceLength(s, pos);
        if (len == 0)
            return false;
        pos += len;
    }
    return true;
}

void appendCodePoint(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Windows-1252 0x80..0x9F; the five unassigned bytes keep their code point.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string fromWindows1252(std::string_view s)
{
    std::string out;
    out.reserve(s.size() + s.size() / 8);
    for (char c : s) {
        const unsigned char b = static_cast<unsigned char>(c);
        appendCodePoint(out, b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char32_t{b});
    }
    return out;
}

std::size_t utf8SizeOfWindows1252(std::string_view s)
{
    std::size_t size = 0;
    for (char c : s) {
        const unsigned char b = static_cast<unsigned char>(c);
        const char32_t cp = b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char32_t{b};
        size += cp < 0x80 ? 1 : cp < 0x800 ? 2 : 3;
    }
    return size;
}

// ---- Writing ----------------------------------------------------------------------------

// Valid UTF-8 sequences stay; every other byte is taken as Windows-1252, so the written
// file is always valid UTF-8 and the reader keeps its umlauts.
std::string repairedUtf8(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t pos = 0; pos < s.size();) {
        const std::size_t len = utf8SequenceLength(s, pos);
        if (len > 0) {
            out.append(s.substr(pos, len));
            pos += len;
        } else {
            out += fromWindows1252(s.substr(pos, 1));
            ++pos;
        }
    }
    return out;
}

// One file line with CR LF. A line end or 0x1A inside a value would split the line or end
// the file for the reader, so they become blanks.
void appendLine(std::string& out, std::string_view key, std::string_view value = {})
{
    const std::size_t start = out.size();
    for (std::string_view part : {key, value}) {
        if (isValidUtf8(part))
            out.append(part);
        else
            out += repairedUtf8(part);
    }
    std::replace_if(
        out.begin() + static_cast<std::ptrdiff_t>(start), out.end(),
        [](char c) { return c == '\r' || c == '\n' || c == kEndOfFile; }, ' ');
    out += "\r\n";
}

// A prepared list from its first entry up to its first empty one, then that empty line.
void appendPreparedLines(std::string& out, const std::vector<std::string>& liste)
{
    for (const std::string& z : liste) {
        if (z.empty())
            break;
        appendLine(out, z);
    }
    appendLine(out, "");
}

void appendHeader(std::string& out)
{
    appendLine(out, fileLine::banner);
    appendLine(out, fileLine::warning);
    appendLine(out, "");
}

// ---- Reading ----------------------------------------------------------------------------

using Effect = std::function<void(const std::string& value, std::size_t& soundIndex, ScenarioSettings&,
                                   SetupState&)>;

template <std::string ScenarioSettings::*field>
Effect assign()
{
    return [](const std::string& value, std::size_t&, ScenarioSettings& s, SetupState&) { s.*field = value; };
}

struct KeyRow {
    std::string_view key;
    Effect effect;
};

void setSoundCount(const std::string& value, std::size_t&, ScenarioSettings& s, SetupState&)
{
    const std::int32_t count = strToInt(value);
    // A damaged count must not make the program reserve gigabytes or a negative size.
    if (count < 0 || count > kMaxSoundCount)
        throw BlitzfangError("'" + value + "' ist keine gültige Sounddateianzahl");
    s.sounds.resize(static_cast<std::size_t>(count));
}

void setSound(const std::string& value, std::size_t& soundIndex, ScenarioSettings& s, SetupState&)
{
    if (soundIndex >= static_cast<std::size_t>(kMaxSoundCount))
        throw BlitzfangError(kZuVieleSounddateien);
    // More "Sounds: " lines than declared: the array grows, so no line of the file is lost.
    if (soundIndex >= s.sounds.size())
        s.sounds.resize(soundIndex + 1);
    s.sounds[soundIndex++] = value;
}

const std::vector<KeyRow>& keyTable()
{
    namespace k = fileKey;
    using S = ScenarioSettings;
    static const std::vector<KeyRow> table = {
        {k::ziel, assign<&S::zielBild>()},
        {k::abschuss, assign<&S::abschussBild>()},
        {k::hintergrundfarbe, assign<&S::hintergrundfarbe>()},
        {k::textfarbe, assign<&S::textfarbe>()},
        {k::titel, assign<&S::titel>()},
        {k::zielort, assign<&S::zielort>()},
        {k::abschuss2ort, assign<&S::abschuss2ort>()},
        {k::hintergrundbild, assign<&S::hintergrundbild>()},
        {k::abschussTransparent, assign<&S::abschussTransparent>()},
        {k::zielTransparent, assign<&S::zielTransparent>()},
        {k::abschuss2textSichtbar, assign<&S::abschuss2textSichtbar>()},
        {k::zieltextSichtbar, assign<&S::zieltextSichtbar>()},
        {k::abschuss2, assign<&S::abschuss2Bild>()},
        {k::schuss, assign<&S::schussBild>()},
        {k::ab2Aktiv, assign<&S::ab2Aktiv>()},
        {k::schussTransparent, assign<&S::schussTransparent>()},
        {k::abschuss2Transparent, assign<&S::abschuss2Transparent>()},
        {k::hintergrundbildAktiviert, assign<&S::hintergrundbildAktiviert>()},
        {k::sounddateianzahl, setSoundCount},
        {k::sounds, setSound},
        {k::verlorensound, assign<&S::verlorensound>()},
        {k::siegsound, assign<&S::siegsound>()},
        {k::explosionssound, assign<&S::explosionssound>()},
        {k::schussstartsound, assign<&S::schussstartsound>()},
        {k::spielstart,
         [](const std::string& value, std::size_t&, S&, SetupState& setup) {
             if (setup.spielstartAusSetup)
                 setup.spielstart = value;
         }},
        {k::speicherstand,
         [](const std::string& value, std::size_t&, S&, SetupState& setup) {
             neudateieintrag(setup.speicherstaende, value);
         }},
        {k::spielername, assign<&S::spielername>()},
        {k::highscore,
         [](const std::string& value, std::size_t&, S& s, SetupState&) { highscoreDekodieren(value, s.highscore); }},
        {k::schwierigkeitsgrad,
         [](const std::string& value, std::size_t&, S& s, SetupState&) { s.schwierigkeitsgrad = strToInt(value); }},
        {k::startbutton, assign<&S::startbutton>()},
    };
    return table;
}

// The text up to the first 0x1A: the rest of a file is never read.
std::string_view beforeEndOfFile(std::string_view text) { return text.substr(0, text.find(kEndOfFile)); }

} // namespace

std::int32_t strToInt(std::string_view text)
{
    const auto invalid = [&] { return BlitzfangError(fehlertext::keinIntegerwert(text)); };
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const bool hex = i < text.size() && text[i] == '$';
    if (hex)
        ++i;
    if (i == text.size())
        throw invalid();

    const std::uint64_t limit = hex ? 0xFFFFFFFFull : negative ? 0x80000000ull : 0x7FFFFFFFull;
    std::uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = digitValue(text[i], hex);
        if (digit < 0)
            throw invalid();
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<unsigned>(digit);
        if (magnitude > limit)
            throw invalid();
    }
    if (hex) {
        const auto pattern = static_cast<std::uint32_t>(magnitude);
        return static_cast<std::int32_t>(negative ? 0u - pattern : pattern);
    }
    return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude));
}

std::size_t utf16Length(std::string_view utf8)
{
    std::size_t units = 0;
    for (char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        units += (b & 0xC0) != 0x80; // the first byte of each character
        units += b >= 0xF0;          // beyond U+FFFF: two units
    }
    return units;
}

namespace {

const KeyRow* rowOf(std::string_view line)
{
    for (const KeyRow& row : keyTable())
        if (line.starts_with(row.key))
            return &row; // no key is a prefix of another
    return nullptr;
}

// A value longer than the editor's fields can hold would be cut by the next save. The highscore
// line is no field: it holds ten names of that length with their two numbers ("name;-2147483648;
// -2147483648;"), and its names are checked one by one once decoded.
void checkValueLength(std::string_view key, std::size_t length)
{
    constexpr std::size_t kLongestHighscoreLine = std::tuple_size_v<HighscoreTable> * (kLongestValue + 3 + 2 * 11);
    if (length > (key == fileKey::highscore ? kLongestHighscoreLine : kLongestValue))
        throw BlitzfangError(wertZuLang(key));
}

void checkHighscoreNames(const HighscoreTable& table)
{
    for (const T_Highscore& entry : table)
        if (utf16Length(entry.name) > kLongestValue)
            throw BlitzfangError(wertZuLang(fileKey::highscore));
}

std::string_view withoutByteOrderMark(std::string_view text)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    return text;
}

} // namespace

std::string wertZuLang(std::string_view key)
{
    std::string name(key);
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return "Der Wert von \"" + name + "\" ist länger als " + std::to_string(kLongestValue) +
           " Zeichen, mehr fasst der Editor nicht.";
}

void zeileauswerten(const std::string& line, std::size_t& soundIndex, ScenarioSettings& settings, SetupState& setup)
{
    if (const KeyRow* row = rowOf(line)) {
        const std::string value = line.substr(row->key.size());
        checkValueLength(row->key, utf16Length(value));
        row->effect(value, soundIndex, settings, setup);
        if (row->key == fileKey::highscore)
            checkHighscoreNames(settings.highscore);
    }
}

bool isBlankFile(std::string_view text)
{
    const std::string_view content = withoutByteOrderMark(beforeEndOfFile(text));
    return std::all_of(content.begin(), content.end(), isBlankOrControl);
}

bool passesLoadCheck(const ScenarioSettings& s)
{
    return !s.abschussBild.empty() && !s.zielort.empty() && !s.zielBild.empty() && !s.titel.empty() &&
           !s.spielername.empty() && !s.sounds.empty() && !s.sounds.front().empty() && !s.textfarbe.empty();
}

void evaluateFile(std::string_view bytes, ScenarioSettings& settings, SetupState& setup)
{
    const std::string_view content = withoutByteOrderMark(beforeEndOfFile(bytes));
    const bool utf8 = isValidUtf8(content);
    // Converted, every byte above 0x7F grows: a file that would not fit the limit as UTF-8 could
    // never be saved again, and its values alone would take three times the file.
    if (!utf8 && utf8SizeOfWindows1252(content) > kLargestScenarioFile)
        throw BlitzfangError("Als UTF-8-Text wäre die Datei größer als " +
                             fehlertext::sizeText(kLargestScenarioFile) + ".");
    // The list takes the file's names together: one by one, each insertion would walk the list.
    std::vector<std::string> listed;
    std::size_t soundIndex = 0;
    std::size_t pos = 0;
    while (true) {
        while (pos < content.size() && isBlankOrControl(content[pos]))
            ++pos;
        if (pos >= content.size())
            break;
        // Lines end at CR, or at LF alone for files edited by hand.
        std::size_t lineEnd = content.find_first_of("\r\n", pos);
        if (lineEnd == std::string_view::npos)
            lineEnd = content.size();
        const std::string_view line = content.substr(pos, lineEnd - pos);
        pos = lineEnd;
        // Keys are plain ASCII, the same bytes in either encoding: a line without one is never copied.
        const KeyRow* row = rowOf(line);
        if (!row)
            continue;
        const std::string_view raw = line.substr(row->key.size());
        // Every Windows-1252 byte is one character below U+FFFF.
        checkValueLength(row->key, utf8 ? utf16Length(raw) : raw.size());
        std::string value = utf8 ? std::string(raw) : fromWindows1252(raw);
        if (row->key == fileKey::speicherstand) {
            if (setup.speicherstaende.size() + listed.size() >= kMaxListEntries)
                throw BlitzfangError(kZuVieleSpeicherstaende);
            listed.push_back(std::move(value));
            continue;
        }
        row->effect(value, soundIndex, settings, setup);
        if (row->key == fileKey::highscore)
            checkHighscoreNames(settings.highscore);
    }
    neudateieintraege(setup.speicherstaende, std::move(listed));
}

bool foldedLess(std::string_view a, std::string_view b)
{
    const auto fold = [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
    };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char x, char y) { return fold(x) < fold(y); });
}

ScenarioList::iterator suchevornach(ScenarioList& list, const std::string& name)
{
    // The list is kept sorted: the first entry whose folded name does not sort before the name's.
    return std::lower_bound(list.begin(), list.end(), name,
                            [](const T_Datei& e, const std::string& wanted) { return foldedLess(e.name, wanted); });
}

void neudateieintrag(ScenarioList& list, const std::string& name)
{
    list.insert(suchevornach(list, name), T_Datei{name});
}

void neudateieintraege(ScenarioList& list, std::vector<std::string> names)
{
    if (names.empty())
        return;
    // Inserted one by one, each name goes in front of the equal ones before it: the later of
    // two equal names stands first, and both stand before an equal name listed already.
    std::reverse(names.begin(), names.end());
    std::stable_sort(names.begin(), names.end(), foldedLess);
    ScenarioList merged;
    merged.reserve(list.size() + names.size());
    auto old = list.begin();
    for (std::string& name : names) {
        for (; old != list.end() && foldedLess(old->name, name); ++old)
            merged.push_back(std::move(*old));
        merged.push_back(T_Datei{std::move(name)});
    }
    std::move(old, list.end(), std::back_inserter(merged));
    list = std::move(merged);
}

std::string zuUtf8(std::string_view bytes)
{
    std::string_view content = beforeEndOfFile(bytes);
    if (content.starts_with("\xEF\xBB\xBF"))
        content.remove_prefix(3);
    return isValidUtf8(content) ? std::string(content) : fromWindows1252(content);
}

void buildPreparedLines(ScenarioSettings& s, bool mitHintergrundbild)
{
    namespace k = fileKey;
    const auto z = [](std::string_view key, const std::string& value) { return std::string(key) + value; };
    s.bilderZeilen = {z(k::ziel, s.zielBild), z(k::abschuss, s.abschussBild),
                      z(k::hintergrundfarbe, s.hintergrundfarbe), z(k::textfarbe, s.textfarbe),
                      z(k::abschuss2, s.abschuss2Bild), z(k::schuss, s.schussBild)};
    if (mitHintergrundbild)
        s.bilderZeilen.push_back(z(k::hintergrundbild, s.hintergrundbild));
    s.beschriftungZeilen = {z(k::titel, s.titel), z(k::zielort, s.zielort), z(k::abschuss2ort, s.abschuss2ort),
                            z(k::startbutton, s.startbutton)};
    s.andereZeilen.clear();
    const std::pair<std::string_view, const std::string*> switches[] = {
        {k::zieltextSichtbar, &s.zieltextSichtbar},
        {k::abschuss2textSichtbar, &s.abschuss2textSichtbar},
        {k::abschussTransparent, &s.abschussTransparent},
        {k::zielTransparent, &s.zielTransparent},
        {k::ab2Aktiv, &s.ab2Aktiv},
        {k::schussTransparent, &s.schussTransparent},
        {k::abschuss2Transparent, &s.abschuss2Transparent},
        {k::hintergrundbildAktiviert, &s.hintergrundbildAktiviert},
    };
    for (const auto& [key, field] : switches)
        if (istAus(*field))
            s.andereZeilen.push_back(z(key, kAus));
}

// "Sounddateien:" with the count, one "Sounds: " line per hit sound, the four event sounds
// and the empty line after them; both scenario layouts share it.
static void appendSoundsSection(std::string& out, const ScenarioSettings& s)
{
    namespace k = fileKey;
    appendLine(out, fileLine::soundsSection);
    appendLine(out, k::sounddateianzahl, std::to_string(s.sounds.size()));
    for (const std::string& sound : s.sounds)
        appendLine(out, k::sounds, sound);
    appendLine(out, k::verlorensound, s.verlorensound);
    appendLine(out, k::siegsound, s.siegsound);
    appendLine(out, k::explosionssound, s.explosionssound);
    appendLine(out, k::schussstartsound, s.schussstartsound);
    appendLine(out, "");
}

std::string scenarioFileText(const ScenarioSettings& s)
{
    namespace k = fileKey;
    std::string out;
    appendHeader(out);
    appendLine(out, fileLine::picturesSection);
    appendPreparedLines(out, s.bilderZeilen);
    appendLine(out, fileLine::captionsSection);
    appendPreparedLines(out, s.beschriftungZeilen);
    appendLine(out, k::spielername, s.spielername);
    appendLine(out, k::schwierigkeitsgrad, std::to_string(s.schwierigkeitsgrad));
    appendLine(out, k::highscore, highscoreKodieren(s.highscore));
    appendLine(out, "");
    appendSoundsSection(out, s);
    appendLine(out, fileLine::otherSettingsSection);
    appendPreparedLines(out, s.andereZeilen);
    appendLine(out, kMakerWebAddress);
    appendLine(out, fileLine::end);
    return out;
}

std::string standardFileText(const ScenarioSettings& s)
{
    namespace k = fileKey;
    std::string out;
    appendHeader(out);
    appendLine(out, fileLine::picturesSection);
    appendLine(out, k::ziel, s.zielBild);
    appendLine(out, k::abschuss, s.abschussBild);
    appendLine(out, k::abschuss2, s.abschuss2Bild);
    appendLine(out, k::schuss, s.schussBild);
    appendLine(out, k::hintergrundfarbe, s.hintergrundfarbe);
    appendLine(out, k::textfarbe, s.textfarbe);
    appendLine(out, k::hintergrundbild, s.hintergrundbild);
    appendLine(out, "");
    appendLine(out, fileLine::captionsSection);
    appendLine(out, k::titel, s.titel);
    appendLine(out, k::zielort, s.zielort);
    appendLine(out, k::abschuss2ort, s.abschuss2ort);
    appendLine(out, k::startbutton, s.startbutton);
    appendLine(out, "");
    appendLine(out, k::spielername, s.spielername);
    appendLine(out, k::highscore, highscoreKodieren(s.highscore));
    appendLine(out, k::schwierigkeitsgrad, std::to_string(s.schwierigkeitsgrad));
    appendLine(out, "");
    appendSoundsSection(out, s);
    appendLine(out, fileLine::otherSettingsSection);
    appendLine(out, "");
    appendLine(out, fileLine::end);
    return out;
}

std::string setupFileText(const std::string& spielstart, const ScenarioList& speicherstaende)
{
    std::string out;
    appendHeader(out);
    appendLine(out, fileLine::setupSection);
    appendLine(out, fileKey::spielstart, spielstart);
    for (const T_Datei& eintrag : speicherstaende)
        appendLine(out, fileKey::speicherstand, eintrag.name);
    appendLine(out, "");
    appendLine(out, fileLine::setupEnd);
    return out;
}
