#pragma once
// The program started for a folder with the scenarios "Mond" (current) and "Standard", and
// the ways into the save-as, load and options windows as the editor and the menu open them.

#include "dialogs/LadenUnit2.h"
#include "dialogs/optionenUnit2.h"
#include "dialogs/speicherUnit2.h"
#include "editor/Unit1.h"
#include "tests/support/ProgramFixture.h"

#include <QAbstractButton>
#include <QStringList>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

// Readable failure messages for the items of boxes.
inline void PrintTo(const QStringList& list, std::ostream* out)
{
    *out << '"' << list.join(QStringLiteral("\", \"")).toStdString() << '"';
}

// A scenario's own highscore, so that a reset to the default table shows.
inline const std::string kMondHighscore = "Ute;90;2;Ute;80;2;Ute;70;2;Ute;60;2;Ute;50;2;"
                                          "Ute;40;2;Ute;30;2;Ute;20;2;Ute;10;2;Ute;5;2;";
inline const std::string kDefaultHighscoreLine =
    "Highscore: Kolvar-Bauwerk;110;1;Kolvar-Bauwerk;12;1;Kolvar-Bauwerk;10;1;"
    "Kolvar-Bauwerk;1;1;Kolvar-Bauwerk;1;1;Kolvar-Bauwerk;1;1;Kolvar-Bauwerk;1;1;"
    "Kolvar-Bauwerk;1;1;Kolvar-Bauwerk;1;1;Kolvar-Bauwerk;1;1;";

inline const std::string kSteuerzeichen =
    "Der Name des Szenarios darf keine Steuerzeichen und keine Zeichen enthalten, die die Schreibrichtung umkehren.";

// The names a scenario may not have, each with the message that refuses it.
struct RefusedName {
    std::string name;
    std::string message;
};
inline const std::vector<RefusedName> kRefusedNames = {
    {"", "Der Name des Szenarios darf nicht leer sein."},
    {".", "\".\" ist kein gültiger Name für ein Szenario."},
    {"..", "\"..\" ist kein gültiger Name für ein Szenario."},
    {"../Ausbruch", "Der Name des Szenarios \"../Ausbruch\" darf weder \"/\" noch \"\\\" enthalten."},
    {"/tmp/Ausbruch", "Der Name des Szenarios \"/tmp/Ausbruch\" darf weder \"/\" noch \"\\\" enthalten."},
    {"..\\Ausbruch", "Der Name des Szenarios \"..\\Ausbruch\" darf weder \"/\" noch \"\\\" enthalten."},
    {"Tab\tName", kSteuerzeichen},
    {"\u202eelbisiv", kSteuerzeichen},
    {"SETUP", "Der Name \"SETUP\" ist für die Setup-Datei reserviert."},
    {std::string(246, 'L'), "Der Name des Szenarios ist mit 246 Bytes zu lang: höchstens 245 Bytes sind möglich (ein "
                            "Umlaut zählt zwei)."},
};

class ScenarioDialogTest : public ProgramTest {
protected:
    // Mond is current; the list holds Mond and Standard.
    void startWithMond()
    {
        // A first start writes standard.cfg, as in every program folder that has been used.
        start();
        windows.reset();
        writeCompleteScenario("Mond", "Mondlandung", kMondHighscore);
        folder.write("Mond/hilfe.txt", "Mondtext\r\n");
        writeSetup("Mond");
        start();
    }

    // A scenario the editor can show: every picture, the background picture and both colours set.
    void writeCompleteScenario(const std::string& name, const std::string& titel,
                               const std::string& highscore = kMondHighscore)
    {
        const std::string media = folder.path().string() + "/Standard/";
        writeScenario(name, titel,
                      "Abschuss2: " + media + "bilder/abschuss2.bmp\r\n"
                      "Schuss: " + media + "bilder/schuss.bmp\r\n"
                      "Hintergrundfarbe: 0\r\n"
                      "Hintergrundbild: " + media + "bilder/hbild.jpg\r\n"
                      "Verlorensound: " + media + "sound/verloren.wav\r\n",
                      highscore);
    }

    // As the editor's "Speichern &unter": the editor stays visible, disabled.
    TSpeichernform& openSaveAs()
    {
        editor().show();
        editor().setEnabled(false);
        windows->Speichernform->show();
        return *windows->Speichernform;
    }
    // As the editor's "&Laden": the editor hides.
    TLadenForm& openLoad()
    {
        editor().show();
        editor().hide();
        windows->LadenForm->show();
        return *windows->LadenForm;
    }
    // As the menu screen's "&Optionen".
    TOptionenForm& openOptions()
    {
        mainForm().show();
        mainForm().optionenSpeedButton3->click();
        return *windows->OptionenForm;
    }

    // A click as the mouse gives it, so that an error reaches the central error handler.
    static void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    std::vector<std::string> listed()
    {
        std::vector<std::string> names;
        for (const T_Datei& entry : store().setup.speicherstaende)
            names.push_back(entry.name);
        return names;
    }

    // Every file below the program folder, with its bytes except for the shipped media (their
    // names suffice): "nothing changed" compares two of these.
    std::map<std::string, std::string> files() const
    {
        std::map<std::string, std::string> all;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path())) {
            if (!entry.is_regular_file())
                continue;
            const std::string name = std::filesystem::relative(entry.path(), folder.path()).string();
            all[name] = name.starts_with("Standard/") ? std::string() : folder.read(name);
        }
        return all;
    }

    // The refused names point at "Ausbruch" beside the program folder: nothing may appear there.
    bool somethingEscaped() const
    {
        const auto beside = folder.path().parent_path();
        return std::filesystem::exists(beside / "Ausbruch") || std::filesystem::exists(beside / "Ausbruch.cfg");
    }

    bool fileHasLine(const std::string& name, const std::string& line) const
    {
        return folder.read(name).find("\r\n" + line + "\r\n") != std::string::npos;
    }
};
