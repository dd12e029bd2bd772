// Start-up of the program against a bare Qt window with as many texts as the menu screen, both
// started as processes in turn in the same run: time from process start to the first paint and
// to the first frame seen (the menu screen), resident memory then, and CPU used while the menu
// idles; the time from a click on Start to the game field's first pixels in the first game after
// start and in a later one; the menu of a scenario with 10000 hit sounds. Goals: within 1.15 x
// the bare window, at most 40 MiB, no CPU while idle, the first game's field within 33 ms, the
// 10000 sounds loaded within 500 ms. The program starts as an installed copy, with every guard of
// its start. The platform is QT_QPA_PLATFORM (offscreen when unset); run it under xvfb-run for X11
// figures.

#include <benchmark/benchmark.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

struct ChildReport {
    double paintMs = -1; // the first paint begins
    double shownMs = -1; // the first frame is through
    long residentKib = -1;
    double idleCpuMs = -1;
    long idleEvents = -1;
    // Per game: from the click on Start to the field's first paint, and to its frame.
    std::vector<double> gamePaintMs;
    std::vector<double> gameShownMs;
};

long long monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// Starts the child, reads its report lines, waits for its end (killing it after 30 s).
ChildReport runChild(const std::vector<std::string>& arguments)
{
    int channel[2];
    if (pipe(channel) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, channel[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, channel[0]);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    pid_t child = 0;
    const long long started = monotonicNs();
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(channel[1]);
    if (spawned != 0) {
        close(channel[0]);
        return {};
    }

    std::string output;
    char buffer[512];
    pollfd reader{channel[0], POLLIN, 0};
    const long long deadline = started + 30'000'000'000LL;
    while (monotonicNs() < deadline && poll(&reader, 1, 1000) >= 0) {
        if (!(reader.revents & (POLLIN | POLLHUP)))
            continue;
        const ssize_t count = read(channel[0], buffer, sizeof buffer);
        if (count <= 0)
            break;
        output.append(buffer, std::size_t(count));
    }
    close(channel[0]);
    if (monotonicNs() >= deadline)
        kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);

    ChildReport report;
    std::istringstream lines(output);
    std::string word;
    const auto since = [](long long from, long long to) { return double(to - from) / 1e6; };
    while (lines >> word) {
        if (word == "paint") {
            long long paintNs = 0;
            lines >> paintNs;
            report.paintMs = since(started, paintNs);
        } else if (word == "shown") {
            long long shownNs = 0;
            lines >> shownNs >> report.residentKib;
            report.shownMs = since(started, shownNs);
        } else if (word == "idle") {
            long long cpuUs = 0;
            lines >> cpuUs >> report.idleEvents;
            report.idleCpuMs = double(cpuUs) / 1e3;
        } else if (word == "game") {
            int number = 0;
            long long clickNs = 0, paintNs = 0, shownNs = 0;
            lines >> number >> clickNs >> paintNs >> shownNs;
            report.gamePaintMs.push_back(since(clickNs, paintNs));
            report.gameShownMs.push_back(since(clickNs, shownNs));
        }
    }
    return report;
}

struct Figures {
    std::vector<double> paintMs;
    std::vector<double> shownMs;
    long residentKib = 0;
    ChildReport idle;
    std::vector<double> firstGamePaintMs, firstGameShownMs, laterGamePaintMs, laterGameShownMs;
};

Figures programFigures;
Figures bareFigures;
Figures manySoundsFigures;
fs::path benchFolder;

// The program as installed: its files in the player's own folder, the standard media shipped
// beside it and brought up to date at every start (the heaviest way to start).
std::vector<std::string> programCommand(const char* idleMs, const char* games = "0",
                                        const std::string& folder = "player")
{
    return {STARTUP_PROGRAM_PROBE, (benchFolder / folder).string(), STARTUP_STANDARD_DIR, idleMs, games};
}

std::vector<std::string> bareCommand(const char* idleMs)
{
    return {STARTUP_BARE_WINDOW, idleMs};
}

double median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool recordShown(benchmark::State& state, const std::vector<std::string>& command, Figures& figures)
{
    const ChildReport report = runChild(command);
    if (report.shownMs < 0) {
        state.SkipWithError("a child reported no painted window");
        return false;
    }
    figures.paintMs.push_back(report.paintMs);
    figures.shownMs.push_back(report.shownMs);
    figures.residentKib = std::max(figures.residentKib, report.residentKib);
    return true;
}

// Each round starts both in turn, so that a busy machine weighs on both alike.
void menuScreenShown(benchmark::State& state)
{
    for (auto _ : state) {
        if (!recordShown(state, bareCommand("0"), bareFigures) ||
            !recordShown(state, programCommand("0"), programFigures))
            return;
        state.SetIterationTime(programFigures.shownMs.back() / 1000.0);
    }
    state.counters["bare_window_ms"] = median(bareFigures.shownMs);
    state.counters["resident_MiB"] = double(programFigures.residentKib) / 1024.0;
}

// A game started a moment after the menu is seen, then, back on the menu, a second one.
void gameStart(benchmark::State& state)
{
    for (auto _ : state) {
        const ChildReport report = runChild(programCommand("0", "2"));
        if (report.gamePaintMs.size() < 2) {
            state.SkipWithError("a child started no two games");
            return;
        }
        programFigures.firstGamePaintMs.push_back(report.gamePaintMs[0]);
        programFigures.firstGameShownMs.push_back(report.gameShownMs[0]);
        programFigures.laterGamePaintMs.push_back(report.gamePaintMs[1]);
        programFigures.laterGameShownMs.push_back(report.gameShownMs[1]);
        state.SetIterationTime(report.gameShownMs[0] / 1000.0);
    }
    state.counters["later_game_ms"] = median(programFigures.laterGameShownMs);
}

// The current scenario names 10000 hit sounds.
void manySoundsShown(benchmark::State& state)
{
    for (auto _ : state) {
        if (!recordShown(state, programCommand("0", "0", "viele"), manySoundsFigures))
            return;
        state.SetIterationTime(manySoundsFigures.shownMs.back() / 1000.0);
    }
}

void measureIdle(benchmark::State& state, const std::vector<std::string>& command, Figures& figures)
{
    for (auto _ : state) {
        figures.idle = runChild(command);
        state.SetIterationTime(figures.idle.shownMs / 1000.0);
    }
    state.counters["idle_cpu_ms"] = figures.idle.idleCpuMs;
    state.counters["idle_events"] = double(figures.idle.idleEvents);
}

void menuScreenIdle(benchmark::State& state)
{
    measureIdle(state, programCommand("3000"), programFigures);
}

void bareWindowIdle(benchmark::State& state)
{
    measureIdle(state, bareCommand("3000"), bareFigures);
}

void writeText(const fs::path& file, const std::string& text)
{
    std::ofstream out(file, std::ios::binary);
    out << text;
}

// "viele": a program folder whose current scenario is "Viele", with 10000 hit sounds in its own
// folder (links to one standard sound: the load looks at the files, it does not read them).
void prepareManySounds()
{
    const fs::path folder = benchFolder / "viele";
    const fs::path sounds = folder / "Viele" / "sound";
    fs::create_directories(sounds);
    fs::create_directories(folder / "Viele" / "bilder");
    const fs::path sample = fs::path(STARTUP_STANDARD_DIR) / "sound" / "au1.wav";
    std::string scenario = "Bilder:\r\n";
    const std::string standard = (folder / "Standard").string();
    for (const char* picture : {"Ziel: ", "Abschuss: ", "Abschuss2: ", "Schuss: "})
        scenario += std::string(picture) + standard + "/bilder/" +
                    (std::string(picture) == "Ziel: "        ? "ziel.bmp"
                     : std::string(picture) == "Abschuss: "  ? "abschuss.bmp"
                     : std::string(picture) == "Abschuss2: " ? "abschuss2.bmp"
                                                             : "schuss.bmp") +
                    "\r\n";
    scenario += "Hintergrundfarbe: 0\r\nTextfarbe: 12632256\r\nHintergrundbild aktiviert: false\r\n"
                "Titel: Viele\r\nZielort: Erde\r\nAbschuss2ort: Haus\r\nStartbutton: Start\r\n"
                "Spielername: Spieler\r\nSchwierigkeitsgrad: 1\r\nSounddateianzahl: 10000\r\n";
    for (int n = 0; n < 10000; ++n) {
        const fs::path sound = sounds / ("s" + std::to_string(n) + ".wav");
        fs::create_hard_link(sample, sound);
        scenario += "Sounds: " + sound.string() + "\r\n";
    }
    for (const char* event : {"Verlorensound: ", "Siegsound: ", "Explosionssound: ", "Schussstartsound: "})
        scenario += std::string(event) + (sounds / "s0.wav").string() + "\r\n";
    scenario += "Ende :-)\r\n";
    writeText(folder / "Viele.cfg", scenario);
    writeText(folder / "setup.cfg", "Speicherstände\r\nSpielstart: Viele\r\nSpeicherstand: Standard\r\n"
                                    "Speicherstand: Viele\r\nEnde =:-)\r\n");
}

void prepareFolders()
{
    std::string pattern = (fs::temp_directory_path() / "blitzfang-startup-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::exit(1);
    benchFolder = pattern;
    fs::create_directories(benchFolder / "player");
    prepareManySounds();
    // The first start copies the standard media and writes setup.cfg and standard.cfg; the
    // measured ones read them and find the media up to date, as usual.
    runChild(programCommand("0"));
    runChild(programCommand("0", "0", "viele"));
    runChild(bareCommand("0"));
}

void printSummary()
{
    const double shown = median(programFigures.shownMs), bareShown = median(bareFigures.shownMs);
    const double paint = median(programFigures.paintMs), barePaint = median(bareFigures.paintMs);
    const double residentMiB = double(programFigures.residentKib) / 1024.0;
    std::printf("\nPlatform: %s; %zu + %zu starts in turn\n",
                std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "?", programFigures.shownMs.size(),
                bareFigures.shownMs.size());
    std::printf("Menu screen seen after   %7.1f ms, bare window %7.1f ms: ratio %.2f (goal <= 1.15)\n", shown,
                bareShown, bareShown > 0 ? shown / bareShown : -1.0);
    std::printf("First paint after        %7.1f ms, bare window %7.1f ms: ratio %.2f (goal <= 1.15)\n", paint,
                barePaint, barePaint > 0 ? paint / barePaint : -1.0);
    std::printf("Resident memory          %7.1f MiB (goal <= 40; bare window %.1f MiB)\n", residentMiB,
                double(bareFigures.residentKib) / 1024.0);
    std::printf("CPU while idle for 3 s   %7.2f ms, %ld events (goal 0; bare window %.2f ms, %ld events)\n",
                programFigures.idle.idleCpuMs, programFigures.idle.idleEvents, bareFigures.idle.idleCpuMs,
                bareFigures.idle.idleEvents);
    std::printf("Start -> field's pixels  %7.1f ms first game (paint begins %.1f ms; goal <= 33), later game %.1f ms "
                "(paint %.1f ms)\n",
                median(programFigures.firstGameShownMs), median(programFigures.firstGamePaintMs),
                median(programFigures.laterGameShownMs), median(programFigures.laterGamePaintMs));
    std::printf("10000 hit sounds: menu   %7.1f ms (goal: the scenario loads within 500 ms)\n",
                median(manySoundsFigures.shownMs));
}

} // namespace

BENCHMARK(menuScreenShown)->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);
BENCHMARK(gameStart)->UseManualTime()->Iterations(7)->Unit(benchmark::kMillisecond);
BENCHMARK(manySoundsShown)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(bareWindowIdle)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(menuScreenIdle)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "offscreen", 1);
    benchmark::Initialize(&argc, argv);
    prepareFolders();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printSummary();
    std::error_code ignored;
    fs::remove_all(benchFolder, ignored);
    return 0;
}
