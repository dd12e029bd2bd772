// A scenario travels as one file: exported in one program folder it arrives whole in another,
// through the window "Szenario importieren" that shows what comes before anything is written; a
// stranger's package is refused with one box; an existing scenario is replaced only when the
// player says so, into the trash; a crash or a full disk leaves the old or the new scenario whole.

#include "dialogs/ImportWindow.h"
#include "dialogs/LadenUnit2.h"
#include "game/ScenarioPackages.h"
#include "media/PictureLoader.h"
#include "media/PackageChecks.h"
#include "package/CheckedPackage.h"
#include "package/PackageExport.h"
#include "package/ZipArchive.h"
#include "platform/QtErrorReport.h"
#include "storage/ScenarioStore.h"
#include "tests/dialogs/ScenarioDialogFixture.h"
#include "tests/media/MediaFixtures.h"
#include "tests/storage/StorageTestSupport.h"

#include <archive.h>
#include <archive_entry.h>

#include <QDropEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QMimeData>
#include <QUrl>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

struct Entry {
    std::string name;
    std::string bytes;                // a link's target for a link
    std::uint64_t zeros = 0;          // that many zero bytes instead
    unsigned type = AE_IFREG;
};

// A ZIP archive as any tool might write it, deflated; its names in `charset` (without the UTF-8
// flag unless UTF-8).
void craft(const fs::path& zip, const std::vector<Entry>& entries, const char* charset = "UTF-8")
{
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_set_options(a, ("hdrcharset=" + std::string(charset)).c_str());
    archive_write_open_filename(a, zip.c_str());
    for (const Entry& entry : entries) {
        archive_entry* header = archive_entry_new();
        archive_entry_set_pathname_utf8(header, entry.name.c_str());
        archive_entry_set_filetype(header, entry.type);
        archive_entry_set_perm(header, 0644);
        if (entry.type == AE_IFLNK)
            archive_entry_set_symlink(header, entry.bytes.c_str());
        archive_entry_set_size(header, entry.type == AE_IFREG ? la_int64_t(entry.bytes.size() + entry.zeros) : 0);
        archive_write_header(a, header);
        const std::string block(1024 * 1024, '\0');
        for (std::uint64_t left = entry.zeros; left > 0; left -= std::min<std::uint64_t>(left, block.size()))
            archive_write_data(a, block.data(), std::min<std::uint64_t>(left, block.size()));
        if (entry.type == AE_IFREG)
            archive_write_data(a, entry.bytes.data(), entry.bytes.size());
        archive_entry_free(header);
    }
    archive_write_close(a);
    archive_write_free(a);
}

// A sound longer than the part of it that the check reads.
std::string longWav()
{
    return fixtures::wavHeader(1, 22050, 16, 3 << 20) + std::string(3 << 20, '\x55');
}

std::string fileOf(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// How many MiB a forked child's resident memory grows while it runs `action`.
int memoryGrowthMiB(const std::function<void()>& action)
{
    const pid_t child = fork();
    if (child == 0) {
        std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts from here
        const auto peakKiB = [] {
            std::ifstream status("/proc/self/status");
            for (std::string line; std::getline(status, line);)
                if (line.starts_with("VmHWM:"))
                    return std::stol(line.substr(6));
            return 0L;
        };
        const long before = peakKiB();
        try {
            action();
        } catch (...) {
        }
        _exit(int(std::min(255L, (peakKiB() - before) / 1024)));
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 255;
}

// Sets an environment variable for its lifetime.
class Environment {
public:
    Environment(const char* name, const std::string& value) : name_(name), old_(qgetenv(name))
    {
        qputenv(name, QByteArray::fromStdString(value));
    }
    ~Environment() { old_.isNull() ? qunsetenv(name_) : qputenv(name_, old_); }

private:
    const char* name_;
    QByteArray old_;
};

class Packages : public ScenarioDialogTest {
protected:
    // The program folder's Mond with its own copies of the standard media, as "&Speichern" makes
    // them, its help text and highscore.
    void startWithOwnMond()
    {
        startWithMond();
        const std::string sound = folder.path().string() + "/Standard/sound/";
        store().settings.siegsound = store().settings.explosionssound = store().settings.schussstartsound =
            sound + "sieg.wav";
        editor().show();
        editor().storeAndReload("Mond");
    }

    // A package as a hand might make it: Mond's own pictures, a shipped standard sound.
    std::vector<Entry> honest(const std::string& titel = "Ferne") const
    {
        const std::string bilder = folder.read("Standard/bilder/ziel.bmp");
        return {{"Mond.cfg", crlf({"Titel: " + titel, "Zielort: Mond", "Spielername: Ute", "Textfarbe: 255",
                                   "Hintergrundfarbe: 0", "Hintergrundbild aktiviert: false", "Schwierigkeitsgrad: 4",
                                   "Schuss: Mond/bilder/ziel.bmp", "Abschuss2: Mond/bilder/ziel.bmp",
                                   "Ziel: /anderswo/Mond/bilder/ziel.bmp", "Abschuss: Mond/Bilder/ziel.bmp",
                                   "Sounddateianzahl: 1", "Sounds: C:\\Spiele\\Standard\\sound\\au1.wav",
                                   "Verlorensound: Mond/sound/au2.wav", "Siegsound: Mond/sound/au2.wav",
                                   "Highscore: " + kMondHighscore})},
                {"Mond/bilder/ziel.bmp", bilder},
                {"Mond/sound/au2.wav", folder.read("Standard/sound/au2.wav")}};
    }

    fs::path package(const std::vector<Entry>& entries, const char* charset = "UTF-8")
    {
        const fs::path path = elsewhere.path() / "Paket.blitzfang";
        craft(path, entries, charset);
        return path;
    }

    // Opens the import window as every way in does and waits for its check.
    ImportWindow& openImport(const fs::path& path, FormWindow* from = nullptr)
    {
        FormWindow& owner = from ? *from : static_cast<FormWindow&>(mainForm());
        finished.reset();
        importPackage(*windows, owner, path.string(), [this](bool imported) { finished = imported; });
        ImportWindow& window = *owner.findChildren<ImportWindow*>().constLast();
        EXPECT_TRUE(window.isVisible() && window.fortschritt->isVisible());
        EXPECT_TRUE(QTest::qWaitFor([&] { return finished || !window.fortschritt->isVisible(); }, 20000));
        return window;
    }
    // The whole import as the player clicks it: "&Importieren", or "&Abbrechen" when it offers
    // no import.
    void import(const fs::path& path)
    {
        ImportWindow& window = openImport(path);
        if (!finished)
            click(window.importierenButton->isVisible() ? window.importierenButton : window.abbrechenButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return finished.has_value(); }, 20000));
    }
    void clickAndWait(QAbstractButton* button)
    {
        click(button);
        ASSERT_TRUE(QTest::qWaitFor([&] { return finished.has_value(); }, 20000));
    }

    // The build's thumbnailer run on `package` as a file manager runs it, into an empty folder:
    // the picture it wrote; null when it wrote nothing at all, which it must know within a second.
    QImage thumbnail(const fs::path& package, int size = 128) const
    {
        const TempFolder out;
        const QString png = QString::fromStdString((out / "bild.png").string());
        QElapsedTimer clock;
        clock.start();
        QProcess::execute(QString::fromStdString((buildDir() / "blitzfang-thumbnailer").string()),
                          {QString::fromStdString(package.string()), png, QString::number(size)});
        const QImage picture(png);
        EXPECT_TRUE(!picture.isNull() || clock.elapsed() < 1000) << package << ": " << clock.elapsed() << " ms";
        EXPECT_EQ(std::distance(fs::directory_iterator(out.path()), fs::directory_iterator()), picture.isNull() ? 0 : 1);
        return picture;
    }

    TempFolder elsewhere;
    // The player's home with its trash: never the real one.
    TempFolder home;
    Environment homeFolder{"HOME", home.path().string()};
    Environment dataFolder{"XDG_DATA_HOME", (home / "daten").string()};
    bool dataFolderMade = fs::create_directory(home / "daten");
    std::optional<bool> finished; // the import window closed, with true after an import
};

TEST_F(Packages, exportedScenarioShowsWhatComesAndArrivesByteForByteUnderTheReceivingPlayersName)
{
    startWithOwnMond();
    boxes.fileAnswers.push_back((elsewhere.path() / "Mond.blitzfang").string());
    click(editor().ExportierenButton);
    EXPECT_EQ(boxes.suggestedNames, std::vector<std::string>{"Mond.blitzfang"});
    EXPECT_EQ(boxes.saveTitles, std::vector<std::string>{"Szenario exportieren"});
    EXPECT_EQ(boxes.fileStartFolders.back(), QDir::homePath().toStdString());
    EXPECT_TRUE(editor().isVisible());
    windows.reset();

    TempFolder other;
    other.copyStandardMedia();
    windows = std::make_unique<WindowSet>(other.path());
    store().settings.spielername = "Gast";
    store().settings.schwierigkeitsgrad = 3;
    mainForm().show();
    ImportWindow& window = openImport(elsewhere.path() / "Mond.blitzfang");
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Szenario importieren"));
    EXPECT_EQ(window.paketLabel->text(), QStringLiteral("Paket: Mond.blitzfang"));
    EXPECT_EQ(window.titelLabel->text(), QStringLiteral("Mondlandung\nSzenario \"Mond\""));
    EXPECT_FALSE(window.zielBild->pixmap().isNull() || window.hintergrundBild->pixmap().isNull());
    EXPECT_EQ(window.hilfeLabel->text(), QStringLiteral("Mondtext"));
    EXPECT_TRUE(window.bestenlisteLabel->text().contains(QStringLiteral("1. Ute, 90 Punkte, Level 2\n2. Ute, 80")));
    EXPECT_EQ(window.inhaltLabel->text(), QStringLiteral("5 Bilder, 3 Sounds, ausgepackt 0,3 MB"));
    EXPECT_TRUE(window.importierenButton->isDefault() && !window.ersetzenButton->isVisible());
    EXPECT_FALSE(fs::exists(other / "Mond.cfg")) << "nothing is written before the choice";
    clickAndWait(window.importierenButton);

    for (const auto& entry : fs::recursive_directory_iterator(folder.path() / "Mond")) {
        if (entry.is_regular_file()) {
            EXPECT_EQ(fileOf(other.path() / fs::relative(entry.path(), folder.path())), fileOf(entry.path()))
                << entry.path();
        }
    }
    const ScenarioSettings& s = store().settings;
    for (const std::string& path : {s.zielBild, s.abschussBild, s.hintergrundbild, s.sounds.at(0), s.verlorensound})
        EXPECT_TRUE(path.starts_with(other.path().string() + "/Mond/")) << path;
    EXPECT_EQ(store().setup.spielstart, "Mond");
    EXPECT_NE(other.read("Mond.cfg").find("Highscore: " + kMondHighscore), std::string::npos);
    EXPECT_EQ(s.spielername, "Gast");
    EXPECT_EQ(s.schwierigkeitsgrad, 3);
    // The menu's title laid out anew: whole, and centred as after showing the menu.
    EXPECT_EQ(mainForm().Label2->text(), QStringLiteral("Mondlandung"));
    EXPECT_EQ(mainForm().Panel2->width(), mainForm().Label2->width() + 20);
    EXPECT_EQ(mainForm().Panel2->x(), mainForm().Panel1->width() / 2 - mainForm().Panel2->width() / 2);
    mainForm().spielstarten();
    mainForm().hauptmenue();
    EXPECT_TRUE(boxes.errors.empty() && boxes.notices.empty()) << testing::PrintToString(boxes.errors);

    // Unpacked by hand into a program folder, it is a scenario that the search finds and loads.
    TempFolder byHand;
    byHand.copyStandardMedia();
    const int package = ::open((elsewhere.path() / "Mond.blitzfang").c_str(), O_RDONLY);
    ZipReader reader(package, 1 << 20);
    for (ZipReader::Entry entry; reader.next(entry);) {
        fs::create_directories((byHand / entry.name).parent_path());
        std::ofstream file(byHand / entry.name, std::ios::binary);
        for (std::string_view piece = reader.read(); !piece.empty(); piece = reader.read())
            file << piece;
    }
    ::close(package);
    WindowSet unpacked(byHand.path());
    unpacked.store.dateiexlesen("Mond");
    EXPECT_EQ(unpacked.store.settings.titel, "Mondlandung");
    EXPECT_EQ(unpacked.store.settings.zielBild, byHand.path().string() + "/Mond/bilder/ziel.bmp");
    EXPECT_TRUE(fs::exists(unpacked.store.settings.zielBild) && boxes.notices.empty());
}

TEST_F(Packages, anExportThatIsCancelledOrRefusedStoresNothingAndNamesTheSlot)
{
    startWithOwnMond();
    const auto before = files();
    editor().SpielnameEdit->setText(QStringLiteral("Geändert"));
    click(editor().ExportierenButton); // the dialog cancelled
    EXPECT_EQ(files(), before);

    elsewhere.write("kaputt.wav", "RIFF kein Klang");
    editor().verlorensoundEdit->setText(QString::fromStdString((elsewhere / "kaputt.wav").string()));
    click(editor().ExportierenButton);
    ASSERT_EQ(boxes.errors.size(), 1u);
    EXPECT_TRUE(boxes.errors[0].starts_with("Das Szenario \"Mond\" kann nicht exportiert werden: der \"Verloren-Sound\" "
                                            "taugt nicht für ein Paket: "))
        << boxes.errors[0];
    EXPECT_NE(boxes.errors[0].find("Wählen Sie im Editor auf der Seite \"Sound\" einen anderen Sound"), std::string::npos);
    EXPECT_EQ(boxes.suggestedNames.size(), 1u) << "a refused export asks for no target";
    EXPECT_EQ(files(), before);

    editor().hide();
    store().setup.spielstart = "Standard";
    store().dateiexlesen("Standard");
    editor().show();
    click(editor().ExportierenButton);
    EXPECT_EQ(boxes.notices, std::vector<std::string>{"Das Szenario \"Standard\" kann nicht exportiert werden: Das "
                                                      "Szenario \"Standard\" kommt mit jedem Blitzfang. Geben Sie ihm mit "
                                                      "\"Speichern unter\" zuerst einen eigenen Namen, dann lässt es "
                                                      "sich exportieren."});
}

TEST_F(Packages, anExportStoppedByAnyErrorLeavesNothingBesideItsTarget)
{
    startWithOwnMond();
    MediaChecks failing = packageMediaChecks();
    failing.picture = [](std::string_view, const std::string&, int) -> SmallPicture { throw std::bad_alloc(); };
    const std::string target = (elsewhere.path() / "Mond.blitzfang").string();
    EXPECT_THROW(writePackage(store().folder(), planPackage(store().folder(), "Mond"), target, failing), std::bad_alloc);
    EXPECT_TRUE(fs::is_empty(elsewhere.path()));
}

TEST_F(Packages, aPackageHandedOverDuringAGameWaitsForTheMenu)
{
    start();
    mainForm().show();
    mainForm().spielstarten();
    finished.reset();
    mainForm().packageInbox->add(package(honest("Später")).string());
    QTest::qWait(400);
    EXPECT_TRUE(mainForm().findChildren<ImportWindow*>().isEmpty());
    mainForm().hauptmenue();
    ImportWindow* window = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const auto open = mainForm().findChildren<ImportWindow*>();
        window = open.isEmpty() ? nullptr : open.constLast();
        return window && window->importierenButton->isVisible();
    }, 5000));
    click(window->importierenButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return store().setup.spielstart == "Mond"; }, 5000));
    EXPECT_EQ(mainForm().Label2->text(), QStringLiteral("Später"));
}

TEST_F(Packages, aHandMadePackageTakesItsFilesAndTheShippedStandardSoundAlsoWithNamesFromOtherSystems)
{
    start();
    // A long sound too, which the check reads only as far as its header.
    std::vector<Entry> withLongSound = honest();
    withLongSound.push_back({"Mond/sound/lang.wav", longWav()});
    withLongSound[0].bytes += "Explosionssound: Mond/sound/lang.wav\r\n";
    import(package(withLongSound));
    ASSERT_TRUE(boxes.errors.empty()) << testing::PrintToString(boxes.errors);
    EXPECT_EQ(fileOf(folder / "Mond" / "sound" / "lang.wav"), longWav());
    const ScenarioSettings& s = store().settings;
    EXPECT_EQ(s.zielBild, folder.path().string() + "/Mond/bilder/ziel.bmp");
    EXPECT_EQ(s.abschussBild, s.zielBild);
    EXPECT_EQ(s.sounds.at(0), folder.path().string() + "/Standard/sound/au1.wav");
    EXPECT_EQ(s.titel, "Ferne");
    EXPECT_TRUE(boxes.errors.empty()) << testing::PrintToString(boxes.errors);

    // Zipped where names are CP437: "ä" is byte 0x84, without the UTF-8 flag.
    std::vector<Entry> entries = honest("Käfer");
    for (Entry& entry : entries) {
        entry.name.replace(0, 4, "Käfer");
        for (const std::string from : {"Mond/", "Mond\r\n"})
            for (std::size_t at; (at = entry.bytes.find(from)) != std::string::npos;)
                entry.bytes.replace(at, 4, "Käfer");
    }
    const fs::path cp437 = package(entries, "CP437");
    ASSERT_NE(fileOf(cp437).find("K\x84" "fer/bilder"), std::string::npos);
    import(cp437);
    EXPECT_EQ(store().setup.spielstart, "Käfer");
    EXPECT_TRUE(fs::exists(folder / "Käfer" / "bilder" / "ziel.bmp"));
    EXPECT_TRUE(boxes.errors.empty()) << testing::PrintToString(boxes.errors);
}

struct Hostile {
    std::string reason;
    std::function<void(std::vector<Entry>&)> change; // none: the archive is cut in half
    std::function<void(std::string& archive)> lie = {};
};

// The archive claims `more` bytes more for the entry `name` than it holds, in its directory and in
// the entry's own header alike.
void claimMore(std::string& archive, const std::string& name, std::uint32_t more)
{
    int claims = 0;
    // Signature, offset of the unpacked size, offset of the name's length, offset of the name.
    for (const auto& [signature, size, nameLength, nameAt] :
         {std::tuple{"PK\x03\x04", 22, 26, 30}, std::tuple{"PK\x01\x02", 24, 28, 46}}) {
        for (std::size_t at = archive.find(signature); at != std::string::npos; at = archive.find(signature, at + 4)) {
            const auto field = [&](std::size_t offset, int bytes) {
                std::uint32_t value = 0;
                for (int i = bytes - 1; i >= 0; --i)
                    value = value << 8 | std::uint8_t(archive[at + offset + std::size_t(i)]);
                return value;
            };
            if (archive.compare(at + std::size_t(nameAt), field(std::size_t(nameLength), 2), name) != 0)
                continue;
            const std::uint32_t claimed = field(std::size_t(size), 4) + more;
            for (int i = 0; i < 4; ++i)
                archive[at + std::size_t(size + i)] = char(claimed >> (8 * i));
            ++claims;
        }
    }
    EXPECT_EQ(claims, 2) << name;
}

void renameScenario(std::vector<Entry>& entries, const std::string& name)
{
    for (Entry& entry : entries)
        entry.name.replace(0, 4, name);
}

// An entry the scenario file names as its explosion sound.
void addNamedSound(std::vector<Entry>& entries, const Entry& sound)
{
    entries.push_back(sound);
    entries[0].bytes += "Explosionssound: " + sound.name + "\r\n";
}

TEST_F(Packages, aStrangersPackageIsRefusedWithOneBoxAndWritesNothingAnywhere)
{
    start();
    const std::vector<Hostile> hostile = {
        {"\"../Ausbruch.cfg\" gehört nicht zu einem Szenario", [](auto& e) { e.push_back({"../Ausbruch.cfg", "x"}); }},
        {"\"/tmp/Ausbruch.cfg\" gehört nicht", [](auto& e) { e.push_back({"/tmp/Ausbruch.cfg", "x"}); }},
        {"\"Mond/andere/x\" gehört nicht", [](auto& e) { e.push_back({"Mond/andere/x", "x"}); }},
        {"\"Mond/bilder/pw.bmp\" ist eine Verknüpfung",
         [](auto& e) { e.push_back({"Mond/bilder/pw.bmp", "/etc/passwd", 0, AE_IFLNK}); }},
        {"mehr als ein Szenario: \"Mond\" und \"Venus\"", [](auto& e) { e.push_back({"Venus.cfg", e[0].bytes}); }},
        {"\"Mond/sound/au2.wav\" und \"Mond/sound/AU2.wav\" unterscheiden sich nur",
         [](auto& e) { e.push_back({"Mond/sound/AU2.wav", e[2].bytes}); }},
        {"\"Standard\" kommt mit jedem Blitzfang", [](auto& e) { renameScenario(e, "Standard"); }},
        {"ist für die Setup-Datei reserviert", [](auto& e) { renameScenario(e, "SETUP"); }},
        {"ist für die eigenen Dateien von Blitzfang reserviert", [](auto& e) { renameScenario(e, ".blitzfang.lock"); }},
        {"\".Mond\" beginnt mit einem Punkt", [](auto& e) { renameScenario(e, ".Mond"); }},
        {"Zeichen, die die Schreibrichtung umkehren", [](auto& e) { renameScenario(e, "\u202eMond"); }},
        {"kein vollständiges ZIP-Archiv", nullptr},
        {"fehlen Angaben", [](auto& e) { e[0].bytes.replace(0, 12, "Titel: "); }},
        {"ließe sich nicht spielen: Das Hintergrundbild ist eingeschaltet, aber es ist keines angegeben",
         [](auto& e) { e[0].bytes += "Hintergrundbild aktiviert: \r\n"; }},
        {"Mond/bilder/ziel.bmp: Bitmap ist ungültig", [](auto& e) { e[1].bytes = "Ich bin ein Bild."; }},
        {"Die Datei Mond/sound/au2.wav ist keine gültige WAV-Datei", [](auto& e) { e[2].bytes.resize(30); }},
        {"nennt \"/etc/passwd\" außerhalb", [](auto& e) { e[0].bytes += "Siegsound: /etc/passwd\r\n"; }},
        {"nennt \"Mond/sound/fehlt.wav\", das nicht im Paket liegt",
         [](auto& e) { e[0].bytes += "Siegsound: Mond/sound/fehlt.wav\r\n"; }},
        {"\"Mond/bilder/extra.bmp\" verwendet das Szenario nicht", [](auto& e) { e.push_back({"Mond/bilder/extra.bmp", "BM"}); }},
        {"hat einen Namen, der länger als 255 Bytes ist",
         [](auto& e) { addNamedSound(e, {"Mond/sound/" + std::string(252, 'l') + ".wav", e[2].bytes}); }},
        {"Die Datei Mond/hilfe.txt ist größer als 1 MiB", [](auto& e) { e.push_back({"Mond/hilfe.txt", "", 2 << 20}); }},
        {"Mond/sound/null.wav ist keine gültige WAV-Datei",
         [](auto& e) { addNamedSound(e, {"Mond/sound/null.wav", "", 200'000'000}); }},
        // A long sound is checked by its header and counted as claimed; the unpacking finds out.
        {ZipReader::kBeschaedigt,
         [](auto& e) { addNamedSound(e, {"Mond/sound/lang.wav", longWav()}); },
         [](std::string& archive) { claimMore(archive, "Mond/sound/lang.wav", 1000); }},
    };
    const auto inElsewhere = [&] {
        std::vector<fs::path> names;
        for (const auto& entry : fs::recursive_directory_iterator(elsewhere.path()))
            names.push_back(entry.path());
        return names;
    };
    for (const Hostile& h : hostile) {
        std::vector<Entry> entries = honest();
        if (h.change)
            h.change(entries);
        const fs::path path = package(entries);
        if (!h.change)
            fs::resize_file(path, fs::file_size(path) / 2);
        if (h.lie) {
            std::string archive = fileOf(path);
            h.lie(archive);
            std::ofstream(path, std::ios::binary | std::ios::trunc) << archive;
        }
        const auto programFolder = files();
        const auto beside = inElsewhere();
        boxes.errors.clear();
        import(path);
        EXPECT_EQ(finished, false);
        ASSERT_EQ(boxes.errors.size(), 1u) << h.reason;
        EXPECT_TRUE(boxes.errors[0].starts_with("Das Paket \"" + path.string() + "\" kann nicht importiert werden: "));
        EXPECT_NE(boxes.errors[0].find(h.reason), std::string::npos) << boxes.errors[0];
        EXPECT_EQ(files(), programFolder) << h.reason;
        EXPECT_EQ(inElsewhere(), beside) << h.reason;
        EXPECT_FALSE(somethingEscaped()) << h.reason;
        EXPECT_TRUE(thumbnail(path).isNull()) << h.reason;
    }
    boxes.errors.clear();
    import("/dev/zero");
    EXPECT_EQ(boxes.errors, std::vector<std::string>{"Das Paket \"/dev/zero\" kann nicht importiert werden: "
                                                     "Datei /dev/zero kann nicht geöffnet werden"});
    EXPECT_TRUE(thumbnail("/dev/zero").isNull());
}

TEST_F(Packages, aFileManagerShowsAnExportedPackageAsItsFieldAtTheSizeAsked)
{
    startWithMond();
    // Target and Figure framed in magenta, which their bottom left pixel makes transparent.
    const auto bitmap = [&](const std::string& name, QSize size, QColor inside, QColor frame) {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(frame);
        QPainter(&picture).fillRect(QRect(QPoint(size.width() / 4, size.height() / 4), size / 2), inside);
        picture.save(QString::fromStdString((folder / name).string()), "BMP");
        return (folder / name).string();
    };
    ScenarioSettings& s = store().settings;
    s.hintergrundbild = bitmap("blau.bmp", QSize(400, 300), Qt::blue, Qt::blue);
    s.zielBild = bitmap("rot.bmp", QSize(100, 100), Qt::red, Qt::magenta);
    s.abschussBild = bitmap("gruen.bmp", QSize(60, 60), Qt::green, Qt::magenta);
    s.hintergrundbildAktiviert = s.zielTransparent = s.abschussTransparent = "";
    s.siegsound = s.explosionssound = s.schussstartsound = (folder / "Standard/sound/sieg.wav").string();
    editor().show();
    editor().storeAndReload("Mond");
    boxes.fileAnswers.push_back((elsewhere / "Mond.blitzfang").string());
    click(editor().ExportierenButton);
    ASSERT_TRUE(boxes.errors.empty()) << testing::PrintToString(boxes.errors);

    const QImage picture = thumbnail(elsewhere / "Mond.blitzfang", 200);
    ASSERT_EQ(picture.size(), QSize(200, 150));
    // The field halved: the Target's corner at 280,150 of the field, the Figure a third of the way.
    EXPECT_EQ(picture.pixelColor(3, 146), QColor(Qt::blue));
    EXPECT_EQ(picture.pixelColor(165, 100), QColor(Qt::red));
    EXPECT_EQ(picture.pixelColor(142, 77), QColor(Qt::blue)) << "the Target's frame is transparent";
    EXPECT_EQ(picture.pixelColor(61, 40), QColor(Qt::green));
}

TEST_F(Packages, aFileManagerGetsNoPictureOfWhatTheGameWouldRefuseAndNeverWaitsForOne)
{
    // The fuzz seeds: a picture for exactly those the import accepts (with the build's media, as
    // the thumbnailer beside them).
    const ConfinedFolder withBuildsMedia(buildDir());
    for (const auto& seed : fs::directory_iterator(sourceDir() / "fuzz/corpus/package")) {
        const bool accepted =
            fixtures::errorOf([&] { checkPackage(withBuildsMedia, seed.path(), packageMediaChecks()); }) == "(no error)";
        EXPECT_EQ(thumbnail(seed.path()).size(), accepted ? QSize(128, 96) : QSize(0, 0)) << seed.path();
    }
    // A background that claims 64016 x 15119 pixels, and a FIFO that no one writes into.
    std::vector<Entry> entries = honest();
    entries[0].bytes += "Hintergrundbild: Mond/bilder/h.jpg\r\n";
    entries.push_back({"Mond/bilder/h.jpg", fileOf(sourceDir() / "fuzz/corpus/picture/progressive-claims-64016x15119.jpg")});
    EXPECT_TRUE(thumbnail(package(entries)).isNull());
    const fs::path fifo = elsewhere / "Warten.blitzfang";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(thumbnail(fifo).isNull());
}

TEST_F(Packages, unnamedOrCostlyPicturesAreRefusedBeforeDecodingAndACheckStopsAtOnce)
{
    start();
    // 200 MB of zeros are inflated within a few megabytes.
    std::vector<Entry> zeros = honest();
    addNamedSound(zeros, {"Mond/sound/null.wav", "", 200'000'000});
    const fs::path path = package(zeros);
    EXPECT_LT(memoryGrowthMiB([&] { checkPackage(store().folder(), path.string(), packageMediaChecks()); }), 16);

    // 40 pictures of 8K with 100 scans (seconds each to decode) that the scenario does not name.
    std::vector<Entry> unnamed = honest();
    const std::string bomb = fixtures::greyProgressiveJpeg(90);
    ASSERT_EQ(outlineJpeg(bomb).scans, 100);
    for (int n = 1; n <= 40; ++n)
        unnamed.push_back({"Mond/bilder/bombe" + std::to_string(n) + ".jpg", bomb});
    MediaChecks counting = packageMediaChecks();
    int decoded = 0;
    counting.picture = [&](std::string_view bytes, const std::string& entry, int side) {
        ++decoded;
        return packageMediaChecks().picture(bytes, entry, side);
    };
    const std::string refusal = fixtures::errorOf([&] { checkPackage(store().folder(), package(unnamed).string(), counting); });
    EXPECT_NE(refusal.find("\"Mond/bilder/bombe1.jpg\" verwendet das Szenario nicht"), std::string::npos) << refusal;
    EXPECT_EQ(decoded, 0);

    // Named, the same picture is refused by its cost before it is decoded.
    std::vector<Entry> named = honest();
    named[0].bytes += "Hintergrundbild aktiviert: \r\nHintergrundbild: Mond/bilder/bombe.jpg\r\n";
    named.push_back({"Mond/bilder/bombe.jpg", bomb});
    import(package(named));
    ASSERT_EQ(boxes.errors.size(), 1u);
    EXPECT_NE(boxes.errors[0].find("Mond/bilder/bombe.jpg macht zu viel Arbeit beim Entpacken"), std::string::npos)
        << boxes.errors[0];

    // Pictures at the bound take about a second each: "&Abbrechen" stops the check at once.
    const std::uint64_t plain = outlineJpeg(fixtures::greyProgressiveJpeg(0)).work();
    const std::string costly = fixtures::greyProgressiveJpeg(int((kMostJpegWork - plain) / 518400) - 1);
    named.back().bytes = costly;
    for (const char* slot : {"Ziel", "Abschuss", "Schuss", "Abschuss2"}) {
        named[0].bytes += std::string(slot) + ": Mond/bilder/" + slot + ".jpg\r\n";
        named.push_back({"Mond/bilder/" + std::string(slot) + ".jpg", costly});
    }
    named.erase(named.begin() + 1); // ziel.bmp, named no more
    finished.reset();
    importPackage(*windows, mainForm(), package(named).string(), [this](bool imported) { finished = imported; });
    ImportWindow& window = *mainForm().findChildren<ImportWindow*>().constLast();
    QTest::qWait(300);
    click(window.abbrechenButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return finished.has_value(); }, 1500)) << "the check went on";
    EXPECT_EQ(boxes.errors.size(), 1u);
    EXPECT_FALSE(fs::exists(folder / "Mond.cfg"));
}

TEST_F(Packages, anExistingNameShowsWhatIsAtStakeAndOnlyReplacingMovesItIntoTheTrash)
{
    writeScenario("mond", "Alt", "Siegsound: " + folder.path().string() + "/mond/sound/alt.wav\r\n", kMondHighscore);
    folder.write("mond/sound/alt.wav", folder.read("Standard/sound/au1.wav"));
    writeSetup("mond");
    start();
    mainForm().show();
    const fs::path path = package(honest());
    const auto before = files();

    ImportWindow& window = openImport(path);
    EXPECT_EQ(window.vorhandenLabel->text().toStdString(),
              "Es gibt schon ein Szenario \"mond\" (\"Alt\") mit 10 belegten Plätzen in seiner Bestenliste. \"Ersetzen\" "
              "legt es in den Papierkorb, aus dem es sich wiederherstellen lässt.");
    EXPECT_TRUE(window.ersetzenButton->isVisible() && window.alsNeuesButton->isVisible());
    EXPECT_FALSE(window.importierenButton->isVisible() || window.ersetzenButton->isDefault());
    EXPECT_TRUE(window.abbrechenButton->isDefault());
    QTest::keyClick(&window, Qt::Key_Return);
    ASSERT_TRUE(finished.has_value());
    EXPECT_EQ(files(), before);

    // "Als neues Szenario…" asks a name under the save-as window's rules.
    ImportWindow& asNew = openImport(path);
    click(asNew.alsNeuesButton);
    EXPECT_EQ(asNew.nameEdit->text(), QStringLiteral("mond 2"));
    for (const char* taken : {"MOND", "Standard", ""}) {
        asNew.nameEdit->setText(QString::fromUtf8(taken));
        click(asNew.importierenButton);
    }
    EXPECT_EQ(boxes.notices, (std::vector<std::string>{
                                 "Ein Szenario \"MOND\" gibt es schon. Bitte wählen Sie einen anderen Namen.",
                                 "Ein Szenario \"Standard\" gibt es schon. Bitte wählen Sie einen anderen Namen.",
                                 "Der Name des Szenarios darf nicht leer sein."}));
    asNew.nameEdit->setText(QStringLiteral("Mond zwei"));
    clickAndWait(asNew.importierenButton);
    EXPECT_EQ(store().settings.zielBild, folder.path().string() + "/Mond zwei/bilder/ziel.bmp");
    EXPECT_EQ(store().settings.verlorensound, folder.path().string() + "/Mond zwei/sound/au2.wav");
    EXPECT_EQ(folder.read("mond/sound/alt.wav"), folder.read("Standard/sound/au1.wav"));

    // "&Ersetzen": the old scenario, file and folder, into the trash of the player's home.
    ImportWindow& replace = openImport(path);
    clickAndWait(replace.ersetzenButton);
    EXPECT_EQ(finished, true);
    EXPECT_FALSE(fs::exists(folder / "mond/sound/alt.wav") || fs::exists(folder / "Mond"));
    EXPECT_EQ(folder.read("mond/sound/au2.wav"), folder.read("Standard/sound/au2.wav"));
    EXPECT_EQ(fileOf(home / "daten/Trash/files/mond/sound/alt.wav"), folder.read("Standard/sound/au1.wav"));
    EXPECT_NE(fileOf(home / "daten/Trash/files/mond.cfg").find("Titel: Alt"), std::string::npos);
    EXPECT_NE(fileOf(home / "daten/Trash/info/mond.cfg.trashinfo").find("Path=" + folder.path().string() + "/mond.cfg"),
              std::string::npos);
    EXPECT_EQ(store().settings.titel, "Ferne");
    EXPECT_EQ(listed(), (std::vector<std::string>{"mond", "Mond zwei", "Standard"}));

    // Where no trash can take it, the window says so before "&Ersetzen" deletes it.
    Trash& trash = desktopTrash();
    const Trash real = trash;
    trash.canTake = [](const std::string&) { return false; };
    ImportWindow& lost = openImport(package(honest("Neuer")));
    EXPECT_TRUE(lost.vorhandenLabel->text().endsWith(
        QStringLiteral("Der Papierkorb kann es nicht aufnehmen: \"Ersetzen\" löscht es endgültig.")));
    clickAndWait(lost.ersetzenButton);
    trash = real;
    EXPECT_EQ(store().settings.titel, "Neuer");
    EXPECT_TRUE(boxes.errors.empty()) << testing::PrintToString(boxes.errors);
}

TEST_F(Packages, aFullDiskOrACrashAtAnyStepLeavesTheOldOrTheNewScenarioWhole)
{
    writeScenario("mond", "Alt", "Siegsound: " + folder.path().string() + "/mond/sound/alt.wav\r\n");
    folder.write("mond/sound/alt.wav", folder.read("Standard/sound/au1.wav"));
    writeSetup("mond");
    start();
    std::vector<Entry> entries = honest();
    addNamedSound(entries, {"Mond/sound/lang.wav", folder.read("Standard/sound/verloren.wav")});
    const fs::path path = package(entries);
    const auto before = files();
    // Beyond a file-size limit a write fails as on a full disk.
    ImportWindow& window = openImport(path);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small{50'000, limit.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    clickAndWait(window.ersetzenButton);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previous);
    ASSERT_EQ(boxes.errors.size(), 1u);
    EXPECT_NE(boxes.errors[0].find("Die Datei wird größer, als es hier erlaubt ist (E/A-Fehler 27)."), std::string::npos)
        << boxes.errors[0];
    EXPECT_EQ(files(), before);

    // A child ends abruptly at each step of a replacing import; the next start finds the old
    // scenario or the new one whole, and no temporary folder.
    const CheckedPackage checked = checkPackage(store().folder(), path.string(), packageMediaChecks());
    const ImportTarget target{"mond.cfg", "mond", true};
    // Steps: 0 to 2 the files unpacked, 3 before the trash takes the old folder, 4 after it, 6
    // after it took the old scenario file.
    for (const int crashAt : {0, 3, 4, 6}) {
        const pid_t child = fork();
        if (child == 0) {
            int step = 0;
            const auto crash = [&] {
                if (step++ == crashAt)
                    _exit(0);
            };
            const Trash trash{nullptr, [&](const std::string& place) {
                                  crash();
                                  return QFile::moveToTrash(QString::fromStdString(place)) && (crash(), true);
                              }};
            unpackPackage(store().folder(), checked, target, store().settings, trash, [&](double) { crash(); });
            _exit(1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        windows.reset();
        start();
        const bool old = store().settings.titel == "Alt";
        EXPECT_TRUE(old || store().settings.titel == "Ferne") << crashAt;
        EXPECT_EQ(fs::exists(folder / "mond/sound/alt.wav"), old) << crashAt;
        EXPECT_EQ(fs::exists(folder / "mond/sound/lang.wav"), !old) << crashAt;
        for (const auto& entry : fs::directory_iterator(folder.path()))
            EXPECT_FALSE(entry.path().filename().string().starts_with(".blitzfang-")) << entry.path();
        if (!old) { // the old one back, for the next crash
            fs::remove_all(folder / "mond");
            fs::rename(home / "daten/Trash/files/mond", folder / "mond");
            fs::rename(home / "daten/Trash/files/mond.cfg", folder / "mond.cfg");
            fs::remove_all(home / "daten/Trash");
        }
    }
}

TEST_F(Packages, aDropOnTheMenuAndTheLoadWindowsButtonOpenTheImportWindow)
{
    start();
    mainForm().show();
    QMimeData dropped;
    dropped.setUrls({QUrl::fromLocalFile(QString::fromStdString(package(honest("Gezogen")).string()))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&mainForm(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&mainForm(), &drop);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !mainForm().findChildren<ImportWindow*>().isEmpty(); }, 2000));
    ImportWindow& window = *mainForm().findChildren<ImportWindow*>().constLast();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.importierenButton->isVisible(); }, 5000));
    click(window.importierenButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return mainForm().Label2->text() == QStringLiteral("Gezogen"); }, 5000))
        << testing::PrintToString(boxes.errors);

    fs::rename(elsewhere.path() / "Paket.blitzfang", elsewhere.path() / "Erstes.blitzfang");
    const fs::path second = package(honest("Geladen"));
    TLadenForm& load = openLoad();
    boxes.fileAnswers.push_back(second.string());
    click(load.importierenButton);
    EXPECT_EQ(boxes.fileFilters.back(), "Blitzfang-Szenarien (*.blitzfang)|*.blitzfang");
    ImportWindow& fromLoad = *load.findChildren<ImportWindow*>().constLast();
    EXPECT_TRUE(QTest::qWaitFor([&] { return fromLoad.ersetzenButton->isVisible(); }, 5000));
    finished.reset();
    click(fromLoad.ersetzenButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !load.isVisible(); }, 5000));
    EXPECT_TRUE(editor().isVisible());
    EXPECT_EQ(editor().SpielnameEdit->text(), QStringLiteral("Geladen"));
    EXPECT_TRUE(boxes.errors.empty()) << testing::PrintToString(boxes.errors);
}

} // namespace
