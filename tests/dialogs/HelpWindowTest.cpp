// The help window: its pages, the remembered page, hover effects and links.

#include "dialogs/HilfeUnit2.h"
#include "platform/QtControls.h"
#include "storage/ScenarioFile.h"
#include "tests/support/ProgramFixture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

void sendMouseMove(QWidget* widget)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

class HelpWindow : public ProgramTest {
protected:
    THilfeform& openHelp()
    {
        mainForm().show();
        mainForm().HilfeSpeedButton4->click();
        return *windows->Hilfeform;
    }

    static std::vector<std::string> shownPages(const THilfeform& help)
    {
        std::vector<std::string> shown;
        for (QWidget* page : help.pages())
            if (!page->isHidden())
                shown.push_back(page->objectName().toStdString());
        return shown;
    }

    static bool atRest(const TextLabel* label)
    {
        return !label->font().underline() && label->textColor() == QApplication::palette().color(QPalette::WindowText);
    }
};

TEST_F(HelpWindow, firstOpeningShowsTheCreditsPageAndAChosenPageSurvivesReopening)
{
    start();
    THilfeform& help = openHelp();
    EXPECT_EQ(shownPages(help), std::vector<std::string>{"CreditsPanel"});

    QTest::mouseClick(help.Label3, Qt::LeftButton);
    EXPECT_EQ(shownPages(help), std::vector<std::string>{"nutzenMemo"});
    help.Button1->click();
    openHelp();
    EXPECT_EQ(shownPages(help), std::vector<std::string>{"nutzenMemo"});

    QTest::mouseClick(help.Label7, Qt::LeftButton);
    QTest::keyClick(&help, Qt::Key_Escape);
    openHelp();
    EXPECT_EQ(shownPages(help), std::vector<std::string>{"CreditsPanel"});
}

TEST_F(HelpWindow, menuLabelsLightUpOneAtATimeAndTheBoxPutsThemToRest)
{
    start();
    THilfeform& help = openHelp();
    sendMouseMove(help.Label4);
    EXPECT_TRUE(help.Label4->font().underline());
    EXPECT_EQ(help.Label4->textColor(), kRed);

    // On the way to the next label the mouse crosses the box.
    sendMouseMove(help.GroupBox1);
    for (TextLabel* label : help.menuLabels())
        EXPECT_TRUE(atRest(label)) << label->objectName().toStdString();
    sendMouseMove(help.Label5);
    EXPECT_EQ(help.Label5->textColor(), kRed);
    EXPECT_TRUE(atRest(help.Label4));

    sendMouseMove(&help);
    EXPECT_TRUE(atRest(help.Label5));
}

TEST_F(HelpWindow, openingPutsLabelsToRestAndRestoresTheWidth)
{
    start();
    THilfeform& help = openHelp();
    sendMouseMove(help.Label2);
    help.resize(700, help.height());
    help.Button1->click();
    openHelp();
    EXPECT_TRUE(atRest(help.Label2));
    EXPECT_EQ(help.designWidth(), 405);
}

TEST_F(HelpWindow, linksTurnBlueUnderTheMouseAndOpenTheirTargets)
{
    start();
    THilfeform& help = openHelp();
    for (TextLabel* link : {help.Label13, help.Label14, help.Label23}) {
        sendMouseMove(link);
        EXPECT_EQ(link->textColor(), kBlue);
        EXPECT_FALSE(link->font().underline());
        sendMouseMove(help.CreditsPanel);
        EXPECT_TRUE(atRest(link));
        QTest::mouseClick(link, Qt::LeftButton);
    }
    ASSERT_EQ(boxes.links.size(), 3u);
    EXPECT_EQ(boxes.links[0], kMakerWebAddress);
    EXPECT_EQ(boxes.links[1], "mailto:feedback@kolvar-bauwerk.de?subject=Feedback zum Blitzfang");
    EXPECT_EQ(boxes.links[2], help.Label23->text().toStdString());
}

} // namespace
