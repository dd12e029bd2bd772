#include "platform/QtControls.h"

#include <QMouseEvent>

TextLabel::TextLabel(const QString& text, QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setMouseTracking(true);
    setText(text);
}

void TextLabel::setText(const QString& text)
{
    QLabel::setText(text);
    if (autoSize_)
        adjustSize();
}

void TextLabel::setAutoSize(bool on)
{
    autoSize_ = on;
    if (on)
        adjustSize();
}

void TextLabel::setTextColor(const QColor& color)
{
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, color);
    setPalette(colours);
}

QColor TextLabel::textColor() const
{
    return palette().color(QPalette::WindowText);
}

void TextLabel::mousePressEvent(QMouseEvent* event)
{
    QLabel::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        event->accept(); // the release that follows is this label's click
}

void TextLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void TextLabel::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMoved();
    QLabel::mouseMoveEvent(event);
    // Like every control, a label keeps its mouse moves: its parent does not see them.
    event->accept();
}

void TextLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange && autoSize_)
        adjustSize();
}

Panel::Panel(QWidget* parent) : QFrame(parent)
{
    setMouseTracking(true);
}

void Panel::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMoved();
    QFrame::mouseMoveEvent(event);
    event->accept();
}

GroupBox::GroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent)
{
    setMouseTracking(true);
}

void GroupBox::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMoved();
    QGroupBox::mouseMoveEvent(event);
    event->accept();
}
