#include "platform/QtWindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

WindowPlacement::WindowPlacement(QWidget& window, OuterRect outerRect)
    : QObject(&window), window_(window), outerRect_(std::move(outerRect))
{
    window_.installEventFilter(this);
}

bool WindowPlacement::compositorPlacesWindows()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool WindowPlacement::onWaylandCompositor()
{
    if (compositorPlacesWindows())
        return true;
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    // Xwayland names its screens XWAYLAND0, XWAYLAND1, ...; a session's programs learn of the
    // compositor from the environment.
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(),
                       [](const QScreen* screen) { return screen->name().startsWith(QLatin1String("XWAYLAND")); }) ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland";
}

void WindowPlacement::placeWhenShown()
{
    pending_ = true;
    if (window_.isVisible())
        placeIfFrameKnown(exposed_);
    else
        place(lastFrame_);
}

bool WindowPlacement::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &window_) {
        if (event->type() == QEvent::Hide) {
            exposed_ = false;
        } else if (event->type() == QEvent::ShowToParent) { // after the show: a box has its size now
            watchNativeWindow();
            if (pending_)
                placeIfFrameKnown(exposed_);
        }
    } else if (watched == watched_ && event->type() == QEvent::Expose) {
        exposed_ = watched_->isExposed();
        if (pending_)
            placeIfFrameKnown(exposed_);
    }
    return false;
}

void WindowPlacement::watchNativeWindow()
{
    QWindow* handle = window_.windowHandle();
    if (handle == watched_)
        return;
    if (watched_)
        watched_->removeEventFilter(this);
    watched_ = handle;
    if (handle) {
        handle->installEventFilter(this);
        // Forgotten with it, so that a window recreated at the same address is watched again.
        connect(handle, &QObject::destroyed, this, [this] { watched_ = nullptr; });
    }
}

void WindowPlacement::placeIfFrameKnown(bool exposed)
{
    // Only a window exposed since it was shown has its frame: before that Qt may still report
    // the frame of an earlier showing (or, on Wayland, none before its decoration is drawn), and a
    // request may be overtaken by the manager taking the window on.
    QWindow* handle = window_.windowHandle();
    if (!window_.isVisible() || !handle || !exposed)
        return;
    const QMargins frame = handle->frameMargins();
    pending_ = false;
    if (!(window_.windowFlags() & Qt::FramelessWindowHint))
        lastFrame_ = frame; // the menu window after a borderless game gets its frame back
    place(frame);
}

void WindowPlacement::place(const QMargins& frame)
{
    // A full-screen or maximised window has the size its platform gives it.
    if (window_.windowState() & (Qt::WindowFullScreen | Qt::WindowMaximized))
        return;
    const QMargins margins = (window_.windowFlags() & Qt::FramelessWindowHint) ? QMargins() : frame;
    const QRect outer = outerRect_(margins);
    const QRect client = outer.marginsRemoved(margins);
    if (compositorPlacesWindows()) {
        window_.resize(client.size());
    } else if (!window_.isVisible() || !window_.windowHandle()) {
        window_.setGeometry(client);
    } else {
        QWindow* handle = window_.windowHandle();
        if (handle->geometry() != client) {
            // One request with the client area's place and size: read by the manager as it
            // comes, whatever Qt's idea of the frame is meanwhile.
            handle->setGeometry(client);
        } else {
            // Asked of the window manager even where Qt believes the window stands there already:
            // the manager's answer to its mapping may still be on its way.
            window_.resize(client.size());
            handle->setFramePosition(outer.topLeft());
        }
    }
}
