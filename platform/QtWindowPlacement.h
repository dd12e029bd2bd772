#pragma once
// Where a top-level window stands. A window is placed once: as soon as it is shown and its frame
// is known, and never again until it is asked to be placed anew. Every move, size or maximise
// after that is the player's or the window manager's and stays as it is.
//
// The frame is known when the window is on the screen (exposed) and Qt reports frame margins. A
// window exposed without any (no window manager, or a borderless window) has none: a manager
// frames a window before it maps it. A Wayland compositor places every window
// itself: there only the size is set.

#include <QMargins>
#include <QObject>
#include <QRect>

#include <functional>

class QWidget;
class QWindow;

class WindowPlacement : public QObject {
public:
    // `outerRect` gives the frame's place and size for a frame of the given margins; the client
    // area is that less the frame.
    using OuterRect = std::function<QRect(const QMargins& frame)>;

    WindowPlacement(QWidget& window, OuterRect outerRect);

    // The window is placed when it is shown next (now, if it is shown already and its frame is
    // known). A hidden window takes the place at once with the frame it had last, so that it
    // appears there; it is placed again only if its frame turns out different.
    void placeWhenShown();
    bool pending() const { return pending_; }

    // True on a Wayland compositor, which places windows itself.
    static bool compositorPlacesWindows();
    // True on a Wayland compositor and on its X server (Xwayland), whose window manager may
    // place a window of the screen's size beside its panels: a window covers the screen only in
    // the full-screen state.
    static bool onWaylandCompositor();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeIfFrameKnown(bool exposed);
    void place(const QMargins& frame);
    void watchNativeWindow();

    QWidget& window_;
    OuterRect outerRect_;
    QWindow* watched_ = nullptr;
    QMargins lastFrame_; // the frame the window had when it was last placed with one
    bool pending_ = false;
    bool exposed_ = false; // exposed since it was last shown
};
