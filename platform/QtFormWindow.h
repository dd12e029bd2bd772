#pragma once
// The base of the program's seven windows: caption and designed size, centred on the screen
// when first shown and reopened where it was afterwards, and the three events the windows
// react to: FormShow (the window becomes visible), FormClose (its close box) and
// FormKeyPress (every key pressed anywhere in the window, before its controls see it).

#include <QWidget>

class QAbstractButton;
class QKeyEvent;

class FormWindow : public QWidget {
    Q_OBJECT
public:
    // Designed sizes are outer sizes (frame included); the client area is the design less a
    // standard frame, so a window looks the same under every window manager.
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
    // Moves the window so that its designed outer size is centred on its screen; done when it
    // is shown for the first time.
    virtual void centreOnScreen();

    // Escape clicks this button (the window's "cancel" button).
    void setCancelButton(QAbstractButton* button) { cancelButton_ = button; }

    void setVisible(bool visible) override;

    // The window became visible (also each time another window hands back to it). An error
    // thrown here is shown in the error box and the window stays open.
    virtual void FormShow() {}
    // The close box was used; the window hides afterwards. A disabled window refuses to close.
    virtual void FormClose() {}
    // Key preview. Called for a key press in this window before its controls see it, once for
    // every widget level the key passes until one takes it: act only on keys you take, and
    // return true for them (they go no further).
    virtual bool FormKeyPress(QKeyEvent* event);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractButton* cancelButton_ = nullptr;
    bool placed_ = false;
    bool sizeable_ = false;
};
