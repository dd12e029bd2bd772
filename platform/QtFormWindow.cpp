#include "platform/QtFormWindow.h"

#include "platform/QtErrorReport.h"
#include "platform/QtFonts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QScreen>

FormWindow::FormWindow(const QString& caption, int designWidth, int designHeight)
{
    setWindowTitle(caption);
    setFont(defaultDesignFont());
    // No maximise button: the window manager would offer one even for a window of fixed size.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setDesignSize(designWidth, designHeight);
    // Only the main window's closing ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    // The key preview: the application hands every key press to the window's filter first.
    qApp->installEventFilter(this);
}

FormWindow::~FormWindow()
{
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

void FormWindow::centreOnScreen()
{
    QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!where)
        return;
    const QRect area = where->geometry();
    move(area.x() + area.width() / 2 - designWidth() / 2, area.y() + area.height() / 2 - designHeight() / 2);
}

void FormWindow::setVisible(bool visible)
{
    if (visible && !placed_ && isWindow()) {
        placed_ = true;
        centreOnScreen();
    }
    QWidget::setVisible(visible);
}

bool FormWindow::FormKeyPress(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && cancelButton_ && cancelButton_->isEnabled()) {
        cancelButton_->click();
        return true;
    }
    return false;
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
