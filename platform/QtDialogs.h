#pragma once
// The program's modal boxes and standard dialogs on Qt (see Dialogs.h for the contract).

#include "platform/Dialogs.h"

#include <QImage>
#include <QString>

#include <filesystem>
#include <functional>

class QtDialogs : public Dialogs {
public:
    void notice(const std::string& text) override;
    bool askWarning(const std::string& text, DefaultAnswer defaultAnswer = DefaultAnswer::ja) override;
    void error(const std::string& text) override;
    std::optional<std::string> openFile(const std::string& filter, const std::string& startFolder,
                                        bool picturePreview, bool mustExist) override;
    std::optional<std::string> saveFile(const std::string& filter, const std::string& startFolder,
                                        const std::string& suggestedName, const std::string& title) override;
    std::optional<std::uint32_t> chooseColor(std::uint32_t initial) override;
    void openLink(const std::string& url) override;
};

// The picture dialog's preview of a file, fitted into `box`; a null image shows none. The program
// sets the decoder at its start, so that the preview decodes as the program itself does, with its
// limits; without one the dialog shows no preview.
using PicturePreview = std::function<QImage(const std::string& path, QSize box)>;
void setPicturePreview(PicturePreview preview);

// Qt's file and colour dialogs remember their last folders, their view and the custom colours in
// Qt's own settings file QtProject.conf, by default in ~/.config. The program keeps it in
// `folder`, its program folder, with the player's other files. Before the first dialog.
void keepDialogMemoryIn(const std::filesystem::path& folder);

// "Bilder (*.bmp;*.jpg)|*.bmp;*.jpg|Alle (*.*)|*.*" -> "Bilder (*.bmp *.jpg);;Alle (*)".
// The pattern half of each pair decides; a description's own "(...)" is replaced by it.
QString qtFileFilter(const std::string& pipeFilter);

// 0x00BBGGRR (lowest byte red) to and from Qt's colour.
class QColor;
QColor colorFromBgr(std::uint32_t bgr);
std::uint32_t bgrFromColor(const QColor& color);
