// The save-as, load and options windows as the user sees them: every control inside its parent
// and every caption readable in full. Each window's picture is kept in the build folder.

#include "tests/dialogs/ScenarioDialogFixture.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QPixmap>

namespace {

using DialogLayout = ScenarioDialogTest;

// The room a caption needs: its text without the mnemonic marker, and a button's margins.
int captionWidth(const QWidget* control, QString text, int margins)
{
    text.remove(QLatin1Char('&'));
    return control->fontMetrics().horizontalAdvance(text) + margins;
}

void expectLaidOutInFull(FormWindow& window)
{
    const std::string name = window.objectName().toStdString();
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (control->objectName().isEmpty() || control->objectName().startsWith(QLatin1String("qt_")) ||
            !control->isVisible() || control->isWindow())
            continue;
        const std::string controlName = name + "." + control->objectName().toStdString();
        EXPECT_TRUE(control->parentWidget()->rect().contains(control->geometry())) << controlName;
        if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            EXPECT_LE(captionWidth(button, button->text(), 6), button->width()) << controlName;
        }
        if (auto* label = qobject_cast<QLabel*>(control)) {
            EXPECT_LE(captionWidth(label, label->text(), 0), label->width()) << controlName;
        }
    }
    const QString picture = QString::fromStdString((buildDir() / "tests" / "dialogs").string()) +
                            QLatin1Char('/') + window.objectName() + QStringLiteral(".png");
    window.grab().save(picture);
}

TEST_F(DialogLayout, everyControlLiesInItsWindowWithItsCaptionInFull)
{
    startWithMond();
    TSpeichernform& saveAs = openSaveAs();
    saveAs.savegameEdit->setText(QStringLiteral("Komet"));
    expectLaidOutInFull(saveAs);
    saveAs.hide();

    writeCompleteScenario("Komet", "Komet");
    TLadenForm& load = openLoad();
    click(load.suchenButton);
    expectLaidOutInFull(load);
    load.hide();

    expectLaidOutInFull(openOptions());
}

} // namespace
