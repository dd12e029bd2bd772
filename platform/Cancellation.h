#pragma once
// Long work beside the window (a package checked or unpacked) stops when the player cancels:
// the window raises a flag, and the work on the worker's thread looks at it between its steps
// and inside long decodes. No Qt here: storage, package and media code look at it alike.

#include <atomic>

// Raised when the work was cancelled; not an error, and never shown.
struct WorkCancelled {};

// While it lives, the work of the current thread watches `flag`.
class CancelScope {
public:
    explicit CancelScope(const std::atomic<bool>& flag);
    ~CancelScope();
    CancelScope(const CancelScope&) = delete;
    CancelScope& operator=(const CancelScope&) = delete;

private:
    const std::atomic<bool>* previous_;
};

// True when the current thread's work has been cancelled (never without a CancelScope).
bool cancelRequested();
// Throws WorkCancelled when it has.
void stopWhenCancelled();
