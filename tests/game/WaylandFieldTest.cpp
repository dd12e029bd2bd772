// The game field on a Wayland compositor (run by wayland_field.sh on weston's 1280 x 1024
// headless output): the window shows full screen over the panel, the field of a smaller
// background stands centred in it with its Figures, Target and House measured in the field, and
// leaving the game brings the menu window back. Skipped on any other platform.

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
        const QSize output = form.screen()->geometry().size();
        ASSERT_EQ(output, QSize(1280, 1024));

        form.StartSpeedButton1Click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return form.windowHandle()->windowState() == Qt::WindowFullScreen &&
                                                  form.size() == output; }))
            << form.width() << " x " << form.height();
        const QPoint corner((output.width() - picture.width()) / 2, (output.height() - picture.height()) / 2);
        EXPECT_EQ(form.gameField->geometry(), QRect(corner, picture));
        EXPECT_EQ(form.hbildImage->pos(), QPoint(1, 1));
        EXPECT_EQ(form.BonnImage1->geometry().bottomRight(), QPoint(picture.width() - 21, picture.height() - 51));
        const QPoint figure = form.Image1->pos();
        EXPECT_TRUE(figure.y() == 0 ? figure.x() <= picture.width() - 101 : figure.y() <= picture.height() - 101);
        if (const QByteArray shot = qgetenv("BLITZFANG_SCREENSHOT"); !shot.isEmpty())
            form.grab().save(QString::fromLocal8Bit(shot).replace(QStringLiteral(".png"),
                                                                  QStringLiteral("-%1.png").arg(picture.width())));

        form.MenueClick();
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return form.isVisible() && !(form.windowHandle()->windowState() & Qt::WindowFullScreen) &&
                   form.frameGeometry().size() == QSize(630, 500);
        })) << form.frameGeometry().width() << " x " << form.frameGeometry().height();
        EXPECT_FALSE(form.Panel1->isHidden());
        windows.reset();
    }
}

} // namespace
