// blitzfang-thumbnailer PACKAGE PNG SIZE: the picture of a scenario package that a file manager
// shows in place of an icon (the .thumbnailer file in /usr/share/thumbnailers runs it with
// %i %o %s). Writes the PNG, and nothing else, only for a package the game would import.

#include "game/ProgramFolderChoice.h"
#include "platform/BlitzfangError.h"
#include "storage/ConfinedFolder.h"
#include "storage/ScenarioNames.h"
#include "thumbnailer/ProcessBounds.h"
#include "thumbnailer/ScenarioThumbnail.h"

#include <QBuffer>
#include <QGuiApplication>

#include <charconv>
#include <cstring>
#include <iostream>

namespace fs = std::filesystem;

namespace {

const char* const kAufruf = "Aufruf: blitzfang-thumbnailer PAKET.blitzfang BILD.png GRÖSSE\n";

// The pixels of the longer side; 0 for anything but a whole number from 1 to kLargestThumbnail.
int thumbnailSize(const char* text)
{
    int size = 0;
    const char* end = text + std::strlen(text);
    const auto [rest, error] = std::from_chars(text, end, size);
    return error == std::errc() && rest == end && size >= 1 && size <= kLargestThumbnail ? size : 0;
}

// The folder that holds the shipped "Standard": the program's own (a build or an unpacked copy),
// else the installation's data folder.
fs::path mediaFolder()
{
    const fs::path own = executableFolder();
    std::error_code ec;
    if (fs::is_directory(findeOhneGrossKlein(own, "Standard"), ec))
        return own;
    return (own / BLITZFANG_DATA_FROM_BIN).lexically_normal();
}

// Replaces `target` whole or not at all: a file manager never reads half a picture.
void writePng(const QImage& image, const fs::path& target)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw BlitzfangError("Das Vorschaubild kann nicht als PNG geschrieben werden.");
    const fs::path absolute = fs::absolute(target);
    ConfinedFolder(absolute.parent_path())
        .writeFile(absolute.filename().string(), std::string_view(png.constData(), std::size_t(png.size())));
}

} // namespace

int main(int argc, char** argv)
{
    boundThisProcess();
    const int size = argc == 4 ? thumbnailSize(argv[3]) : 0;
    if (size == 0) {
        std::cerr << kAufruf;
        return 2;
    }
    // No display is needed, whatever the session has; and no file name is taken for one of Qt's
    // own options.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Without a runtime folder Qt would create /tmp/runtime-USER to look for a sandbox's marker
    // file in it: this one it cannot create, and it looks no further.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", "/dev/null");
    // Qt's notes are of no use to a file manager; the thumbnailer's own reason goes to stderr.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    int qtArgc = 1;
    QGuiApplication application(qtArgc, argv);
    try {
        const QImage thumbnail = scenarioThumbnail(argv[1], mediaFolder(), size);
        holdBoundSignals();
        writePng(thumbnail, argv[2]);
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "blitzfang-thumbnailer: " << error.what() << '\n';
        return 1;
    }
}
