#pragma once
// Errors that end an action are shown in an error box and the program goes on.

#include <exception>
#include <string>

// The German text of an error: ours as it is, file-system errors as "E/A-Fehler <code>".
std::string errorText(const std::exception& error);

// Shows the error in the error box of dialogs().
void showError(const std::exception& error);
