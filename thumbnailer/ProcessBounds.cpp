#include "thumbnailer/ProcessBounds.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

namespace {

// An honest package takes well under a second. The costliest one the import's check accepts
// (five 8K pictures at the decoding bound and 256 MiB of sound beginnings) takes about 7 s of processor
// time to check, and its background, Target and Figure about a second each to draw; the largest
// picture a scenario may hold takes 400 MiB of address space, Qt's libraries included
// (measured). So every package the game imports gets its thumbnail, and none costs more.
constexpr unsigned kMostProcessorSeconds = 15;
// A file manager waits for the thumbnail; a loaded computer takes up to half as long again.
constexpr unsigned kMostSeconds = 30;
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
