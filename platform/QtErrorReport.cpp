#include "platform/QtErrorReport.h"

#include "platform/ActionReport.h"
#include "platform/BlitzfangError.h"

#include <new>
#include <system_error>

std::string errorText(const std::exception& error)
{
    if (dynamic_cast<const BlitzfangError*>(&error))
        return error.what();
    if (auto* system = dynamic_cast<const std::system_error*>(&error))
        return fehlertext::eaFehler(system->code().value());
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return "Zu wenig Arbeitsspeicher";
    return std::string("Unerwarteter Fehler: ") + error.what();
}

void showError(const std::exception& error)
{
    reportError(errorText(error));
}

void runAsOneAction(const std::function<void()>& action)
{
    ActionReport report;
    try {
        action();
    } catch (const std::exception& error) {
        showError(error);
    } catch (...) {
        reportError(fehlertext::unbekannterFehler);
    }
}

bool reportedStep(const std::function<void()>& step)
{
    try {
        step();
        return true;
    } catch (const std::exception& error) {
        showError(error);
        return false;
    }
}
