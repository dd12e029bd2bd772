#pragma once
// Every modal box and standard dialog of the program goes through this interface,
// so that tests can answer and record them instead of blocking on exec().

#include <cstdint>
#include <optional>
#include <string>

// What storage needs: plain notices. No Qt here.
class Notifier {
public:
    virtual ~Notifier() = default;
    // A plain message box: caption "Blitzfang", text, an OK button.
    virtual void notice(const std::string& text) = 0;
};

// The button of a warning question that Enter presses: "&Nein" where "&Ja" destroys something.
enum class DefaultAnswer { ja, nein };

class Dialogs : public Notifier {
public:
    // Warning question: title "Warnung", buttons "&Ja" and "&Nein". True only for "&Ja".
    virtual bool askWarning(const std::string& text, DefaultAnswer defaultAnswer = DefaultAnswer::ja) = 0;
    // Error box (caption "Blitzfang") with the error's German text.
    virtual void error(const std::string& text) = 0;
    // File-open dialog showing `startFolder` (the working folder when empty). `filter` uses the
    // "Name (*.a;*.b)|*.a;*.b|..." form. Returns the chosen full path, or nothing when cancelled.
    virtual std::optional<std::string> openFile(const std::string& filter, const std::string& startFolder,
                                                bool picturePreview, bool mustExist) = 0;
    // File-save dialog titled `title`, showing `startFolder` with `suggestedName` filled in; the
    // first pattern of `filter` gives the ending a typed name gets. Returns the chosen full path,
    // or nothing when cancelled. The dialog itself asks before an existing file is replaced.
    virtual std::optional<std::string> saveFile(const std::string& filter, const std::string& startFolder,
                                                const std::string& suggestedName, const std::string& title) = 0;
    // Colour dialog preselected with `initial`; colours are 0x00BBGGRR. Nothing when cancelled.
    virtual std::optional<std::uint32_t> chooseColor(std::uint32_t initial) = 0;
    // Opens a web address or mail link with the desktop's default handler; failures are silent.
    virtual void openLink(const std::string& url) = 0;
};

// The dialogs the program uses right now: the Qt ones in the program, a scripted double in tests.
Dialogs& dialogs();
void setDialogs(Dialogs* implementation);
