#include "platform/ActionReport.h"

#include "platform/Dialogs.h"

#include <unordered_set>
#include <vector>

namespace {

int openReports = 0;
std::vector<std::string> collected;        // in the order reported
std::unordered_set<std::string> collectedOnce; // a save may report thousands of files

// A box taller than the screen hides its OK button: beyond this many lines only their number shows.
constexpr std::size_t kMostLinesShown = 20;

std::string joinedLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size() && i < kMostLinesShown; ++i)
        text += (text.empty() ? "" : "\n") + lines[i];
    if (lines.size() > kMostLinesShown)
        text += "\n… und " + std::to_string(lines.size() - kMostLinesShown) + " weitere.";
    return text;
}

} // namespace

ActionReport::ActionReport()
{
    ++openReports;
}

ActionReport::~ActionReport()
{
    if (--openReports > 0 || collected.empty())
        return;
    const std::string text = joinedLines(collected);
    collected.clear();
    collectedOnce.clear();
    try {
        dialogs().error(text);
    } catch (...) {
        // No box can be shown (the program is ending): nothing else to tell.
    }
}

void reportError(const std::string& text)
{
    if (openReports == 0) {
        dialogs().error(text);
        return;
    }
    if (collectedOnce.insert(text).second)
        collected.push_back(text);
}

std::string fileProblem(const std::string& path, const std::string& reason)
{
    if (path.empty() || reason.find(path) != std::string::npos)
        return reason;
    return path + ": " + reason;
}
