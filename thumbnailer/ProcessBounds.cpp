#include "thumbnailer/ProcessBounds.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

namespace {

// An honest package takes well under a second; the largest pictures a scenario may hold (a
// 7680 x 4320 background as a 127 MiB bitmap or a 30 MiB progressive JPEG) take about 2 s of
// processor time and 400 MiB of address space, Qt's libraries included (measured).
constexpr unsigned kMostProcessorSeconds = 5;
// A file manager waits for the thumbnail: waiting on a slow disk counts as well.
constexpr unsigned kMostSeconds = 10;
constexpr rlim_t kMostAddressSpace = rlim_t(1024) * 1024 * 1024;
#ifdef __SANITIZE_ADDRESS__
// AddressSanitizer's shadow memory takes terabytes of address space: a sanitizer build (tools/
// sanitize.sh) bounds the time only.
constexpr bool kAddressSpaceBounded = false;
#else
constexpr bool kAddressSpaceBounded = true;
#endif

// Lowers a limit; one that is lower already stays.
void lower(int resource, rlim_t soft, rlim_t hard)
{
    rlimit now{};
    if (::getrlimit(resource, &now) != 0)
        return;
    now.rlim_max = std::min(now.rlim_max, hard);
    now.rlim_cur = std::min({now.rlim_cur, soft, now.rlim_max});
    ::setrlimit(resource, &now);
}

} // namespace

void boundThisProcess()
{
    // Ended by a bound (SIGXCPU), the process writes no core file.
    lower(RLIMIT_CORE, 0, 0);
    // SIGXCPU at the soft limit, SIGKILL a second later.
    lower(RLIMIT_CPU, kMostProcessorSeconds, kMostProcessorSeconds + 1);
    if (kAddressSpaceBounded)
        lower(RLIMIT_AS, kMostAddressSpace, kMostAddressSpace);
    std::signal(SIGXFSZ, SIG_IGN);
    // Waiting counts too: SIGALRM ends the process.
    ::alarm(kMostSeconds);
}

void holdBoundSignals()
{
    ::alarm(0);
    sigset_t held;
    sigemptyset(&held);
    sigaddset(&held, SIGXCPU);
    ::sigprocmask(SIG_BLOCK, &held, nullptr);
}
