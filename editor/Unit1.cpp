#include "editor/Unit1.h"

#include "dialogs/LadenUnit2.h"
#include "dialogs/speicherUnit2.h"
#include "editor/ScenarioDeletion.h"
#include "editor/ScenarioFolderCopy.h"
#include "game/BlitzfangUnit1.h"
#include "game/ShippedStandard.h"
#include "game/ScenarioPackages.h"
#include "game/WindowSet.h"
#include "media/MediaFile.h"
#include "media/PictureBox.h"
#include "media/PictureLoader.h"
#include "media/WavCheck.h"
#include "platform/ActionReport.h"
#include "platform/BlitzfangError.h"
#include "platform/Dialogs.h"
#include "platform/QtControls.h"
#include "platform/QtDialogs.h"
#include "platform/QtErrorReport.h"
#include "platform/QtFonts.h"
#include "platform/QtText.h"
#include "storage/HelpText.h"
#include "storage/ScenarioFile.h"
#include "storage/ScenarioNames.h"
#include "storage/ScenarioStore.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>
#include <system_error>
#include <unordered_map>
#include <unordered_set>

namespace fs = std::filesystem;

const std::string TEditorForm::kBilderFilter =
    "Alle (*.jpg;*.jpeg;*.bmp;)|*.jpg;*.jpeg;*.bmp;|JPEG-Grafikdatei (*.jpg)|*.jpg|"
    "JPEG-Grafikdatei (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp";
const std::string TEditorForm::kSoundFilter = "Bilder (*.wav)|*.wav";

namespace {

const QString kSoundAbspielen = QStringLiteral("Sound abspielen: ");
const char* const kStandardName = "standard";

std::string textOf(const QLineEdit* field)
{
    return field->text().toStdString();
}

QPushButton* makeButton(QWidget* parent, const char* name, int left, int top, int width, const QString& caption)
{
    auto* button = makeControl<QPushButton>(parent, name, left, top, caption);
    button->resize(width, 25);
    return button;
}

QLineEdit* makeEdit(QWidget* parent, const char* name, int left, int top, int width, bool readOnly = false)
{
    auto* edit = makeControl<QLineEdit>(parent, name, left, top);
    edit->resize(width, 21);
    edit->setReadOnly(readOnly);
    return edit;
}

QCheckBox* makeCheckBox(QWidget* parent, const char* name, int left, int top, const QString& caption)
{
    auto* box = makeControl<QCheckBox>(parent, name, left, top, caption);
    box->setChecked(true);
    box->adjustSize();
    return box;
}

GroupBox* makeGroup(QWidget* parent, const char* name, int left, int top, int width, int height, const QString& title)
{
    auto* group = makeControl<GroupBox>(parent, name, left, top, title);
    group->resize(width, height);
    return group;
}

void setCaption(QCheckBox* box, const QString& caption)
{
    box->setText(caption);
    box->adjustSize();
}

// A picture of any size shows in a fixed frame: centred when smaller, cut off when larger.
constexpr int kPreviewFrame = 100;

PictureBox* makePreview(QWidget* parent, const char* name, int left, int top, int designSize)
{
    auto* frame = makeControl<QFrame>(parent, (std::string(name) + "Rahmen").c_str(), left, top);
    frame->resize(kPreviewFrame, kPreviewFrame);
    auto* image = makeControl<PictureBox>(frame, name, 0, 0);
    image->setDesignSize(designSize, designSize);
    image->setTransparent(true);
    image->move((kPreviewFrame - designSize) / 2, (kPreviewFrame - designSize) / 2);
    return image;
}

void placeInFrame(PictureBox* image)
{
    const int left = std::max(0, (kPreviewFrame - image->width()) / 2);
    const int top = std::max(0, (kPreviewFrame - image->height()) / 2);
    image->move(left, top);
}

// The play glyph: a black triangle pointing right, 9 by 15, on a see-through field.
QIcon playGlyph()
{
    QPixmap glyph(9, 15);
    glyph.fill(Qt::transparent);
    QPainter painter(&glyph);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    const QPoint corners[] = {QPoint(0, 0), QPoint(8, 7), QPoint(0, 14)};
    painter.drawPolygon(corners, 3);
    return QIcon(glyph);
}

// The stop glyph: a black 10 by 10 square in the middle of a see-through 20 by 20 field.
QIcon stopGlyph()
{
    QPixmap glyph(20, 20);
    glyph.fill(Qt::transparent);
    QPainter painter(&glyph);
    painter.fillRect(5, 5, 10, 10, Qt::black);
    return QIcon(glyph);
}

QSize screenSize()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize();
}

QString dimensionsText(const PictureBox* image)
{
    return QString::number(image->pictureSize().width()) + QLatin1Char('*') + QString::number(image->pictureSize().height());
}

// The picture counts as JPEG by the last three characters of its path, as written.
bool countsAsJpeg(const std::string& path)
{
    if (path.size() < 3)
        return false;
    const std::string last = path.substr(path.size() - 3);
    return last == "jpg" || last == "JPG" || last == "peg";
}

// Reports the problem `text` of the file `file`.
using FileReport = std::function<void(const std::string& file, const std::string& text)>;

// Loads a picture; one that cannot be loaded is reported with its file's name.
bool loadReported(PictureBox* image, const std::string& path, const FileReport& report)
{
    try {
        image->loadPicture(path);
        return true;
    } catch (const std::exception& error) {
        report(path, fileProblem(path, errorText(error)));
        return false;
    }
}

// Loads a preview; a picture that cannot be loaded leaves the preview empty-looking (hidden).
bool loadPreview(PictureBox* image, const std::string& path, const FileReport& report)
{
    const bool loaded = loadReported(image, path, report);
    image->setVisible(loaded);
    if (loaded)
        placeInFrame(image);
    return loaded;
}

// Sets a flag for the life of a scope, whatever ends it; a flag set already stays set.
class FlagScope {
public:
    FlagScope(bool& flag, bool on) : flag_(flag), was_(flag) { flag_ = was_ || on; }
    ~FlagScope() { flag_ = was_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool was_;
};

// True when the file `relative` holds the same bytes as the file `path`: sizes first.
bool sameContent(const ConfinedFolder& folder, const std::string& relative, const std::string& path)
{
    try {
        const EntryFacts kept = folder.factsOf(relative);
        const MediaFile other(path, kept.size);
        return kept.kind == EntryKind::file && other.size() == kept.size &&
               other.readAll() == folder.readFile(relative, kept.size);
    } catch (const BlitzfangError&) {
        return false;
    }
}

} // namespace

// The controls and pending path of one picture on the "Grafiken" page.
struct TEditorForm::PictureSlot {
    PictureBox* image;
    TextLabel* sizeLabel;
    QCheckBox* transparency;
    std::string* pending;
    const std::string* stored; // the setting the fill shows
};

TEditorForm::PictureSlot TEditorForm::slot(int index)
{
    const ScenarioSettings& s = store.settings;
    switch (index) {
    case 0:
        return {AbschussImage, Label12, abschusstranspCheckBox, &pendingPictures.abschuss, &s.abschussBild};
    case 1:
        return {ZielImage, Label13, zieltranspCheckBox, &pendingPictures.ziel, &s.zielBild};
    case 2:
        return {schussImage, Label14, schusstranspCheckBox, &pendingPictures.schuss, &s.schussBild};
    default:
        return {abschuss2Image, Label15, abschuss2transpCheckBox, &pendingPictures.abschuss2, &s.abschuss2Bild};
    }
}

TEditorForm::TEditorForm(WindowSet& windows)
    : FormWindow(QStringLiteral("Editor"), 594, 485), windows(windows), store(windows.store)
{
    setObjectName(QStringLiteral("EditorForm"));

    PageControl1 = makeControl<QTabWidget>(this, "PageControl1", 0, 0);
    PageControl1->resize(width(), 374);
    // Tabs light up under the mouse.
    PageControl1->tabBar()->setAttribute(Qt::WA_Hover);
    PageControl1->setUsesScrollButtons(false);
    const auto addPage = [this](const char* name, const QString& caption) {
        auto* page = new QWidget;
        page->setObjectName(QString::fromLatin1(name));
        PageControl1->addTab(page, caption);
        return page;
    };
    TabSheet1 = addPage("TabSheet1", QStringLiteral("Beschriftungen"));
    TabSheet2 = addPage("TabSheet2", QStringLiteral("Grafiken"));
    TabSheet3 = addPage("TabSheet3", QStringLiteral("Sound"));

    buildCaptionsPage();
    buildGraphicsPage();
    buildSoundPage();
    buildCommands();
    PageControl1->setCurrentIndex(1);
}

TEditorForm::~TEditorForm() = default;

void TEditorForm::buildCaptionsPage()
{
    QWidget* page = TabSheet1;
    GroupBox1 = makeGroup(page, "GroupBox1", 4, 4, 282, 336, QStringLiteral("Beschriftungen "));
    Label1 = makeControl<TextLabel>(GroupBox1, "Label1", 10, 22, QStringLiteral("Name des Spiels:"));
    SpielnameEdit = makeEdit(GroupBox1, "SpielnameEdit", 10, 38, 262);
    Label2 = makeControl<TextLabel>(GroupBox1, "Label2", 10, 72, QStringLiteral("Name des Ziels:"));
    ZielnameEdit = makeEdit(GroupBox1, "ZielnameEdit", 10, 88, 160);
    ZielCheckBox = makeCheckBox(GroupBox1, "ZielCheckBox", 178, 89, QStringLiteral("sichtbar"));
    Label3 = makeControl<TextLabel>(GroupBox1, "Label3", 10, 122, QStringLiteral("Name des zweiten Abschussopjekts:"));
    Abschuss2Edit = makeEdit(GroupBox1, "Abschuss2Edit", 10, 138, 160);
    Abschuss2CheckBox = makeCheckBox(GroupBox1, "Abschuss2CheckBox", 178, 139, QStringLiteral("sichtbar"));
    Label8 = makeControl<TextLabel>(GroupBox1, "Label8", 10, 172, QStringLiteral("Beschriftung des Startbuttons:"));
    startbuttonEdit = makeEdit(GroupBox1, "startbuttonEdit", 10, 188, 160);
    TextfarbeButton = makeButton(GroupBox1, "TextfarbeButton", 10, 240, 120, QStringLiteral("Textfarbe ändern"));
    Label21 = makeControl<TextLabel>(GroupBox1, "Label21", 144, 242, QStringLiteral("TEXTFARBE"));
    Label21->setFont(designFont(QStringLiteral("MS Sans Serif"), 16, true));

    GroupBox2 = makeGroup(page, "GroupBox2", 292, 4, 284, 336, QStringLiteral("Hilfetext "));
    Label9 = makeControl<TextLabel>(GroupBox2, "Label9", 10, 22,
                                    QStringLiteral("Eingabe von Zusatzinformationen zum Szenario"));
    Memo1 = makeControl<QPlainTextEdit>(GroupBox2, "Memo1", 10, 40);
    Memo1->resize(264, 286);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab moves on to the next control: a help text holds no tab characters.
    Memo1->setTabChangesFocus(true);

    connect(ZielCheckBox, &QCheckBox::toggled, this, &TEditorForm::ZielCheckBoxClick);
    connect(Abschuss2CheckBox, &QCheckBox::toggled, this, &TEditorForm::Abschuss2CheckBoxClick);
    connect(TextfarbeButton, &QPushButton::clicked, this, &TEditorForm::TextfarbeButtonClick);
}

void TEditorForm::buildGraphicsPage()
{
    QWidget* page = TabSheet2;
    // One column per picture: button, preview, hint, size, transparency.
    struct Column {
        QPushButton*& button;
        PictureBox*& image;
        TextLabel*& hint;
        TextLabel*& size;
        QCheckBox*& transparency;
    };
    const auto buildColumn = [](QWidget* parent, int left, int top, const char* names[5], const QString& caption,
                                const QString& hint, int designSize, Column column) {
        column.button = makeButton(parent, names[0], left, top, 132, caption);
        column.image = makePreview(parent, names[1], left + 16, top + 30, designSize);
        column.hint = makeControl<TextLabel>(parent, names[2], left, top + 134, hint);
        column.size = makeControl<TextLabel>(parent, names[3], left, top + 150, QStringLiteral("Bildgröße: "));
        column.transparency = makeCheckBox(parent, names[4], left, top + 167, QStringLiteral("Transparenz an"));
    };

    GroupBox3 = makeGroup(page, "GroupBox3", 4, 4, 286, 222, QStringLiteral("Grafiken "));
    const char* figure[5] = {"AbschussButton", "AbschussImage", "Label4", "Label12", "abschusstranspCheckBox"};
    buildColumn(GroupBox3, 6, 30, figure, QStringLiteral("Abschussobjekt"), QStringLiteral("optimal: 25*25 Pixel"), 25,
                {AbschussButton, AbschussImage, Label4, Label12, abschusstranspCheckBox});
    const char* target[5] = {"ZielButton", "ZielImage", "Label5", "Label13", "zieltranspCheckBox"};
    buildColumn(GroupBox3, 146, 30, target, QStringLiteral("Ziel"), QStringLiteral("optimal: 100*100 Pixel"), 100,
                {ZielButton, ZielImage, Label5, Label13, zieltranspCheckBox});

    // The House switch stands above the panel it greys out.
    anausCheckBox = makeCheckBox(page, "anausCheckBox", 298, 8, QStringLiteral("Abschussobjekt 2 aktiviert"));
    Panel1 = makeControl<QFrame>(page, "Panel1", 294, 28);
    Panel1->resize(284, 198);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    const char* shot[5] = {"SchussButton", "schussImage", "Label6", "Label14", "schusstranspCheckBox"};
    buildColumn(Panel1, 4, 6, shot, QStringLiteral("Schuss"), QStringLiteral("optimal: 20*20 Pixel"), 20,
                {SchussButton, schussImage, Label6, Label14, schusstranspCheckBox});
    const char* house[5] = {"abschuss2Button", "abschuss2Image", "Label7", "Label15", "abschuss2transpCheckBox"};
    buildColumn(Panel1, 144, 6, house, QStringLiteral("Abschussobjekt 2"), QStringLiteral("optimal: 80*80 Pixel"), 80,
                {abschuss2Button, abschuss2Image, Label7, Label15, abschuss2transpCheckBox});

    GroupBox4 = makeGroup(page, "GroupBox4", 4, 230, 574, 112, QStringLiteral("Hintergrund "));
    HFarbeButton = makeButton(GroupBox4, "HFarbeButton", 8, 20, 120, QStringLiteral("Hintergrundfarbe"));
    Shape1 = makeControl<QFrame>(GroupBox4, "Shape1", 136, 20);
    Shape1->resize(65, 25);
    Shape1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Shape1->setAutoFillBackground(true);
    hbildCheckBox1 = makeCheckBox(GroupBox4, "hbildCheckBox1", 224, 24, QStringLiteral("Ein Hintergrundbild verwenden"));
    hbildButton = makeButton(GroupBox4, "hbildButton", 8, 52, 120, QStringLiteral("Hintergrundbild"));
    hbildEdit = makeEdit(GroupBox4, "hbildEdit", 136, 54, 426, true);
    Label16 = makeControl<TextLabel>(GroupBox4, "Label16", 136, 86, QStringLiteral("Bildgröße: "));
    Label17 = makeControl<TextLabel>(GroupBox4, "Label17", 330, 86, QStringLiteral("Bildschirm: "));
    HbildImage = makeControl<PictureBox>(GroupBox4, "HbildImage", 0, 0);
    HbildImage->hide();
    // It only measures: a large background need not be held whole for that.
    HbildImage->setShownArea(screenSize());

    connect(AbschussButton, &QPushButton::clicked, this, &TEditorForm::AbschussButtonClick);
    connect(ZielButton, &QPushButton::clicked, this, &TEditorForm::ZielButtonClick);
    connect(SchussButton, &QPushButton::clicked, this, &TEditorForm::SchussButtonClick);
    connect(abschuss2Button, &QPushButton::clicked, this, &TEditorForm::abschuss2ButtonClick);
    connect(abschusstranspCheckBox, &QCheckBox::toggled, this, &TEditorForm::abschusstranspCheckBoxClick);
    connect(zieltranspCheckBox, &QCheckBox::toggled, this, &TEditorForm::zieltranspCheckBoxClick);
    connect(schusstranspCheckBox, &QCheckBox::toggled, this, &TEditorForm::schusstranspCheckBoxClick);
    connect(abschuss2transpCheckBox, &QCheckBox::toggled, this, &TEditorForm::abschuss2transpCheckBoxClick);
    connect(anausCheckBox, &QCheckBox::toggled, this, &TEditorForm::anausCheckBoxClick);
    connect(hbildCheckBox1, &QCheckBox::toggled, this, &TEditorForm::hbildCheckBox1Click);
    connect(hbildButton, &QPushButton::clicked, this, &TEditorForm::hbildButtonClick);
    connect(HFarbeButton, &QPushButton::clicked, this, &TEditorForm::HFarbeButtonClick);
}

void TEditorForm::buildSoundPage()
{
    QWidget* page = TabSheet3;
    GroupBox5 = makeGroup(page, "GroupBox5", 4, 4, 222, 252, QStringLiteral("Neue Sounds "));
    neusoundedit = makeEdit(GroupBox5, "neusoundedit", 8, 22, 206, true);
    Durchsuchen1 = makeButton(GroupBox5, "Durchsuchen1", 8, 50, 100, QStringLiteral("Durchsuchen"));
    Hinzu = makeButton(GroupBox5, "Hinzu", 114, 50, 100, QStringLiteral("Hinzufügen"));
    ListBox1 = makeControl<QListWidget>(GroupBox5, "ListBox1", 8, 82);
    ListBox1->resize(206, 132);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    loeschen = makeButton(GroupBox5, "loeschen", 8, 220, 100, QStringLiteral("Löschen"));

    GroupBox7 = makeGroup(page, "GroupBox7", 232, 4, 344, 252, QStringLiteral("Spezialsounds "));
    struct Row {
        const char* label;
        const char* labelName;
        TextLabel*& caption;
        const char* fieldName;
        QLineEdit*& field;
        const char* chooseName;
        QPushButton*& choose;
        const char* playName;
        QPushButton*& play;
    };
    Row rows[] = {
        {"Verloren-Sound", "Label10", Label10, "verlorensoundEdit", verlorensoundEdit, "Durchsuchen2", Durchsuchen2,
         "BitBtn3", BitBtn3},
        {"Sieg-Sound", "Label11", Label11, "siegsoundEdit", siegsoundEdit, "Durchsuchen3", Durchsuchen3, "BitBtn4",
         BitBtn4},
        {"Explosions-Sound", "Label19", Label19, "explosionssoundEdit", explosionssoundEdit, "Durchsuchen4",
         Durchsuchen4, "BitBtn5", BitBtn5},
        {"Schussstart-Sound", "Label20", Label20, "schussstartsoundEdit", schussstartsoundEdit, "Durchsuchen5",
         Durchsuchen5, "BitBtn6", BitBtn6},
    };
    int top = 22;
    for (Row& row : rows) {
        row.caption = makeControl<TextLabel>(GroupBox7, row.labelName, 8, top, QString::fromUtf8(row.label));
        row.field = makeEdit(GroupBox7, row.fieldName, 8, top + 17, 212, true);
        row.choose = makeButton(GroupBox7, row.chooseName, 226, top + 15, 80, QStringLiteral("Durchsuchen"));
        row.play = makeButton(GroupBox7, row.playName, 312, top + 15, 25, QString());
        top += 56;
    }

    GroupBox8 = makeGroup(page, "GroupBox8", 4, 260, 572, 82, QStringLiteral("Sound abspielen"));
    BitBtn1 = makeButton(GroupBox8, "BitBtn1", 8, 24, 36, QString());
    BitBtn1->resize(36, 36);
    BitBtn1->setIcon(playGlyph());
    BitBtn1->setIconSize(QSize(9, 15));
    BitBtn2 = makeButton(GroupBox8, "BitBtn2", 50, 24, 36, QString());
    BitBtn2->resize(36, 36);
    BitBtn2->setIcon(stopGlyph());
    BitBtn2->setIconSize(QSize(20, 20));
    SoundTrackBar = makeControl<QSlider>(GroupBox8, "SoundTrackBar", 96, 24, Qt::Horizontal);
    SoundTrackBar->resize(466, 36);
    SoundTrackBar->setRange(0, 100);
    SoundTrackBar->setValue(0);
    SoundTrackBar->setTickInterval(25);
    SoundTrackBar->setTickPosition(QSlider::TicksBelow);

    SoundTimer = new QTimer(this);
    SoundTimer->setObjectName(QStringLiteral("SoundTimer"));
    SoundTimer->setInterval(100);
    SoundTimer->setTimerType(Qt::PreciseTimer);

    connect(Durchsuchen1, &QPushButton::clicked, this, &TEditorForm::Durchsuchen1Click);
    connect(Hinzu, &QPushButton::clicked, this, &TEditorForm::HinzuClick);
    connect(loeschen, &QPushButton::clicked, this, &TEditorForm::loeschenClick);
    connect(Durchsuchen2, &QPushButton::clicked, this, &TEditorForm::Durchsuchen2Click);
    connect(Durchsuchen3, &QPushButton::clicked, this, &TEditorForm::Durchsuchen3Click);
    connect(Durchsuchen4, &QPushButton::clicked, this, &TEditorForm::Durchsuchen4Click);
    connect(Durchsuchen5, &QPushButton::clicked, this, &TEditorForm::Durchsuchen5Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TEditorForm::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TEditorForm::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TEditorForm::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TEditorForm::BitBtn4Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TEditorForm::BitBtn5Click);
    connect(BitBtn6, &QPushButton::clicked, this, &TEditorForm::BitBtn6Click);
    connect(SoundTimer, &QTimer::timeout, this, &TEditorForm::SoundTimerTimer);
}

void TEditorForm::buildCommands()
{
    // Two rows of commands below the pages, the loaded scenario's box to their right.
    Speichernunterbutton = makeButton(this, "Speichernunterbutton", 8, 384, 105, QStringLiteral("Speichern &unter"));
    Button1 = makeButton(this, "Button1", 120, 384, 105, QStringLiteral("&Laden"));
    Button4 = makeButton(this, "Button4", 232, 384, 105, QStringLiteral("Stan&dard"));
    SpeicherButton = makeButton(this, "SpeicherButton", 8, 416, 105, QStringLiteral("&Speichern"));
    Button3 = makeButton(this, "Button3", 120, 416, 105, QStringLiteral("Lösche&n"));
    AbbrechenButton4 = makeButton(this, "AbbrechenButton4", 232, 416, 105, QStringLiteral("&Abbrechen"));
    // The export stands in the lower row under the box that names what it exports; the box
    // gives up the lower row's height for it.
    GroupBox6 = makeGroup(this, "GroupBox6", 352, 376, 226, 38, QStringLiteral("Geladenes Szenario"));
    Label18 = makeControl<TextLabel>(GroupBox6, "Label18", 16, 19);
    ExportierenButton = makeButton(this, "ExportierenButton", 352, 416, 105, QStringLiteral("E&xportieren…"));
    // Beside the export, in the lower row's free end: no other control moves for it.
    ProbespielButton = makeButton(this, "ProbespielButton", 464, 416, 105, QStringLiteral("&Probespiel"));

    setCancelButton(AbbrechenButton4);
    connect(Speichernunterbutton, &QPushButton::clicked, this, &TEditorForm::SpeichernunterbuttonClick);
    connect(Button1, &QPushButton::clicked, this, &TEditorForm::Button1Click);
    connect(Button4, &QPushButton::clicked, this, &TEditorForm::Button4Click);
    connect(SpeicherButton, &QPushButton::clicked, this, &TEditorForm::SpeicherButtonClick);
    connect(Button3, &QPushButton::clicked, this, &TEditorForm::Button3Click);
    connect(AbbrechenButton4, &QPushButton::clicked, this, &TEditorForm::AbbrechenButton4Click);
    connect(ExportierenButton, &QPushButton::clicked, this, &TEditorForm::ExportierenButtonClick);
    connect(ProbespielButton, &QPushButton::clicked, this, &TEditorForm::ProbespielButtonClick);
}

// ---- Filling and saving ---------------------------------------------------------------------

void TEditorForm::start()
{
    const ScenarioSettings& s = store.settings;
    // The previews show the stored pictures from here on: a choice not saved is dropped.
    pendingPictures.clear();

    const FileReport report = [this](const std::string& file, const std::string& text) {
        reportFileProblem(file, text);
    };
    SpielnameEdit->setText(fromUtf8(s.titel));
    ZielnameEdit->setText(fromUtf8(s.zielort));
    Abschuss2Edit->setText(fromUtf8(s.abschuss2ort));
    const bool figureLoaded = loadPreview(AbschussImage, s.abschussBild, report);
    loadHelpText();
    startbuttonEdit->setText(fromUtf8(s.startbutton));
    const bool targetLoaded = loadPreview(ZielImage, s.zielBild, report);
    const bool shotLoaded = loadPreview(schussImage, s.schussBild, report);
    const bool houseLoaded = loadPreview(abschuss2Image, s.abschuss2Bild, report);

    // Each box that changes runs its reaction (toggled), as a click would.
    ZielCheckBox->setChecked(!istAus(s.zieltextSichtbar));
    Abschuss2CheckBox->setChecked(!istAus(s.abschuss2textSichtbar));
    abschusstranspCheckBox->setChecked(!istAus(s.abschussTransparent));
    zieltranspCheckBox->setChecked(!istAus(s.zielTransparent));
    anausCheckBox->setChecked(!istAus(s.ab2Aktiv));
    schusstranspCheckBox->setChecked(!istAus(s.schussTransparent));
    abschuss2transpCheckBox->setChecked(!istAus(s.abschuss2Transparent));
    hbildCheckBox1->setChecked(!istAus(s.hintergrundbildAktiviert));
    const bool loaded[] = {figureLoaded, targetLoaded, shotLoaded, houseLoaded};
    for (int index = 0; index < 4; ++index)
        followShownPicture(index, loaded[index]);

    hintergrundfarbe.reset();
    textfarbe.reset();
    reportedStep([&] { setBackgroundColour(strToInt(s.hintergrundfarbe)); });
    reportedStep([&] { setTextColour(strToInt(s.textfarbe)); });

    if (hbildCheckBox1->isChecked())
        setPathText(hbildEdit, s.hintergrundbild);

    const auto sizeLabel = [](bool loaded, const PictureBox* image) {
        return QStringLiteral("Bildgröße: ") +
               (loaded ? dimensionsText(image) + QStringLiteral(" Pixel") : QString());
    };
    Label12->setText(sizeLabel(figureLoaded, AbschussImage));
    Label13->setText(sizeLabel(targetLoaded, ZielImage));
    Label14->setText(sizeLabel(shotLoaded, schussImage));
    Label15->setText(sizeLabel(houseLoaded, abschuss2Image));

    Label16->setText(QStringLiteral("Bildgröße: "));
    if (!istAus(s.hintergrundbildAktiviert) && loadReported(HbildImage, s.hintergrundbild, report))
        Label16->setText(QStringLiteral("Bildgröße: ") + dimensionsText(HbildImage));
    const QSize screen = screenSize();
    Label17->setText(QStringLiteral("Bildschirm: ") + QString::number(screen.width()) + QLatin1Char('*') +
                     QString::number(screen.height()));
    Label18->setText(fromUtf8(store.setup.spielstart));
    GroupBox8->setTitle(kSoundAbspielen);
    PageControl1->setCurrentIndex(1);
    soundlisteaufbauen();
    setPathText(verlorensoundEdit, s.verlorensound);
    setPathText(siegsoundEdit, s.siegsound);
    setPathText(explosionssoundEdit, s.explosionssound);
    setPathText(schussstartsoundEdit, s.schussstartsound);
    for (QPushButton* play : {BitBtn3, BitBtn4, BitBtn5, BitBtn6}) {
        play->setIcon(BitBtn1->icon());
        play->setIconSize(BitBtn1->iconSize());
    }
}

// The media of one save. Two different files of the same name (a figure and a target both called
// "bild.bmp") must not end as one copy: each copy avoids the files the others still need, and in
// the standard scenario the shipped media as well. A save may hold 10000 hit sounds: the media
// are indexed by the file they name, and a file chosen many times is copied once, so a save
// stays linear.
class TEditorForm::SaveMedia {
public:
    SaveMedia(TEditorForm& form, const std::string& name, SaveKind kind, const std::vector<std::string*>& fields)
        : form_(form), folder_(form.store.folder()), scenarioFolder_(form.store.scenarioFolder(name)), kind_(kind)
    {
        media_.reserve(fields.size());
        for (std::string* field : fields)
            media_.push_back({field, *field, {}, nullptr});
        for (Medium& medium : media_) {
            byField_[medium.field] = &medium;
            index(medium, fileKey(*medium.field));
        }
        // Only the standard scenario's own folder holds shipped media.
        if (kleinAZ(scenarioFolder_) == kleinAZ(findeOhneGrossKlein(folder_, "", ScenarioStore::kStandardName)))
            for (const std::string& file : standardMediaFiles(folder_))
                shipped_.insert(kleinAZ(file));
    }

    // Lets `field` name the copy planned for its file in the scenario's folder `ordnername`. A
    // file that this save must not read, or that no copy can take, keeps its path.
    void plan(std::string& field, const char* ordnername)
    {
        const std::string source = field;
        if (source.empty() || (kind_ != SaveKind::editor && !insideProgramFolder(folder_, source)))
            return;
        const auto [found, isNew] = planned_.try_emplace(std::string(ordnername) + '\n' + source);
        Planned& planned = found->second;
        if (isNew) {
            planned = {source, source, {}, ordnername, false};
            // A scenario folder or media folder that is a link takes nothing: one line names it.
            if (const std::string& link = linkedFolder(ordnername); !link.empty()) {
                problems_.push_back(link);
            } else {
                const CopyTarget target = copyTarget(folder_, scenarioFolder_, source, ordnername,
                                                     [&](const std::string& t) { return taken(t, field, source); });
                planned.target = target.path;
                planned.relative = target.relative;
                if (!planned.relative.empty())
                    copies_.push_back(&planned);
            }
        }
        field = planned.target;
        if (const auto own = byField_.find(&field); own != byField_.end()) {
            own->second->planned = &planned;
            std::erase(byFile_[own->second->key], own->second);
            index(*own->second, fileKey(field));
        }
    }

    // Makes the planned copies into the save `save`. A copy whose source is refused is reported,
    // and every field planned for it names its source again: false then. A copy that cannot be
    // written stops the save (WriteFailure).
    bool copy(StagedFiles& save)
    {
        for (const std::string& problem : problems_)
            form_.reportFileProblem(problem, problem);
        const SourceReach reach = kind_ == SaveKind::editor ? SourceReach::anywhere : SourceReach::programFolder;
        bool allCopied = true;
        for (Planned* planned : copies_) {
            try {
                copyToTarget(save, scenarioFolder_, planned->source, planned->relative,
                             TEditorForm::mediaCheck(planned->ordnername), reach);
            } catch (const WriteFailure&) {
                throw;
            } catch (const std::exception& error) {
                form_.reportFileProblem(planned->source, fileProblem(planned->source, errorText(error)));
                planned->failed = true;
                allCopied = false;
            }
        }
        for (Medium& medium : media_)
            if (medium.planned && medium.planned->failed)
                *medium.field = medium.source;
        return allCopied;
    }

private:
    struct Planned {
        std::string source;
        std::string target;   // the path the settings name afterwards
        std::string relative; // where the copy goes; empty when nothing is copied
        std::string ordnername;
        bool failed = false;
    };
    struct Medium {
        std::string* field;
        std::string source;
        std::string key;
        Planned* planned;
    };

    // Paths that name the same file get the same key, whatever way they reach it.
    static std::string fileKey(const std::string& path)
    {
        std::error_code ec;
        const fs::path canonical = fs::weakly_canonical(fs::path(path), ec);
        return ec ? path : canonical.string();
    }

    // The file at `target` must stay: another setting needs it with a different content, or it
    // is shipped media that `source` would replace with another content.
    bool taken(const std::string& target, const std::string& field, const std::string& source)
    {
        const auto found = byFile_.find(fileKey(target));
        if (found != byFile_.end())
            for (const Medium* other : found->second)
                if (other->field != &field && !sameFile(other->source, source))
                    return true;
        const auto relative = folder_.relativePathOf(target);
        return relative && shipped_.contains(kleinAZ(*relative)) && !sameContent(folder_, *relative, source);
    }

    const std::string& linkedFolder(const std::string& ordnername)
    {
        const auto [known, isNew] = linkedFolders_.try_emplace(ordnername);
        if (isNew)
            known->second = linkedMediaFolder(folder_, scenarioFolder_, ordnername);
        return known->second;
    }

    void index(Medium& medium, std::string key)
    {
        medium.key = std::move(key);
        byFile_[medium.key].push_back(&medium);
    }

    TEditorForm& form_;
    const ConfinedFolder& folder_;
    const std::string scenarioFolder_;
    const SaveKind kind_;
    std::vector<Medium> media_;
    std::unordered_map<const std::string*, Medium*> byField_;
    std::unordered_map<std::string, std::vector<Medium*>> byFile_;
    std::unordered_map<std::string, Planned> planned_; // folder and source -> the planned copy
    std::vector<Planned*> copies_;                     // in the order planned
    std::vector<std::string> problems_;
    std::unordered_map<std::string, std::string> linkedFolders_; // "bilder", "sound" -> the refusal
    std::unordered_set<std::string> shipped_;                    // folded paths below the program folder
};

// A save as plain data: the settings as they will be written, the paths of the planned copies
// included, and the scenario file's text as checked.
struct TEditorForm::SavePlan {
    ScenarioSettings settings;
    std::vector<std::string> sounds; // the working sound list's paths, in its order
    bool mitHintergrundbild = false;
    std::string text;
    std::unique_ptr<SaveMedia> media;

    // The hit sounds and the prepared lines from the fields, and the text they give, checked.
    void finish(const ScenarioStore& store, const std::string& name)
    {
        settings.sounds = sounds;
        buildPreparedLines(settings, mitHintergrundbild);
        text = store.checkedScenarioText(name, settings);
    }
};

ScenarioSettings TEditorForm::shownSettings() const
{
    ScenarioSettings s = store.settings;
    const auto apply = [](std::string& setting, const std::string& pending) {
        if (!pending.empty())
            setting = pending;
    };
    apply(s.abschussBild, pendingPictures.abschuss);
    apply(s.zielBild, pendingPictures.ziel);
    apply(s.schussBild, pendingPictures.schuss);
    apply(s.abschuss2Bild, pendingPictures.abschuss2);
    apply(s.ab2Aktiv, PendingHouseFlag);

    // A background switched on without a path is switched off.
    const bool mitHintergrundbild = hbildCheckBox1->isChecked() && !hbildEdit->text().isEmpty();
    s.hintergrundbild = mitHintergrundbild ? pathText(hbildEdit) : std::string();

    s.titel = textOf(SpielnameEdit);
    s.zielort = textOf(ZielnameEdit);
    s.abschuss2ort = textOf(Abschuss2Edit);
    s.startbutton = textOf(startbuttonEdit);
    // A colour that could not be read when filling stays as the file has it.
    if (hintergrundfarbe)
        s.hintergrundfarbe = std::to_string(*hintergrundfarbe);
    if (textfarbe)
        s.textfarbe = std::to_string(*textfarbe);

    s.sounds = soundList.paths();
    s.verlorensound = pathText(verlorensoundEdit);
    s.siegsound = pathText(siegsoundEdit);
    s.explosionssound = pathText(explosionssoundEdit);
    s.schussstartsound = pathText(schussstartsoundEdit);

    const auto onOff = [](bool on) { return on ? std::string() : std::string(kAus); };
    s.zieltextSichtbar = onOff(ZielCheckBox->isChecked());
    s.abschuss2textSichtbar = onOff(Abschuss2CheckBox->isChecked());
    s.abschussTransparent = onOff(abschusstranspCheckBox->isChecked());
    s.zielTransparent = onOff(zieltranspCheckBox->isChecked());
    s.ab2Aktiv = onOff(anausCheckBox->isChecked());
    s.schussTransparent = onOff(schusstranspCheckBox->isChecked());
    s.abschuss2Transparent = onOff(abschuss2transpCheckBox->isChecked());
    s.hintergrundbildAktiviert = onOff(mitHintergrundbild);
    return s;
}

void TEditorForm::planSave(SavePlan& plan, const std::string& name, SaveKind kind)
{
    ScenarioSettings& s = plan.settings;
    s = shownSettings();
    plan.mitHintergrundbild = !istAus(s.hintergrundbildAktiviert);
    plan.sounds = std::move(s.sounds);

    const std::vector<std::string*> pictures = {&s.abschussBild, &s.zielBild, &s.schussBild, &s.abschuss2Bild,
                                                &s.hintergrundbild};
    const std::vector<std::string*> events = {&s.verlorensound, &s.siegsound, &s.explosionssound,
                                              &s.schussstartsound};
    std::vector<std::string*> media = pictures;
    media.insert(media.end(), events.begin(), events.end());
    for (std::string& sound : plan.sounds)
        media.push_back(&sound);
    plan.media = std::make_unique<SaveMedia>(*this, name, kind, media);
    for (std::string* picture : pictures)
        plan.media->plan(*picture, "bilder");
    for (std::string& sound : plan.sounds)
        plan.media->plan(sound, "sound");
    for (std::string* event : events)
        plan.media->plan(*event, "sound");
    plan.finish(store, name);
}

void TEditorForm::storeAndReload(const std::string& name, SaveKind kind)
{
    const FlagScope quiet(quietRepeats_, kind == SaveKind::gameEnd);
    SavePlan plan;
    planSave(plan, name, kind);
    // The plan has passed its check: from here on files are written, all put in place together.
    StagedFiles save(store.folder());
    if (!plan.media->copy(save))
        plan.finish(store, name); // a path named its source again
    saveHelpText(save, name);
    store.writeScenarioText(save, name, plan.text);
    save.commit();

    // Applied: a later save must not apply them again.
    pendingPictures.clear();
    if (!plan.mitHintergrundbild)
        hbildCheckBox1->setChecked(false);
    auto copied = plan.sounds.begin();
    for (SoundEntry& entry : soundList)
        entry.pfad = *copied++;
    // An editor that stays open shows the paths that the file names now.
    const ScenarioSettings& saved = plan.settings;
    if (plan.mitHintergrundbild)
        setPathText(hbildEdit, saved.hintergrundbild);
    setPathText(verlorensoundEdit, saved.verlorensound);
    setPathText(siegsoundEdit, saved.siegsound);
    setPathText(explosionssoundEdit, saved.explosionssound);
    setPathText(schussstartsoundEdit, saved.schussstartsound);
    store.settings = std::move(plan.settings);
    store.dateiexlesen(name);
    windows.MainForm->showCurrentScenario();
}

void TEditorForm::speichern(const std::string& name, SaveKind kind)
{
    storeAndReload(name, kind);
    stopPreview();
    leaveForMainWindow();
}

void TEditorForm::automaticSave(const std::string& name, SaveKind kind)
{
    const FlagScope quiet(quietRepeats_, kind == SaveKind::gameEnd);
    start();
    speichern(name, kind);
}

void TEditorForm::checkSave(const std::string& name)
{
    SavePlan plan;
    planSave(plan, name, SaveKind::editor);
}

void TEditorForm::reportFileProblem(const std::string& file, const std::string& text)
{
    if (windows.reportedFiles.insert(file).second || !quietRepeats_)
        reportError(text);
}

MediaCheck TEditorForm::mediaCheck(const std::string& ordnername)
{
    if (ordnername == "sound")
        return {kLargestSoundFile, {}, [](const MediaFile& file) { checkWavFile(file, playingDeviceFormat); }};
    return {kLargestPictureFile, checkPictureBytes, {}};
}

std::string TEditorForm::insordnerkopieren(const std::string& pfad, const std::string& ordnername,
                                           const std::function<bool(const std::string&)>& takenByAnother)
{
    return copyIntoScenarioFolder(store.folder(), store.scenarioFolder(store.setup.spielstart), pfad, ordnername,
                                  mediaCheck(ordnername), takenByAnother);
}

void TEditorForm::loadHelpText()
{
    Memo1->clear();
    unreadHelpText_.clear();
    std::string folder;
    // A scenario without a help text yet gets one with its next save.
    try {
        folder = store.scenarioFolder(store.setup.spielstart);
        Memo1->setPlainText(fromUtf8(readHelpText(store.folder(), folder)));
    } catch (const std::exception& error) {
        unreadHelpText_ = folder;
        reportFileProblem(store.folder().absolute(folder) + "/hilfe.txt", errorText(error));
    }
}

void TEditorForm::saveHelpText(StagedFiles& save, const std::string& name)
{
    const std::string folder = store.scenarioFolder(name);
    // A help text that is there but could not be read is kept, not replaced by an empty one.
    if (!unreadHelpText_.empty() && unreadHelpText_ == folder)
        return;
    // Behind a link nothing is written; the scenario's own file is saved all the same.
    if (const auto link = store.folder().linkOnTheWay(findeOhneGrossKlein(store.folder(), folder, "hilfe.txt"))) {
        const std::string linked = store.folder().absolute(*link);
        reportFileProblem(linked, fehlertext::verknuepfungNichtGeschrieben(linked));
        return;
    }
    writeHelpText(save, folder, Memo1->toPlainText().toStdString());
}

void TEditorForm::setPathText(QLineEdit* field, const std::string& path)
{
    pathTexts_[field] = path;
    field->setText(fromUtf8(path));
}

std::string TEditorForm::pathText(const QLineEdit* field) const
{
    const auto kept = pathTexts_.find(field);
    if (kept != pathTexts_.end() && field->text() == fromUtf8(kept->second))
        return kept->second;
    return textOf(field);
}

std::string TEditorForm::shownSoundName(int row) const
{
    // The list box shows the working list in its order; a line that disagrees with it is
    // looked up as it reads.
    const QString shown = ListBox1->item(row)->text();
    int index = 0;
    for (const SoundEntry& entry : soundList)
        if (index++ == row)
            return fromUtf8(entry.name) == shown ? entry.name : shown.toStdString();
    return shown.toStdString();
}

void TEditorForm::soundlisteaufbauen()
{
    soundList.buildFrom(store.settings.sounds);
    soundlisteanzeigen();
}

void TEditorForm::soundlisteanzeigen()
{
    ListBox1->clear();
    for (const SoundEntry& entry : soundList)
        ListBox1->addItem(fromUtf8(entry.name));
    ListBox1->setCurrentRow(-1);
    ListBox1->clearSelection();
}

// ---- Scenario commands ----------------------------------------------------------------------

void TEditorForm::FormShow()
{
    if (keepControlsOnShow_)
        return;
    runAsOneAction([this] { start(); });
}

void TEditorForm::SpeicherButtonClick()
{
    runAsOneAction([this] { speichern(store.setup.spielstart); });
}

void TEditorForm::SpeichernunterbuttonClick()
{
    // The save-as window is a top-level window of its own, so it works while the editor is disabled.
    setEnabled(false);
    windows.Speichernform->show();
    windows.Speichernform->raise();
    windows.Speichernform->activateWindow();
}

void TEditorForm::Button1Click()
{
    // The editor is refilled when the load window hands back; nothing of this round survives.
    leaveWithoutSaving();
    hide();
    windows.LadenForm->show();
}

void TEditorForm::Button3Click()
{
    if (!dialogs().askWarning("Wollen Sie das aktuell Szenario wirklich löschen?", DefaultAnswer::nein))
        return;
    const std::string name = store.setup.spielstart;
    if (kleinAZ(name) == kStandardName) {
        dialogs().notice("Das Szenario \"Standard\" ist das Hauptszenario und kann nicht (!!) gelöscht werden.");
        return;
    }
    dialogs().notice("Folgendes Szenario wurde gelöscht: " + name);
    runAsOneAction([&] { szenarioloeschen(name); });
}

void TEditorForm::szenarioloeschen(const std::string& name)
{
    ScenarioList& list = store.setup.speicherstaende;
    const auto entry = store.suchevornach(name);
    if (entry == list.end() || entry->name != name) {
        dialogs().notice("Eintrag nicht gefunden!");
        return;
    }
    list.erase(entry);
    szenariodateienloeschen(name);
    store.setup.spielstart = kStandardName;
    store.dateischreibensetup();
    store.dateiexlesen(store.setup.spielstart);
    start();
}

void TEditorForm::szenariodateienloeschen(const std::string& name)
{
    deleteScenarioFiles(store.folder(), name);
}

void TEditorForm::Button4Click()
{
    if (!dialogs().askWarning("Wollen Sie alles auf den Standardwert zurücksetzen?", DefaultAnswer::nein))
        return;
    runAsOneAction([this] {
        ScenarioSettings standard = standardSettings(store.folder());
        buildPreparedLines(standard, true);
        const std::string text = store.checkedScenarioText(store.setup.spielstart, standard);
        // The standard values name the shipped pictures and sounds: an installed copy brings
        // back the ones changed in the player's folder.
        StagedFiles reset(store.folder());
        restoreStandardMedia(reset, windows.shippedStandard);
        store.writeScenarioText(reset, store.setup.spielstart, text);
        reset.commit();
        store.settings = std::move(standard);
        start();
    });
}

void TEditorForm::ExportierenButtonClick()
{
    runAsOneAction([this] { exportPackage(*this, exportFolder_); });
}

void TEditorForm::ProbespielButtonClick()
{
    runAsOneAction([this] {
        windows.MainForm->probespielstarten(shownSettings());
        silencePreview();
        hide();
    });
}

void TEditorForm::showAfterTestGame()
{
    const FlagScope keep(keepControlsOnShow_, true);
    show();
    raise();
    activateWindow();
}

void TEditorForm::AbbrechenButton4Click()
{
    leaveWithoutSaving();
    windows.MainForm->showCurrentScenario();
    leaveForMainWindow();
}

void TEditorForm::FormClose()
{
    leaveWithoutSaving();
    windows.MainForm->show();
}

void TEditorForm::leaveWithoutSaving()
{
    stopPreview();
    // A picture chosen and abandoned must not slip into a later save.
    pendingPictures.clear();
}

void TEditorForm::leaveForMainWindow()
{
    windows.MainForm->show();
    hide();
}

// ---- Page "Beschriftungen" and "Grafiken" ---------------------------------------------------

void TEditorForm::ZielCheckBoxClick()
{
    setCaption(ZielCheckBox, ZielCheckBox->isChecked() ? QStringLiteral("sichtbar") : QStringLiteral("nicht sichtbar "));
}

void TEditorForm::Abschuss2CheckBoxClick()
{
    setCaption(Abschuss2CheckBox,
               Abschuss2CheckBox->isChecked() ? QStringLiteral("sichtbar") : QStringLiteral("nicht sichtbar "));
}

void TEditorForm::setTextColour(std::int32_t colour)
{
    textfarbe = colour;
    Label21->setTextColor(colorFromBgr(static_cast<std::uint32_t>(colour)));
}

void TEditorForm::setBackgroundColour(std::int32_t colour)
{
    hintergrundfarbe = colour;
    QPalette colours = Shape1->palette();
    colours.setColor(QPalette::Window, colorFromBgr(static_cast<std::uint32_t>(colour)));
    Shape1->setPalette(colours);
}

void TEditorForm::TextfarbeButtonClick()
{
    if (const auto chosen = dialogs().chooseColor(ColorDialog1Color)) {
        ColorDialog1Color = *chosen;
        setTextColour(static_cast<std::int32_t>(*chosen));
    }
}

void TEditorForm::HFarbeButtonClick()
{
    if (const auto chosen = dialogs().chooseColor(ColorDialog1Color)) {
        ColorDialog1Color = *chosen;
        setBackgroundColour(static_cast<std::int32_t>(*chosen));
    }
}

void TEditorForm::choosePicture(int index)
{
    const PictureSlot s = slot(index);
    const std::string& shown = s.pending->empty() ? *s.stored : *s.pending;
    if (const auto chosen = openPictureDialog(shown))
        *s.pending = *chosen;
    if (s.pending->empty()) {
        dialogs().notice("Sie haben keine neue Datei ausgewählt.");
        return;
    }
    s.image->loadPicture(*s.pending);
    s.image->show();
    placeInFrame(s.image);
    s.sizeLabel->setText(QStringLiteral("Bildgröße: ") + dimensionsText(s.image) + QStringLiteral(" Pixel"));
    s.transparency->setChecked(true);
    s.transparency->setEnabled(!countsAsJpeg(*s.pending));
}

void TEditorForm::followShownPicture(int index, bool loaded)
{
    const PictureSlot s = slot(index);
    // As after a choice: a JPEG is drawn opaque whatever its box says, so the box is checked
    // and greyed; the House switch greys the Shot's and the House's boxes as well.
    const bool jpeg = loaded && countsAsJpeg(*s.stored);
    const bool houseSlot = index >= 2;
    if (jpeg)
        s.transparency->setChecked(true);
    s.transparency->setEnabled(!jpeg && (!houseSlot || anausCheckBox->isChecked()));
}

void TEditorForm::AbschussButtonClick() { choosePicture(0); }
void TEditorForm::ZielButtonClick() { choosePicture(1); }
void TEditorForm::SchussButtonClick() { choosePicture(2); }
void TEditorForm::abschuss2ButtonClick() { choosePicture(3); }

void TEditorForm::transparencyToggle(QCheckBox* box, PictureBox* image)
{
    setCaption(box, box->isChecked() ? QStringLiteral("Transparenz an") : QStringLiteral("Transparenz aus"));
    image->setTransparent(box->isChecked());
}

void TEditorForm::abschusstranspCheckBoxClick() { transparencyToggle(abschusstranspCheckBox, AbschussImage); }
void TEditorForm::zieltranspCheckBoxClick() { transparencyToggle(zieltranspCheckBox, ZielImage); }
void TEditorForm::schusstranspCheckBoxClick() { transparencyToggle(schusstranspCheckBox, schussImage); }
void TEditorForm::abschuss2transpCheckBoxClick() { transparencyToggle(abschuss2transpCheckBox, abschuss2Image); }

void TEditorForm::anausCheckBoxClick()
{
    const bool on = anausCheckBox->isChecked();
    setCaption(anausCheckBox, on ? QStringLiteral("Abschussobjekt 2 aktiviert") : QStringLiteral("Abschussobjekt 2 deaktiviert"));
    // The Shot belongs to the House: both grey out together.
    for (QWidget* control : {static_cast<QWidget*>(Panel1), static_cast<QWidget*>(SchussButton),
                             static_cast<QWidget*>(abschuss2Button), static_cast<QWidget*>(schusstranspCheckBox),
                             static_cast<QWidget*>(abschuss2transpCheckBox), static_cast<QWidget*>(Label6),
                             static_cast<QWidget*>(Label7), static_cast<QWidget*>(Label14), static_cast<QWidget*>(Label15),
                             static_cast<QWidget*>(schussImage), static_cast<QWidget*>(abschuss2Image)})
        control->setEnabled(on);
    PendingHouseFlag = on ? "true" : "false";
}

void TEditorForm::hbildCheckBox1Click()
{
    const bool on = hbildCheckBox1->isChecked();
    setCaption(hbildCheckBox1, on ? QStringLiteral("Ein Hintergrundbild verwenden")
                                  : QStringLiteral("Kein Hintergrundbild verwenden"));
    for (QWidget* control : {static_cast<QWidget*>(hbildButton), static_cast<QWidget*>(hbildEdit),
                             static_cast<QWidget*>(Label16), static_cast<QWidget*>(Label17)})
        control->setEnabled(on);
    if (!on) {
        hbildEdit->clear();
        Label16->setText(QStringLiteral("Bildgröße:"));
    }
}

void TEditorForm::hbildButtonClick()
{
    const auto chosen = openPictureDialog(hbildEdit->text().isEmpty() ? store.settings.hintergrundbild
                                                                      : pathText(hbildEdit));
    if (!chosen || chosen->empty())
        return;
    HbildImage->loadPicture(*chosen);
    const int w = HbildImage->pictureSize().width();
    const int h = HbildImage->pictureSize().height();
    const QSize screen = screenSize();
    if (h >= 480 && h <= screen.height() && w >= 640 && w <= screen.width()) {
        setPathText(hbildEdit, *chosen);
        Label16->setText(QStringLiteral("Bildgröße: ") + QString::number(w) + QLatin1Char('*') + QString::number(h));
    } else {
        dialogs().notice("Ihr ausgewähltes bild ist zu klein/gross ! Minimum: 640*480, Maximum: Ihre "
                         "Bildschirmauflösung: " +
                         std::to_string(screen.width()) + "*" + std::to_string(screen.height()) + " !");
    }
}

std::string TEditorForm::startFolder(const std::string& lastFolder, const std::string& shownFile) const
{
    std::error_code ec;
    if (!lastFolder.empty() && fs::is_directory(lastFolder, ec))
        return lastFolder;
    const fs::path shownFolder = fs::path(shownFile).parent_path();
    if (!shownFolder.empty() && fs::is_directory(shownFolder, ec))
        return shownFolder.string();
    return store.programFolder().string();
}

std::optional<std::string> TEditorForm::openFileDialog(const std::string& filter, bool pictures,
                                                       std::string& lastFolder, const std::string& shownFile)
{
    auto chosen = dialogs().openFile(filter, startFolder(lastFolder, shownFile), pictures, pictures);
    if (chosen && !chosen->empty())
        lastFolder = fs::path(*chosen).parent_path().string();
    return chosen;
}

std::optional<std::string> TEditorForm::openPictureDialog(const std::string& shownFile)
{
    return openFileDialog(kBilderFilter, true, pictureDialogFolder_, shownFile);
}

std::optional<std::string> TEditorForm::openSoundDialog(const std::string& shownFile)
{
    return openFileDialog(kSoundFilter, false, soundDialogFolder_, shownFile);
}

// ---- Page "Sound" ---------------------------------------------------------------------------

void TEditorForm::Durchsuchen1Click()
{
    std::string shown = pathText(neusoundedit);
    // An empty field: where the hit sounds are.
    if (shown.empty() && !soundList.empty())
        shown = soundList.begin()->pfad;
    if (const auto chosen = openSoundDialog(shown))
        setPathText(neusoundedit, *chosen);
}

void TEditorForm::HinzuClick()
{
    if (neusoundedit->text().isEmpty())
        return;
    if (soundList.size() >= static_cast<std::size_t>(kMaxSoundCount)) {
        dialogs().notice(kZuVieleSounddateien);
        return;
    }
    soundList.addToFront(pathText(neusoundedit));
    soundlisteanzeigen();
}

int TEditorForm::selectedSoundRow() const
{
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    return selected.isEmpty() ? -1 : ListBox1->row(selected.constFirst());
}

void TEditorForm::loeschenClick()
{
    const int row = selectedSoundRow();
    if (row < 0 || soundList.size() < 2)
        dialogs().notice("Sie müssen einen Eintrag ausgewählt haben und es muss immer ein Eintrag übrig bleiben.");
    else if (!soundList.removeFirstNamed(shownSoundName(row)))
        dialogs().notice("Keinen Eintrag gefunden!");
    soundlisteanzeigen();
}

void TEditorForm::chooseSpecialSound(QLineEdit* field)
{
    const auto chosen = openSoundDialog(pathText(field));
    if (chosen && !chosen->empty())
        setPathText(field, *chosen);
}

void TEditorForm::Durchsuchen2Click() { chooseSpecialSound(verlorensoundEdit); }
void TEditorForm::Durchsuchen3Click() { chooseSpecialSound(siegsoundEdit); }
void TEditorForm::Durchsuchen4Click() { chooseSpecialSound(explosionssoundEdit); }
void TEditorForm::Durchsuchen5Click() { chooseSpecialSound(schussstartsoundEdit); }

void TEditorForm::BitBtn1Click()
{
    const int row = selectedSoundRow();
    if (row < 0) {
        dialogs().notice("Zuerst muss eine Datei aus der \"Neue Sounds\"-Liste ausgewählt werden");
        return;
    }
    const QString text = ListBox1->item(row)->text();
    GroupBox8->setTitle(kSoundAbspielen + text);
    const SoundEntry* entry = soundList.findFirstNamed(shownSoundName(row));
    if (!entry) {
        dialogs().notice("Keinen Eintrag gefunden!");
        soundlisteanzeigen();
        return;
    }
    MediaPlayer1.setFileName(entry->pfad);
    vorschauabspielen();
}

void TEditorForm::playSpecialSound(QLineEdit* field)
{
    const std::string path = pathText(field);
    MediaPlayer1.setFileName(path);
    GroupBox8->setTitle(kSoundAbspielen + fromUtf8(dateinamenteil(path)) + QLatin1Char(' '));
    vorschauabspielen();
}

void TEditorForm::BitBtn3Click() { playSpecialSound(verlorensoundEdit); }
void TEditorForm::BitBtn4Click() { playSpecialSound(siegsoundEdit); }
void TEditorForm::BitBtn5Click() { playSpecialSound(explosionssoundEdit); }
void TEditorForm::BitBtn6Click() { playSpecialSound(schussstartsoundEdit); }

void TEditorForm::vorschauabspielen()
{
    try {
        MediaPlayer1.open();
    } catch (...) {
        // The sound that played before is closed by now: nothing is left to follow.
        SoundTimer->stop();
        SoundTrackBar->setValue(0);
        throw;
    }
    SoundTimer->start();
    SoundTrackBar->setMaximum(MediaPlayer1.length());
    SoundTrackBar->setValue(0);
    MediaPlayer1.play();
}

void TEditorForm::SoundTimerTimer()
{
    if (!MediaPlayer1.isOpen()) {
        SoundTimer->stop();
        return;
    }
    const int position = MediaPlayer1.position();
    SoundTrackBar->setValue(position);
    if (position >= MediaPlayer1.length()) {
        MediaPlayer1.stop();
        SoundTrackBar->setValue(0);
        SoundTimer->stop();
    }
}

void TEditorForm::BitBtn2Click()
{
    MediaPlayer1.stop();
    SoundTrackBar->setValue(0);
    SoundTimer->stop();
}

void TEditorForm::silencePreview()
{
    MediaPlayer1.close();
    SoundTimer->stop();
    SoundTrackBar->setValue(0);
}

void TEditorForm::stopPreview()
{
    silencePreview();
    ListBox1->clear();
}
