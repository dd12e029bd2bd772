// The keyboard in the windows: Tab out of the editor's help text, Enter on a focused button or
// else the window's main button, and the destructive questions that Enter answers "&Nein".

#include "tests/dialogs/ScenarioDialogFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

namespace {

using WindowKeys = ScenarioDialogTest;

TEST_F(WindowKeys, tabLeavesTheHelpTextWithoutATabInItAndCtrlTabChangesThePage)
{
    startWithMond();
    TEditorForm& form = editor();
    form.show();
    form.PageControl1->setCurrentWidget(form.TabSheet1);
    form.Memo1->setFocus();
    QTest::keyClick(form.Memo1, Qt::Key_Tab);
    EXPECT_NE(form.focusWidget(), form.Memo1);
    form.Memo1->setFocus();
    QTest::keyClick(form.Memo1, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(form.PageControl1->currentWidget(), form.TabSheet2);
    EXPECT_FALSE(form.Memo1->toPlainText().contains(QLatin1Char('\t')));
}

TEST_F(WindowKeys, enterPressesTheFocusedButtonOrElseTheWindowsMainButton)
{
    startWithMond();
    TOptionenForm& options = openOptions();
    options.SpielerEdit->setText(QStringLiteral("Ida"));
    options.Button2->setFocus(); // "&Abbruch"
    QTest::keyClick(options.Button2, Qt::Key_Return);
    EXPECT_FALSE(options.isVisible());
    EXPECT_TRUE(fileHasLine("Mond.cfg", "Spielername: Tester"));
    openOptions();
    options.SpielerEdit->setText(QStringLiteral("Udo"));
    options.SpielerEdit->setFocus();
    QTest::keyClick(options.SpielerEdit, Qt::Key_Enter, Qt::KeypadModifier); // "&OK"
    EXPECT_TRUE(fileHasLine("Mond.cfg", "Spielername: Udo"));

    TLadenForm& load = openLoad();
    load.SzenarioComboBox->setEditText(QStringLiteral("Standard"));
    load.SzenarioComboBox->setFocus();
    QTest::keyClick(load.SzenarioComboBox, Qt::Key_Return); // "&OK"
    EXPECT_EQ(store().setup.spielstart, "Standard");
    EXPECT_TRUE(editor().isVisible());
}

TEST_F(WindowKeys, onlyTheQuestionsThatDestroyHaveNeinAsTheirDefault)
{
    startWithMond();
    editor().show();
    editor().Button3->click(); // "Lösche&n"
    editor().Button4->click(); // "Stan&dard"
    EXPECT_EQ(boxes.warningDefaults, (std::vector<DefaultAnswer>{DefaultAnswer::nein, DefaultAnswer::nein}));
}

} // namespace
