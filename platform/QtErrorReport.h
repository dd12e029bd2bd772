#pragma once
// Errors that end an action are shown in an error box and the program goes on.

#include <exception>
#include <functional>
#include <string>

// The German text of an error: ours as it is, file-system errors as "E/A-Fehler <code>".
std::string errorText(const std::exception& error);

// Shows the error in the error box of dialogs(), or adds it to the open action's box
// (ActionReport.h).
void showError(const std::exception& error);

// Runs one user action: what it reports and the error that ends it show as one box.
void runAsOneAction(const std::function<void()>& action);

// Runs one step of a window's filling: an error is shown (in the action's box when one is
// open) and false returned, so that the caller goes on with its next step.
bool reportedStep(const std::function<void()>& step);
