#pragma once
// The base of the program's seven windows: caption and designed size, centred on the screen
// with its real frame when first shown and reopened where it was afterwards, and the three
// events the windows react to: FormShow (the window becomes visible), FormClose (its close box)
// and FormKeyPress (every key pressed anywhere in the window, before its controls see it).

#include <QWidget>

class QAbstractButton;
class QKeyEvent;
class WindowPlacement;

class FormWindow : public QWidget {
    Q_OBJECT
public:
    // Designed sizes are outer sizes, measured with a frame of this size: the controls' places
    // need a client area of the design less it, so that is the client area under every window
    // manager (a thicker frame must not cut off a button). Placing uses the real frame.
    static constexpr int kFrameWidth = 8;
    static constexpr int kFrameHeight = 27;

    FormWindow(const QString& caption, int designWidth, int designHeight);
    ~FormWindow() override;

    // Outer size as designed. The windows keep it: their controls have fixed places, so they
    // cannot be resized or maximised, unless made sizeable.
    void setDesignSize(int width, int height);
    void makeSizeable();
    int designWidth() const { return width() + kFrameWidth; }
    int designHeight() const { return height() + kFrameHeight; }
    // The window is placed where placedFrame() says as soon as it shows with its frame known:
    // the first time it is shown, and whenever asked again. After that it stays where the player
    // or the window manager puts it.
    void placeWhenShown();
    // Where the frame belongs, for a frame of the given margins: by default the window's outer
    // size centred on its screen.
    virtual QRect placedFrame(const QMargins& frame) const;

    // Escape clicks this button (the window's "cancel" button).
    void setCancelButton(QAbstractButton* button) { cancelButton_ = button; }
    // Enter clicks this button unless the focus is on another push button, which Enter clicks.
    // Without one Enter presses only a focused push button.
    void setMainButton(QAbstractButton* button) { mainButton_ = button; }
    // The window belongs to `owner`: it always stands above it (a transient dialog window), also
    // while the owner is disabled, since it is no child of it.
    void setOwner(FormWindow* owner);

    void setVisible(bool visible) override;

    // The window became visible (also each time another window hands back to it). An error
    // thrown here is shown in the error box and the window stays open.
    virtual void FormShow() {}
    // The close box was used; the window hides afterwards. A disabled window refuses to close.
    virtual void FormClose() {}
    // Key preview. Called for a key press in this window before its controls see it, once for
    // every widget level the key passes until one takes it: act only on keys you take, and
    // return true for them (they go no further). Here: Escape clicks the cancel button, Enter a
    // focused push button or else the main button.
    virtual bool FormKeyPress(QKeyEvent* event);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractButton* cancelButton_ = nullptr;
    QAbstractButton* mainButton_ = nullptr;
    FormWindow* owner_ = nullptr;
    FormWindow* owned_ = nullptr; // the window that belongs to this one
    WindowPlacement* placement_;
    bool placed_ = false;
    bool sizeable_ = false;
};
