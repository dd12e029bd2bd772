#pragma once
// A game scenario "Spiel" in a fresh program folder with the standard media, started through
// the Start button's handler on the shown main window, and small moves of a player.

#include "game/EnergyGauge.h"
#include "media/PictureBox.h"
#include "tests/support/ProgramFixture.h"

#include <QImage>
#include <QTimer>

#include <string>
#include <vector>

struct GameScenario {
    int level = 1;
    std::string figur = "bilder/abschuss.bmp"; // below Standard/ unless absolute
    std::string hintergrund = "bilder/hbild.jpg";
    std::vector<std::string> sounds{"sound/au1.wav", "sound/au2.wav"};
    std::string verloren = "sound/verloren.wav";
    std::string explosion = "sound/explosion.wav";
    std::string sieg = "sound/sieg.wav";
    // Switch lines such as "Ab2 aktiv: false\r\n".
    std::string schalter;
};

class GameTest : public ProgramTest {
protected:
    std::string standardPath(const std::string& below) const
    {
        return below.starts_with('/') ? below : folder.path().string() + "/Standard/" + below;
    }

    void writeGame(const GameScenario& g)
    {
        std::string text = "Blitzfang\r\n"
                           "Bilder:\r\n"
                           "Ziel: " + standardPath("bilder/ziel.bmp") + "\r\n"
                           "Abschuss: " + standardPath(g.figur) + "\r\n"
                           "Abschuss2: " + standardPath("bilder/abschuss2.bmp") + "\r\n"
                           "Schuss: " + standardPath("bilder/schuss.bmp") + "\r\n"
                           "Hintergrundfarbe: 4210752\r\n"
                           "Textfarbe: 65535\r\n"
                           "Hintergrundbild: " + standardPath(g.hintergrund) + "\r\n"
                           "Beschriftung:\r\n"
                           "Titel: Alien\r\n"
                           "Zielort: Erde\r\n"
                           "Abschuss2ort: Mutterschiff\r\n"
                           "Startbutton: Start\r\n"
                           "Spielername: Tester\r\n"
                           "Highscore: Kolvar-Bauwerk;110;1;Kolvar-Bauwerk;12;1;Kolvar-Bauwerk;10;1;"
                           "Kolvar-Bauwerk;1;1;Kolvar-Bauwerk;1;1;Kolvar-Bauwerk;1;1;Kolvar-Bauwerk;1;1;"
                           "Kolvar-Bauwerk;1;1;Kolvar-Bauwerk;1;1;Kolvar-Bauwerk;1;1;\r\n"
                           "Schwierigkeitsgrad: " + std::to_string(g.level) + "\r\n"
                           "Sounddateianzahl: " + std::to_string(g.sounds.size()) + "\r\n";
        for (const std::string& sound : g.sounds)
            text += "Sounds: " + standardPath(sound) + "\r\n";
        text += "Verlorensound: " + standardPath(g.verloren) + "\r\n"
                "Siegsound: " + standardPath(g.sieg) + "\r\n"
                "Explosionssound: " + standardPath(g.explosion) + "\r\n"
                "Schussstartsound: " + standardPath("sound/schussstart.wav") + "\r\n" + g.schalter +
                "Ende :-)\r\n";
        folder.write("Spiel.cfg", text);
        writeSetup("Spiel");
    }

    // Program start with the scenario, menu shown, Start clicked.
    TMainForm& startGame(const GameScenario& g = {})
    {
        writeGame(g);
        start();
        mainForm().show();
        mainForm().StartSpeedButton1Click();
        return mainForm();
    }

    // A bitmap of one colour in the program folder; returns its path.
    std::string writePicture(const std::string& name, int width, int height, QColor colour = QColor(20, 40, 90))
    {
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(colour);
        const std::string path = (folder / name).string();
        picture.save(QString::fromStdString(path), "BMP");
        return path;
    }

    // Clicks the House and ticks the Shot until it rests again (hit or brought to rest).
    void shootHouse()
    {
        TMainForm& form = mainForm();
        form.Abschuss2ImageClick();
        for (int tick = 0; tick < 1000 && form.SchussImage->isVisibleTo(&form); ++tick)
            form.SchussTimerTimer();
        ASSERT_TRUE(form.SchussImage->isHidden());
    }

    void hitFigures(int count)
    {
        for (int i = 0; i < count; ++i)
            mainForm().Image1Click(mainForm().Image1);
    }

    // One step before the Target's centre.
    void placeBeforeTarget(PictureBox* figure)
    {
        const QRect target = mainForm().BonnImage1->geometry();
        figure->move(target.x() + target.width() / 2 - 5, target.y() + target.height() / 2 - 5);
    }

    std::string highscoreLine()
    {
        const std::string text = folder.read("Spiel.cfg");
        const auto begin = text.find("Highscore: ");
        return begin == std::string::npos ? "" : text.substr(begin, text.find("\r\n", begin) - begin);
    }
};
