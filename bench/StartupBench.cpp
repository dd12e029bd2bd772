// Start-up of the program against a bare Qt window, both started as processes in the same
// run: time from process start to the first painted frame (the menu screen), resident memory
// at that moment, and CPU used while the menu idles. Goals: within 1.2 x the bare window,
// at most 45 MiB, no CPU while idle. The platform is QT_QPA_PLATFORM (offscreen when unset);
// run it under xvfb-run for X11 figures. A window with one label is measured as well: it pays
// the font set-up that the bare window (which draws no text) does not.

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
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

struct ChildReport {
    double shownMs = -1;
    long residentKib = -1;
    double idleCpuMs = -1;
    long idleEvents = -1;
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
    while (lines >> word) {
        if (word == "shown") {
            long long shownNs = 0;
            lines >> shownNs >> report.residentKib;
            report.shownMs = double(shownNs - started) / 1e6;
        } else if (word == "idle") {
            long long cpuUs = 0;
            lines >> cpuUs >> report.idleEvents;
            report.idleCpuMs = double(cpuUs) / 1e3;
        }
    }
    return report;
}

struct Figures {
    std::vector<double> shownMs;
    long residentKib = 0;
    ChildReport idle;
};

Figures programFigures;
Figures bareFigures;
Figures textFigures;
std::string programFolder;

std::vector<std::string> programCommand(const char* idleMs)
{
    return {STARTUP_PROGRAM_PROBE, programFolder, idleMs};
}

std::vector<std::string> bareCommand(const char* idleMs)
{
    return {STARTUP_BARE_WINDOW, idleMs};
}

std::vector<std::string> textCommand()
{
    return {STARTUP_BARE_WINDOW, "0", "text"};
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
    figures.shownMs.push_back(report.shownMs);
    figures.residentKib = std::max(figures.residentKib, report.residentKib);
    return true;
}

// Each round starts the three in turn, so that a busy machine weighs on all of them alike.
void menuScreenShown(benchmark::State& state)
{
    for (auto _ : state) {
        if (!recordShown(state, bareCommand("0"), bareFigures) || !recordShown(state, textCommand(), textFigures) ||
            !recordShown(state, programCommand("0"), programFigures))
            return;
        state.SetIterationTime(programFigures.shownMs.back() / 1000.0);
    }
    state.counters["bare_window_ms"] = median(bareFigures.shownMs);
    state.counters["label_window_ms"] = median(textFigures.shownMs);
    state.counters["resident_MiB"] = double(programFigures.residentKib) / 1024.0;
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

void prepareProgramFolder()
{
    std::string pattern = (fs::temp_directory_path() / "blitzfang-startup-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::exit(1);
    programFolder = pattern;
    fs::copy(STARTUP_STANDARD_DIR, fs::path(programFolder) / "Standard", fs::copy_options::recursive);
    // The first start writes setup.cfg and standard.cfg; the measured ones read them, as usual.
    runChild(programCommand("0"));
    runChild(bareCommand("0"));
}

void printSummary()
{
    const double program = median(programFigures.shownMs);
    const double bare = median(bareFigures.shownMs);
    const double residentMiB = double(programFigures.residentKib) / 1024.0;
    std::printf("\nPlatform: %s\n", std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "?");
    std::printf("Menu screen shown after  %7.1f ms (median of %zu)\n", program, programFigures.shownMs.size());
    std::printf("Bare window shown after  %7.1f ms (median of %zu)\n", bare, bareFigures.shownMs.size());
    std::printf("Ratio                    %7.2f   (goal <= 1.20)\n", bare > 0 ? program / bare : -1.0);
    std::printf("Window with one label    %7.1f ms (the font set-up any text costs; ratio to it %.2f)\n",
                median(textFigures.shownMs), program / median(textFigures.shownMs));
    std::printf("Resident memory          %7.1f MiB (goal <= 45; bare window %.1f MiB)\n", residentMiB,
                double(bareFigures.residentKib) / 1024.0);
    std::printf("CPU while idle for 3 s   %7.2f ms, %ld events (goal 0; bare window %.2f ms, %ld events)\n",
                programFigures.idle.idleCpuMs, programFigures.idle.idleEvents, bareFigures.idle.idleCpuMs,
                bareFigures.idle.idleEvents);
}

} // namespace

BENCHMARK(menuScreenShown)->UseManualTime()->Iterations(21)->Unit(benchmark::kMillisecond);
BENCHMARK(bareWindowIdle)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(menuScreenIdle)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "offscreen", 1);
    benchmark::Initialize(&argc, argv);
    prepareProgramFolder();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printSummary();
    std::error_code ignored;
    fs::remove_all(programFolder, ignored);
    return 0;
}
