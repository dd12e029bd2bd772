// The picture element on a window: its size follows the picture, transparency shows the
// window through, copies share a picture, and clicks count on the whole rectangle.

#include "media/PictureBox.h"
#include "platform/BlitzfangError.h"
#include "tests/media/MediaFixtures.h"
#include "tests/support/TempFolder.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QRgb windowColour = qRgb(200, 0, 200);
const QRgb red = qRgb(255, 0, 0);
const QRgb blue = qRgb(0, 0, 255);

// A window of one colour with one picture element at (10, 10).
class PictureWindow : public QWidget {
public:
    PictureWindow()
    {
        setFixedSize(120, 120);
        QPalette colours = palette();
        colours.setColor(QPalette::Window, QColor(windowColour));
        setPalette(colours);
        setAutoFillBackground(true);
        box = new PictureBox(this);
        box->move(10, 10);
        show();
    }

    // The colour shown at a point of the element, as the user sees it.
    QRgb shownAt(int x, int y) { return grab().toImage().pixel(10 + x, 10 + y) | 0xff000000u; }

    int rightPresses = 0;
    PictureBox* box = nullptr;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::RightButton)
            ++rightPresses;
    }
};

class PictureBoxTest : public ::testing::Test {
protected:
    std::string bitmap(const std::string& name, int width, int height)
    {
        fixtures::saveWithQt(folder / name, fixtures::quarters(width, height), "BMP");
        return (folder / name).string();
    }
    std::string jpeg(const std::string& name, int width, int height)
    {
        fixtures::writeJpeg(folder / name, fixtures::quarters(width, height));
        return (folder / name).string();
    }

    TempFolder folder;
    PictureWindow window;
};

} // namespace

TEST_F(PictureBoxTest, sizeFollowsEveryLoadedPictureAndIgnoresResizing)
{
    PictureBox& box = *window.box;
    box.setDesignSize(105, 105);
    EXPECT_EQ(box.size(), QSize(105, 105));

    box.loadPicture(bitmap("a.bmp", 30, 20));
    EXPECT_EQ(box.size(), QSize(30, 20));
    box.resize(90, 90);
    box.setGeometry(5, 5, 70, 10);
    EXPECT_EQ(box.size(), QSize(30, 20));
    EXPECT_EQ(box.pos(), QPoint(5, 5));

    box.loadPicture(jpeg("b.jpg", 12, 40));
    EXPECT_EQ(box.size(), QSize(12, 40));
    box.setDesignSize(105, 105);
    EXPECT_EQ(box.size(), QSize(12, 40));
}

TEST_F(PictureBoxTest, failedLoadKeepsThePreviousPictureAndSize)
{
    PictureBox& box = *window.box;
    box.setTransparent(true);
    box.loadPicture(bitmap("a.bmp", 30, 20));
    fixtures::writeBytes(folder / "kaputt.bmp", "BM kaputt");
    fixtures::writeBytes(folder / "kaputt.jpg", "kein JPEG");

    for (const std::string name : {"kaputt.bmp", "kaputt.jpg", "fehlt.jpg", "bild.gif", ""}) {
        SCOPED_TRACE(name);
        EXPECT_THROW(box.loadPicture(name.empty() ? name : (folder / name).string()), BlitzfangError);
        EXPECT_EQ(box.size(), QSize(30, 20));
        EXPECT_EQ(box.picture().pixel(0, 0), red);
        EXPECT_EQ(window.shownAt(0, 19), windowColour);
    }
}

TEST_F(PictureBoxTest, transparentBitmapShowsTheWindowWhereItsBottomLeftColourIs)
{
    PictureBox& box = *window.box;
    box.setTransparent(true);
    box.loadPicture(bitmap("a.bmp", 30, 20));
    EXPECT_EQ(window.shownAt(0, 0), red);
    EXPECT_EQ(window.shownAt(0, 19), windowColour);
    EXPECT_EQ(window.shownAt(14, 10), windowColour);
    EXPECT_EQ(window.shownAt(29, 19), qRgb(255, 255, 0));

    box.setTransparent(false);
    EXPECT_EQ(window.shownAt(0, 19), blue);
}

TEST_F(PictureBoxTest, monochromeBitmapShowsTheWindowThroughWhite)
{
    QImage mono(8, 8, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mono.fill(0);
    mono.setPixel(4, 4, 1);
    fixtures::saveWithQt(folder / "mono.bmp", mono, "BMP");

    window.box->setTransparent(true);
    window.box->loadPicture((folder / "mono.bmp").string());
    EXPECT_EQ(window.shownAt(0, 7), qRgb(0, 0, 0));
    EXPECT_EQ(window.shownAt(4, 4), windowColour);
}

TEST_F(PictureBoxTest, jpegIsOpaqueWhateverTheSwitchSays)
{
    window.box->setTransparent(true);
    window.box->loadPicture(jpeg("a.jpg", 32, 32));
    EXPECT_TRUE(window.box->transparent());
    const QRgb corner = window.shownAt(0, 31);
    EXPECT_GT(qBlue(corner), 200);
    EXPECT_LT(qRed(corner), 40);
}

TEST_F(PictureBoxTest, transparencySwitchIsKeptAcrossLoads)
{
    PictureBox& box = *window.box;
    box.setTransparent(true);
    box.loadPicture(jpeg("a.jpg", 32, 32));
    box.loadPicture(bitmap("b.bmp", 30, 20));
    EXPECT_EQ(window.shownAt(0, 19), windowColour);

    box.setTransparent(false);
    box.loadPicture(bitmap("c.bmp", 16, 16));
    EXPECT_FALSE(box.transparent());
    EXPECT_EQ(window.shownAt(0, 15), blue);
}

TEST_F(PictureBoxTest, sharedPictureIsACopyDrawnWithTheTakersOwnSwitch)
{
    PictureBox& figure = *window.box;
    figure.setTransparent(true);
    figure.loadPicture(bitmap("a.bmp", 30, 20));
    auto* opaqueCopy = new PictureBox(&window);
    auto* transparentCopy = new PictureBox(&window);
    transparentCopy->setTransparent(true);
    opaqueCopy->move(60, 10);
    transparentCopy->move(60, 60);
    opaqueCopy->show();
    transparentCopy->show();

    opaqueCopy->sharePicture(figure);
    transparentCopy->sharePicture(figure);
    EXPECT_EQ(opaqueCopy->size(), QSize(30, 20));
    EXPECT_EQ(transparentCopy->size(), QSize(30, 20));

    figure.loadPicture(bitmap("b.bmp", 8, 8));
    const QImage shown = window.grab().toImage();
    EXPECT_EQ(shown.pixel(60, 10 + 19) | 0xff000000u, blue);
    EXPECT_EQ(shown.pixel(60, 60 + 19) | 0xff000000u, windowColour);
    EXPECT_EQ(shown.pixel(60 + 29, 60) | 0xff000000u, qRgb(0, 255, 0));
    EXPECT_EQ(opaqueCopy->picture().size(), QSize(30, 20));
}

TEST_F(PictureBoxTest, leftPressOnATransparentPixelIsAClickRightPressGoesToTheWindow)
{
    PictureBox& box = *window.box;
    box.setTransparent(true);
    box.loadPicture(bitmap("a.bmp", 30, 20));
    QSignalSpy clicks(&box, &PictureBox::clicked);

    QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(2, 18));
    QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(2, 18));
    EXPECT_EQ(clicks.count(), 1);

    QTest::mousePress(&box, Qt::RightButton, {}, QPoint(2, 2));
    QTest::mouseRelease(&box, Qt::RightButton, {}, QPoint(2, 2));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(window.rightPresses, 1);
}
