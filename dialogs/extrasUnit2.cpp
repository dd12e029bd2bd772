#include "dialogs/extrasUnit2.h"

#include "game/BlitzfangUnit1.h"
#include "game/WindowSet.h"
#include "media/PictureBox.h"
#include "platform/QtControls.h"
#include "platform/QtErrorReport.h"
#include "platform/QtText.h"
#include "platform/QtFonts.h"
#include "storage/HelpText.h"
#include "storage/ScenarioFile.h"
#include "storage/ScenarioNames.h"
#include "storage/ScenarioStore.h"

#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>

namespace {

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

// The designed left edges of the highscore columns.
constexpr int kNameLeft = 48;
constexpr int kPunkteLeft = 184;
constexpr int kLevelLeft = 232;
constexpr int kColumnGap = 4;

// A cell's text in the label's own font, narrowed only as far as the column needs.
void setCellText(TextLabel* label, const QFont& designed, const QString& text, int columnEnd)
{
    label->setFont(fontFittingWidth(designed, text, columnEnd - kColumnGap - label->x()));
    label->setText(text);
}

// A number stands right-aligned, ending under the end of its column's heading; a wider one
// reaches further, up to the next column.
void setNumberText(TextLabel* label, const QFont& designed, const QString& text, int headingEnd, int columnEnd)
{
    const QFont font = fontFittingWidth(designed, text, columnEnd - kColumnGap - label->x());
    const QFontMetrics metrics(font);
    const int end = std::max(headingEnd, label->x() + metrics.horizontalAdvance(text));
    label->setFont(font);
    label->setText(text);
    label->setGeometry(label->x(), label->y(), end - label->x(), metrics.height());
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
        nameLabels[row] = makeNumberedLabel(GroupBox2, row + 1, kNameLeft, top);
        punkteLabels[row] = makeNumberedLabel(GroupBox2, row + 11, kPunkteLeft, top);
        levelLabels[row] = makeNumberedLabel(GroupBox2, row + 31, kLevelLeft, top);
        for (TextLabel* number : {punkteLabels[row], levelLabels[row]}) {
            number->setAutoSize(false);
            number->setAlignment(Qt::AlignRight | Qt::AlignTop);
        }
    }

    zurueckButton = makeControl<QPushButton>(this, "zurueckButton", 232, 352, QStringLiteral("&Zurück"));
    zurueckButton->resize(81, 25);
    setCancelButton(zurueckButton);
    setMainButton(zurueckButton);
    connect(zurueckButton, &QPushButton::clicked, this, &TExtrasForm::zurueckButtonClick);
}

TExtrasForm::~TExtrasForm() = default;

void TExtrasForm::FormShow()
{
    zurueckButton->setFocus();
    const ScenarioSettings& settings = store.settings;
    // Every step runs, so that the window never shows a part of the scenario opened before.
    reportedStep([&] {
        Memo1->clear();
        Memo1->setPlainText(fromUtf8(readHelpText(store.folder(), store.scenarioFolder(store.setup.spielstart))));
    });
    // A picture that cannot be loaded leaves no other scenario's figure in its place.
    Image1->hide();
    reportedStep([&] {
        Image1->setTransparent(!istAus(settings.abschussTransparent));
        Image1->loadPicture(settings.abschussBild);
        Image1->show();
    });
    BildnameLabel->setText(QStringLiteral("= ") + fromUtf8(settings.titel));
    // The substitute font is wider than the designed one: a long name or score is narrowed
    // to end before the next column.
    const int lastColumnEnd = GroupBox2->contentsRect().right();
    const auto headingEnd = [this](int column) { return ueberschriften[column]->geometry().right() + 1; };
    for (int row = 0; row < 10; ++row) {
        const T_Highscore& entry = settings.highscore[std::size_t(row)];
        setCellText(nameLabels[row], font(), fromUtf8(entry.name), kPunkteLeft);
        setNumberText(punkteLabels[row], font(), QString::number(entry.points), headingEnd(2), kLevelLeft);
        setNumberText(levelLabels[row], font(), QString::number(entry.level), headingEnd(3), lastColumnEnd);
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
