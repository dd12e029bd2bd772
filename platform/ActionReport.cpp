#include "platform/ActionReport.h"

#include "platform/Dialogs.h"

#include <algorithm>
#include <vector>

namespace {

int openReports = 0;
std::vector<std::string> collected;

std::string joinedLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "\n") + line;
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
    if (std::find(collected.begin(), collected.end(), text) == collected.end())
        collected.push_back(text);
}

std::string fileProblem(const std::string& path, const std::string& reason)
{
    if (path.empty() || reason.find(path) != std::string::npos)
        return reason;
    return path + ": " + reason;
}
