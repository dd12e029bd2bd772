#include "editor/Unit1.h"

#include "game/BlitzfangUnit1.h"
#include "game/WindowSet.h"
#include "platform/QtControls.h"
#include "storage/ScenarioFile.h"
#include "storage/ScenarioStore.h"

#include <QPushButton>
#include <QTabWidget>

namespace {

QPushButton* makeButton(QWidget* parent, const char* name, int left, int top, const QString& caption)
{
    auto* button = makeControl<QPushButton>(parent, name, left, top, caption);
    button->resize(105, 25);
    return button;
}

QWidget* addPage(QTabWidget* pages, const char* name, const QString& caption)
{
    auto* page = new QWidget;
    page->setObjectName(QString::fromLatin1(name));
    pages->addTab(page, caption);
    return page;
}

} // namespace

TEditorForm::TEditorForm(WindowSet& windows)
    : FormWindow(QStringLiteral("Editor"), 594, 485), windows(windows), store(windows.store)
{
    setObjectName(QStringLiteral("EditorForm"));

    PageControl1 = makeControl<QTabWidget>(this, "PageControl1", 0, 0);
    PageControl1->resize(width(), 374);
    TabSheet1 = addPage(PageControl1, "TabSheet1", QStringLiteral("Beschriftungen"));
    TabSheet2 = addPage(PageControl1, "TabSheet2", QStringLiteral("Grafiken"));
    TabSheet3 = addPage(PageControl1, "TabSheet3", QStringLiteral("Sound"));

    // Two rows of commands below the pages, the loaded scenario's box to their right.
    Speichernunterbutton = makeButton(this, "Speichernunterbutton", 8, 384, QStringLiteral("Speichern &unter"));
    Button1 = makeButton(this, "Button1", 120, 384, QStringLiteral("&Laden"));
    Button4 = makeButton(this, "Button4", 232, 384, QStringLiteral("Stan&dard"));
    SpeicherButton = makeButton(this, "SpeicherButton", 8, 416, QStringLiteral("&Speichern"));
    Button3 = makeButton(this, "Button3", 120, 416, QStringLiteral("Lösche&n"));
    AbbrechenButton4 = makeButton(this, "AbbrechenButton4", 232, 416, QStringLiteral("&Abbrechen"));
    GroupBox6 = makeControl<GroupBox>(this, "GroupBox6", 352, 378, QStringLiteral("Geladenes Szenario"));
    GroupBox6->resize(226, 65);
    Label18 = makeControl<TextLabel>(GroupBox6, "Label18", 16, 30);

    setCancelButton(AbbrechenButton4);
    connect(AbbrechenButton4, &QPushButton::clicked, this, &TEditorForm::AbbrechenButton4Click);
}

TEditorForm::~TEditorForm() = default;

void TEditorForm::start()
{
    Label18->setText(QString::fromStdString(store.setup.spielstart));
}

void TEditorForm::speichern(const std::string& name)
{
    ScenarioSettings& settings = store.settings;
    buildPreparedLines(settings, !istAus(settings.hintergrundbildAktiviert) && !settings.hintergrundbild.empty());
    windows.MainForm->menuebeschriften();
    windows.MainForm->ZielLabel->setText(QString::fromStdString(settings.zielort));
    store.dateischreiben(name);
    store.dateiexlesen(name);
    leaveForMainWindow();
}

void TEditorForm::AbbrechenButton4Click()
{
    TMainForm& main = *windows.MainForm;
    main.menuebeschriften();
    main.ZielLabel->setText(QString::fromStdString(store.settings.zielort));
    leaveForMainWindow();
}

void TEditorForm::FormClose()
{
    windows.MainForm->show();
}

void TEditorForm::leaveForMainWindow()
{
    windows.MainForm->show();
    hide();
}
