// The game field on a Wayland compositor with a seat (wayland_field.sh: weston's 1280 x 1024
// output), through Qt's Wayland plugin and through X on the compositor's X server (Xwayland):
// full screen over the panel, a smaller background's field centred with its Target measured in
// the field, the menu window back after the game; a file dialog, and the loss box above the
// full-screen field. Skipped offscreen.

#include "platform/QtDialogs.h"
#include "tests/game/GameFixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <memory>

namespace {

class WaylandField : public GameTest {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            GTEST_SKIP() << "needs a Wayland compositor (wayland_field.sh)";
    }

    // What the compositor did with the next modal box or dialog, which is closed once seen.
    struct Shown {
        bool exposed = false; // on the screen
        bool active = false;  // given the keyboard, which raises it above a full-screen window
    };
    static std::shared_ptr<Shown> closeNextModalOnceShown()
    {
        auto shown = std::make_shared<Shown>();
        auto* poll = new QTimer;
        auto waited = std::make_shared<QElapsedTimer>();
        waited->start();
        QObject::connect(poll, &QTimer::timeout, [=] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible() || !modal->windowHandle())
                return;
            shown->exposed = modal->windowHandle()->isExposed();
            shown->active = QGuiApplication::focusWindow() == modal->windowHandle();
            if ((shown->exposed && shown->active) || waited->elapsed() > 5000) {
                poll->deleteLater();
                modal->close();
            }
        });
        poll->start(5);
        return shown;
    }
};

TEST_F(WaylandField, fieldIsFullScreenWithTheBackgroundCentredAndTheMenuWindowComesBack)
{
    for (const QSize picture : {QSize(800, 600), QSize(1280, 1024)}) {
        SCOPED_TRACE(std::to_string(picture.width()) + " x " + std::to_string(picture.height()));
        GameScenario g;
        g.hintergrund = writePicture("bild.bmp", picture.width(), picture.height());
        writeGame(g);
        start();
        TMainForm& form = mainForm();
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        const QSize output(1280, 1024);
        ASSERT_EQ(form.screen()->geometry().size(), output);

        form.StartSpeedButton1Click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return form.windowHandle()->windowState() == Qt::WindowFullScreen &&
                                                  form.size() == output; }))
            << form.width() << " x " << form.height();
        const QPoint corner((output.width() - picture.width()) / 2, (output.height() - picture.height()) / 2);
        EXPECT_EQ(form.gameField->geometry(), QRect(corner, picture));
        EXPECT_EQ(form.BonnImage1->geometry().bottomRight(), QPoint(picture.width() - 21, picture.height() - 51));

        form.MenueClick();
        // 630 x 500 outside its frame; on Xwayland inside it, as at the program's start: weston's
        // X window manager counts its shadow into the frame.
        const QSize menu(630, 500);
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return form.isVisible() && !(form.windowHandle()->windowState() & Qt::WindowFullScreen) &&
                   (form.frameGeometry().size() == menu ||
                    (QGuiApplication::platformName() == QLatin1String("xcb") && form.size() == menu));
        })) << form.frameGeometry().width() << " x " << form.frameGeometry().height();
        windows.reset();
    }
}

TEST_F(WaylandField, aFileDialogOpensAndTheLossBoxShowsAboveTheFullScreenField)
{
    GameScenario g;
    g.hintergrund = writePicture("bild.bmp", 800, 600);
    writeGame(g);
    start();
    TMainForm& form = mainForm();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QtDialogs onTheScreen;
    setDialogs(&onTheScreen);
    const auto scripted = qScopeGuard([&] { setDialogs(&boxes); });

    // The picture dialog: its file name field is the line edit that a compositor without a seat
    // crashed Qt with.
    const std::shared_ptr<Shown> fileDialog = closeNextModalOnceShown();
    EXPECT_EQ(dialogs().openFile("Bilder (*.bmp)|*.bmp", folder.path().string(), true, true), std::nullopt);
    EXPECT_TRUE(fileDialog->exposed && fileDialog->active);

    form.StartSpeedButton1Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.windowHandle()->windowState() == Qt::WindowFullScreen; }));
    const std::shared_ptr<Shown> lossBox = closeNextModalOnceShown();
    placeBeforeTarget(form.Image1);
    form.KiTimer1Timer();
    EXPECT_TRUE(lossBox->exposed && lossBox->active);
    EXPECT_TRUE(form.Panel1->isVisible()) << "the decided game went back to the menu";
}

} // namespace
