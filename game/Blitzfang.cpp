// The program's start: the application, the program folder, then the seven windows and the
// menu screen.

#include "game/BlitzfangApplication.h"
#include "game/ProgramFolderChoice.h"

#include <csignal>
#include <cstdio>
#include <optional>
#include <string_view>

namespace {

constexpr std::string_view kUsage =
    "Aufruf: blitzfang [DATEI.blitzfang]\n"
    "Startet das Spiel Blitzfang mit seinem Szenario-Editor. Mit einem Szenario-Paket\n"
    "DATEI.blitzfang übernimmt es das Szenario darin (ein laufendes Blitzfang übernimmt\n"
    "die Datei).\n"
    "\n"
    "  --help     zeigt diese Hilfe\n"
    "  --version  zeigt die Version\n";

// What the command line asks for besides the game: the usage or the version on standard
// output, or the usage on standard error for an unknown option. The program's exit status
// then; nothing when the game starts. No window and no application are made for these.
std::optional<int> answeredOption(int argc, char** argv)
{
    std::optional<std::string_view> unknown;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "--help") {
            std::fputs(kUsage.data(), stdout);
            return 0;
        }
        if (word == "--version") {
            std::puts("Blitzfang " BLITZFANG_VERSION);
            return 0;
        }
        // A package whose name begins with "-" is given as "./-name.blitzfang".
        if (word.starts_with('-') && !unknown)
            unknown = word;
    }
    if (!unknown)
        return std::nullopt;
    std::fprintf(stderr, "blitzfang: unbekannte Option \"%.*s\"\n\n%s", int(unknown->size()), unknown->data(),
                 kUsage.data());
    return 2;
}

// The copy beside its Standard folder keeps its files there; an installed copy keeps them in
// $XDG_DATA_HOME/blitzfang (~/.local/share/blitzfang) and takes the media from its share folder.
ProgramFolderChoice programFolderChoice()
{
    const std::filesystem::path folder = executableFolder();
    return chooseProgramFolder(folder, (folder / BLITZFANG_DATA_FROM_BIN).lexically_normal(), playerDataFolder());
}

// The file the desktop passes on a double-click, as an absolute path: a program it is handed to
// works in another folder.
std::string packageArgument(int argc, char** argv)
{
    if (argc < 2 || *argv[1] == '\0')
        return {};
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(argv[1], ec);
    return ec ? std::string(argv[1]) : absolute.lexically_normal().string();
}

} // namespace

int main(int argc, char** argv)
{
    if (const std::optional<int> status = answeredOption(argc, argv))
        return *status;
    // Beyond a file-size limit a write must fail with EFBIG, which a save reports and survives;
    // the signal's default action would end the program and leave its temporary file behind.
    std::signal(SIGXFSZ, SIG_IGN);
    BlitzfangApplication application(argc, argv);
    return startBlitzfang(programFolderChoice(), packageArgument(argc, argv));
}
