#pragma once
// A test double for every modal box and dialog: records what was shown and answers from
// scripted queues, so no test ever blocks on a modal box.

#include "platform/Dialogs.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

class ScriptedDialogs : public Dialogs {
public:
    // Installs itself as dialogs() for its lifetime and restores the previous one afterwards.
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    void notice(const std::string& text) override;
    bool askWarning(const std::string& text, DefaultAnswer defaultAnswer = DefaultAnswer::ja) override;
    void error(const std::string& text) override;
    std::optional<std::string> openFile(const std::string& filter, const std::string& startFolder,
                                        bool picturePreview, bool mustExist) override;
    std::optional<std::string> saveFile(const std::string& filter, const std::string& startFolder,
                                        const std::string& suggestedName, const std::string& title) override;
    std::optional<std::uint32_t> chooseColor(std::uint32_t initial) override;
    void openLink(const std::string& url) override;

    // What was shown, in order.
    std::vector<std::string> notices;
    std::vector<std::string> warnings;
    std::vector<DefaultAnswer> warningDefaults;
    std::vector<std::string> errors;
    std::vector<std::string> fileFilters;
    std::vector<std::string> fileStartFolders; // of both file dialogs
    std::vector<std::string> suggestedNames;
    std::vector<std::string> saveTitles;
    std::vector<std::uint32_t> colorInitials;
    std::vector<std::string> links;

    // Answers, taken from the front; an empty queue answers "No" / cancel.
    std::deque<bool> warningAnswers;
    std::deque<std::optional<std::string>> fileAnswers; // of both file dialogs
    std::deque<std::optional<std::uint32_t>> colorAnswers;

private:
    Dialogs* previous_ = nullptr;
};
