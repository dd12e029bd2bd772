#include "game/BlitzfangUnit1.h"

#include "dialogs/HilfeUnit2.h"
#include "dialogs/extrasUnit2.h"
#include "dialogs/optionenUnit2.h"
#include "editor/Unit1.h"
#include "game/EnergyGauge.h"
#include "game/ScenarioPackages.h"
#include "game/WindowSet.h"
#include "media/PictureBox.h"
#include "platform/BlitzfangError.h"
#include "platform/Dialogs.h"
#include "platform/QtControls.h"
#include "platform/QtDialogs.h"
#include "platform/QtErrorReport.h"
#include "platform/QtFonts.h"
#include "platform/QtText.h"
#include "platform/QtWindowPlacement.h"
#include "storage/Highscore.h"
#include "storage/ScenarioFile.h"
#include "storage/ScenarioMedia.h"
#include "storage/ScenarioStore.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <QToolButton>

#include <algorithm>

namespace {

const QColor kNavy(0, 0, 128); // 0x800000 as 0x00BBGGRR

// The "presented by" label's colour at rest: the system colour of an active window caption.
QColor activeCaptionColor()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Highlight);
}

// The field covers at most the screen the window stands on: a larger background is decoded
// only as far as the screen shows it.
QSize screenSizeOf(const QWidget& window)
{
    const QScreen* where = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return where ? where->geometry().size() : QSize();
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

FieldPoint positionOf(const QWidget* control)
{
    return {control->x(), control->y()};
}

FieldRect rectOf(const QWidget* control)
{
    return {control->x(), control->y(), control->width(), control->height()};
}

QColor colourOfSetting(const std::string& decimal)
{
    return colorFromBgr(std::uint32_t(strToInt(decimal)));
}

// Handlers report their errors in the error box and the program goes on.
template <typename Action>
void reportingErrors(Action&& action)
{
    try {
        action();
    } catch (const std::exception& error) {
        showError(error);
    }
}

} // namespace

TMainForm::TMainForm(WindowSet& windows)
    : FormWindow(QStringLiteral("Blitzfang by >>> Kolvar-Bauwerk <<<"), 630, 500), windows(windows),
      store(windows.store)
{
    setObjectName(QStringLiteral("MainForm"));
    setAttribute(Qt::WA_QuitOnClose, true);
    makeSizeable(); // the menu screen re-centres itself in any size
    resize(630, 500); // no frame until a window manager reports one
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

    packageInbox = new PackageInbox(windows);
    packageInbox->setParent(this);
    setAcceptDrops(true);
}

TMainForm::~TMainForm() = default;

void TMainForm::buildGameField()
{
    gameField = makeControl<QWidget>(this, "gameField", 0, 0);
    QWidget* field = gameField;
    hbildImage = makePicture(field, "hbildImage", 392, 168, 105, 57, false);
    hbildImage->hide();
    Label3 = makeControl<TextLabel>(field, "Label3", 392, 56, QStringLiteral("Beenden durch Rechtsklick"));
    BonnImage1 = makePicture(field, "BonnImage1", 472, 240, 100, 100, true);
    BonnImage1->hide();
    ZielLabel = makeControl<TextLabel>(field, "ZielLabel", 504, 352, QStringLiteral("Ziel"));
    ZielLabel->hide();
    Image1 = makePicture(field, "Image1", 392, 8, 25, 25, true);
    Image2 = makePicture(field, "Image2", 424, 8, 25, 25, true);
    Image3 = makePicture(field, "Image3", 456, 8, 25, 25, true);
    Image4 = makePicture(field, "Image4", 488, 8, 25, 25, true);
    Image2->hide();
    Image3->hide();
    Image4->hide();
    Label4 = makeControl<TextLabel>(field, "Label4", 384, 120, QStringLiteral("Punkte: "));
    PunkteLabel5 = makeControl<TextLabel>(field, "PunkteLabel5", 432, 112, QStringLiteral("0"));
    Abschuss2Label = makeControl<TextLabel>(field, "Abschuss2Label", 536, 160, QStringLiteral("Das Haus"));
    SchussImage = makePicture(field, "SchussImage", 472, 96, 25, 25, true);
    SchussImage->hide();
    Abschuss2Image = makePicture(field, "Abschuss2Image", 536, 80, 57, 49, true);
    energieGauge = makeControl<EnergyGauge>(field, "energieGauge", 504, 136);
    energieGauge->resize(100, 9);
    energieGauge->setBarColor(QColor(0, 255, 0));
    energieGauge->setValue(0);

    for (PictureBox* figure : {Image1, Image2, Image3, Image4})
        connect(figure, &PictureBox::clicked, this, [this, figure] { Image1Click(figure); });
    connect(Abschuss2Image, &PictureBox::clicked, this, &TMainForm::Abschuss2ImageClick);

    KiTimer1 = makeTimer(this, "KiTimer1", kStartInterval);
    SchussTimer = makeTimer(this, "SchussTimer", kShotInterval);
    connect(KiTimer1, &QTimer::timeout, this, &TMainForm::KiTimer1Timer);
    connect(SchussTimer, &QTimer::timeout, this, &TMainForm::SchussTimerTimer);
}

void TMainForm::styleGameField()
{
    QFont bold = font();
    bold.setBold(true);
    Label4->setFont(bold);
    PunkteLabel5->setFont(bold);
    ZielLabel->setFont(designFont(QStringLiteral("MS Sans Serif"), 16, true));
}

void TMainForm::buildMenuScreen()
{
    // Created after the game field, so it lies on top of it and covers it.
    Panel1 = makeControl<Panel>(this, "Panel1", 0, 0);
    Panel1->setGeometry(rect());
    Panel1->setAutoFillBackground(true);
    // The game field's colour and cross-hair belong to the window; the menu keeps its own.
    QPalette menuColours = Panel1->palette();
    menuColours.setColor(QPalette::Window, menuColours.color(QPalette::Window));
    Panel1->setPalette(menuColours);
    Panel1->setCursor(Qt::ArrowCursor);
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
    Label2 = makeControl<TextLabel>(Panel2, "Label2", 10, 8, fromUtf8(standardSettings(store.folder()).titel));

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

void TMainForm::showCurrentScenario()
{
    menuebeschriften();
    ZielLabel->setText(fromUtf8(store.settings.zielort));
    menuezentrieren();
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
    const bool wasFullScreen = windowState() & Qt::WindowFullScreen;
    if (windowFlags() & Qt::FramelessWindowHint)
        setWindowFlags(windowFlags() & ~Qt::FramelessWindowHint); // hides the window
    setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized));
    field_ = QRect();
    placeGameField();
    // Size and place are set before the window shows again: a window manager that is still
    // taking the window back could otherwise keep the field's size. On a compositor the window
    // stays shown, and a request before its answer would be lost (weston's X window manager
    // then gave it the screen's size less its frame).
    placeWhenOutOfFullScreen_ = wasFullScreen && WindowPlacement::onWaylandCompositor();
    if (!placeWhenOutOfFullScreen_)
        placeWhenShown();
    if (wasVisible && !isVisible())
        show();

    for (PictureBox* figure : {Image1, Image2, Image3, Image4}) {
        figure->hide();
        figure->move(0, 0);
    }
    MediaPlayer1.close();
    MediaPlayer2.close();
    hitSounds.clear();
    SchussImage->hide();
    hbildImage->hide();
    menuezentrieren();
}

QRect TMainForm::placedFrame(const QMargins&) const
{
    if (!field_.isNull())
        return field_;
    QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect area = where ? where->geometry() : QRect(0, 0, 630, 500);
    return {area.x() + area.width() / 2 - 630 / 2, area.y() + area.height() / 2 - 500 / 2, 630, 500};
}

void TMainForm::FormShow()
{
    menuezentrieren();
    // Centred each time it comes back from a game or a side window.
    placeWhenShown();
}

void TMainForm::FormResize()
{
    menuezentrieren();
    const int W = outerWidth();
    const int H = outerHeight();
    const FieldPoint target = targetPlace(W, H, BonnImage1->width(), BonnImage1->height());
    BonnImage1->move(target.left, target.top);
    ZielLabel->move(W - ZielLabel->width() - 40, H - ZielLabel->height() - 30);
    placePointsLabels();
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
    if (testGame_)
        probespielbeenden();
    else
        close();
    return true;
}

void TMainForm::placePointsLabels()
{
    Label4->move(outerWidth() / 2 - Label4->width() / 2 - 20, 1);
    // 43 pixels fit "Punkte: " in the designed font; the wider substitute font would let the
    // number cover the colon, so the number never starts inside the caption.
    PunkteLabel5->move(Label4->x() + std::max(43, Label4->width()), 1);
}

void TMainForm::StartSpeedButton1Click()
{
    reportingErrors([this] {
        spielstarten();
        figurenplatzieren();
    });
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
    if (testGame_)
        probespielbeenden();
    else
        hauptmenue();
}

// ---- Game set-up ----

void TMainForm::spielstarten()
{
    store.dateiexlesen(store.setup.spielstart);
    setUpGame();
}

void TMainForm::probespielstarten(const ScenarioSettings& settings)
{
    testGame_ = TestGame{settings, spiel, Image1->transparent(), BonnImage1->transparent()};
    try {
        setUpGame();
        figurenplatzieren();
    } catch (...) {
        if (Panel1->isHidden())
            hauptmenue(); // the window is hidden: the menu screen returns unseen
        giveBackMenuGame();
        throw;
    }
    show();
    activateWindow();
}

void TMainForm::probespielbeenden()
{
    // As a side window hands back: the editor shows first, the main window hides second.
    windows.EditorForm->showAfterTestGame();
    hide();
    hauptmenue();
    giveBackMenuGame();
}

void TMainForm::giveBackMenuGame()
{
    spiel = testGame_->menuGame;
    for (PictureBox* figure : figures())
        figure->setTransparent(testGame_->figuresTransparent);
    BonnImage1->setTransparent(testGame_->targetTransparent);
    testGame_.reset();
}

const ScenarioSettings& TMainForm::playedSettings() const
{
    return testGame_ ? testGame_->settings : store.settings;
}

void TMainForm::setUpGame()
{
    // Every loading step comes before Panel1 is hidden: a failure leaves the menu screen up.
    const ScenarioSettings& s = playedSettings();
    // The same test that every imported package passes.
    if (const std::string problem = startProblem(s); !problem.empty())
        throw BlitzfangError(problem);
    KiTimer1->setInterval(kStartInterval);
    setCursor(Qt::CrossCursor); // every control of the field inherits it; Panel1 keeps its arrow
    if (testGame_) {
        showTestGameTransparency();
    } else {
        transparentabschuss();
        transparentziel();
    }
    Image1->loadPicture(s.abschussBild);
    BonnImage1->loadPicture(s.zielBild);
    Abschuss2Image->loadPicture(s.abschuss2Bild);
    SchussImage->loadPicture(s.schussBild);
    if (s.hintergrundbildAktiviert.empty()) {
        hbildImage->setShownArea(screenSizeOf(*this));
        hbildImage->loadPicture(s.hintergrundbild);
        hbildImage->show();
    }
    spiel.punkte = 0;
    spiel.abschuesse = 0;
    spiel.haustreffer = 0;
    spiel.hausenergie = houseEnergyFor(s.schwierigkeitsgrad, spiel.hausenergie);
    spiel.zusatzfiguren = 0;
    hitSounds.clear();
    const QColor textColour = colourOfSetting(s.textfarbe);
    for (TextLabel* label : {Label3, Label4, PunkteLabel5})
        label->setTextColor(textColour);
    ZielLabel->setText(fromUtf8(s.zielort));
    ZielLabel->setTextColor(textColour);
    Abschuss2Label->setText(fromUtf8(s.abschuss2ort));
    Abschuss2Label->setTextColor(textColour);
    energieGauge->setMaximum(spiel.hausenergie);
    energieGauge->setValue(spiel.hausenergie);
    energieGauge->resize(Abschuss2Image->width(), energieGauge->height());
    energieGauge->setBarColor(colorFromBgr(kEnergyLime));
    soundabspielen(0, false);
    sondersound(2, false);
    Label3->move(1, 1);

    Panel1->hide();
    QPalette fieldColours = palette();
    fieldColours.setColor(QPalette::Window, colourOfSetting(s.hintergrundfarbe));
    setPalette(fieldColours);
    setAutoFillBackground(true);
    gameField->setPalette(fieldColours);
    gameField->setAutoFillBackground(true);
    if (WindowPlacement::onWaylandCompositor()) {
        // Around a field smaller than the screen the full-screen window is black.
        QPalette black = fieldColours;
        black.setColor(QPalette::Window, Qt::black);
        setPalette(black);
    }
    BonnImage1->show();
    ZielLabel->show();
    for (PictureBox* figure : {Image2, Image3, Image4})
        figure->sharePicture(*Image1);
    if (!istAus(s.hintergrundbildAktiviert))
        hbildImage->move(1, 1);
    KiTimer1->start();
    placePointsLabels();
    PunkteLabel5->setText(QStringLiteral("0"));
    becomeGameField();
    showHouseAndShot();
    spiel.neuplatzieren = {true, false, false, false};
    spiel.spielende = false;
}

void TMainForm::becomeGameField()
{
    QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect area = where ? where->geometry() : QRect(0, 0, 800, 600);
    // Maximised means covering the whole screen; set explicitly, since without a window
    // manager a maximised state changes nothing. Only a background in use sizes the field
    // by its picture (a value other than on or "false" counts as off), and only one smaller
    // than the screen: a larger one would push the Target off it, so it gets the whole screen
    // and is cut at its edges.
    QRect field = area;
    const QSize picture = hbildImage->size();
    const bool smallerThanScreen = picture.boundedTo(area.size()) == picture && picture != area.size();
    if (playedSettings().hintergrundbildAktiviert.empty() && smallerThanScreen)
        field = QRect(area.x() + area.width() / 2 - picture.width() / 2,
                      area.y() + area.height() / 2 - picture.height() / 2, picture.width(), picture.height());
    field_ = field;
    placeWhenOutOfFullScreen_ = false;
    if (WindowPlacement::onWaylandCompositor()) {
        // A compositor (and its X server's window manager) ignores a borderless window's place
        // and leaves its panels over it: the window covers the screen, and the field stands
        // centred in it.
        setWindowState(windowState() | Qt::WindowFullScreen);
    } else {
        const bool wasVisible = isVisible();
        if (!(windowFlags() & Qt::FramelessWindowHint))
            setWindowFlags(windowFlags() | Qt::FramelessWindowHint); // hides the window
        placeWhenShown();
        if (wasVisible) {
            show();
            activateWindow();
        }
    }
    placeGameField();
    // A hidden window gets its resize event only when shown; the field is laid out now.
    FormResize();
}

void TMainForm::placeGameField()
{
    if (field_.isNull()) {
        gameField->setGeometry(rect());
        return;
    }
    gameField->setGeometry((width() - field_.width()) / 2, (height() - field_.height()) / 2, field_.width(),
                           field_.height());
}

void TMainForm::showHouseAndShot()
{
    const ScenarioSettings& s = playedSettings();
    if (istAus(s.ab2Aktiv)) {
        for (QWidget* control : {static_cast<QWidget*>(Abschuss2Image), static_cast<QWidget*>(SchussImage),
                                 static_cast<QWidget*>(energieGauge), static_cast<QWidget*>(Abschuss2Label)})
            control->hide();
    } else {
        Abschuss2Image->show();
        energieGauge->show();
        Abschuss2Label->show();
    }
    ZielLabel->setVisible(!istAus(s.zieltextSichtbar));
    Abschuss2Label->setVisible(!istAus(s.abschuss2textSichtbar));
    SchussImage->setTransparent(!istAus(s.schussTransparent));
    Abschuss2Image->setTransparent(!istAus(s.abschuss2Transparent));
}

void TMainForm::figurenplatzieren()
{
    const std::array<PictureBox*, 4> figure = figures();
    for (int i = 0; i < kFigureCount; ++i) {
        if (!spiel.neuplatzieren[i])
            continue;
        random_ = clockSeededGenerator();
        figure[i]->move(0, 0);
        const FieldPoint entry = entryPoint(random_, outerWidth(), outerHeight());
        figure[i]->move(entry.left, entry.top);
        figure[i]->show();
        spiel.neuplatzieren[i] = false;
    }
}

void TMainForm::transparentabschuss()
{
    if (!istAus(store.settings.abschussTransparent))
        return;
    for (PictureBox* figure : figures())
        figure->setTransparent(false);
}

void TMainForm::transparentziel()
{
    if (istAus(store.settings.zielTransparent))
        BonnImage1->setTransparent(false);
}

void TMainForm::showTestGameTransparency()
{
    // Both ways, unlike the menu's game, whose switched-off state giveBackMenuGame restores: the
    // test game shows what the editor's switches say now.
    const ScenarioSettings& s = playedSettings();
    for (PictureBox* figure : figures())
        figure->setTransparent(!istAus(s.abschussTransparent));
    BonnImage1->setTransparent(!istAus(s.zielTransparent));
}

void TMainForm::soundabspielen(int n, bool abspielen)
{
    const std::vector<std::string>& sounds = playedSettings().sounds;
    if (n < 0 || n >= int(sounds.size()))
        return;
    MediaPlayer1.setFileName(sounds[std::size_t(n)]);
    MediaPlayer1.open();
    if (abspielen)
        MediaPlayer1.play();
}

void TMainForm::sondersound(int n, bool abspielen)
{
    MediaPlayer2.setFileName(sondersoundPfad(playedSettings(), n));
    MediaPlayer2.open();
    if (abspielen)
        MediaPlayer2.play();
}

void TMainForm::playHitSound(int n)
{
    try {
        soundabspielen(n, true);
    } catch (const std::exception& error) {
        reportSoundOnce(playedSettings().sounds[std::size_t(n)], error);
    }
}

void TMainForm::playEventSound(int n)
{
    try {
        sondersound(n, true);
    } catch (const std::exception& error) {
        reportSoundOnce(sondersoundPfad(playedSettings(), n), error);
    }
}

void TMainForm::reportSoundOnce(const std::string& path, const std::exception& error)
{
    if (windows.reportedFiles.insert(path).second)
        showError(error);
}

// ---- The end of a decided game ----

void TMainForm::gameDecided(bool gewonnen)
{
    // A test game enters no result and saves nothing.
    if (testGame_)
        probespielbeenden();
    else
        spielauswerten(gewonnen);
}

void TMainForm::spielauswerten(bool gewonnen)
{
    runAsOneAction([&] {
        ScenarioSettings& s = store.settings;
        ergebniseintragen(s.highscore, spiel.punkte, gewonnen, s.schwierigkeitsgrad, s.spielername);
        // Every save goes through the editor, visible or not.
        const std::string name = store.setup.spielstart;
        windows.EditorForm->automaticSave(name, SaveKind::gameEnd);
        store.dateischreiben(name);
        hauptmenue();
    });
}

// ---- Figures ----

void TMainForm::KiTimer1Timer()
{
    reportingErrors([this] { figurenbewegen(); });
}

FieldRect TMainForm::targetRect() const
{
    return rectOf(BonnImage1);
}

FieldRect TMainForm::houseRect() const
{
    return rectOf(Abschuss2Image);
}

void TMainForm::figurenbewegen()
{
    if (spiel.spielende)
        return;
    const FieldPoint centre = centreOf(targetRect());
    for (PictureBox* figure : figures()) {
        if (figure->isHidden())
            continue;
        const FieldPoint next = figureStep(positionOf(figure), centre);
        figure->move(next.left, next.top);
    }
    if (zielerreicht())
        loseGame();
}

bool TMainForm::zielerreicht() const
{
    // Hidden Figures count too: they wait at 0,0 or at their designed place.
    const FieldPoint centre = centreOf(targetRect());
    for (const PictureBox* figure : figures())
        if (hasArrived(positionOf(figure), centre))
            return true;
    return false;
}

void TMainForm::loseGame()
{
    // Set before the message: ticks during it must not start a second loss.
    spiel.spielende = true;
    playEventSound(1);
    bringShotToRest();
    const ScenarioSettings& s = playedSettings();
    dialogs().notice("Tja, " + s.titel + " hat doch " + s.zielort + " erreicht, du hast VERLOREN!");
    gameDecided(false);
}

// ---- Shooting ----

void TMainForm::Image1Click(PictureBox* figure)
{
    // A decided game is over, also while a failed save keeps its field on screen.
    if (spiel.spielende)
        return;
    const std::array<PictureBox*, 4> all = figures();
    const auto found = std::find(all.begin(), all.end(), figure);
    if (found == all.end())
        return;
    reportingErrors([&] {
        spiel.neuplatzieren[std::size_t(found - all.begin())] = true;
        figure->hide();
        figurenplatzieren();
        abschusszaehlen();
        random_ = clockSeededGenerator();
        const int n = drawSoundIndex(random_, int(playedSettings().sounds.size()));
        if (n >= 0)
            playHitSound(n);
    });
}

void TMainForm::abschusszaehlen()
{
    ++spiel.abschuesse;
    spiel.punkte = addPoints(spiel.punkte, 1);
    PunkteLabel5->setText(QString::number(spiel.punkte));
    // Re-timing an active timer restarts it: only when the interval changes.
    const int interval = figureInterval(spiel.abschuesse, playedSettings().schwierigkeitsgrad);
    if (KiTimer1->interval() != interval)
        KiTimer1->setInterval(interval);
    if (const int joining = figureToActivate(spiel.zusatzfiguren, spiel.abschuesse)) {
        spiel.zusatzfiguren = joining;
        figures()[std::size_t(joining - 1)]->show(); // where it last stood
    }
}

void TMainForm::Abschuss2ImageClick()
{
    // One Shot at a time, and none after the game is decided.
    if (spiel.spielende || !SchussImage->isHidden())
        return;
    reportingErrors([this] {
        const FieldPoint start = centreOf(targetRect());
        SchussImage->move(start.left, start.top);
        SchussImage->show();
        SchussTimer->start();
        playEventSound(4);
    });
}

void TMainForm::SchussTimerTimer()
{
    reportingErrors([this] { moveShot(); });
}

void TMainForm::moveShot()
{
    const FieldRect house = houseRect();
    const FieldPoint before = positionOf(SchussImage);
    const FieldPoint after = shotStep(before, house);
    SchussImage->move(after.left, after.top);
    if (inHouseHitArea(after, house))
        hitHouse();
    else if (after == before)
        bringShotToRest(); // it stopped beside the House: the next click fires again
    if (!spiel.spielende && spiel.haustreffer == spiel.hausenergie)
        winGame();
}

void TMainForm::bringShotToRest()
{
    SchussTimer->stop();
    SchussImage->hide();
}

void TMainForm::hitHouse()
{
    bringShotToRest();
    spiel.punkte = addPoints(spiel.punkte, pointsPerHouseHit(playedSettings().schwierigkeitsgrad));
    ++spiel.haustreffer;
    playEventSound(3);
    PunkteLabel5->setText(QString::number(spiel.punkte));
    energieGauge->setValue(energieGauge->value() - 1);
    energieGauge->setBarColor(colorFromBgr(energyBarColour(energieGauge->value(), energieGauge->maximum())));
}

void TMainForm::winGame()
{
    spiel.punkte = addPoints(spiel.punkte, kWinBonus);
    // Set before the message: ticks during it must not move the Figures on.
    spiel.spielende = true;
    playEventSound(2);
    dialogs().notice("Sieg");
    gameDecided(true);
}

// During a game the field's size: the window's own may still be the one it had before, or
// the whole screen around a smaller field.
int TMainForm::outerWidth() const
{
    return field_.isNull() ? frameGeometry().width() : field_.width();
}

int TMainForm::outerHeight() const
{
    return field_.isNull() ? frameGeometry().height() : field_.height();
}

void TMainForm::resizeEvent(QResizeEvent* event)
{
    FormWindow::resizeEvent(event);
    Panel1->setGeometry(rect());
    placeGameField();
    FormResize();
    if (placeWhenOutOfFullScreen_ && screen() && size() != screen()->geometry().size()) {
        placeWhenOutOfFullScreen_ = false;
        placeWhenShown();
    }
}

void TMainForm::contextMenuEvent(QContextMenuEvent* event)
{
    PopupMenu1->popup(event->globalPos());
    event->accept();
}

namespace {

// The scenario packages among dropped files, as the file system names them.
std::vector<std::string> droppedPackages(const QMimeData* dropped)
{
    std::vector<std::string> packages;
    for (const QUrl& url : dropped->urls())
        if (url.isLocalFile() && url.toLocalFile().endsWith(QLatin1String(kPackageEnding.data()), Qt::CaseInsensitive))
            packages.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    return packages;
}

} // namespace

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    // Only the menu screen takes packages: a game goes on undisturbed.
    if (Panel1->isVisible() && !droppedPackages(event->mimeData()).empty())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event)
{
    const std::vector<std::string> packages = droppedPackages(event->mimeData());
    if (!Panel1->isVisible() || packages.empty())
        return;
    event->acceptProposedAction();
    for (const std::string& package : packages)
        packageInbox->add(package);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // Closing the main window ends the program with all its windows.
    for (FormWindow* window : windows.all())
        if (window && window != this)
            window->hide();
    FormWindow::closeEvent(event);
}
