#pragma once
// The help window: six pages chosen from a menu of labels that light up under the mouse, the
// credits page with three links, and ExecuteFile, which opens links for the whole program.

#include "platform/QtFormWindow.h"

#include <array>
#include <string>

class GroupBox;
class Panel;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class TextLabel;
class WindowSet;

class THilfeform : public FormWindow {
    Q_OBJECT
public:
    enum class ShowMode { normal };

    explicit THilfeform(WindowSet& windows);
    ~THilfeform() override;

    WindowSet& windows;

    QLabel* LogoImage;
    TextLabel* Label27; // "presents"
    TextLabel* Label1;  // "Blitzfang"
    GroupBox* GroupBox1; // "Menü"
    TextLabel* Label2;
    TextLabel* Label3;
    TextLabel* Label4;
    TextLabel* Label5;
    TextLabel* Label6;
    TextLabel* Label7;
    QPlainTextEdit* Blitzfangmemo;
    QPlainTextEdit* nutzenMemo;
    QPlainTextEdit* editorMemo;
    QPlainTextEdit* optionsMemo;
    QPlainTextEdit* extrasMemo;
    Panel* CreditsPanel;
    TextLabel* Label13; // the maker's web address
    TextLabel* Label14; // the maker's mail address
    TextLabel* Label23; // the partner's web address
    QPushButton* Button1;

    // The six menu labels and their pages, in menu order.
    std::array<TextLabel*, 6> menuLabels() const;
    std::array<QWidget*, 6> pages() const;

    void FormShow() override;
    void Label2Click();
    void Label3Click();
    void Label4Click();
    void Label5Click();
    void Label6Click();
    void Label7Click();
    // Shared by the six menu labels: the one under the mouse is underlined and red.
    void Label2MouseMove(TextLabel* sender);
    // The mouse over the free area, the menu box or the credits panel: all labels at rest.
    void FormMouseMove();
    void Label13MouseMove();
    void Label14MouseMove();
    void Label23MouseMove();
    void Label13Click();
    void Label14Click();
    void Label23Click();
    void Button1Click();
    void FormClose() override;

    // Hands a link to the desktop's default handler; the result is ignored.
    void ExecuteFile(const std::string& fileName, const std::string& parameters, const std::string& folder,
                     ShowMode showMode);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QPlainTextEdit* makeTextPage(const char* name, const QString& title, const QString& text);
    void buildCreditsPage();
    void showPage(QWidget* page);
};
