#include "platform/QtFormWindow.h"

#include "platform/QtErrorReport.h"
#include "platform/QtFonts.h"
#include "platform/QtWindowPlacement.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace {

// The caption bar as designed: caption, system menu, minimise and close, but no maximise (the
// window manager would offer one even for a window of fixed size).
constexpr Qt::WindowFlags kCaptionBar = Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                        Qt::WindowCloseButtonHint;

bool isEnter(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

bool canClick(const QAbstractButton* button)
{
    return button && button->isEnabled() && button->isVisible();
}

} // namespace

FormWindow::FormWindow(const QString& caption, int designWidth, int designHeight)
{
    setWindowTitle(caption);
    setFont(defaultDesignFont());
    setWindowFlags(Qt::Window | kCaptionBar | Qt::WindowMinimizeButtonHint);
    setDesignSize(designWidth, designHeight);
    placement_ = new WindowPlacement(*this, [this](const QMargins& frame) { return placedFrame(frame); });
    // Only the main window's closing ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    // The key preview: the application hands every key press to the window's filter first.
    qApp->installEventFilter(this);
}

FormWindow::~FormWindow()
{
    // A window that belonged to another (the import window) leaves it free again.
    if (owner_ && owner_->owned_ == this)
        owner_->owned_ = nullptr;
    qApp->removeEventFilter(this);
}

void FormWindow::setDesignSize(int width, int height)
{
    if (sizeable_)
        resize(width - kFrameWidth, height - kFrameHeight);
    else
        setFixedSize(width - kFrameWidth, height - kFrameHeight);
}

void FormWindow::makeSizeable()
{
    sizeable_ = true;
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setWindowFlags(Qt::Window); // the usual frame with its maximise button
}

void FormWindow::placeWhenShown()
{
    placement_->placeWhenShown();
}

QRect FormWindow::placedFrame(const QMargins& frame) const
{
    const QSize outer = size().grownBy(frame);
    QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect area = where ? where->geometry() : QRect(QPoint(), outer);
    return {area.x() + area.width() / 2 - outer.width() / 2, area.y() + area.height() / 2 - outer.height() / 2,
            outer.width(), outer.height()};
}

void FormWindow::setOwner(FormWindow* owner)
{
    owner_ = owner;
    owner->owned_ = this;
    setWindowFlags(Qt::Dialog | kCaptionBar);
    // Modal to its owner: a window manager hands a click on the owner to this window.
    setWindowModality(Qt::WindowModal);
}

void FormWindow::setVisible(bool visible)
{
    if (visible && isWindow() && owner_) {
        // Before the window maps: the window manager reads whom it belongs to when it takes it on.
        create();
        owner_->create();
        windowHandle()->setTransientParent(owner_->windowHandle());
    }
    if (visible && !placed_ && isWindow()) {
        placed_ = true;
        placeWhenShown();
    }
    QWidget::setVisible(visible);
}

bool FormWindow::FormKeyPress(QKeyEvent* event)
{
    // A held Escape that left one window (a test game, a side window) must not go on to cancel
    // the next one with its repeats.
    if (event->key() == Qt::Key_Escape && !event->isAutoRepeat() && cancelButton_ && cancelButton_->isEnabled()) {
        cancelButton_->click();
        return true;
    }
    if (!isEnter(event) || event->modifiers() & ~Qt::KeypadModifier)
        return false;
    auto* focused = qobject_cast<QPushButton*>(focusWidget());
    QAbstractButton* pressed = focused ? focused : mainButton_;
    if (!canClick(pressed))
        return false;
    pressed->click();
    return true;
}

void FormWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    try {
        FormShow();
    } catch (const std::exception& error) {
        // The window opens all the same, with the steps before the error done.
        showError(error);
    }
}

void FormWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // A click on a window whose own window is open (the editor under save-as) brings that one
    // forward with the keyboard.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && owned_ && owned_->isVisible()) {
        owned_->raise();
        owned_->activateWindow();
    }
    // A platform may maximise even a window of fixed size (a double click on its caption bar).
    constexpr Qt::WindowStates kLarge = Qt::WindowMaximized | Qt::WindowFullScreen;
    if (event->type() == QEvent::WindowStateChange && !sizeable_ && (windowState() & kLarge))
        setWindowState(windowState() & ~kLarge);
}

void FormWindow::closeEvent(QCloseEvent* event)
{
    // A disabled window waits for the window that disabled it (the editor for save-as); the
    // window manager's close box still reaches it.
    if (!isEnabled()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    if (static_cast<QWidget*>(watched)->window() != this)
        return false;
    return FormKeyPress(static_cast<QKeyEvent*>(event));
}
