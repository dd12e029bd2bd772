// The editor's three pages at the designed window size: every control lies inside its parent
// and shows its whole caption; screenshots of the pages for a look.

#include "tests/editor/EditorFixture.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>

namespace {

using EditorLayout = EditorTest;

// Previews sit in fixed frames that cut off larger pictures on purpose.
bool isPreview(const QWidget* control)
{
    return control->parentWidget() && control->parentWidget()->objectName().endsWith(QStringLiteral("Rahmen"));
}

void expectInsideParents(const QWidget* root)
{
    for (const QWidget* control : root->findChildren<QWidget*>()) {
        if (control->isWindow() || control->objectName().isEmpty() || isPreview(control) ||
            control->isHidden())
            continue;
        const QWidget* parent = control->parentWidget();
        EXPECT_TRUE(parent->rect().contains(control->geometry()))
            << control->geometry().x() << "," << control->geometry().width() << " in " << parent->width()
            << control->objectName().toStdString() << " leaves " << parent->objectName().toStdString();
        int needed = 0;
        if (auto* label = qobject_cast<const QLabel*>(control))
            needed = label->fontMetrics().horizontalAdvance(label->text());
        else if (auto* button = qobject_cast<const QAbstractButton*>(control))
            needed = button->sizeHint().width() - (qobject_cast<const QCheckBox*>(control) ? 0 : 16);
        else if (auto* group = qobject_cast<const QGroupBox*>(control))
            needed = group->fontMetrics().horizontalAdvance(group->title()) + 16;
        EXPECT_LE(needed, control->width()) << control->objectName().toStdString() << " cuts its caption off";
    }
}

TEST_F(EditorLayout, everyPageFitsTheDesignedWindowAndIsPhotographed)
{
    TEditorForm& form = openEditor();
    // As the author sees the standard scenario.
    const char* files[] = {"editor-beschriftungen.png", "editor-grafiken.png", "editor-sound.png"};
    for (int page = 0; page < 3; ++page) {
        form.PageControl1->setCurrentIndex(page);
        expectInsideParents(form.PageControl1->widget(page));
        form.grab().save(QString::fromStdString((buildDir() / files[page]).string()));
    }
    expectInsideParents(&form);

    // The longest captions the switches and labels can get.
    form.anausCheckBox->setChecked(false);
    form.hbildCheckBox1->setChecked(false);
    form.ZielCheckBox->setChecked(false);
    form.Abschuss2CheckBox->setChecked(false);
    form.abschusstranspCheckBox->setChecked(false);
    form.Label12->setText(QStringLiteral("Bildgröße: 999*999 Pixel"));
    form.Label15->setText(QStringLiteral("Bildgröße: 999*999 Pixel"));
    form.Label18->setText(QStringLiteral("Ein recht langer Name"));
    form.GroupBox8->setTitle(QStringLiteral("Sound abspielen: schussstart.wav "));
    for (int page = 0; page < 3; ++page) {
        form.PageControl1->setCurrentIndex(page);
        expectInsideParents(form.PageControl1->widget(page));
    }
    form.PageControl1->setCurrentIndex(1);
    form.grab().save(QString::fromStdString((buildDir() / "editor-grafiken-aus.png").string()));
    expectInsideParents(&form);
}

} // namespace
