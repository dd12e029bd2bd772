#include "dialogs/HilfeUnit2.h"

#include "dialogs/HelpPages.h"
#include "game/BlitzfangUnit1.h"
#include "game/WindowSet.h"
#include "platform/Dialogs.h"
#include "platform/QtControls.h"
#include "platform/QtFonts.h"
#include "storage/ScenarioFile.h"

#include <QApplication>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>

namespace {

constexpr int kPageLeft = 190;
constexpr int kPageTop = 88;
constexpr int kPageWidth = 200;
constexpr int kPageHeight = 377;

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

QColor windowTextColor()
{
    return QApplication::palette().color(QPalette::WindowText);
}

// The maker's logo, drawn once: "Kolvar-Bauwerk" in the top 30 of its 40 rows, the rest
// transparent, so that "presents" can stand below the lettering.
QPixmap drawLogo()
{
    QImage logo(310, 40, QImage::Format_ARGB32_Premultiplied);
    logo.fill(Qt::transparent);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // A small lightning bolt before the name.
    const QPointF bolt[] = {{18, 1}, {6, 16}, {13, 16}, {8, 29}, {24, 11}, {16, 11}, {22, 1}};
    painter.setPen(QPen(QColor(0, 0, 128), 1));
    painter.setBrush(QColor(255, 200, 0));
    painter.drawPolygon(bolt, int(std::size(bolt)));
    painter.setFont(designFont(QStringLiteral("Zurich BlkEx BT"), 26, true));
    const QRect textArea(34, 0, 276, 30);
    painter.setPen(QColor(160, 160, 160));
    painter.drawText(textArea.translated(2, 2), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Kolvar-Bauwerk"));
    painter.setPen(QColor(0, 0, 128));
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Kolvar-Bauwerk"));
    return QPixmap::fromImage(logo);
}

// The title, moved to the middle of the page's text width with leading blanks.
QString centredByBlanks(const QString& title, const QPlainTextEdit& page)
{
    const QFontMetrics metrics(page.font());
    const int scrollBar = page.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &page);
    const int textWidth = kPageWidth - scrollBar - 2 * page.frameWidth() - 2 * 4;
    const int blank = std::max(1, metrics.horizontalAdvance(QLatin1Char(' ')));
    const int blanks = std::max(0, (textWidth - metrics.horizontalAdvance(title)) / 2 / blank);
    return QString(blanks, QLatin1Char(' ')) + title;
}

} // namespace

THilfeform::THilfeform(WindowSet& windows) : FormWindow(QStringLiteral("Hilfe"), 405, 532), windows(windows)
{
    setObjectName(QStringLiteral("Hilfeform"));
    setMouseTracking(true);

    LogoImage = makeControl<QLabel>(this, "LogoImage", 40, 0);
    LogoImage->resize(313, 41);
    LogoImage->setPixmap(drawLogo());
    LogoImage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label27 = makeControl<TextLabel>(this, "Label27", 160, 32, QStringLiteral("presents"));
    Label1 = makeControl<TextLabel>(this, "Label1", 120, 48);
    QFont titleFont = designFont(QStringLiteral("MS Sans Serif"), 19, true);
    titleFont.setUnderline(true);
    Label1->setFont(titleFont);
    Label1->setText(QStringLiteral("Blitzfang"));

    GroupBox1 = makeControl<GroupBox>(this, "GroupBox1", 8, 84, QStringLiteral("Menü"));
    GroupBox1->resize(161, 169);
    connect(GroupBox1, &GroupBox::mouseMoved, this, &THilfeform::FormMouseMove);
    const char* names[] = {"Label2", "Label3", "Label4", "Label5", "Label6", "Label7"};
    const char* captions[] = {"1.) Was ist der Blitzfang?", "2.) Wie benutze ich ihn?", "3.) Der Editor",
                              "4.) Das Optionsmenü",        "5.) Das Menü Extras",      "6.) Credits"};
    std::array<TextLabel*, 6> labels{};
    for (int i = 0; i < 6; ++i) {
        labels[i] = makeControl<TextLabel>(GroupBox1, names[i], 8, 24 + 24 * i, QString::fromUtf8(captions[i]));
        TextLabel* label = labels[i];
        connect(label, &TextLabel::mouseMoved, this, [this, label] { Label2MouseMove(label); });
    }
    Label2 = labels[0];
    Label3 = labels[1];
    Label4 = labels[2];
    Label5 = labels[3];
    Label6 = labels[4];
    Label7 = labels[5];
    connect(Label2, &TextLabel::clicked, this, &THilfeform::Label2Click);
    connect(Label3, &TextLabel::clicked, this, &THilfeform::Label3Click);
    connect(Label4, &TextLabel::clicked, this, &THilfeform::Label4Click);
    connect(Label5, &TextLabel::clicked, this, &THilfeform::Label5Click);
    connect(Label6, &TextLabel::clicked, this, &THilfeform::Label6Click);
    connect(Label7, &TextLabel::clicked, this, &THilfeform::Label7Click);

    const HelpPage page1 = helpWasIstBlitzfang();
    const HelpPage page2 = helpBenutzung();
    const HelpPage page3 = helpEditor();
    const HelpPage page4 = helpOptionen();
    const HelpPage page5 = helpExtras();
    Blitzfangmemo = makeTextPage("Blitzfangmemo", page1.title, page1.text);
    nutzenMemo = makeTextPage("nutzenMemo", page2.title, page2.text);
    editorMemo = makeTextPage("editorMemo", page3.title, page3.text);
    optionsMemo = makeTextPage("optionsMemo", page4.title, page4.text);
    extrasMemo = makeTextPage("extrasMemo", page5.title, page5.text);
    buildCreditsPage();

    Button1 = makeControl<QPushButton>(this, "Button1", 160, 472, QStringLiteral("&Zurück"));
    Button1->resize(75, 25);
    setCancelButton(Button1);
    setMainButton(Button1);
    connect(Button1, &QPushButton::clicked, this, &THilfeform::Button1Click);
}

THilfeform::~THilfeform() = default;

QPlainTextEdit* THilfeform::makeTextPage(const char* name, const QString& title, const QString& text)
{
    auto* page = makeControl<QPlainTextEdit>(this, name, kPageLeft, kPageTop);
    page->resize(kPageWidth, kPageHeight);
    page->setReadOnly(true);
    page->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    page->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    page->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    page->setPlainText(centredByBlanks(title, *page) + QStringLiteral("\n\n") + text);
    page->hide();
    return page;
}

void THilfeform::buildCreditsPage()
{
    CreditsPanel = makeControl<Panel>(this, "CreditsPanel", kPageLeft, kPageTop);
    CreditsPanel->resize(kPageWidth, kPageHeight);
    CreditsPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    connect(CreditsPanel, &Panel::mouseMoved, this, &THilfeform::FormMouseMove);

    auto line = [this](const char* name, int left, int top, const QString& text) {
        return makeControl<TextLabel>(CreditsPanel, name, left, top, text);
    };
    line("Label8", 24, 16, QStringLiteral("Kolvar-Bauwerk präsentiert:"));
    TextLabel* name = line("Label9", 32, 32, QString());
    name->setFont(designFont(QStringLiteral("MS Sans Serif"), 19));
    name->setText(QStringLiteral("Blitzfang"));
    line("Label10", 48, 56, QStringLiteral("release beta 0.5"));
    line("Label11", 8, 80, QStringLiteral("Programmiert und erfunden von:"));
    line("Label12", 8, 104, QStringLiteral("Konrad Valtmer"));
    Label13 = line("Label13", 8, 120, QString::fromLatin1(kMakerWebAddress));
    Label14 = line("Label14", 8, 136, QString::fromLatin1(kMakerMail));
    line("Label15", 8, 160, QStringLiteral("Optimiert von:"));
    line("Label16", 8, 176, QStringLiteral("Henrike Sommerfeld"));
    Label23 = line("Label23", 8, 192, QString::fromLatin1(kPartnerWebAddress));
    line("Label17", 8, 216, QStringLiteral("Grafiken gezeichnet von:"));
    line("Label18", 8, 232, QStringLiteral("Mareike Dornbusch"));
    line("Label19", 8, 256, QStringLiteral("Sounds von:"));
    line("Label20", 8, 272, QStringLiteral("eigenen Aufnahmen"));
    line("Label21", 8, 288, QStringLiteral("der Geräuschkiste Kolvar"));
    line("Label22", 8, 312, QStringLiteral("Betatester:"));
    line("Label24", 8, 328, QStringLiteral("Jannik Ostermeier"));
    line("Label25", 8, 344, QStringLiteral("Lotte Brinkhaus"));

    for (TextLabel* link : {Label13, Label14, Label23})
        link->setCursor(Qt::PointingHandCursor);
    connect(Label13, &TextLabel::mouseMoved, this, &THilfeform::Label13MouseMove);
    connect(Label14, &TextLabel::mouseMoved, this, &THilfeform::Label14MouseMove);
    connect(Label23, &TextLabel::mouseMoved, this, &THilfeform::Label23MouseMove);
    connect(Label13, &TextLabel::clicked, this, &THilfeform::Label13Click);
    connect(Label14, &TextLabel::clicked, this, &THilfeform::Label14Click);
    connect(Label23, &TextLabel::clicked, this, &THilfeform::Label23Click);
}

std::array<TextLabel*, 6> THilfeform::menuLabels() const
{
    return {Label2, Label3, Label4, Label5, Label6, Label7};
}

std::array<QWidget*, 6> THilfeform::pages() const
{
    return {Blitzfangmemo, nutzenMemo, editorMemo, optionsMemo, extrasMemo, CreditsPanel};
}

void THilfeform::FormShow()
{
    for (TextLabel* label : menuLabels()) {
        QFont plain = label->font();
        plain.setUnderline(false);
        plain.setBold(false);
        plain.setItalic(false);
        label->setFont(plain);
        label->setTextColor(windowTextColor());
    }
    for (QWidget* page : pages())
        page->move(kPageLeft, kPageTop);
    setDesignSize(405, designHeight());
    // The page shown last stays shown: the pages keep their visibility while the window is hidden.
}

void THilfeform::showPage(QWidget* page)
{
    for (QWidget* each : pages())
        each->hide();
    page->show();
}

void THilfeform::Label2Click()
{
    showPage(Blitzfangmemo);
}

void THilfeform::Label3Click()
{
    showPage(nutzenMemo);
}

void THilfeform::Label4Click()
{
    showPage(editorMemo);
}

void THilfeform::Label5Click()
{
    showPage(optionsMemo);
}

void THilfeform::Label6Click()
{
    showPage(extrasMemo);
}

void THilfeform::Label7Click()
{
    showPage(CreditsPanel);
}

void THilfeform::Label2MouseMove(TextLabel* sender)
{
    QFont underlined = sender->font();
    underlined.setUnderline(true);
    sender->setFont(underlined);
    sender->setTextColor(kRed);
}

void THilfeform::FormMouseMove()
{
    for (TextLabel* label : menuLabels()) {
        QFont plain = label->font();
        plain.setUnderline(false);
        label->setFont(plain);
        label->setTextColor(windowTextColor());
    }
    for (TextLabel* link : {Label13, Label14, Label23})
        link->setTextColor(windowTextColor());
}

void THilfeform::Label13MouseMove()
{
    Label13->setTextColor(kBlue);
}

void THilfeform::Label14MouseMove()
{
    Label14->setTextColor(kBlue);
}

void THilfeform::Label23MouseMove()
{
    Label23->setTextColor(kBlue);
}

void THilfeform::Label13Click()
{
    ExecuteFile(Label13->text().toStdString(), "", "", ShowMode::normal);
}

void THilfeform::Label14Click()
{
    ExecuteFile(kFeedbackLink, "", "", ShowMode::normal);
}

void THilfeform::Label23Click()
{
    ExecuteFile(Label23->text().toStdString(), "", "", ShowMode::normal);
}

void THilfeform::Button1Click()
{
    hide();
    windows.MainForm->show();
}

void THilfeform::FormClose()
{
    windows.MainForm->show();
}

void THilfeform::ExecuteFile(const std::string& fileName, const std::string&, const std::string&, ShowMode)
{
    dialogs().openLink(fileName);
}

void THilfeform::mouseMoveEvent(QMouseEvent* event)
{
    FormMouseMove();
    FormWindow::mouseMoveEvent(event);
}
