#include "platform/QtDialogs.h"

#include "platform/QtFormWindow.h"
#include "platform/QtText.h"
#include "platform/QtWindowPlacement.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QSpacerItem>
#include <QWindow>
#include <QStringList>
#include <QTreeView>
#include <QUrl>

#include <utility>

namespace {

const QString kCaption = QStringLiteral("Blitzfang");

// Boxes stand over the active window; right after another box has closed no window is
// active, so take a visible, enabled one (a box over a disabled window would be disabled too).
QWidget* boxParent()
{
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->isEnabled() && !qobject_cast<QDialog*>(window))
            return window;
    return nullptr;
}

// Only the main window's close ends the program; a box or dialog never does, even when it
// is the last visible window (the main window is hidden while a side window is open).
void neverQuitOnClose(QWidget& box)
{
    box.setAttribute(Qt::WA_QuitOnClose, false);
}

// Room beside the caption for the icon and buttons a window manager puts in the caption bar.
constexpr int kCaptionBarButtons = 120;

// Where the window that a box belongs to stands. A borderless window (the game field) stands where
// it was placed: under a window manager Qt may keep a wrong idea of its place, and no player
// moves a window without a frame.
QRect ownerFrame(const QWidget& owner)
{
    const auto* form = qobject_cast<const FormWindow*>(&owner);
    if (form && (form->windowFlags() & Qt::FramelessWindowHint))
        return form->placedFrame(QMargins());
    return owner.frameGeometry();
}

// A message box that stands centred over the window it belongs to (over the screen when it has
// none), placed once its size and frame are known.
class OwnedBox : public QMessageBox {
public:
    OwnedBox(Icon icon, const QString& title, const QString& text, StandardButtons buttons)
        : QMessageBox(icon, title, text, buttons, boxParent()),
          placement_(*this, [this](const QMargins& frame) { return centredOverOwner(frame); })
    {
        neverQuitOnClose(*this);
        setTextFormat(Qt::PlainText);
        widenForCaption();
        placement_.placeWhenShown();
    }

private:
    // A box for a short text ("Sieg") would be too narrow to show its caption.
    void widenForCaption()
    {
        auto* grid = qobject_cast<QGridLayout*>(layout());
        if (!grid)
            return;
        QFont captionFont = font();
        captionFont.setBold(true);
        const int width = QFontMetrics(captionFont).horizontalAdvance(windowTitle()) + kCaptionBarButtons;
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }

    QRect centredOverOwner(const QMargins& frame) const
    {
        QRect owner;
        if (parentWidget())
            owner = ownerFrame(*parentWidget()->window());
        else if (QScreen* where = screen())
            owner = where->geometry();
        const QSize outer = size().grownBy(frame);
        return {owner.x() + owner.width() / 2 - outer.width() / 2, owner.y() + owner.height() / 2 - outer.height() / 2,
                outer.width(), outer.height()};
    }

    WindowPlacement placement_;
};

// A description without a trailing "(...)" of its own.
QString bareDescription(QString description)
{
    description = description.trimmed();
    if (description.endsWith(QLatin1Char(')'))) {
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (open >= 0)
            description = description.left(open).trimmed();
    }
    return description;
}

QString qtPatterns(const QString& patterns)
{
    QStringList result;
    for (QString pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        pattern = pattern.trimmed();
        // "*.*" means every file; on Linux many files have no dot.
        result << (pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
    }
    return result.join(QLatin1Char(' '));
}

PicturePreview& picturePreview()
{
    static PicturePreview preview;
    return preview;
}

// The picture preview beside the file list of the editor's picture dialog.
void addPicturePreview(QFileDialog& dialog)
{
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (!grid)
        return;
    auto* preview = new QLabel(&dialog);
    preview->setObjectName(QStringLiteral("Vorschau"));
    preview->setFixedSize(160, 160);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    grid->addWidget(preview, 1, grid->columnCount(), grid->rowCount() - 1, 1);
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview, [preview](const QString& path) {
        const QImage image = picturePreview() ? picturePreview()(QFile::encodeName(path).toStdString(), preview->size()) : QImage();
        if (image.isNull())
            preview->clear();
        else
            preview->setPixmap(QPixmap::fromImage(image));
    });
}

// Qt opens its file dialog too narrow for the name, size, type and date columns of its
// detailed view ("18....KiB"): wide enough for them within the screen, and the size, type and
// date columns as wide as what they show, the name taking the rest.
void openWideEnough(QFileDialog& dialog)
{
    constexpr QSize kRoomy(900, 520);
    QSize size = dialog.sizeHint().expandedTo(kRoomy);
    if (const QScreen* where = dialog.screen())
        size = size.boundedTo(where->availableGeometry().size() * 9 / 10);
    dialog.resize(size);
    if (auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* columns = details->header();
        columns->setStretchLastSection(false);
        columns->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < columns->count(); ++column)
            columns->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
}

} // namespace

void setPicturePreview(PicturePreview preview)
{
    picturePreview() = std::move(preview);
}

void keepDialogMemoryIn(const std::filesystem::path& folder)
{
    // The dialogs open their settings as Qt's own organisation, in the native format.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QFile::decodeName(folder.c_str()));
}

QString qtFileFilter(const std::string& pipeFilter)
{
    const QStringList parts = fromUtf8(pipeFilter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = qtPatterns(parts[i + 1]);
        if (patterns.isEmpty())
            continue;
        QString description = bareDescription(parts[i]);
        filters << (description.isEmpty() ? patterns : description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

QColor colorFromBgr(std::uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

std::uint32_t bgrFromColor(const QColor& color)
{
    return std::uint32_t(color.red()) | (std::uint32_t(color.green()) << 8) | (std::uint32_t(color.blue()) << 16);
}

void QtDialogs::notice(const std::string& text)
{
    OwnedBox box(QMessageBox::NoIcon, kCaption, fromUtf8(text), QMessageBox::Ok);
    box.exec();
}

bool QtDialogs::askWarning(const std::string& text, DefaultAnswer defaultAnswer)
{
    OwnedBox box(QMessageBox::Warning, QStringLiteral("Warnung"), fromUtf8(text), QMessageBox::NoButton);
    QPushButton* ja = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton* nein = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
    box.setDefaultButton(defaultAnswer == DefaultAnswer::nein ? nein : ja);
    box.setEscapeButton(nein);
    box.exec();
    return box.clickedButton() == ja;
}

void QtDialogs::error(const std::string& text)
{
    OwnedBox box(QMessageBox::Critical, kCaption, fromUtf8(text), QMessageBox::Ok);
    box.exec();
}

std::optional<std::string> QtDialogs::openFile(const std::string& filter, const std::string& startFolder,
                                               bool picturePreview, bool mustExist)
{
    // File names are bytes: Qt's own conversion of them, both ways.
    QFileDialog dialog(boxParent(), QString(), QFile::decodeName(QByteArray::fromStdString(startFolder)));
    neverQuitOnClose(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilter(qtFileFilter(filter));
    if (picturePreview) {
        // The preview lives in Qt's own dialog; a desktop's native one has no place for it.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        addPicturePreview(dialog);
    }
    openWideEnough(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

std::optional<std::string> QtDialogs::saveFile(const std::string& filter, const std::string& startFolder,
                                               const std::string& suggestedName, const std::string& title)
{
    QFileDialog dialog(boxParent(), QString::fromStdString(title),
                       QFile::decodeName(QByteArray::fromStdString(startFolder)));
    neverQuitOnClose(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QString filters = qtFileFilter(filter);
    dialog.setNameFilter(filters);
    // "Blitzfang-Szenarien (*.blitzfang)": a name typed without ".blitzfang" gets it.
    const qsizetype suffix = filters.indexOf(QStringLiteral("(*."));
    if (suffix >= 0)
        dialog.setDefaultSuffix(filters.mid(suffix + 3).section(QRegularExpression(QStringLiteral("[ );]")), 0, 0));
    dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(suggestedName)));
    openWideEnough(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

std::optional<std::uint32_t> QtDialogs::chooseColor(std::uint32_t initial)
{
    QColorDialog dialog(colorFromBgr(initial), boxParent());
    neverQuitOnClose(dialog);
    if (dialog.exec() != QDialog::Accepted || !dialog.selectedColor().isValid())
        return std::nullopt;
    return bgrFromColor(dialog.selectedColor());
}

void QtDialogs::openLink(const std::string& url)
{
    // The desktop's handler decides what opens; nothing is reported when none does.
    QDesktopServices::openUrl(QUrl(fromUtf8(url)));
}
