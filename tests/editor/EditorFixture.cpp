#include "tests/editor/EditorFixture.h"

#include "platform/QtErrorReport.h"
#include "storage/ScenarioFile.h"
#include "tests/media/MediaFixtures.h"

#include <QAbstractButton>

#include <QListWidget>
#include <QToolButton>

#include <sstream>

TEditorForm& EditorTest::openEditor()
{
    if (!windows)
        start();
    mainForm().show();
    mainForm().EditorSpeedButton->click();
    return editor();
}

void EditorTest::writeFullScenario(const std::string& name, const std::function<void(ScenarioSettings&)>& change)
{
    ScenarioSettings settings = standardSettings(folder.path());
    if (change)
        change(settings);
    buildPreparedLines(settings, !istAus(settings.hintergrundbildAktiviert));
    folder.write(name + ".cfg", scenarioFileText(settings));
    writeSetup(name);
    // As installed: the standard scenario's file is there too.
    if (!std::filesystem::exists(folder / "standard.cfg"))
        folder.write("standard.cfg", standardFileText(standardSettings(folder.path())));
}

void EditorTest::click(QAbstractButton* button)
{
    try {
        button->click();
    } catch (const std::exception& error) {
        showError(error);
    }
}

std::vector<std::string> EditorTest::linesOf(const std::string& name) const
{
    const std::string text = folder.read(name);
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t end = text.find("\r\n", begin);
        if (end == std::string::npos) {
            lines.push_back(text.substr(begin));
            break;
        }
        lines.push_back(text.substr(begin, end - begin));
        begin = end + 2;
    }
    return lines;
}

std::vector<std::string> EditorTest::valuesOf(const std::string& file, const std::string& key) const
{
    std::vector<std::string> values;
    for (const std::string& line : linesOf(file))
        if (line.rfind(key, 0) == 0)
            values.push_back(line.substr(key.size()));
    return values;
}

std::string EditorTest::valueOf(const std::string& file, const std::string& key) const
{
    const std::vector<std::string> values = valuesOf(file, key);
    return values.empty() ? std::string() : values.front();
}

std::string EditorTest::picture(const std::string& name, int width, int height) const
{
    const std::filesystem::path path = folder / name;
    std::filesystem::create_directories(path.parent_path());
    const QImage image = fixtures::quarters(width, height);
    if (name.size() > 4 && name.substr(name.size() - 4) == ".bmp")
        fixtures::saveWithQt(path, image.convertToFormat(QImage::Format_RGB888), "BMP");
    else
        fixtures::writeJpeg(path, image);
    return path.string();
}

std::string EditorTest::wav(const std::string& name, int milliseconds) const
{
    const std::filesystem::path path = folder / name;
    std::filesystem::create_directories(path.parent_path());
    fixtures::writeWav(path, milliseconds);
    return path.string();
}

std::string EditorTest::inFolder(const std::string& relative) const
{
    return (folder / relative).string();
}

std::vector<std::string> EditorTest::listLines() const
{
    std::vector<std::string> lines;
    const QListWidget* list = windows->EditorForm->ListBox1;
    for (int row = 0; row < list->count(); ++row)
        lines.push_back(list->item(row)->text().toStdString());
    return lines;
}
