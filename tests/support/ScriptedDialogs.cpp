#include "tests/support/ScriptedDialogs.h"

namespace {
Dialogs* installed = nullptr;

template <typename T>
T takeFront(std::deque<T>& queue, T fallback)
{
    if (queue.empty())
        return fallback;
    T answer = queue.front();
    queue.pop_front();
    return answer;
}
} // namespace

ScriptedDialogs::ScriptedDialogs() : previous_(installed)
{
    installed = this;
    setDialogs(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    installed = previous_;
    setDialogs(previous_);
}

void ScriptedDialogs::notice(const std::string& text) { notices.push_back(text); }

bool ScriptedDialogs::askWarning(const std::string& text, DefaultAnswer defaultAnswer)
{
    warnings.push_back(text);
    warningDefaults.push_back(defaultAnswer);
    return takeFront(warningAnswers, false);
}

void ScriptedDialogs::error(const std::string& text) { errors.push_back(text); }

std::optional<std::string> ScriptedDialogs::openFile(const std::string& filter, const std::string& startFolder,
                                                     bool, bool)
{
    fileFilters.push_back(filter);
    fileStartFolders.push_back(startFolder);
    return takeFront<std::optional<std::string>>(fileAnswers, std::nullopt);
}

std::optional<std::string> ScriptedDialogs::saveFile(const std::string& filter, const std::string& startFolder,
                                                     const std::string& suggestedName, const std::string& title)
{
    suggestedNames.push_back(suggestedName);
    saveTitles.push_back(title);
    return openFile(filter, startFolder, false, false);
}

std::optional<std::uint32_t> ScriptedDialogs::chooseColor(std::uint32_t initial)
{
    colorInitials.push_back(initial);
    return takeFront<std::optional<std::uint32_t>>(colorAnswers, std::nullopt);
}

void ScriptedDialogs::openLink(const std::string& url) { links.push_back(url); }
