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
    LoadedPicture loaded = loadPictureFile(path);
    takePicture(loaded.image, loaded.kind == PictureKind::Bitmap);
}

void PictureBox::sharePicture(const PictureBox& other)
{
    if (&other == this)
        return;
    if (other.transparent_ == transparent_) {
        // The same drawing: share it instead of masking the picture again.
        image_ = other.image_;
        isBitmap_ = other.isBitmap_;
        drawn_ = other.drawn_;
        setAttribute(Qt::WA_OpaquePaintEvent, other.testAttribute(Qt::WA_OpaquePaintEvent));
        if (hasPicture())
            setFixedSize(image_.size());
        update();
        return;
    }
    takePicture(other.image_, other.isBitmap_);
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
    return hasPicture() ? image_.size() : QWidget::sizeHint();
}

void PictureBox::takePicture(const QImage& image, bool isBitmap)
{
    image_ = image;
    isBitmap_ = isBitmap;
    if (hasPicture())
        setFixedSize(image_.size());
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
