// The scenario and setup reader on arbitrary file bytes, as the loader applies it: text
// encoding, line evaluation (highscore decoding and the strict integers included), the name
// and highscore checks of a start, the paths of a moved program folder. A refusal
// (BlitzfangError) is expected; anything else escaping, a sanitizer report, or a file that the
// program writes from what it read and then reads back differently (a lost sound, list entry
// or highscore) is a finding.
// Then the whole loader on a program folder where the bytes are the current scenario's file,
// placed as the first byte chooses: a plain file, a link to a file outside, a folder, a FIFO,
// or a plain file whose scenario folder and media folder are links. Empty settings afterwards,
// a changed standard.cfg, a lost list entry or a change outside the folder is a finding.

#include "fuzz/ScratchFolder.h"
#include "platform/BlitzfangError.h"
#include "platform/Dialogs.h"
#include "storage/Highscore.h"
#include "storage/MovedPaths.h"
#include "storage/ScenarioFile.h"
#include "storage/ScenarioNames.h"
#include "storage/ScenarioSettings.h"
#include "storage/ScenarioStore.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>

namespace {

[[noreturn]] void lost(const char* what)
{
    std::fprintf(stderr, "Saved and read again: %s\n", what);
    std::abort();
}

std::vector<std::string> sortedNames(const ScenarioList& list)
{
    std::vector<std::string> names;
    for (const T_Datei& entry : list)
        names.push_back(entry.name);
    // Names equal but for case may swap places on every save; none may be lost.
    std::sort(names.begin(), names.end());
    return names;
}

struct Loaded {
    ScenarioSettings settings;
    SetupState setup;
};

Loaded read(std::string_view bytes)
{
    Loaded loaded;
    loaded.setup.spielstartAusSetup = true;
    alleSchalterAn(loaded.settings);
    const std::string text = zuUtf8(bytes);
    if (!isBlankFile(text))
        evaluateFile(text, loaded.settings, loaded.setup);
    return loaded;
}

void expectSameAfterSaving(Loaded first)
{
    buildPreparedLines(first.settings, true);
    const Loaded again = read(scenarioFileText(first.settings) + setupFileText(first.setup.spielstart,
                                                                                 first.setup.speicherstaende));
    const ScenarioSettings& a = first.settings;
    const ScenarioSettings& b = again.settings;
    if (a.zielBild != b.zielBild || a.abschussBild != b.abschussBild || a.abschuss2Bild != b.abschuss2Bild ||
        a.schussBild != b.schussBild || a.hintergrundbild != b.hintergrundbild ||
        a.hintergrundfarbe != b.hintergrundfarbe || a.textfarbe != b.textfarbe)
        lost("pictures or colours differ");
    if (a.titel != b.titel || a.zielort != b.zielort || a.abschuss2ort != b.abschuss2ort ||
        a.startbutton != b.startbutton || a.spielername != b.spielername ||
        a.schwierigkeitsgrad != b.schwierigkeitsgrad)
        lost("captions, player or level differ");
    if (a.sounds != b.sounds || a.verlorensound != b.verlorensound || a.siegsound != b.siegsound ||
        a.explosionssound != b.explosionssound || a.schussstartsound != b.schussstartsound)
        lost("sounds differ");
    if (a.highscore != b.highscore)
        lost("highscores differ");
    const std::string* switchesA[] = {&a.abschuss2textSichtbar, &a.zieltextSichtbar, &a.abschussTransparent,
                                      &a.zielTransparent, &a.schussTransparent, &a.abschuss2Transparent,
                                      &a.ab2Aktiv, &a.hintergrundbildAktiviert};
    const std::string* switchesB[] = {&b.abschuss2textSichtbar, &b.zieltextSichtbar, &b.abschussTransparent,
                                      &b.zielTransparent, &b.schussTransparent, &b.abschuss2Transparent,
                                      &b.ab2Aktiv, &b.hintergrundbildAktiviert};
    for (std::size_t i = 0; i < std::size(switchesA); ++i)
        if (istAus(*switchesA[i]) != istAus(*switchesB[i]))
            lost("switches differ");
    if (first.setup.spielstart != again.setup.spielstart ||
        sortedNames(first.setup.speicherstaende) != sortedNames(again.setup.speicherstaende))
        lost("start scenario or scenario list differ");
}

// ---- The loader on disk ----

namespace fs = std::filesystem;

class SilentNotifier : public Notifier {
public:
    void notice(const std::string&) override {}
};

const std::string kOwnStandard = "Titel: Eigener Standard\r\nZiel: z\r\nAbschuss: a\r\nZielort: o\r\n"
                                 "Spielername: Oma\r\nTextfarbe: 1\r\nSounddateianzahl: 1\r\nSounds: s\r\n";

struct Folders {
    ScratchFolder root{"blitzfang-fuzz"};
    fs::path program() const { return root.path() / "prog"; }
    fs::path outside() const { return root.path() / "draussen"; }
};

const Folders& scratch()
{
    static const Folders folders;
    return folders;
}

void writeBytes(const fs::path& path, std::string_view bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
}

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void loadFromDisk(std::string_view bytes)
{
    const Folders& f = scratch();
    fs::remove_all(f.program());
    fs::remove_all(f.outside());
    fs::create_directories(f.program());
    fs::create_directories(f.outside() / "sound");
    writeBytes(f.program() / "standard.cfg", kOwnStandard);
    writeBytes(f.program() / "setup.cfg",
               "Spielstart: Fremd\r\nSpeicherstand: Fremd\r\nSpeicherstand: Standard\r\nSpeicherstand: Zweites\r\n");
    writeBytes(f.outside() / "fremd.cfg", bytes);
    const fs::path file = f.program() / "Fremd.cfg";
    switch (bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]) % 5) {
    case 0: writeBytes(file, bytes); break;
    case 1: fs::create_symlink(f.outside() / "fremd.cfg", file); break;
    case 2: fs::create_directories(file); break;
    case 3: ::mkfifo(file.c_str(), 0600); break;
    case 4:
        writeBytes(file, bytes);
        fs::create_directory_symlink(f.outside(), f.program() / "Fremd");
        fs::create_directories(f.program() / "Zweites");
        fs::create_directory_symlink(f.outside() / "sound", f.program() / "Zweites" / "sound");
        break;
    }

    SilentNotifier notifier;
    ScenarioStore store(f.program(), notifier);
    store.programmstartVorbereiten();
    try {
        store.dateiexlesen("standard");
    } catch (const BlitzfangError&) {
        lost("a load that could not write its reset"); // the folder is writable
    }
    if (!passesLoadCheck(store.settings))
        lost("the program runs on empty settings");
    if (readBytes(f.program() / "standard.cfg") != kOwnStandard)
        lost("the player's standard.cfg was replaced");
    std::vector<std::string> names;
    for (const T_Datei& entry : store.setup.speicherstaende)
        names.push_back(entry.name);
    for (const char* kept : {"Fremd", "Standard", "Zweites"})
        if (std::find(names.begin(), names.end(), kept) == names.end())
            lost("a list entry was lost");
    const bool soundFolderEmpty = fs::directory_iterator(f.outside() / "sound") == fs::directory_iterator();
    if (readBytes(f.outside() / "fremd.cfg") != bytes || !soundFolderEmpty)
        lost("a file outside the program folder changed");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    loadFromDisk(bytes);
    Loaded loaded;
    try {
        loaded = read(bytes);
    } catch (const BlitzfangError&) {
        return 0; // a refused file: the loader shows the message and goes on
    }
    scenarioNameError(loaded.setup.spielstart);
    for (const T_Datei& entry : loaded.setup.speicherstaende)
        scenarioNameError(entry.name);
    leereNamenAuffuellen(loaded.settings.highscore);
    relocateMovedPaths(loaded.settings, ConfinedFolder(scratch().program()));
    try {
        expectSameAfterSaving(std::move(loaded));
    } catch (const BlitzfangError&) {
        lost("the file is refused");
    }
    return 0;
}
