#pragma once
// Everything one user action reports reaches the user as one error box: the action opens an
// ActionReport, the errors reported meanwhile are collected, and when the outermost report
// ends one box shows them, one line each, no line twice (the first 20, then how many more).
// Without an open report an error shows at once.

#include <string>

class ActionReport {
public:
    ActionReport();
    ~ActionReport();
    ActionReport(const ActionReport&) = delete;
    ActionReport& operator=(const ActionReport&) = delete;
};

// Adds `text` to the open action's box, or shows it in an error box of dialogs() at once.
void reportError(const std::string& text);

// A line that names the file: `reason` itself when it names `path` already (or there is no
// path), else "path: reason".
std::string fileProblem(const std::string& path, const std::string& reason);
