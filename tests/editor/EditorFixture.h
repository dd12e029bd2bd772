#pragma once
// The program's windows for a temporary program folder with the editor opened from the menu
// screen, and small helpers to read the editor's state and the files it writes.

#include "editor/Unit1.h"
#include "tests/support/ProgramFixture.h"

#include "storage/ScenarioSettings.h"

#include <QImage>

#include <functional>

#include <filesystem>
#include <string>
#include <vector>

class QAbstractButton;

class EditorTest : public ProgramTest {
protected:
    // Starts the program for the folder as it is and opens the editor from the menu screen.
    TEditorForm& openEditor();

    // A complete scenario file "<name>.cfg" of the standard values with its media in
    // Standard, changed by `change`, setup.cfg naming it current beside "Standard", and
    // "standard.cfg".
    void writeFullScenario(const std::string& name, const std::function<void(ScenarioSettings&)>& change = {});

    // Clicks like the user: an error that escapes the handler is shown as the program's central
    // handler shows it.
    static void click(QAbstractButton* button);

    // The lines of a file in the program folder, without their CR LF.
    std::vector<std::string> linesOf(const std::string& name) const;
    // The value of the first line that starts with `key` ("" when none).
    std::string valueOf(const std::string& file, const std::string& key) const;
    std::vector<std::string> valuesOf(const std::string& file, const std::string& key) const;

    // A picture file written by the test, `width` by `height` ("bmp" or "jpg" by the name's end).
    std::string picture(const std::string& name, int width, int height) const;
    // A WAV file of `milliseconds` written by the test.
    std::string wav(const std::string& name, int milliseconds = 200) const;
    // A file's path text in the program folder.
    std::string inFolder(const std::string& relative) const;

    std::vector<std::string> listLines() const;
};
