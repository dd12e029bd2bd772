#pragma once
// A program folder with the standard media, scripted boxes, and the seven windows created
// for that folder as the program creates them at start.

#include "editor/Unit1.h"
#include "game/BlitzfangUnit1.h"
#include "game/WindowSet.h"
#include "platform/QtControls.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <QString>
#include <ostream>

#include <memory>
#include <string>

// Readable failure messages for texts of controls.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

class ProgramTest : public ::testing::Test {
protected:
    ProgramTest() { folder.copyStandardMedia(); }

    // Runs the program's start for the folder as it is now.
    WindowSet& start()
    {
        windows = std::make_unique<WindowSet>(folder.path());
        return *windows;
    }
    TMainForm& mainForm() { return *windows->MainForm; }
    TEditorForm& editor() { return *windows->EditorForm; }
    ScenarioStore& store() { return windows->store; }

    // A complete scenario file "<name>.cfg" whose media are the standard ones.
    void writeScenario(const std::string& name, const std::string& titel, const std::string& extraLines = "",
                       const std::string& highscore = "Kolvar-Bauwerk;110;1;Kolvar-Bauwerk;12;1;Kolvar-Bauwerk;10;1;"
                                                      "Kolvar-Bauwerk;1;1;Kolvar-Bauwerk;1;1;Kolvar-Bauwerk;1;1;"
                                                      "Kolvar-Bauwerk;1;1;Kolvar-Bauwerk;1;1;Kolvar-Bauwerk;1;1;"
                                                      "Kolvar-Bauwerk;1;1;")
    {
        const std::string media = folder.path().string() + "/Standard/";
        folder.write(name + ".cfg", "Blitzfang\r\n"
                                    "Bilder:\r\n"
                                    "Ziel: " + media + "bilder/ziel.bmp\r\n"
                                    "Abschuss: " + media + "bilder/abschuss.bmp\r\n"
                                    "Textfarbe: 12632256\r\n"
                                    "\r\n"
                                    "Beschriftung:\r\n"
                                    "Titel: " + titel + "\r\n"
                                    "Zielort: Mond\r\n"
                                    "Startbutton: Los &geht's\r\n"
                                    "\r\n"
                                    "Spielername: Tester\r\n"
                                    "Schwierigkeitsgrad: 2\r\n"
                                    "Highscore: " + highscore + "\r\n" +
                                    extraLines +
                                    "Sounddateianzahl: 1\r\n"
                                    "Sounds: " + media + "sound/au1.wav\r\n"
                                    "Ende :-)\r\n");
    }

    // setup.cfg naming `current` as the start scenario and listing it beside "Standard".
    void writeSetup(const std::string& current)
    {
        folder.write("setup.cfg", "Blitzfang\r\n"
                                  "Speicherstände\r\n"
                                  "Spielstart: " + current + "\r\n"
                                  "Speicherstand: " + current + "\r\n"
                                  "Speicherstand: Standard\r\n"
                                  "\r\n"
                                  "Ende =:-)\r\n");
    }

    ScriptedDialogs boxes;
    TempFolder folder;
    std::unique_ptr<WindowSet> windows; // destroyed first
};
