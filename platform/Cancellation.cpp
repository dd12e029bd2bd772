#include "platform/Cancellation.h"

namespace {

thread_local const std::atomic<bool>* watched = nullptr;

} // namespace

CancelScope::CancelScope(const std::atomic<bool>& flag) : previous_(watched)
{
    watched = &flag;
}

CancelScope::~CancelScope()
{
    watched = previous_;
}

bool cancelRequested()
{
    return watched && watched->load(std::memory_order_relaxed);
}

void stopWhenCancelled()
{
    if (cancelRequested())
        throw WorkCancelled();
}
