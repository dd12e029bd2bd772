// The captions and graphics pages: picture buttons with the JPEG rule, transparency boxes, the
// House and background switches, the background size check, the shared colour dialog and the
// folders the two file dialogs open in.

#include "media/PictureBox.h"
#include "storage/ScenarioStore.h"
#include "tests/editor/EditorFixture.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <functional>
#include <optional>

namespace {

using Lines = std::vector<std::string>;
using EditorGraphics = EditorTest;

const std::string kBilderFilter = "Alle (*.jpg;*.jpeg;*.bmp;)|*.jpg;*.jpeg;*.bmp;|JPEG-Grafikdatei (*.jpg)|*.jpg|"
                                  "JPEG-Grafikdatei (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp";

TEST_F(EditorGraphics, thePictureDialogsFilterAndTheJpegRuleOnTheLastThreeCharacters)
{
    writeFullScenario("Mond");
    TEditorForm& form = openEditor();
    const std::pair<const char*, bool> cases[] = {
        {"bild.jpg", true}, {"bild.JPG", true}, {"bild.jpeg", true}, {"bild.JPEG", false}, {"bild.Jpg", false},
        {"bild.bmp", false}};
    for (const auto& [name, countsAsJpeg] : cases) {
        boxes.fileAnswers = {picture(std::string("woanders/") + name, 40, 30)};
        form.zieltranspCheckBox->setChecked(false);
        form.ZielButton->click();
        EXPECT_EQ(form.pendingPictures.ziel, inFolder(std::string("woanders/") + name));
        EXPECT_EQ(form.Label13->text(), "Bildgröße: 40*30 Pixel") << name;
        EXPECT_EQ(form.ZielImage->size(), QSize(40, 30)) << name;
        EXPECT_TRUE(form.zieltranspCheckBox->isChecked()) << name;
        EXPECT_EQ(form.zieltranspCheckBox->text(), "Transparenz an") << name;
        EXPECT_EQ(form.zieltranspCheckBox->isEnabled(), !countsAsJpeg) << name;
    }
    EXPECT_EQ(boxes.fileFilters.front(), kBilderFilter);
    EXPECT_TRUE(boxes.notices.empty());
}

TEST_F(EditorGraphics, aCancelledPictureDialogReportsOrReloadsTheEarlierChoice)
{
    writeFullScenario("Mond");
    TEditorForm& form = openEditor();
    form.SchussButton->click();
    EXPECT_EQ(boxes.notices, Lines{"Sie haben keine neue Datei ausgewählt."});
    EXPECT_EQ(form.Label14->text(), "Bildgröße: 20*20 Pixel");
    EXPECT_TRUE(form.pendingPictures.empty());

    boxes.fileAnswers = {picture("woanders/schuss.bmp", 12, 14)};
    form.SchussButton->click();
    form.schusstranspCheckBox->setChecked(false);
    EXPECT_FALSE(form.schussImage->transparent());
    form.SchussButton->click(); // cancelled
    EXPECT_EQ(boxes.notices.size(), 1u);
    EXPECT_EQ(form.Label14->text(), "Bildgröße: 12*14 Pixel");
    EXPECT_TRUE(form.schusstranspCheckBox->isChecked());
    EXPECT_TRUE(form.schussImage->transparent());

    // A file that is no picture is reported; it stays pending and is tried again.
    folder.write("woanders/kaputt.bmp", "kein Bild");
    boxes.fileAnswers = {inFolder("woanders/kaputt.bmp")};
    click(form.SchussButton);
    EXPECT_EQ(boxes.errors, Lines{"Bitmap ist ungültig"});
    EXPECT_EQ(form.Label14->text(), "Bildgröße: 12*14 Pixel");
    click(form.SchussButton);
    EXPECT_EQ(boxes.errors.size(), 2u);
}

TEST_F(EditorGraphics, afterEveryFillEachTransparencyBoxFollowsTheStoredPicture)
{
    const std::string shot = picture("woanders/schuss.jpg", 20, 20);
    writeFullScenario("Mond", [&](ScenarioSettings& s) {
        s.schussBild = shot;
        s.schussTransparent = "false";
    });
    TEditorForm& form = openEditor();
    const auto expectFollowed = [&](const char* refill) {
        EXPECT_TRUE(form.zieltranspCheckBox->isChecked()) << refill;
        EXPECT_TRUE(form.zieltranspCheckBox->isEnabled()) << "BMP, " << refill;
        EXPECT_TRUE(form.schusstranspCheckBox->isChecked()) << "JPEG, " << refill;
        EXPECT_FALSE(form.schusstranspCheckBox->isEnabled()) << "JPEG, " << refill;
    };
    expectFollowed("first fill");

    const std::pair<const char*, std::function<void()>> refills[] = {
        {"Abbrechen", [&] { form.AbbrechenButton4->click(); openEditor(); }},
        {"close box", [&] { form.close(); openEditor(); }},
        {"Standard", [&] { boxes.warningAnswers = {true}; form.Button4->click(); }},
    };
    for (const auto& [refill, run] : refills) {
        boxes.fileAnswers = {picture("woanders/ziel.jpg", 100, 100)};
        form.ZielButton->click();
        ASSERT_FALSE(form.zieltranspCheckBox->isEnabled()) << refill;
        run();
        EXPECT_TRUE(form.zieltranspCheckBox->isEnabled()) << refill;
        if (std::string(refill) != "Standard")
            expectFollowed(refill);
    }
}

TEST_F(EditorGraphics, eachFileDialogOpensWhereItsLastFileWasChosen)
{
    writeFullScenario("Mond");
    TEditorForm& form = openEditor();
    const std::string figur = picture("woanders/figur.bmp", 25, 25);
    const std::string klang = wav("klaenge/neu.wav");
    const std::string bilder = inFolder("Standard/bilder"), sounds = inFolder("Standard/sound");
    struct Press {
        QPushButton* button;
        std::optional<std::string> answer;
        std::string startFolder;
    };
    // Before any choice a dialog opens in the folder of the file the field holds; the sound
    // list's empty field in that of the hit sounds.
    const Press presses[] = {
        {form.ZielButton, std::nullopt, bilder},
        {form.AbschussButton, figur, bilder},
        {form.SchussButton, std::nullopt, inFolder("woanders")},
        {form.hbildButton, std::nullopt, inFolder("woanders")},
        {form.Durchsuchen2, std::nullopt, sounds},
        {form.Durchsuchen1, klang, sounds},
        {form.Durchsuchen5, std::nullopt, inFolder("klaenge")},
        {form.abschuss2Button, std::nullopt, inFolder("woanders")},
    };
    for (const Press& press : presses) {
        boxes.fileAnswers = {press.answer};
        press.button->click();
        EXPECT_EQ(boxes.fileStartFolders.back(), press.startFolder) << press.button->objectName().toStdString();
    }
    // The dialogs keep their folders while the program runs.
    form.AbbrechenButton4->click();
    openEditor();
    form.ZielButton->click();
    EXPECT_EQ(boxes.fileStartFolders.back(), inFolder("woanders"));
}

TEST_F(EditorGraphics, theHouseSwitchGreysTheShotWithTheHouseAndReenablesBothBoxes)
{
    writeFullScenario("Mond");
    TEditorForm& form = openEditor();
    boxes.fileAnswers = {picture("woanders/haus.jpg", 80, 80)};
    form.abschuss2Button->click();
    EXPECT_FALSE(form.abschuss2transpCheckBox->isEnabled());

    form.anausCheckBox->setChecked(false);
    EXPECT_EQ(form.anausCheckBox->text(), "Abschussobjekt 2 deaktiviert");
    EXPECT_EQ(form.PendingHouseFlag, "false");
    const QWidget* greyed[] = {form.Panel1, form.SchussButton, form.abschuss2Button, form.schusstranspCheckBox,
                               form.abschuss2transpCheckBox, form.Label6, form.Label7, form.Label14, form.Label15,
                               form.schussImage, form.abschuss2Image};
    for (const QWidget* control : greyed)
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_TRUE(form.anausCheckBox->isEnabled());
    EXPECT_TRUE(form.AbschussButton->isEnabled());

    form.anausCheckBox->setChecked(true);
    EXPECT_EQ(form.anausCheckBox->text(), "Abschussobjekt 2 aktiviert");
    EXPECT_EQ(form.PendingHouseFlag, "true");
    for (const QWidget* control : greyed)
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();

    form.anausCheckBox->setChecked(false);
    form.SpeicherButton->click();
    EXPECT_EQ(valueOf("Mond.cfg", "Ab2 aktiv: "), "false");
    EXPECT_EQ(valueOf("Mond.cfg", "Abschuss2: "), inFolder("Mond/bilder/haus.jpg"));
}

TEST_F(EditorGraphics, theBackgroundMustLieBetween640x480AndTheScreen)
{
    writeFullScenario("Mond");
    TEditorForm& form = openEditor();
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const std::string tooSmallOrLarge = "Ihr ausgewähltes bild ist zu klein/gross ! Minimum: 640*480, Maximum: Ihre "
                                        "Bildschirmauflösung: " +
                                        std::to_string(screen.width()) + "*" + std::to_string(screen.height()) + " !";
    const auto choose = [&](int width, int height) {
        const std::string name = "hg/" + std::to_string(width) + "x" + std::to_string(height) + ".jpg";
        boxes.fileAnswers = {picture(name, width, height)};
        boxes.notices.clear();
        form.hbildButton->click();
        return inFolder(name);
    };

    const std::string smallest = choose(640, 480);
    EXPECT_TRUE(boxes.notices.empty());
    EXPECT_EQ(form.hbildEdit->text().toStdString(), smallest);
    EXPECT_EQ(form.Label16->text(), "Bildgröße: 640*480");
    for (const QSize& rejected : {QSize(639, 480), QSize(640, 479), QSize(screen.width() + 1, screen.height()),
                                  QSize(screen.width(), screen.height() + 1)}) {
        choose(rejected.width(), rejected.height());
        EXPECT_EQ(boxes.notices, Lines{tooSmallOrLarge}) << rejected.width() << "x" << rejected.height();
        EXPECT_EQ(form.hbildEdit->text().toStdString(), smallest);
        EXPECT_EQ(form.Label16->text(), "Bildgröße: 640*480");
    }
    const std::string whole = choose(screen.width(), screen.height());
    EXPECT_TRUE(boxes.notices.empty());
    EXPECT_EQ(form.hbildEdit->text().toStdString(), whole);

    // Cancelling is silent; the choice is saved as a copy.
    boxes.fileAnswers = {std::nullopt};
    form.hbildButton->click();
    EXPECT_TRUE(boxes.notices.empty());
    form.SpeicherButton->click();
    EXPECT_EQ(valueOf("Mond.cfg", "Hintergrundbild: "),
              inFolder("Mond/bilder/" + std::to_string(screen.width()) + "x" + std::to_string(screen.height()) + ".jpg"));
}

TEST_F(EditorGraphics, theBackgroundSwitchGreysItsControlsAndForgetsThePath)
{
    writeFullScenario("Mond");
    TEditorForm& form = openEditor();
    form.hbildCheckBox1->setChecked(false);
    EXPECT_EQ(form.hbildCheckBox1->text(), "Kein Hintergrundbild verwenden");
    for (const QWidget* control : {static_cast<QWidget*>(form.hbildButton), static_cast<QWidget*>(form.hbildEdit),
                                   static_cast<QWidget*>(form.Label16), static_cast<QWidget*>(form.Label17)})
        EXPECT_FALSE(control->isEnabled());
    EXPECT_TRUE(form.HFarbeButton->isEnabled());
    form.hbildCheckBox1->setChecked(true);
    EXPECT_EQ(form.hbildCheckBox1->text(), "Ein Hintergrundbild verwenden");
    EXPECT_TRUE(form.hbildButton->isEnabled());
    EXPECT_TRUE(form.hbildEdit->text().isEmpty());
    EXPECT_EQ(form.Label16->text(), "Bildgröße:");
}

TEST_F(EditorGraphics, bothColourButtonsShareTheLastConfirmedColour)
{
    writeFullScenario("Mond", [](ScenarioSettings& s) { s.textfarbe = "16711680"; });
    TEditorForm& form = openEditor();
    form.TextfarbeButton->click(); // cancelled
    EXPECT_EQ(form.Label21->textColor(), QColor(0, 0, 255));

    boxes.colorAnswers = {0x0000FFu, 0x00FF00u};
    form.HFarbeButton->click();
    EXPECT_EQ(form.Shape1->palette().color(QPalette::Window), QColor(255, 0, 0));
    form.TextfarbeButton->click();
    EXPECT_EQ(form.Label21->textColor(), QColor(0, 255, 0));
    form.HFarbeButton->click(); // cancelled
    EXPECT_EQ(boxes.colorInitials, (std::vector<std::uint32_t>{0u, 0u, 0x0000FFu, 0x00FF00u}));
    EXPECT_EQ(form.Shape1->palette().color(QPalette::Window), QColor(255, 0, 0));

    form.SpeicherButton->click();
    EXPECT_EQ(valueOf("Mond.cfg", "Hintergrundfarbe: "), "255");
    EXPECT_EQ(valueOf("Mond.cfg", "Textfarbe: "), "65280");
}

TEST_F(EditorGraphics, captionSwitchesAndAColourThatIsNoNumber)
{
    writeFullScenario("Mond", [](ScenarioSettings& s) { s.hintergrundfarbe = "blau"; });
    TEditorForm& form = openEditor();
    EXPECT_EQ(boxes.errors, Lines{"'blau' ist kein gültiger Integerwert"});
    form.Abschuss2CheckBox->setChecked(false);
    EXPECT_EQ(form.Abschuss2CheckBox->text(), "nicht sichtbar ");
    form.Abschuss2CheckBox->setChecked(true);
    EXPECT_EQ(form.Abschuss2CheckBox->text(), "sichtbar");
    form.ZielCheckBox->setChecked(false);
    form.SpeicherButton->click();
    EXPECT_EQ(valueOf("Mond.cfg", "Zieltext sichtbar: "), "false");
    EXPECT_EQ(valuesOf("Mond.cfg", "Abschuss2text sichtbar: "), Lines{});
    // The colour the editor could not show is kept as the file had it.
    EXPECT_EQ(valueOf("Mond.cfg", "Hintergrundfarbe: "), "blau");
}

} // namespace
