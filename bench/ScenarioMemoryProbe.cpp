// Peak memory of one program start whose current scenario is the worst file of a kind, loaded
// by the storage alone. Goal: under 100 MB for any scenario file. Prints the peak resident
// memory before and after the load and what the loader made of the file.
//
//   build/bench/scenario_memory_probe KIND     (or /usr/bin/time -v ... for the kernel's figure)
//
// KIND: sounds-utf8     10000 hit sounds with paths of 1600 bytes (the largest honest file)
//       sounds-cp1252   Windows-1252 "€" paths (each byte 3 in UTF-8) up to the limit as UTF-8
//       long-title      a title as large as the file limit (refused: too long for the editor)
//       list            the file limit filled with "Speicherstand: " lines (refused beyond 100000)
//       highscore       a highscore of ten names as long as the editor's fields hold
//       too-large       a file one byte over the limit (refused unread)

#include "platform/Dialogs.h"
#include "storage/ScenarioFile.h"
#include "storage/ScenarioStore.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

class PrintingNotifier : public Notifier {
public:
    void notice(const std::string& text) override { std::printf("message: %.300s\n", text.c_str()); }
};

long peakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

const std::string kRequired = "Titel: T\r\nZiel: z\r\nAbschuss: a\r\nZielort: o\r\nSpielername: n\r\nTextfarbe: 1\r\n";

// Lines of `key` + `filler` bytes, as many as fit the file limit after the required lines.
std::string filled(const std::string& head, const std::string& key, char filler, std::size_t lineLength,
                   std::size_t most = std::string::npos)
{
    std::string text = kRequired + head;
    for (std::size_t n = 0; n < most && text.size() + key.size() + lineLength + 2 <= kLargestScenarioFile; ++n)
        text += key + std::string(lineLength, filler) + "\r\n";
    return text;
}

std::string worstFile(const std::string& kind)
{
    if (kind == "sounds-utf8")
        return filled("Sounddateianzahl: 10000\r\n", "Sounds: /", 'a', 1600, 10000);
    if (kind == "sounds-cp1252")
        return filled("Sounddateianzahl: 10000\r\n", "Sounds: /", '\x80', (kLargestScenarioFile / 10000 - 14) / 3, 10000);
    if (kind == "long-title")
        return kRequired + "Sounddateianzahl: 1\r\nSounds: s\r\nTitel: " +
               std::string(kLargestScenarioFile - kRequired.size() - 60, 't') + "\r\n";
    if (kind == "list")
        return filled("Sounddateianzahl: 1\r\nSounds: s\r\n", "Speicherstand: ", 'x', 1);
    if (kind == "highscore") {
        std::string line = "Highscore: ";
        for (int n = 0; n < 10; ++n)
            line += std::string(kLongestValue, 'h') + ";1;1;";
        return kRequired + "Sounddateianzahl: 1\r\nSounds: s\r\n" + line + "\r\n";
    }
    if (kind == "too-large")
        return std::string(kLargestScenarioFile + 1, ' ');
    return {};
}

} // namespace

int main(int argc, char** argv)
{
    const std::string kind = argc > 1 ? argv[1] : "";
    const fs::path folder = fs::temp_directory_path() / ("blitzfang-memory-probe-" + std::to_string(::getpid()));
    // The file is made by a child, so that the peak measured here is the load's alone.
    const pid_t writer = ::fork();
    if (writer == 0) {
        const std::string text = worstFile(kind);
        if (text.empty())
            ::_exit(2);
        fs::create_directories(folder);
        std::ofstream(folder / "Fremd.cfg", std::ios::binary) << text;
        std::ofstream(folder / "setup.cfg", std::ios::binary) << "Spielstart: Fremd\r\nSpeicherstand: Fremd\r\n";
        std::printf("%s: file of %zu bytes\n", kind.c_str(), text.size());
        std::fflush(stdout);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(writer, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "usage: scenario_memory_probe sounds-utf8|sounds-cp1252|long-title|list|"
                             "highscore|too-large\n");
        return 2;
    }
    const long before = peakMiB();
    {
        PrintingNotifier notifier;
        ScenarioStore store(folder, notifier);
        store.programmstartVorbereiten();
        store.dateiexlesen("standard");
        std::printf("loaded \"%s\" with %zu hit sounds\n", store.setup.spielstart.c_str(), store.settings.sounds.size());
    }
    std::printf("peak resident memory: %ld MiB before the load, %ld MiB after it\n", before, peakMiB());
    fs::remove_all(folder);
    return 0;
}
