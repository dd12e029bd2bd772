#pragma once
// The image element: shows one BMP or JPEG picture at exactly the picture's size, optionally
// transparent (bitmap pixels of the bottom-left pixel's colour are not drawn), and reports
// left clicks anywhere in its rectangle. Right clicks pass on to the window (context menu).

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <string>

class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // The size before any picture is loaded (the designed size).
    void setDesignSize(int width, int height);

    // Loads by extension ("bmp" via Qt, "jpg"/"jpeg" via libjpeg), case-insensitively, and takes
    // the picture's size. Throws BlitzfangError with the German text; on failure the element
    // keeps its previous picture.
    void loadPicture(const std::string& path);
    // From now on only the top-left part of a picture within `area` is decoded and held (a
    // background larger than the screen, which the screen cuts); the element still takes the
    // whole picture's size. A transparent bitmap cut so takes its transparent colour from the
    // part it holds. An invalid size: the whole picture.
    void setShownArea(QSize area);
    // Takes a copy of another element's picture (and its size).
    void sharePicture(const PictureBox& other);

    // Kept across loads. JPEG pictures are drawn opaque whatever the switch says.
    void setTransparent(bool on);
    bool transparent() const { return transparent_; }

    bool hasPicture() const { return !image_.isNull(); }
    // The picture as loaded (not the drawn, masked one): the part within the shown area.
    const QImage& picture() const { return image_; }
    // The whole picture's size.
    QSize pictureSize() const { return pictureSize_; }
    bool isBitmap() const { return isBitmap_; }

    QSize sizeHint() const override;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void takePicture(const QImage& image, QSize size, bool isBitmap);
    void prepareDrawing();

    QImage image_;
    QSize pictureSize_;
    QSize shownArea_;
    bool isBitmap_ = false;
    bool transparent_ = false;
    // Made once per picture or switch change, so painting (and moving) is a plain copy.
    QPixmap drawn_;
};
