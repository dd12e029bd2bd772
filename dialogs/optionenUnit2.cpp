#include "dialogs/optionenUnit2.h"

#include "dialogs/ScenarioNameInput.h"
#include "editor/Unit1.h"
#include "game/BlitzfangUnit1.h"
#include "game/WindowSet.h"
#include "platform/Dialogs.h"
#include "platform/QtControls.h"
#include "platform/QtErrorReport.h"
#include "platform/QtText.h"
#include "storage/Highscore.h"
#include "storage/ScenarioFile.h"
#include "storage/ScenarioStore.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cstdint>

namespace {

const std::string kNameZuLang = "Der Name ist zu lang und wird gekürzt! Maximal 14 Zeichen.";
constexpr std::int32_t kHoechsterLevel = 5;

bool isContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

QComboBox* makeEditableBox(QWidget* parent, const char* name, int left, int top)
{
    auto* box = makeControl<QComboBox>(parent, name, left, top);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->resize(145, 21);
    return box;
}

} // namespace

std::size_t utf8Length(std::string_view text)
{
    return std::size_t(std::count_if(text.begin(), text.end(), [](char c) { return !isContinuationByte(c); }));
}

std::string utf8Prefix(std::string_view text, std::size_t count)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!isContinuationByte(text[i]) && characters++ == count)
            return std::string(text.substr(0, i));
    }
    return std::string(text);
}

TOptionenForm::TOptionenForm(WindowSet& windows)
    : FormWindow(QStringLiteral("Optionen"), 212, 232), windows(windows), store(windows.store)
{
    setObjectName(QStringLiteral("OptionenForm"));
    Panel1 = makeControl<Panel>(this, "Panel1", 0, 0);
    Panel1->resize(204, 168);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Label1 = makeControl<TextLabel>(Panel1, "Label1", 16, 8, QStringLiteral("Szenariowechsel"));
    SpielstandComboBox = makeEditableBox(Panel1, "SpielstandComboBox", 16, 24);
    Label2 = makeControl<TextLabel>(Panel1, "Label2", 16, 56, QStringLiteral("Schwierigkeitsgrad ( Level )"));
    schwierigkeitsgradComboBox = makeEditableBox(Panel1, "schwierigkeitsgradComboBox", 16, 72);
    for (int level = 1; level <= kHoechsterLevel; ++level)
        schwierigkeitsgradComboBox->addItem(QString::number(level));
    Label3 = makeControl<TextLabel>(Panel1, "Label3", 16, 104, QStringLiteral("Spielername:"));
    SpielerEdit = makeControl<QLineEdit>(Panel1, "SpielerEdit", 16, 120);
    SpielerEdit->resize(121, 21);

    okButton = makeControl<QPushButton>(this, "okButton", 8, 176, QStringLiteral("&OK"));
    okButton->resize(75, 25);
    Button2 = makeControl<QPushButton>(this, "Button2", 120, 176, QStringLiteral("&Abbruch"));
    Button2->resize(75, 25);
    setCancelButton(Button2);
    setMainButton(okButton);
    connect(okButton, &QPushButton::clicked, this, &TOptionenForm::okButtonClick);
    connect(Button2, &QPushButton::clicked, this, &TOptionenForm::Button2Click);
}

TOptionenForm::~TOptionenForm() = default;

void TOptionenForm::FormShow()
{
    SpielstandComboBox->clear();
    for (const T_Datei& entry : store.setup.speicherstaende)
        SpielstandComboBox->addItem(fromUtf8(entry.name));
    SpielstandComboBox->setEditText(fromUtf8(store.setup.spielstart));
    schwierigkeitsgradComboBox->setEditText(QString::number(store.settings.schwierigkeitsgrad));
    SpielerEdit->setText(fromUtf8(store.settings.spielername));
}

void TOptionenForm::okButtonClick()
{
    runAsOneAction([this] { applyChoices(); });
}

void TOptionenForm::applyChoices()
{
    const std::string typed = SpielstandComboBox->currentText().toStdString();
    if (!acceptScenarioName(typed))
        return;
    const std::string chosen = listedSpelling(store.setup.speicherstaende, typed);
    unfinishedOk_ = true;
    store.setup.spielstart = chosen;
    store.dateiexlesen(store.setup.spielstart);
    if (store.setup.spielstart != chosen) {
        // The loader reported a scenario without a file and took "Standard" instead. Nothing is
        // saved: the window shows the scenario now current and stays open for another choice.
        SpielstandComboBox->setEditText(fromUtf8(store.setup.spielstart));
        windows.MainForm->menuebeschriften();
        return;
    }

    const std::string name = SpielerEdit->text().toStdString();
    if (!name.empty())
        // ";" would end the name in the highscore line: the same replacement as the writer's.
        store.settings.spielername = highscoreSafeName(name);
    if (utf8Length(store.settings.spielername) > kMaxSpielernameLaenge) {
        dialogs().notice(kNameZuLang);
        store.settings.spielername = utf8Prefix(store.settings.spielername, kMaxSpielernameLaenge);
    }
    // Not a whole number: the error box, and the OK ends here with nothing saved.
    store.settings.schwierigkeitsgrad =
        std::min(strToInt(schwierigkeitsgradComboBox->currentText().toStdString()), kHoechsterLevel);

    windows.EditorForm->automaticSave(store.setup.spielstart, SaveKind::options);
    store.dateiexlesen(store.setup.spielstart);
    unfinishedOk_ = false;

    TMainForm& main = *windows.MainForm;
    main.Label2->setText(fromUtf8(store.settings.titel));
    main.Panel2->resize(main.Label2->width() + 20, main.Panel2->height());

    SpielstandComboBox->clear();
    hide();
    main.show();
}

void TOptionenForm::Button2Click()
{
    SpielstandComboBox->clear();
    hide();
    forgetUnfinishedOk();
    windows.MainForm->show();
}

void TOptionenForm::FormClose()
{
    forgetUnfinishedOk();
    windows.MainForm->show();
}

void TOptionenForm::forgetUnfinishedOk()
{
    if (!unfinishedOk_)
        return;
    unfinishedOk_ = false;
    // Memory follows setup.cfg again, which only the OK's save changes.
    try {
        store.reloadSavedScenario();
    } catch (const std::exception& error) {
        showError(error);
    }
    windows.MainForm->menuebeschriften();
}
