#pragma once
// Small controls the windows are built from, placed at absolute positions.

#include <QFrame>
#include <QGroupBox>
#include <QLabel>

// Creates a child control with its name (the object name) and designed place.
template <typename Control, typename... Args>
Control* makeControl(QWidget* parent, const char* name, int left, int top, Args&&... args)
{
    auto* control = new Control(std::forward<Args>(args)..., parent);
    control->setObjectName(QString::fromLatin1(name));
    control->move(left, top);
    return control;
}

// A label: plain text (titles and names are never read as markup), transparent, sized to its
// text unless told otherwise, with click and mouse-move signals.
class TextLabel : public QLabel {
    Q_OBJECT
public:
    explicit TextLabel(const QString& text = QString(), QWidget* parent = nullptr);
    explicit TextLabel(QWidget* parent) : TextLabel(QString(), parent) {}

    // Hides QLabel::setText so that the label keeps its size fitted to the text.
    void setText(const QString& text);
    void setAutoSize(bool on);
    bool autoSize() const { return autoSize_; }

    void setTextColor(const QColor& color);
    QColor textColor() const;

signals:
    void clicked();
    // Also without a button pressed: mouse tracking is on.
    void mouseMoved();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool autoSize_ = true;
};

// A panel or group box that reports the mouse moving over its free area.
class Panel : public QFrame {
    Q_OBJECT
public:
    explicit Panel(QWidget* parent = nullptr);
signals:
    void mouseMoved();
protected:
    void mouseMoveEvent(QMouseEvent* event) override;
};

class GroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit GroupBox(const QString& title, QWidget* parent = nullptr);
signals:
    void mouseMoved();
protected:
    void mouseMoveEvent(QMouseEvent* event) override;
};
