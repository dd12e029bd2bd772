#include "dialogs/extrasUnit2.h"

#include "game/BlitzfangUnit1.h"
#include "game/WindowSet.h"
#include "media/PictureBox.h"
#include "platform/BlitzfangError.h"
#include "platform/QtControls.h"
#include "storage/ScenarioFile.h"
#include "storage/ScenarioNames.h"
#include "storage/ScenarioStore.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include <fstream>
#include <iterator>

namespace {

QString fromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

QString numberName(const char* prefix, int number)
{
    return QString::fromLatin1(prefix) + QString::number(number);
}

TextLabel* makeNumberedLabel(QWidget* parent, int number, int left, int top)
{
    auto* label = new TextLabel(QString(), parent);
    label->setObjectName(numberName("Label", number));
    label->move(left, top);
    return label;
}

// The scenario's help text, its lines ending in CR LF, CR or LF, as one line per line.
QString helpTextOf(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw BlitzfangError(fehlertext::dateiKannNichtGeoeffnetWerden(path.string()));
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    QString text = fromUtf8(zuUtf8(bytes));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // A line end closes its line; it does not start an empty one.
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

} // namespace

TExtrasForm::TExtrasForm(WindowSet& windows)
    : FormWindow(QStringLiteral("Extras"), 550, 412), windows(windows), store(windows.store)
{
    setObjectName(QStringLiteral("ExtrasForm"));

    GroupBox1 = makeControl<GroupBox>(this, "GroupBox1", 8, 8, QStringLiteral("Zusatzinformationen "));
    GroupBox1->resize(260, 329);
    Memo1 = makeControl<QPlainTextEdit>(GroupBox1, "Memo1", 16, 32);
    Memo1->resize(225, 241);
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Image1 = makeControl<PictureBox>(GroupBox1, "Image1", 24, 288);
    BildnameLabel = makeControl<TextLabel>(GroupBox1, "BildnameLabel", 64, 296);

    GroupBox2 = makeControl<GroupBox>(this, "GroupBox2", 272, 8, QStringLiteral("Highscore "));
    GroupBox2->resize(260, 329);
    QFont headingFont = font();
    headingFont.setBold(true);
    headingFont.setUnderline(true);
    const char* headings[] = {"Platz", "Spielername", "Punkte", "Level"};
    const int headingLefts[] = {8, 48, 168, 216};
    for (int column = 0; column < 4; ++column) {
        ueberschriften[column] = makeNumberedLabel(GroupBox2, 41 + column, headingLefts[column], 40);
        ueberschriften[column]->setFont(headingFont);
        ueberschriften[column]->setText(QString::fromUtf8(headings[column]));
    }
    QFont placeFont = font();
    placeFont.setBold(true);
    for (int row = 0; row < 10; ++row) {
        const int top = 64 + 24 * row;
        platzLabels[row] = makeNumberedLabel(GroupBox2, row + 21, 16, top);
        platzLabels[row]->setFont(placeFont);
        platzLabels[row]->setText(QString::number(row + 1));
        nameLabels[row] = makeNumberedLabel(GroupBox2, row + 1, 48, top);
        punkteLabels[row] = makeNumberedLabel(GroupBox2, row + 11, 184, top);
        levelLabels[row] = makeNumberedLabel(GroupBox2, row + 31, 232, top);
    }

    zurueckButton = makeControl<QPushButton>(this, "zurueckButton", 232, 352, QStringLiteral("&Zurück"));
    zurueckButton->resize(81, 25);
    setCancelButton(zurueckButton);
    connect(zurueckButton, &QPushButton::clicked, this, &TExtrasForm::zurueckButtonClick);
}

TExtrasForm::~TExtrasForm() = default;

void TExtrasForm::FormShow()
{
    zurueckButton->setFocus();
    const ScenarioSettings& settings = store.settings;
    const auto folder = store.scenarioFolder(store.setup.spielstart);
    Memo1->setPlainText(helpTextOf(findeOhneGrossKlein(folder, "hilfe.txt")));
    Image1->setTransparent(!istAus(settings.abschussTransparent));
    Image1->loadPicture(settings.abschussBild);
    BildnameLabel->setText(QStringLiteral("= ") + fromUtf8(settings.titel));
    for (int row = 0; row < 10; ++row) {
        const T_Highscore& entry = settings.highscore[std::size_t(row)];
        nameLabels[row]->setText(fromUtf8(entry.name));
        punkteLabels[row]->setText(QString::number(entry.points));
        levelLabels[row]->setText(QString::number(entry.level));
    }
}

void TExtrasForm::zurueckButtonClick()
{
    hide();
    windows.MainForm->show();
}

void TExtrasForm::FormClose()
{
    windows.MainForm->show();
}
