#include "dialogs/ScenarioNameInput.h"

#include "platform/Dialogs.h"
#include "storage/ScenarioNames.h"
#include "storage/ScenarioStore.h"

#include <QWidget>

#include <algorithm>

bool acceptScenarioName(const std::string& name)
{
    const std::string problem = scenarioNameError(name);
    if (problem.empty())
        return true;
    dialogs().notice(problem);
    return false;
}

namespace {

ScenarioList::const_iterator findListed(const ScenarioList& list, const std::string& name)
{
    const std::string folded = kleinAZ(name);
    return std::find_if(list.begin(), list.end(), [&](const T_Datei& entry) { return kleinAZ(entry.name) == folded; });
}

} // namespace

bool isListed(const ScenarioList& list, const std::string& name)
{
    return findListed(list, name) != list.end();
}

std::string listedSpelling(const ScenarioList& list, const std::string& name)
{
    // An exact entry wins over one that differs in case (the list may hold both).
    if (std::any_of(list.begin(), list.end(), [&](const T_Datei& entry) { return entry.name == name; }))
        return name;
    const auto listed = findListed(list, name);
    return listed == list.end() ? name : listed->name;
}

bool hasScenarioFile(const ScenarioStore& store, const std::string& name)
{
    return store.folder().kindOf(store.scenarioFile(name)) == EntryKind::file;
}

bool isMissingScenario(const ScenarioStore& store, const std::string& name)
{
    return kleinAZ(name) != "standard" && !hasScenarioFile(store, name);
}

void useCondensedFont(QWidget* control)
{
    QFont condensed = control->font();
    condensed.setStretch(QFont::Condensed);
    control->setFont(condensed);
}
