// The game field on a Wayland compositor (wayland_field.sh: weston's 1280 x 1024 headless output):
// full screen over the panel, a smaller background's field centred with its Target measured in the
// field, and the menu window back after the game. Skipped on any other platform.

#include "tests/game/GameFixture.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

namespace {

using WaylandField = GameTest;

TEST_F(WaylandField, fieldIsFullScreenWithTheBackgroundCentredAndTheMenuWindowComesBack)
{
    if (QGuiApplication::platformName() != QLatin1String("wayland"))
        GTEST_SKIP() << "needs a Wayland compositor (wayland_field.sh)";
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
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return form.isVisible() && !(form.windowHandle()->windowState() & Qt::WindowFullScreen) &&
                   form.frameGeometry().size() == QSize(630, 500);
        })) << form.frameGeometry().width() << " x " << form.frameGeometry().height();
        windows.reset();
    }
}

} // namespace
