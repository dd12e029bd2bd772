#include "game/BlitzfangUnit1.h"

#include "dialogs/HilfeUnit2.h"
#include "dialogs/extrasUnit2.h"
#include "dialogs/optionenUnit2.h"
#include "editor/Unit1.h"
#include "game/EnergyGauge.h"
#include "game/WindowSet.h"
#include "media/PictureBox.h"
#include "platform/QtControls.h"
#include "platform/QtFonts.h"
#include "storage/Highscore.h"
#include "storage/ScenarioFile.h"
#include "storage/ScenarioStore.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

namespace {

const QColor kNavy(0, 0, 128); // 0x800000 as 0x00BBGGRR

// The "presented by" label's colour at rest: the system colour of an active window caption.
QColor activeCaptionColor()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Highlight);
}

QString fromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

QToolButton* makeSpeedButton(QWidget* parent, const char* name, int left, int top, const QString& caption)
{
    auto* button = makeControl<QToolButton>(parent, name, left, top);
    button->setText(caption);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->resize(105, 22);
    // Speed buttons never take the keyboard focus.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

PictureBox* makePicture(QWidget* parent, const char* name, int left, int top, int width, int height,
                        bool transparent)
{
    auto* picture = makeControl<PictureBox>(parent, name, left, top);
    picture->setDesignSize(width, height);
    picture->setTransparent(transparent);
    return picture;
}

QTimer* makeTimer(QObject* parent, const char* name, int interval)
{
    auto* timer = new QTimer(parent);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(interval);
    timer->setTimerType(Qt::PreciseTimer);
    return timer;
}

void centreHorizontally(QWidget* control, int centre)
{
    control->move(centre - control->width() / 2, control->y());
}

} // namespace

TMainForm::TMainForm(WindowSet& windows)
    : FormWindow(QStringLiteral("Blitzfang by >>> Kolvar-Bauwerk <<<"), 630, 500), windows(windows),
      store(windows.store)
{
    setObjectName(QStringLiteral("MainForm"));
    setAttribute(Qt::WA_QuitOnClose, true);
    buildGameField();
    buildMenuScreen();

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Ende1 = PopupMenu1->addAction(QStringLiteral("Ende"));
    Ende1->setObjectName(QStringLiteral("Ende1"));
    Menue = PopupMenu1->addAction(QStringLiteral("Menü"));
    Menue->setObjectName(QStringLiteral("Menue"));
    connect(Ende1, &QAction::triggered, this, &TMainForm::Ende1Click);
    connect(Menue, &QAction::triggered, this, &TMainForm::MenueClick);
}

TMainForm::~TMainForm() = default;

void TMainForm::buildGameField()
{
    hbildImage = makePicture(this, "hbildImage", 392, 168, 105, 57, false);
    hbildImage->hide();
    Label3 = makeControl<TextLabel>(this, "Label3", 392, 56, QStringLiteral("Beenden durch Rechtsklick"));
    BonnImage1 = makePicture(this, "BonnImage1", 472, 240, 100, 100, true);
    BonnImage1->hide();
    ZielLabel = makeControl<TextLabel>(this, "ZielLabel", 504, 352, QStringLiteral("Ziel"));
    ZielLabel->setFont(designFont(QStringLiteral("MS Sans Serif"), 16, true));
    ZielLabel->hide();
    Image1 = makePicture(this, "Image1", 392, 8, 25, 25, true);
    Image2 = makePicture(this, "Image2", 424, 8, 25, 25, true);
    Image3 = makePicture(this, "Image3", 456, 8, 25, 25, true);
    Image4 = makePicture(this, "Image4", 488, 8, 25, 25, true);
    Image2->hide();
    Image3->hide();
    Image4->hide();
    QFont bold = font();
    bold.setBold(true);
    Label4 = makeControl<TextLabel>(this, "Label4", 384, 120, QStringLiteral("Punkte: "));
    Label4->setFont(bold);
    PunkteLabel5 = makeControl<TextLabel>(this, "PunkteLabel5", 432, 112, QStringLiteral("0"));
    PunkteLabel5->setFont(bold);
    Abschuss2Label = makeControl<TextLabel>(this, "Abschuss2Label", 536, 160, QStringLiteral("Das Haus"));
    SchussImage = makePicture(this, "SchussImage", 472, 96, 25, 25, true);
    SchussImage->hide();
    Abschuss2Image = makePicture(this, "Abschuss2Image", 536, 80, 57, 49, true);
    energieGauge = makeControl<EnergyGauge>(this, "energieGauge", 504, 136);
    energieGauge->resize(100, 9);
    energieGauge->setBarColor(QColor(0, 255, 0));
    energieGauge->setValue(0);

    for (PictureBox* figure : {Image1, Image2, Image3, Image4})
        connect(figure, &PictureBox::clicked, this, [this, figure] { Image1Click(figure); });
    connect(Abschuss2Image, &PictureBox::clicked, this, &TMainForm::Abschuss2ImageClick);

    KiTimer1 = makeTimer(this, "KiTimer1", 100);
    SchussTimer = makeTimer(this, "SchussTimer", 50);
    connect(KiTimer1, &QTimer::timeout, this, &TMainForm::KiTimer1Timer);
    connect(SchussTimer, &QTimer::timeout, this, &TMainForm::SchussTimerTimer);
}

void TMainForm::buildMenuScreen()
{
    // Created after the game field, so it lies on top of it and covers it.
    Panel1 = makeControl<Panel>(this, "Panel1", 0, 0);
    Panel1->setGeometry(rect());
    Panel1->setAutoFillBackground(true);
    connect(Panel1, &Panel::mouseMoved, this, &TMainForm::Panel1MouseMove);

    Label6 = makeControl<TextLabel>(Panel1, "Label6", 136, 16, QStringLiteral("Blitzfang's"));
    Label6->setFont(designFont(QStringLiteral("Zurich BlkEx BT"), 43, true));
    Label6->setTextColor(kNavy);

    Panel2 = makeControl<Panel>(Panel1, "Panel2", 160, 96);
    Panel2->resize(210, 65);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel2->setFont(designFont(QStringLiteral("Palatino Linotype"), 40, true));
    Label1 = makeControl<TextLabel>(Panel2, "Label1", 152, 30, QStringLiteral("Beta 4.9"));
    Label1->setFont(designFont(QStringLiteral("Palatino Linotype"), 11));
    Label1->hide();
    // As designed: the standard scenario's title, until the loaded scenario's replaces it.
    Label2 = makeControl<TextLabel>(Panel2, "Label2", 10, 8, fromUtf8(standardSettings(store.programFolder()).titel));

    Panel3 = makeControl<Panel>(Panel1, "Panel3", 192, 200);
    Panel3->resize(153, 81);
    Panel3->setFrameStyle(QFrame::Box | QFrame::Plain);
    StartSpeedButton1 = makeSpeedButton(Panel3, "StartSpeedButton1", 24, 11, QStringLiteral("&Start"));
    ExtraSpeedButton = makeSpeedButton(Panel3, "ExtraSpeedButton", 24, 43, QStringLiteral("Ex&tras"));

    EditorSpeedButton = makeSpeedButton(Panel1, "EditorSpeedButton", 216, 288, QStringLiteral("--> &Editor <--"));
    optionenSpeedButton3 = makeSpeedButton(Panel1, "optionenSpeedButton3", 216, 320, QStringLiteral("&Optionen"));
    HilfeSpeedButton4 = makeSpeedButton(Panel1, "HilfeSpeedButton4", 216, 352, QStringLiteral("&Hilfe"));
    EndeSpeedButton2 = makeSpeedButton(Panel1, "EndeSpeedButton2", 216, 384, QStringLiteral("E&xit"));

    Label7 = makeControl<TextLabel>(Panel1, "Label7", 160, 448, QStringLiteral("presented by Kolvar-Bauwerk"));
    Label7->setTextColor(activeCaptionColor());
    connect(Label7, &TextLabel::clicked, this, &TMainForm::Label7Click);
    connect(Label7, &TextLabel::mouseMoved, this, &TMainForm::Label7MouseMove);

    connect(StartSpeedButton1, &QToolButton::clicked, this, &TMainForm::StartSpeedButton1Click);
    connect(ExtraSpeedButton, &QToolButton::clicked, this, &TMainForm::ExtraSpeedButtonClick);
    connect(EditorSpeedButton, &QToolButton::clicked, this, &TMainForm::EditorSpeedButtonClick);
    connect(optionenSpeedButton3, &QToolButton::clicked, this, &TMainForm::optionenSpeedButton3Click);
    connect(HilfeSpeedButton4, &QToolButton::clicked, this, &TMainForm::HilfeSpeedButton4Click);
    connect(EndeSpeedButton2, &QToolButton::clicked, this, &TMainForm::EndeSpeedButton2Click);
}

void TMainForm::FormCreate()
{
    // The flag, 15 empty hit sounds and level 1: the loaded scenario replaces them.
    store.programmstartVorbereiten();
    // Panel1 fills the client area from here on (resizeEvent keeps it so).
    Panel1->setGeometry(rect());
    // The setup file's "Spielstart: " replaces the name.
    store.dateiexlesen("standard");
    spiel.zusatzfiguren = 0;
    menuebeschriften();
    leereNamenAuffuellen(store.settings.highscore);
    spiel.punkte = 0;
    spiel.haustreffer = 0;
    spiel.hausenergie = 10;
}

void TMainForm::menuebeschriften()
{
    Label2->setText(fromUtf8(store.settings.titel));
    Panel2->resize(Label2->width() + 20, Panel2->height());
    StartSpeedButton1->setText(fromUtf8(store.settings.startbutton));
}

void TMainForm::menuezentrieren()
{
    const int c = Panel1->width() / 2;
    centreHorizontally(Panel2, c); // with its width before this pass
    Panel2->resize(Label2->width() + 20, Panel2->height());
    centreHorizontally(Panel3, c);
    centreHorizontally(Label1, Panel2->width() / 2);
    for (QWidget* control : {static_cast<QWidget*>(EditorSpeedButton), static_cast<QWidget*>(EndeSpeedButton2),
                             static_cast<QWidget*>(HilfeSpeedButton4), static_cast<QWidget*>(optionenSpeedButton3),
                             static_cast<QWidget*>(Label6)})
        centreHorizontally(control, c);
    Label7->move(Label7->x(), Panel1->height() - 20);
    centreHorizontally(Label7, c);
}

void TMainForm::hauptmenue()
{
    KiTimer1->stop();
    SchussTimer->stop();
    Panel1->show();

    const bool wasVisible = isVisible();
    if (windowFlags() & Qt::FramelessWindowHint)
        setWindowFlags(windowFlags() & ~Qt::FramelessWindowHint); // hides the window
    setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized));
    if (wasVisible && !isVisible())
        show();

    for (PictureBox* figure : {Image1, Image2, Image3, Image4}) {
        figure->hide();
        figure->move(0, 0);
    }
    MediaPlayer1.close();
    MediaPlayer2.close();
    SchussImage->hide();
    hbildImage->hide();
    menuezentrieren();

    setDesignSize(630, 500);
    QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen();
    if (where) {
        const QRect area = where->geometry();
        move(area.x() + area.width() / 2 - designWidth() / 2, area.y() + area.height() / 2 - designHeight() / 2);
    }
}

void TMainForm::FormShow()
{
    menuezentrieren();
}

void TMainForm::FormResize()
{
    menuezentrieren();
    const int W = outerWidth();
    const int H = outerHeight();
    BonnImage1->move(W - BonnImage1->width() - 20, H - BonnImage1->height() - 50);
    ZielLabel->move(W - ZielLabel->width() - 40, H - ZielLabel->height() - 30);
    Label4->move(W / 2 - Label4->width() / 2 - 20, 1);
    PunkteLabel5->move(Label4->x() + 43, 1);
    Abschuss2Image->move(100, 25);
    const int houseCentre = Abschuss2Image->x() + Abschuss2Image->width() / 2;
    const int houseBottom = Abschuss2Image->y() + Abschuss2Image->height();
    Abschuss2Label->move(houseCentre - Abschuss2Label->width() / 2, houseBottom + energieGauge->height() + 10);
    energieGauge->move(houseCentre - energieGauge->width() / 2, houseBottom + 5);
}

bool TMainForm::FormKeyPress(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape)
        return false;
    close();
    return true;
}

void TMainForm::StartSpeedButton1Click()
{
    // The game starts here once it is built.
}

void TMainForm::showSideWindow(QWidget* sideWindow)
{
    sideWindow->show();
    hide();
}

void TMainForm::EditorSpeedButtonClick()
{
    showSideWindow(windows.EditorForm);
}

void TMainForm::optionenSpeedButton3Click()
{
    showSideWindow(windows.OptionenForm);
}

void TMainForm::HilfeSpeedButton4Click()
{
    showSideWindow(windows.Hilfeform);
}

void TMainForm::ExtraSpeedButtonClick()
{
    showSideWindow(windows.ExtrasForm);
}

void TMainForm::EndeSpeedButton2Click()
{
    close();
}

void TMainForm::Label7Click()
{
    windows.Hilfeform->ExecuteFile(kMakerWebAddress, "", "", THilfeform::ShowMode::normal);
}

void TMainForm::Label7MouseMove()
{
    Label7->setCursor(Qt::PointingHandCursor);
    QFont italic = Label7->font();
    italic.setItalic(true);
    Label7->setFont(italic);
    Label7->setTextColor(kNavy);
}

void TMainForm::Panel1MouseMove()
{
    Label7->unsetCursor();
    QFont plain = Label7->font();
    plain.setItalic(false);
    Label7->setFont(plain);
    Label7->setTextColor(activeCaptionColor());
}

void TMainForm::Ende1Click()
{
    close();
}

void TMainForm::MenueClick()
{
    hauptmenue();
}

void TMainForm::KiTimer1Timer() {}

void TMainForm::SchussTimerTimer() {}

void TMainForm::Image1Click(PictureBox*) {}

void TMainForm::Abschuss2ImageClick() {}

int TMainForm::outerWidth() const
{
    return frameGeometry().width();
}

int TMainForm::outerHeight() const
{
    return frameGeometry().height();
}

void TMainForm::resizeEvent(QResizeEvent* event)
{
    FormWindow::resizeEvent(event);
    Panel1->setGeometry(rect());
    FormResize();
}

void TMainForm::contextMenuEvent(QContextMenuEvent* event)
{
    PopupMenu1->popup(event->globalPos());
    event->accept();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // Closing the main window ends the program with all its windows.
    for (FormWindow* window : windows.all())
        if (window && window != this)
            window->hide();
    FormWindow::closeEvent(event);
}
