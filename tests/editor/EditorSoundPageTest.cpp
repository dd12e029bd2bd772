// The sound page: adding and removing hit sounds, the four special sounds, and the preview
// player with its progress bar and timer.

#include "storage/ScenarioStore.h"
#include "tests/editor/EditorFixture.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

namespace {

using Lines = std::vector<std::string>;
using EditorSounds = EditorTest;

const std::string kRemoveRefused =
    "Sie müssen einen Eintrag ausgewählt haben und es muss immer ein Eintrag übrig bleiben.";

void select(TEditorForm& form, int row)
{
    form.ListBox1->setCurrentRow(row);
}

TEST_F(EditorSounds, newSoundsGoOnTopAndEqualLinesAreRemovedFromTheTop)
{
    writeFullScenario("Mond", [](ScenarioSettings& s) { s.sounds = {s.sounds[0]}; });
    const std::string eins = wav("eins/knall.wav");
    const std::string zwei = wav("zwei/knall.wav");
    TEditorForm& form = openEditor();

    form.Hinzu->click(); // empty field: nothing happens
    EXPECT_EQ(listLines(), Lines{"au1.wav"});

    boxes.fileAnswers = {eins, std::nullopt, zwei};
    form.Durchsuchen1->click();
    EXPECT_EQ(boxes.fileFilters.back(), "Bilder (*.wav)|*.wav");
    form.Hinzu->click();
    form.Hinzu->click();
    EXPECT_EQ(form.neusoundedit->text().toStdString(), eins);
    form.Durchsuchen1->click(); // cancelled
    EXPECT_EQ(form.neusoundedit->text().toStdString(), eins);
    form.Durchsuchen1->click();
    form.Hinzu->click();
    EXPECT_EQ(listLines(), (Lines{"knall.wav", "knall.wav", "knall.wav", "au1.wav"}));
    EXPECT_EQ(form.soundList.paths()[0], zwei);
    EXPECT_EQ(form.ListBox1->selectedItems().size(), 0);

    // The lowest of the equal lines selected: the top one goes.
    select(form, 2);
    form.loeschen->click();
    EXPECT_EQ(form.soundList.paths(), (Lines{eins, eins, store().settings.sounds[0]}));
    EXPECT_TRUE(boxes.notices.empty());

    form.SpeicherButton->click();
    EXPECT_EQ(valueOf("Mond.cfg", "Sounddateianzahl: "), "3");
    EXPECT_EQ(valuesOf("Mond.cfg", "Sounds: ")[0], inFolder("Mond/sound/knall.wav"));
}

TEST_F(EditorSounds, addingStopsAtTheLargestCountTheReaderTakesAndTheFullListSavesAtOnce)
{
    // One file chosen 10000 times is copied once; a save never stalls on the list's length.
    writeFullScenario("Mond", [](ScenarioSettings& s) { s.sounds.assign(10000, s.sounds[0]); });
    TEditorForm& form = openEditor();
    form.neusoundedit->setText(QString::fromStdString(wav("neu.wav")));
    form.Hinzu->click();
    EXPECT_EQ(boxes.notices, Lines{"Mehr als 10000 Sounddateien sind nicht möglich."});
    EXPECT_EQ(form.soundList.size(), 10000u);
    form.SpeicherButton->click();
    EXPECT_EQ(valueOf("Mond.cfg", "Sounddateianzahl: "), "10000");
    EXPECT_EQ(store().settings.sounds, Lines(10000, inFolder("Mond/sound/au1.wav")));
    EXPECT_EQ(boxes.notices.size(), 1u);
}

TEST_F(EditorSounds, removingNeedsASelectionAndLeavesOneSound)
{
    writeFullScenario("Mond", [](ScenarioSettings& s) { s.sounds = {s.sounds[0], s.sounds[1]}; });
    TEditorForm& form = openEditor();
    form.loeschen->click();
    EXPECT_EQ(boxes.notices, Lines{kRemoveRefused});
    EXPECT_EQ(listLines(), (Lines{"au2.wav", "au1.wav"}));

    select(form, 0);
    form.loeschen->click();
    EXPECT_EQ(listLines(), Lines{"au1.wav"});
    select(form, 0);
    form.loeschen->click();
    EXPECT_EQ(boxes.notices, (Lines{kRemoveRefused, kRemoveRefused}));
    EXPECT_EQ(listLines(), Lines{"au1.wav"});

    // A line that the working list lacks (they disagree) is reported.
    form.ListBox1->addItem(QStringLiteral("fremd.wav"));
    form.soundList.addToFront(inFolder("x/y.wav"));
    select(form, 1);
    form.loeschen->click();
    EXPECT_EQ(boxes.notices.back(), "Keinen Eintrag gefunden!");
    EXPECT_EQ(listLines(), (Lines{"y.wav", "au1.wav"}));
}

TEST_F(EditorSounds, specialSoundsAreChosenWithANonEmptyName)
{
    writeFullScenario("Mond");
    TEditorForm& form = openEditor();
    const std::string sieg = wav("woanders/jubel.wav");
    const QString before = form.siegsoundEdit->text();
    boxes.fileAnswers = {std::nullopt, std::string(), sieg};
    form.Durchsuchen3->click();
    form.Durchsuchen3->click();
    EXPECT_EQ(form.siegsoundEdit->text(), before);
    form.Durchsuchen3->click();
    EXPECT_EQ(form.siegsoundEdit->text().toStdString(), sieg);
    form.SpeicherButton->click();
    EXPECT_EQ(valueOf("Mond.cfg", "Siegsound: "), inFolder("Mond/sound/jubel.wav"));
}

TEST_F(EditorSounds, thePreviewPlaysFollowsAndStops)
{
    writeFullScenario("Mond", [&](ScenarioSettings& s) {
        s.sounds = {wav("quelle/lang.wav", 3000)};
        s.explosionssound = wav("quelle/kurz.wav", 150);
    });
    TEditorForm& form = openEditor();
    EXPECT_FALSE(form.SoundTimer->isActive());

    form.BitBtn1->click();
    EXPECT_EQ(boxes.notices, Lines{"Zuerst muss eine Datei aus der \"Neue Sounds\"-Liste ausgewählt werden"});
    EXPECT_FALSE(form.MediaPlayer1.isOpen());

    select(form, 0);
    form.BitBtn1->click();
    EXPECT_EQ(form.GroupBox8->title(), "Sound abspielen: lang.wav");
    EXPECT_TRUE(form.SoundTimer->isActive());
    EXPECT_EQ(form.SoundTrackBar->maximum(), form.MediaPlayer1.length());
    EXPECT_NEAR(form.SoundTrackBar->maximum(), 3000, 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.SoundTrackBar->value() > 0; }, 2000));

    form.BitBtn2->click();
    EXPECT_FALSE(form.SoundTimer->isActive());
    EXPECT_EQ(form.SoundTrackBar->value(), 0);
    EXPECT_TRUE(form.MediaPlayer1.isOpen());

    // A special sound's caption has one blank more; at its end bar and timer go back.
    select(form, 0);
    form.BitBtn1->click();
    form.BitBtn5->click();
    EXPECT_EQ(form.GroupBox8->title(), "Sound abspielen: kurz.wav ");
    EXPECT_NEAR(form.SoundTrackBar->maximum(), 150, 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.SoundTimer->isActive(); }, 3000));
    EXPECT_EQ(form.SoundTrackBar->value(), 0);
    form.BitBtn2->click(); // the file is still open: no error
    EXPECT_TRUE(boxes.errors.empty());
}

TEST_F(EditorSounds, aSoundThatCannotBeOpenedStopsTheBarAndTheTimer)
{
    writeFullScenario("Mond", [&](ScenarioSettings& s) {
        s.sounds = {wav("quelle/lang.wav", 3000)};
        s.verlorensound.clear();
    });
    TEditorForm& form = openEditor();

    click(form.BitBtn2); // nothing opened yet
    ASSERT_EQ(boxes.errors, Lines{"Kein MCI-Gerät geöffnet"});

    select(form, 0);
    form.BitBtn1->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.SoundTrackBar->value() > 0; }, 2000));
    click(form.BitBtn3); // the empty lost-game field
    EXPECT_EQ(boxes.errors.size(), 2u);
    EXPECT_EQ(form.GroupBox8->title(), "Sound abspielen:  ");
    EXPECT_FALSE(form.SoundTimer->isActive());
    EXPECT_EQ(form.SoundTrackBar->value(), 0);
    EXPECT_FALSE(form.MediaPlayer1.isOpen());

    folder.write("quelle/kaputt.wav", "kein Klang");
    form.siegsoundEdit->setText(QString::fromStdString(inFolder("quelle/kaputt.wav")));
    click(form.BitBtn4);
    EXPECT_EQ(boxes.errors.size(), 3u);
    EXPECT_FALSE(form.SoundTimer->isActive());
}

TEST_F(EditorSounds, leavingTheEditorStopsThePreview)
{
    writeFullScenario("Mond", [&](ScenarioSettings& s) { s.sounds = {wav("quelle/lang.wav", 3000)}; });
    TEditorForm& form = openEditor();
    select(form, 0);
    form.BitBtn1->click();
    ASSERT_TRUE(form.SoundTimer->isActive());
    form.AbbrechenButton4->click();
    EXPECT_FALSE(form.MediaPlayer1.isOpen());
    EXPECT_FALSE(form.SoundTimer->isActive());
    EXPECT_EQ(form.SoundTrackBar->value(), 0);
    EXPECT_EQ(form.ListBox1->count(), 0);

    openEditor();
    select(form, 0);
    form.BitBtn1->click();
    form.close();
    EXPECT_FALSE(form.MediaPlayer1.isOpen());
    EXPECT_FALSE(form.SoundTimer->isActive());
}

} // namespace
