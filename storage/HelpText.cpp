#include "storage/HelpText.h"

#include "platform/BlitzfangError.h"
#include "storage/ScenarioFile.h"
#include "storage/ScenarioNames.h"

#include <algorithm>

namespace {

constexpr const char* kFileName = "hilfe.txt";

// CR LF and a lone CR become LF.
std::string withLfLineEnds(std::string_view text)
{
    std::string lines;
    lines.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            lines += text[i];
            continue;
        }
        lines += '\n';
        if (i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
    }
    return lines;
}

} // namespace

std::string readHelpText(const ConfinedFolder& folder, const std::string& scenarioFolder)
{
    const std::string file = findeOhneGrossKlein(folder, scenarioFolder, kFileName);
    // A link is there too: it is reported, not taken for a missing text.
    if (folder.kindOf(file) == EntryKind::missing)
        return {};
    return helpTextOf(folder.readFile(file, kLargestHelpText), folder.absolute(file));
}

std::string helpTextOf(std::string_view bytes, const std::string& shownPath)
{
    std::string text = withLfLineEnds(zuUtf8(bytes));
    if (text.ends_with('\n'))
        text.pop_back();
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        if (utf16Length(std::string_view(text).substr(start, end - start)) > kLongestHelpTextLine)
            throw BlitzfangError("Der Hilfetext " + shownPath + " hat eine Zeile mit mehr als " +
                                 std::to_string(kLongestHelpTextLine) + " Zeichen und wird nicht gelesen.");
        start = end + 1;
    }
    return text;
}

void writeHelpText(StagedFiles& save, const std::string& scenarioFolder, const std::string& text)
{
    save.createFolder(scenarioFolder);
    std::string bytes;
    if (!text.empty()) {
        for (std::size_t start = 0; start <= text.size();) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            bytes.append(text, start, end - start).append("\r\n");
            start = end + 1;
        }
    }
    save.write(findeOhneGrossKlein(save.folder(), scenarioFolder, kFileName), bytes);
}
