#include "media/PictureBox.h"

#include "media/PictureLoader.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_NoSystemBackground);
}

void PictureBox::setDesignSize(int width, int height)
{
    if (!hasPicture())
        setFixedSize(width, height);
}

void PictureBox::loadPicture(const std::string& path)
{
    // Throws before anything changes, so a failed load keeps the previous picture.
    LoadedPicture loaded = loadPictureFile(path, shownArea_);
    takePicture(loaded.image, loaded.size, loaded.kind == PictureKind::Bitmap);
}

void PictureBox::setShownArea(QSize area)
{
    shownArea_ = area;
}

void PictureBox::sharePicture(const PictureBox& other)
{
    if (&other == this)
        return;
    if (other.transparent_ == transparent_) {
        // The same drawing: share it instead of masking the picture again.
        image_ = other.image_;
        pictureSize_ = other.pictureSize_;
        isBitmap_ = other.isBitmap_;
        drawn_ = other.drawn_;
        setAttribute(Qt::WA_OpaquePaintEvent, other.testAttribute(Qt::WA_OpaquePaintEvent));
        if (hasPicture())
            setFixedSize(pictureSize_);
        update();
        return;
    }
    takePicture(other.image_, other.pictureSize_, other.isBitmap_);
}

void PictureBox::setTransparent(bool on)
{
    if (on == transparent_)
        return;
    transparent_ = on;
    prepareDrawing();
}

QSize PictureBox::sizeHint() const
{
    return hasPicture() ? pictureSize_ : QWidget::sizeHint();
}

void PictureBox::takePicture(const QImage& image, QSize size, bool isBitmap)
{
    image_ = image;
    pictureSize_ = size;
    isBitmap_ = isBitmap;
    if (hasPicture())
        setFixedSize(pictureSize_);
    prepareDrawing();
}

void PictureBox::prepareDrawing()
{
    drawn_ = hasPicture()
        ? QPixmap::fromImage(drawnImage(image_, isBitmap_ ? PictureKind::Bitmap : PictureKind::Jpeg, transparent_))
        : QPixmap();
    // An opaque picture covers its whole rectangle: what lies beneath need not be painted,
    // which keeps moving the element cheap.
    setAttribute(Qt::WA_OpaquePaintEvent, !drawn_.isNull() && !drawn_.hasAlphaChannel());
    update();
}

void PictureBox::paintEvent(QPaintEvent*)
{
    if (drawn_.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, drawn_);
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    // The whole rectangle counts, transparent pixels included. Other buttons go on to the
    // window beneath (its context menu).
    if (event->button() == Qt::LeftButton) {
        event->accept();
        emit clicked();
        return;
    }
    event->ignore();
}
