#pragma once
// Shared helpers of the storage tests: a program folder inside a temporary folder (so a test
// sees anything written beside it), CR LF file texts and the program's start-up sequence.

#include "storage/ScenarioStore.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempFolder.h"

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>

#include <sys/wait.h>
#include <unistd.h>

// Every line followed by CR LF.
inline std::string crlf(std::initializer_list<std::string_view> lines)
{
    std::string text;
    for (std::string_view line : lines)
        text.append(line).append("\r\n");
    return text;
}

class ProgramFolder {
public:
    ProgramFolder() { std::filesystem::create_directories(path()); }

    std::filesystem::path path() const { return root_ / "prog"; }
    // The text the settings' paths begin with.
    std::string text() const { return path().string(); }
    const TempFolder& root() const { return root_; }

    void write(const std::string& name, const std::string& bytes) const { root_.write("prog/" + name, bytes); }
    std::string read(const std::string& name) const { return root_.read("prog/" + name); }
    bool has(const std::string& name) const { return std::filesystem::exists(path() / name); }

    // Every file below the temporary folder (the program folder and beside it) with its bytes.
    std::map<std::string, std::string> snapshot() const { return root_.snapshot(); }

private:
    TempFolder root_;
};

// The main window's creation: prepare, load the scenario named by setup.cfg, fill in names.
inline void startProgram(ScenarioStore& store)
{
    store.programmstartVorbereiten();
    store.dateiexlesen("standard");
    leereNamenAuffuellen(store.settings.highscore);
}

// A setup file naming `spielstart` and listing the given names in the given order.
inline std::string setupText(std::string_view spielstart, std::initializer_list<std::string_view> names)
{
    std::string text = crlf({"Blitzfang", "", "Speicherstände"}) + "Spielstart: " + std::string(spielstart) + "\r\n";
    for (std::string_view name : names)
        text += "Speicherstand: " + std::string(name) + "\r\n";
    return text + crlf({"", "Ende =:-)"});
}

// A scenario file that passes the loader's check, with its title and further lines.
inline std::string scenarioText(std::string_view titel, std::initializer_list<std::string_view> more = {})
{
    std::string text = crlf({"Ziel: /m/ziel.bmp", "Abschuss: /m/abschuss.bmp", "Textfarbe: 255", "Zielort: Mond",
                             "Spielername: Erika", "Sounddateianzahl: 1", "Sounds: /m/au1.wav"});
    text += "Titel: " + std::string(titel) + "\r\n";
    for (std::string_view line : more)
        text.append(line).append("\r\n");
    return text;
}

// Runs `body` in a forked child and returns its exit code (-1 when it did not exit).
inline int runInChild(const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        int code = 98;
        try {
            code = body();
        } catch (...) {
        }
        ::_exit(code);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
