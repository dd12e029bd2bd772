#include "dialogs/ImportWindow.h"

#include "dialogs/ScenarioNameInput.h"
#include "game/BlitzfangUnit1.h"
#include "game/ScenarioPackages.h"
#include "game/WindowSet.h"
#include "media/PackageChecks.h"
#include "package/CheckedPackage.h"
#include "package/PackageImport.h"
#include "platform/ActionReport.h"
#include "platform/BlitzfangError.h"
#include "platform/Cancellation.h"
#include "platform/Dialogs.h"
#include "platform/QtErrorReport.h"
#include "platform/QtText.h"
#include "storage/ScenarioFile.h"
#include "storage/ScenarioNames.h"
#include "storage/ScenarioStore.h"

#include <QBoxLayout>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>

#include <filesystem>

namespace {

const QString kTitel = QStringLiteral("Szenario importieren");

QLabel* makeText(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText); // names and titles are never read as markup
    label->setWordWrap(true);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

// One of the four pictures with its caption beneath.
QLabel* addPicture(QHBoxLayout* row, QWidget* parent, const char* name, const QString& caption)
{
    auto* column = new QVBoxLayout;
    QLabel* picture = makeText(parent, name);
    picture->setFixedSize(kPreviewSide, kPreviewSide);
    picture->setAlignment(Qt::AlignCenter);
    column->addWidget(picture);
    QLabel* text = makeText(parent, "");
    text->setText(caption);
    text->setAlignment(Qt::AlignCenter);
    column->addWidget(text);
    row->addLayout(column);
    return picture;
}

QPixmap pixmapOf(const SmallPicture& picture)
{
    if (picture.pixels.empty())
        return {};
    const QImage image(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width, picture.height,
                       picture.width * 4, QImage::Format_ARGB32);
    return QPixmap::fromImage(image.copy());
}

std::string topThree(const HighscoreTable& table)
{
    std::string text = "Bestenliste des Autors, zum Überbieten:";
    for (std::size_t place = 0; place < 3; ++place)
        text += "\n" + std::to_string(place + 1) + ". " + table[place].name + ", " +
                std::to_string(table[place].points) + " Punkte, Level " + std::to_string(table[place].level);
    return text;
}

QString contentText(const PackagePreview& preview)
{
    const QLocale german(QLocale::German);
    return QStringLiteral("%1 %2, %3 %4, ausgepackt %5 MB")
        .arg(preview.pictures)
        .arg(preview.pictures == 1 ? QStringLiteral("Bild") : QStringLiteral("Bilder"))
        .arg(preview.sounds)
        .arg(preview.sounds == 1 ? QStringLiteral("Sound") : QStringLiteral("Sounds"))
        .arg(german.toString(double(preview.unpackedBytes) / 1e6, 'f', 1));
}

// The places of a highscore that players hold: the default table's entries are the maker's.
int heldPlaces(const HighscoreTable& table)
{
    int held = 0;
    for (const T_Highscore& entry : table)
        held += entry.name != kHighscoreStandardName;
    return held;
}

} // namespace

ImportWindow::ImportWindow(WindowSet& windows, FormWindow& from, const std::string& package,
                           std::function<void(bool)> done)
    : FormWindow(kTitel, 480, 480), windows_(windows), path_(package), done_(std::move(done))
{
    setObjectName(QStringLiteral("ImportWindow"));
    auto* layout = new QVBoxLayout(this);
    paketLabel = makeText(this, "paketLabel");
    paketLabel->setText(QStringLiteral("Paket: ") +
                        QFile::decodeName(QByteArray::fromStdString(std::filesystem::path(package).filename().string())));
    layout->addWidget(paketLabel);
    fortschritt = new QProgressBar(this);
    fortschritt->setObjectName(QStringLiteral("fortschritt"));
    fortschritt->setRange(0, 100);
    layout->addWidget(fortschritt);

    titelLabel = makeText(this, "titelLabel");
    QFont bold = titelLabel->font();
    bold.setBold(true);
    titelLabel->setFont(bold);
    layout->addWidget(titelLabel);
    pictureRow_ = new QWidget(this);
    auto* pictures = new QHBoxLayout(pictureRow_);
    pictures->setContentsMargins(0, 0, 0, 0);
    figurBild = addPicture(pictures, pictureRow_, "figurBild", QStringLiteral("Figur"));
    zielBild = addPicture(pictures, pictureRow_, "zielBild", QStringLiteral("Ziel"));
    hausBild = addPicture(pictures, pictureRow_, "hausBild", QStringLiteral("Haus"));
    hintergrundBild = addPicture(pictures, pictureRow_, "hintergrundBild", QStringLiteral("Hintergrund"));
    layout->addWidget(pictureRow_);
    hilfeLabel = makeText(this, "hilfeLabel");
    layout->addWidget(hilfeLabel);
    bestenlisteLabel = makeText(this, "bestenlisteLabel");
    layout->addWidget(bestenlisteLabel);
    inhaltLabel = makeText(this, "inhaltLabel");
    layout->addWidget(inhaltLabel);
    vorhandenLabel = makeText(this, "vorhandenLabel");
    layout->addWidget(vorhandenLabel);
    nameLabel = makeText(this, "nameLabel");
    nameLabel->setText(QStringLiteral("Name des neuen Szenarios:"));
    layout->addWidget(nameLabel);
    nameEdit = new QLineEdit(this);
    nameEdit->setObjectName(QStringLiteral("nameEdit"));
    layout->addWidget(nameEdit);
    layout->addStretch();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    importierenButton = makeButton(this, "importierenButton", QStringLiteral("&Importieren"));
    ersetzenButton = makeButton(this, "ersetzenButton", QStringLiteral("&Ersetzen"));
    alsNeuesButton = makeButton(this, "alsNeuesButton", QStringLiteral("Als &neues Szenario…"));
    abbrechenButton = makeButton(this, "abbrechenButton", QStringLiteral("&Abbrechen"));
    for (QPushButton* button : {importierenButton, ersetzenButton, alsNeuesButton, abbrechenButton})
        buttons->addWidget(button);
    layout->addLayout(buttons);
    setCancelButton(abbrechenButton);
    connect(importierenButton, &QPushButton::clicked, this, &ImportWindow::importierenButtonClick);
    connect(ersetzenButton, &QPushButton::clicked, this, &ImportWindow::ersetzenButtonClick);
    connect(alsNeuesButton, &QPushButton::clicked, this, &ImportWindow::alsNeuesButtonClick);
    connect(abbrechenButton, &QPushButton::clicked, this, &ImportWindow::abbrechenButtonClick);

    // Modal to the window it came from, and gone with it.
    setOwner(&from);
    setParent(&from, windowFlags());
    showStep(Step::checking);
    show();
    runBeside([this]() -> std::function<void()> {
        auto package = std::make_shared<CheckedPackage>(
            checkPackage(windows_.store.folder(), path_, packageMediaChecks(), {}, progressReport()));
        return [this, package] { checked(package); };
    });
}

ImportWindow::~ImportWindow()
{
    cancel_ = true;
    if (worker_) {
        worker_->wait();
        delete worker_;
    }
}

void ImportWindow::showStep(Step step)
{
    step_ = step;
    const bool working = step == Step::checking || step == Step::importing;
    const bool shown = !working && step != Step::closed;
    fortschritt->setVisible(working);
    fortschritt->setValue(0);
    for (QWidget* part : {static_cast<QWidget*>(titelLabel), pictureRow_, static_cast<QWidget*>(bestenlisteLabel),
                          static_cast<QWidget*>(inhaltLabel)})
        part->setVisible(shown);
    hilfeLabel->setVisible(shown && !hilfeLabel->text().isEmpty());
    vorhandenLabel->setVisible(step == Step::existing);
    nameLabel->setVisible(step == Step::newName);
    nameEdit->setVisible(step == Step::newName);
    importierenButton->setVisible(step == Step::preview || step == Step::newName);
    ersetzenButton->setVisible(step == Step::existing);
    alsNeuesButton->setVisible(step == Step::existing);
    // Enter imports what is shown; before a scenario that would be replaced it keeps everything.
    QPushButton* main = step == Step::existing || working ? abbrechenButton : importierenButton;
    for (QPushButton* button : {importierenButton, ersetzenButton, alsNeuesButton, abbrechenButton}) {
        button->setDefault(button == main);
        button->setAutoDefault(false);
    }
    setMainButton(main);
    abbrechenButton->setEnabled(true);
    if (step == Step::newName)
        nameEdit->setFocus();
    else if (shown)
        main->setFocus();
}

void ImportWindow::runBeside(std::function<std::function<void()>()> work)
{
    if (worker_) {
        worker_->wait();
        delete worker_;
    }
    worker_ = QThread::create([this, work = std::move(work)] {
        const CancelScope watched(cancel_);
        std::function<void()> then;
        try {
            then = work();
        } catch (const WorkCancelled&) {
            then = [this] { finish(false); };
        } catch (const std::exception& error) {
            then = [this, text = errorText(error)] { refused(text); };
        }
        QMetaObject::invokeMethod(this, std::move(then), Qt::QueuedConnection);
    });
    worker_->start();
}

bool ImportWindow::isTaken(const std::string& name) const
{
    const ScenarioStore& store = windows_.store;
    return kleinAZ(name) == "standard" || isListed(store.setup.speicherstaende, name) ||
           store.folder().kindOf(store.scenarioFile(name)) != EntryKind::missing ||
           store.folder().kindOf(store.scenarioFolder(name)) != EntryKind::missing;
}

ProgressReport ImportWindow::progressReport()
{
    // Only a change of a whole percent reaches the window.
    return [bar = fortschritt, last = std::make_shared<int>(-1)](double done) {
        const int percent = int(done * 100);
        if (percent == *last)
            return;
        *last = percent;
        QMetaObject::invokeMethod(bar, [bar, percent] { bar->setValue(percent); }, Qt::QueuedConnection);
    };
}

void ImportWindow::checked(std::shared_ptr<CheckedPackage> package)
{
    package_ = std::move(package);
    ScenarioStore& store = windows_.store;
    // A scenario the list holds in another case of A to Z keeps the list's spelling.
    name_ = listedSpelling(store.setup.speicherstaende, package_->name);
    const ConfinedFolder& folder = store.folder();
    bool exists = false;
    try {
        // The trash must take all of the scenario that "&Ersetzen" replaces.
        for (const std::string& place : {store.scenarioFile(name_), store.scenarioFolder(name_)}) {
            if (folder.kindOf(place) == EntryKind::missing)
                continue;
            exists = true;
            trashTakes_ = trashTakes_ && desktopTrash().canTake && desktopTrash().canTake(folder.absolute(place));
        }
    } catch (const BlitzfangError& error) {
        refused(paketNichtImportiert(path_, error.what()));
        return;
    }
    showPreview();
    if (exists)
        vorhandenLabel->setText(fromUtf8(existingScenarioText()));
    showStep(exists ? Step::existing : Step::preview);
}

void ImportWindow::showPreview()
{
    const PackagePreview& preview = package_->preview;
    titelLabel->setText(fromUtf8(package_->settings.titel) + QStringLiteral("\nSzenario \"") +
                        fromUtf8(package_->name) + QStringLiteral("\""));
    const std::pair<QLabel*, const SmallPicture*> pictures[] = {
        {figurBild, &preview.figure}, {zielBild, &preview.target}, {hausBild, &preview.house},
        {hintergrundBild, &preview.background}};
    for (const auto& [label, picture] : pictures) {
        const QPixmap pixmap = pixmapOf(*picture);
        if (pixmap.isNull())
            label->setText(QStringLiteral("–"));
        else
            label->setPixmap(pixmap);
    }
    hilfeLabel->setText(fromUtf8(preview.helpStart));
    bestenlisteLabel->setText(fromUtf8(topThree(package_->settings.highscore)));
    inhaltLabel->setText(contentText(preview));
}

std::string ImportWindow::existingScenarioText() const
{
    const ScenarioStore& store = windows_.store;
    std::string about;
    try {
        ScenarioSettings old = programStartSettings();
        SetupState ignored;
        evaluateFile(store.folder().readFile(store.scenarioFile(name_), kLargestScenarioFile), old, ignored);
        about = " (\"" + old.titel + "\") mit " + std::to_string(heldPlaces(old.highscore)) +
                " belegten Plätzen in seiner Bestenliste";
    } catch (const BlitzfangError&) {
        about = ", dessen Szenario-Datei nicht zu lesen ist,";
    }
    return "Es gibt schon ein Szenario \"" + name_ + "\"" + about + ". " +
           (trashTakes_ ? "\"Ersetzen\" legt es in den Papierkorb, aus dem es sich wiederherstellen lässt."
                        : "Der Papierkorb kann es nicht aufnehmen: \"Ersetzen\" löscht es endgültig.");
}

void ImportWindow::importierenButtonClick()
{
    if (step_ == Step::preview) {
        startImport(name_, false);
        return;
    }
    if (step_ != Step::newName)
        return;
    const std::string typed = nameEdit->text().toStdString();
    if (!acceptScenarioName(typed))
        return;
    if (isTaken(typed)) {
        dialogs().notice("Ein Szenario \"" + typed + "\" gibt es schon. Bitte wählen Sie einen anderen Namen.");
        return;
    }
    startImport(typed, false);
}

void ImportWindow::ersetzenButtonClick()
{
    if (step_ == Step::existing)
        startImport(name_, true);
}

void ImportWindow::alsNeuesButtonClick()
{
    if (step_ != Step::existing)
        return;
    // The first free "Mond 2", "Mond 3", ...
    std::string suggestion;
    for (int n = 2; suggestion.empty() || isTaken(suggestion); ++n)
        suggestion = name_ + " " + std::to_string(n);
    nameEdit->setText(fromUtf8(suggestion));
    showStep(Step::newName);
}

void ImportWindow::abbrechenButtonClick()
{
    if (step_ == Step::checking || step_ == Step::importing) {
        // The worker stops at once and reports; the window is gone already.
        cancel_ = true;
        hide();
        return;
    }
    finish(false);
}

void ImportWindow::FormClose()
{
    abbrechenButtonClick();
}

void ImportWindow::startImport(const std::string& name, bool replacing)
{
    ScenarioStore& store = windows_.store;
    const ImportTarget target{store.scenarioFile(name), store.scenarioFolder(name), !replacing || trashTakes_};
    // The receiving player's own name and level go with the new scenario.
    ScenarioSettings player;
    player.spielername = store.settings.spielername;
    player.schwierigkeitsgrad = store.settings.schwierigkeitsgrad;
    showStep(Step::importing);
    runBeside([this, target, player, name, trash = desktopTrash()]() -> std::function<void()> {
        unpackPackage(windows_.store.folder(), *package_, target, player, trash, progressReport());
        return [this, name] { imported(name); };
    });
}

void ImportWindow::imported(const std::string& name)
{
    hide();
    runAsOneAction([&] {
        ScenarioStore& store = windows_.store;
        if (!isListed(store.setup.speicherstaende, name))
            store.neudateieintrag(name);
        store.setup.spielstart = name;
        store.dateischreibensetup();
        store.dateiexlesen(name);
        windows_.MainForm->showCurrentScenario();
    });
    finish(true);
}

void ImportWindow::refused(const std::string& reason)
{
    hide();
    reportError(reason);
    finish(false);
}

void ImportWindow::finish(bool imported)
{
    if (step_ == Step::closed)
        return;
    step_ = Step::closed;
    hide();
    deleteLater();
    if (auto done = std::exchange(done_, nullptr))
        done(imported);
}
