// The menu screen: its layout rules, the "presented by" label, the context menu, and the round
// trips to the side windows and back.

#include "dialogs/HilfeUnit2.h"
#include "dialogs/LadenUnit2.h"
#include "dialogs/extrasUnit2.h"
#include "dialogs/optionenUnit2.h"
#include "dialogs/speicherUnit2.h"
#include "editor/Unit1.h"
#include "game/EnergyGauge.h"
#include "media/PictureBox.h"
#include "platform/QtControls.h"
#include "storage/ScenarioFile.h"
#include "tests/support/ProgramFixture.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

void expectCentred(const QWidget* control, int centre)
{
    EXPECT_EQ(control->x(), centre - control->width() / 2) << control->objectName().toStdString();
}

void expectMenuCentred(const TMainForm& form)
{
    EXPECT_EQ(form.Panel1->geometry(), form.rect());
    const int c = form.Panel1->width() / 2;
    for (const QWidget* control : {static_cast<const QWidget*>(form.Panel2), static_cast<const QWidget*>(form.Panel3),
                                   static_cast<const QWidget*>(form.EditorSpeedButton),
                                   static_cast<const QWidget*>(form.EndeSpeedButton2),
                                   static_cast<const QWidget*>(form.HilfeSpeedButton4),
                                   static_cast<const QWidget*>(form.optionenSpeedButton3),
                                   static_cast<const QWidget*>(form.Label6), static_cast<const QWidget*>(form.Label7)})
        expectCentred(control, c);
    EXPECT_EQ(form.Label7->y(), form.Panel1->height() - 20);
    EXPECT_EQ(form.Panel2->width(), form.Label2->width() + 20);
}

void sendMouseMove(QWidget* widget)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

using MenuLayout = ProgramTest;

TEST_F(MenuLayout, longTitleWidensTheTitlePanelAndStaysCentredWhenShown)
{
    writeScenario("Mond", "Die sehr lange Rückkehr der Mondbewohner");
    writeSetup("Mond");
    start();
    EXPECT_GT(mainForm().Panel2->width(), 210);
    mainForm().show();
    expectMenuCentred(mainForm());
    EXPECT_EQ(mainForm().Label1->x(), mainForm().Panel2->width() / 2 - mainForm().Label1->width() / 2);
}

TEST_F(MenuLayout, resizingKeepsTheMenuCentredAndPresentedByAboveTheBottom)
{
    start();
    mainForm().show();
    for (QSize size : {QSize(900, 700), QSize(400, 300), QSize(631, 477)}) {
        mainForm().resize(size);
        expectMenuCentred(mainForm());
    }
}

TEST_F(MenuLayout, resizingKeepsTheFieldsControlsInsideAndThePointsClearOfTheirCaption)
{
    start();
    mainForm().show();
    mainForm().resize(900, 700);
    TMainForm& form = mainForm();
    for (const QWidget* control : {static_cast<const QWidget*>(form.BonnImage1), static_cast<const QWidget*>(form.ZielLabel),
                                   static_cast<const QWidget*>(form.Abschuss2Image)})
        EXPECT_TRUE(form.rect().contains(control->geometry())) << control->objectName().toStdString();
    // 43 pixels after the caption, or right after it where the substitute font is wider.
    EXPECT_EQ(form.PunkteLabel5->y(), form.Label4->y());
    EXPECT_GE(form.PunkteLabel5->x(), form.Label4->x() + 43);
    EXPECT_GE(form.PunkteLabel5->x(), form.Label4->x() + form.Label4->width());
    // The menu panel covers the whole field.
    EXPECT_EQ(form.Panel1->geometry(), form.rect());
}

TEST_F(MenuLayout, nothingOfTheGameRunsOrSoundsAtStart)
{
    start();
    TMainForm& form = mainForm();
    EXPECT_FALSE(form.KiTimer1->isActive());
    EXPECT_FALSE(form.SchussTimer->isActive());
    EXPECT_FALSE(form.MediaPlayer1.isOpen());
    EXPECT_FALSE(form.MediaPlayer2.isOpen());
    EXPECT_TRUE(form.ZielLabel->isHidden());
    EXPECT_TRUE(form.SchussImage->isHidden());
}

// ---- "presented by" and the context menu ----

using MenuActions = ProgramTest;

TEST_F(MenuActions, presentedByLightsUpUnderTheMouseAndOpensTheMakersPage)
{
    start();
    TMainForm& form = mainForm();
    form.show();
    const QColor atRest = form.Label7->textColor();
    sendMouseMove(form.Label7);
    EXPECT_TRUE(form.Label7->font().italic());
    EXPECT_EQ(form.Label7->textColor(), QColor(0, 0, 128));
    EXPECT_EQ(form.Label7->cursor().shape(), Qt::PointingHandCursor);
    sendMouseMove(form.Panel1);
    EXPECT_FALSE(form.Label7->font().italic());
    EXPECT_EQ(form.Label7->textColor(), atRest);
    EXPECT_EQ(form.Label7->cursor().shape(), Qt::ArrowCursor);

    QTest::mouseClick(form.Label7, Qt::LeftButton);
    EXPECT_EQ(boxes.links, std::vector<std::string>{kMakerWebAddress});
}

TEST_F(MenuActions, rightClickAnywhereOpensTheContextMenu)
{
    start();
    TMainForm& form = mainForm();
    form.show();
    for (QWidget* where : {static_cast<QWidget*>(form.Label6), static_cast<QWidget*>(form.Panel3),
                           static_cast<QWidget*>(form.Panel1)}) {
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(3, 3), where->mapToGlobal(QPoint(3, 3)));
        QApplication::sendEvent(where, &menuEvent);
        EXPECT_TRUE(form.PopupMenu1->isVisible()) << where->objectName().toStdString();
        form.PopupMenu1->hide();
    }
}

TEST_F(MenuActions, menuOnTheMenuScreenBringsTheWindowBackToItsSizeInTheScreensMiddle)
{
    start();
    TMainForm& form = mainForm();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.resize(300, 200);
    form.move(0, 0);
    form.KiTimer1->start();
    form.Menue->trigger();
    EXPECT_FALSE(form.KiTimer1->isActive());
    const QRect screen = form.screen()->geometry();
    const QPoint centred(screen.width() / 2 - 315, screen.height() / 2 - 250);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.pos() == centred; })) << form.pos().x() << "," << form.pos().y();
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.Panel1->isHidden());
    expectMenuCentred(form);
}

// ---- Side windows ----

// Records the order in which windows are shown and hidden.
class ShowHideLog : public QObject {
public:
    explicit ShowHideLog(std::initializer_list<QWidget*> windows)
    {
        for (QWidget* window : windows)
            window->installEventFilter(this);
    }
    std::vector<std::string> events;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
            events.push_back((event->type() == QEvent::Show ? "show " : "hide ") + watched->objectName().toStdString());
        return false;
    }
};

using SideWindows = ProgramTest;

TEST_F(SideWindows, menuButtonsShowTheSideWindowFirstAndHideTheMenuSecond)
{
    start();
    TMainForm& form = mainForm();
    const std::pair<QToolButton*, FormWindow*> trips[] = {
        {form.ExtraSpeedButton, windows->ExtrasForm},
        {form.EditorSpeedButton, windows->EditorForm},
        {form.optionenSpeedButton3, windows->OptionenForm},
        {form.HilfeSpeedButton4, windows->Hilfeform}};
    for (auto [button, side] : trips) {
        form.show();
        ShowHideLog log{&form, side};
        button->click();
        EXPECT_EQ(log.events, (std::vector<std::string>{"show " + side->objectName().toStdString(), "hide MainForm"}));
        EXPECT_TRUE(side->isVisible());
        EXPECT_FALSE(form.isVisible());
        side->hide();
    }
}

TEST_F(SideWindows, everyWayOutShowsTheMenuAgainRecentred)
{
    start();
    TMainForm& form = mainForm();
    const std::pair<QToolButton*, QAbstractButton*> trips[] = {
        {form.ExtraSpeedButton, windows->ExtrasForm->zurueckButton},
        {form.EditorSpeedButton, windows->EditorForm->AbbrechenButton4},
        {form.optionenSpeedButton3, windows->OptionenForm->Button2},
        {form.HilfeSpeedButton4, windows->Hilfeform->Button1}};
    for (auto [menuButton, backButton] : trips) {
        FormWindow* side = static_cast<FormWindow*>(backButton->window());
        const std::string name = side->objectName().toStdString();

        form.show();
        menuButton->click();
        backButton->click();
        EXPECT_FALSE(side->isVisible()) << name << " by its button";
        EXPECT_TRUE(form.isVisible()) << name << " by its button";

        menuButton->click();
        QTest::keyClick(side, Qt::Key_Escape);
        EXPECT_FALSE(side->isVisible()) << name << " by Escape";
        EXPECT_TRUE(form.isVisible()) << name << " by Escape";

        menuButton->click();
        // The menu is re-centred when it shows again, whatever happened to the panel meanwhile.
        form.Panel3->move(0, form.Panel3->y());
        side->close();
        EXPECT_FALSE(side->isVisible()) << name << " by its close box";
        EXPECT_TRUE(form.isVisible()) << name << " by its close box";
        expectMenuCentred(form);
    }
}

TEST_F(SideWindows, fixedLayoutWindowsKeepTheirSizeAndOfferNoMaximiseWhileTheMenuIsSizeable)
{
    start();
    for (FormWindow* side : windows->all()) {
        if (side == &mainForm())
            continue;
        const std::string name = side->objectName().toStdString();
        const QSize designed = side->size();
        side->showMaximized();
        side->resize(designed + QSize(100, 100));
        QApplication::processEvents();
        EXPECT_EQ(side->size(), designed) << name;
        EXPECT_FALSE(side->windowFlags() & Qt::WindowMaximizeButtonHint) << name;
        side->hide();
    }
    TMainForm& form = mainForm();
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    form.resize(700, 550);
    EXPECT_EQ(form.size(), QSize(700, 550));
}

TEST_F(SideWindows, loadHandsBackToTheEditorOnEscapeAndOnItsCloseBox)
{
    start();
    TEditorForm& editor = *windows->EditorForm;
    windows->LadenForm->show();
    QTest::keyClick(windows->LadenForm, Qt::Key_Escape);
    EXPECT_FALSE(windows->LadenForm->isVisible());
    EXPECT_TRUE(editor.isVisible());

    editor.hide();
    windows->LadenForm->show();
    windows->LadenForm->close();
    EXPECT_TRUE(editor.isVisible());
}

} // namespace
