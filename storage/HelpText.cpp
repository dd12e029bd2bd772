#include "storage/HelpText.h"

#include "storage/SafeFile.h"
#include "storage/ScenarioFile.h"

#include <system_error>

namespace {

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

std::string readHelpText(const std::filesystem::path& path)
{
    std::error_code ec;
    // A dangling link is there too: it is reported, not taken for a missing text.
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec)))
        return {};
    std::string text = withLfLineEnds(zuUtf8(readWholeFile(path)));
    if (text.ends_with('\n'))
        text.pop_back();
    return text;
}
