// The real Qt boxes and the conversions behind the standard dialogs.

#include "platform/BlitzfangError.h"
#include "platform/QtDialogs.h"
#include "platform/QtErrorReport.h"
#include "tests/support/TempFolder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColor>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

struct BoxSeen {
    QString title;
    QString text;
    QStringList buttons;
    QRect frame;
};

// Waits for the modal box, records it and presses the button with `buttonText`.
void answerNextBox(BoxSeen& seen, const QString& buttonText)
{
    QTimer::singleShot(5, [&seen, buttonText] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        // A box is placed once it is on the screen.
        if (!box || !box->isVisible() || !box->windowHandle()->isExposed()) {
            answerNextBox(seen, buttonText);
            return;
        }
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.frame = box->frameGeometry();
        QAbstractButton* chosen = nullptr;
        for (QAbstractButton* button : box->buttons()) {
            seen.buttons << button->text();
            if (button->text() == buttonText)
                chosen = button;
        }
        // An unexpected box is closed all the same, so that no test hangs on it.
        (chosen ? chosen : box->buttons().constFirst())->click();
    });
}

TEST(QtBoxes, noticeAndErrorShowTheTextAsItIsUnderTheProgramsCaptionWithAnOkButton)
{
    QtDialogs boxes;
    const std::pair<void (QtDialogs::*)(const std::string&), std::string> shown[] = {
        {&QtDialogs::notice, "Sieg"}, {&QtDialogs::error, "'<b>12</b>' ist kein gültiger Integerwert"}};
    for (const auto& [show, text] : shown) {
        BoxSeen seen;
        answerNextBox(seen, QStringLiteral("OK"));
        (boxes.*show)(text);
        EXPECT_EQ(seen.title, "Blitzfang") << text;
        EXPECT_EQ(seen.text.toStdString(), text);
        EXPECT_EQ(seen.buttons.size(), 1) << text;
        EXPECT_EQ(seen.buttons.value(0).remove(QLatin1Char('&')), "OK") << text;
    }
}

TEST(QtBoxes, warningQuestionIsTrueOnlyForJa)
{
    QtDialogs boxes;
    BoxSeen seen;
    answerNextBox(seen, QStringLiteral("&Ja"));
    EXPECT_TRUE(boxes.askWarning("Wollen Sie das aktuell Szenario wirklich löschen?"));
    EXPECT_EQ(seen.title, "Warnung");
    EXPECT_EQ(seen.text, "Wollen Sie das aktuell Szenario wirklich löschen?");
    EXPECT_EQ(seen.buttons, (QStringList{"&Ja", "&Nein"}));

    answerNextBox(seen, QStringLiteral("&Nein"));
    EXPECT_FALSE(boxes.askWarning("Dieses Szenario existiert schon. Soll es überschrieben werden?"));
}

// Waits for the modal box and presses Enter on it, as a player who does not read it.
void pressEnterOnNextBox()
{
    QTimer::singleShot(5, [] {
        QWidget* box = QApplication::activeModalWidget();
        box && box->isVisible() ? QTest::keyClick(box, Qt::Key_Return) : pressEnterOnNextBox();
    });
}

TEST(QtBoxes, enterAnswersNeinWhereNeinIsTheDefaultAndJaOtherwise)
{
    QtDialogs boxes;
    for (const DefaultAnswer answer : {DefaultAnswer::nein, DefaultAnswer::ja}) {
        pressEnterOnNextBox();
        EXPECT_EQ(boxes.askWarning("Wirklich?", answer), answer == DefaultAnswer::ja);
    }
}

TEST(QtBoxes, everyBoxStandsCentredOverItsWindowAndIsWideEnoughForItsCaption)
{
    QWidget owner;
    owner.setGeometry(40, 60, 500, 400);
    owner.show();
    owner.activateWindow();
    QtDialogs boxes;
    const std::function<void()> shows[] = {[&] { boxes.notice("Sieg"); }, [&] { boxes.error("Nein"); },
                                           [&] { boxes.askWarning("Ja?"); }};
    for (const auto& show : shows) {
        BoxSeen seen;
        answerNextBox(seen, QStringLiteral("OK"));
        show();
        SCOPED_TRACE(seen.text.toStdString());
        EXPECT_NEAR(seen.frame.center().x(), owner.frameGeometry().center().x(), 1);
        EXPECT_NEAR(seen.frame.center().y(), owner.frameGeometry().center().y(), 1);
        // The caption in a bold face, beside an icon and three buttons of a caption bar.
        QFont captionFont = QApplication::font();
        captionFont.setBold(true);
        EXPECT_GE(seen.frame.width(), QFontMetrics(captionFont).horizontalAdvance(seen.title) + 100);
    }
}

// Waits for the modal dialog of type Dialog and hands it to `act`.
template <typename Dialog>
void whenModal(const std::function<void(Dialog*)>& act)
{
    QTimer::singleShot(5, [act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return whenModal(act);
        act(dialog);
    });
}

// Where the dialogs of this test process remember, as the program's own folder: never ~/.config.
const TempFolder& dialogMemory()
{
    static const TempFolder memory;
    keepDialogMemoryIn(memory.path());
    return memory;
}

TEST(FileDialog, opensInTheStartFolderWithAndWithoutPreviewAndRemembersInTheGivenFolder)
{
    const TempFolder& memory = dialogMemory();
    QtDialogs dialogs;
    const std::string folder = std::filesystem::temp_directory_path().string();
    for (bool preview : {true, false}) {
        QString shown;
        whenModal<QFileDialog>([&shown](QFileDialog* dialog) {
            shown = dialog->directory().absolutePath();
            dialog->reject();
        });
        EXPECT_FALSE(dialogs.openFile("Alle (*.*)|*.*", folder, preview, true)) << preview;
        EXPECT_EQ(shown.toStdString(), folder) << preview;
    }
    EXPECT_NE(memory.read("QtProject.conf").find("[FileDialog]"), std::string::npos);
}

TEST(FileDialog, thePicturePreviewShowsWhatTheProgramsDecoderGives)
{
    dialogMemory();
    QtDialogs dialogs;
    std::vector<std::string> asked;
    setPicturePreview([&asked](const std::string& path, QSize box) {
        asked.push_back(path);
        QImage picture(box.width(), box.height() / 2, QImage::Format_RGB32);
        picture.fill(Qt::red);
        return path.ends_with("gut.jpg") ? picture : QImage();
    });
    const std::string folder = std::filesystem::temp_directory_path().string();
    std::vector<bool> shown;
    whenModal<QFileDialog>([&shown, folder](QFileDialog* dialog) {
        auto* preview = dialog->findChild<QLabel*>(QStringLiteral("Vorschau"));
        for (const char* name : {"/gut.jpg", "/kaputt.jpg"}) {
            emit dialog->currentChanged(QString::fromStdString(folder + name));
            shown.push_back(preview && !preview->pixmap().isNull());
        }
        dialog->reject();
    });
    dialogs.openFile("Bilder (*.jpg)|*.jpg", folder, true, true);
    setPicturePreview({});
    EXPECT_EQ(asked, (std::vector<std::string>{folder + "/gut.jpg", folder + "/kaputt.jpg"}));
    EXPECT_EQ(shown, (std::vector<bool>{true, false}));
}

TEST(FileFilters, pipeListsBecomeQtFilters)
{
    EXPECT_EQ(qtFileFilter("Alle (*.jpg;*.jpeg;*.bmp;)|*.jpg;*.jpeg;*.bmp;|JPEG-Grafikdatei (*.jpg)|*.jpg|"
                           "JPEG-Grafikdatei (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp"),
              "Alle (*.jpg *.jpeg *.bmp);;JPEG-Grafikdatei (*.jpg);;JPEG-Grafikdatei (*.jpeg);;Bitmaps (*.bmp)");
    EXPECT_EQ(qtFileFilter("Bilder (*.wav)|*.wav"), "Bilder (*.wav)");
    // The pattern half decides; "*.*" also takes files without an extension.
    EXPECT_EQ(qtFileFilter("Sounds|*.wav|Alles (*.*)|*.*"), "Sounds (*.wav);;Alles (*)");
}

TEST(Colours, lowestByteIsRed)
{
    EXPECT_EQ(colorFromBgr(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(colorFromBgr(0x00FFFF), QColor(255, 255, 0));
    EXPECT_EQ(colorFromBgr(12632256), QColor(192, 192, 192));
    EXPECT_EQ(bgrFromColor(QColor(0, 0, 128)), 0x800000u);
    EXPECT_EQ(bgrFromColor(colorFromBgr(0x123456)), 0x123456u);
}

TEST(ErrorTexts, oursStayAndOthersBecomeGerman)
{
    EXPECT_EQ(errorText(BlitzfangError("Bitmap ist ungültig")), "Bitmap ist ungültig");
    EXPECT_EQ(errorText(std::filesystem::filesystem_error("x", std::make_error_code(std::errc::permission_denied))),
              "Dafür fehlt die Berechtigung (E/A-Fehler 13).");
}

} // namespace
