#include "platform/Dialogs.h"

#include <stdexcept>

namespace {
Dialogs* current = nullptr;
}

Dialogs& dialogs()
{
    if (!current)
        throw std::logic_error("no dialogs installed");
    return *current;
}

void setDialogs(Dialogs* implementation)
{
    current = implementation;
}
