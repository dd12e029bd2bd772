// A scenario travels as one file: exported in one program folder it arrives whole in another;
// a stranger's package is refused with one box before anything is written; an existing scenario
// is replaced only when the player says so; a crash or a full disk leaves the folder as it was.

#include "dialogs/LadenUnit2.h"
#include "game/ScenarioPackages.h"
#include "media/PackageChecks.h"
#include "package/CheckedPackage.h"
#include "package/PackageExport.h"
#include "package/ZipArchive.h"
#include "platform/QtErrorReport.h"
#include "storage/ScenarioStore.h"
#include "tests/dialogs/ScenarioDialogFixture.h"
#include "tests/storage/StorageTestSupport.h"

#include <archive.h>
#include <archive_entry.h>

#include <QDropEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QUrl>

#include <csignal>
#include <set>
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

// A ZIP archive as any tool might write it, deflated.
void craft(const fs::path& zip, const std::vector<Entry>& entries)
{
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_open_filename(a, zip.c_str());
    for (const Entry& entry : entries) {
        archive_entry* header = archive_entry_new();
        archive_entry_set_pathname(header, entry.name.c_str());
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
                                   "Hintergrundfarbe: 0", "Hintergrundbild aktiviert: false",
                                   "Schuss: Mond/bilder/ziel.bmp", "Abschuss2: Mond/bilder/ziel.bmp",
                                   "Ziel: /anderswo/Mond/bilder/ziel.bmp", "Abschuss: Mond/Bilder/ziel.bmp",
                                   "Sounddateianzahl: 1", "Sounds: C:\\Spiele\\Standard\\sound\\au1.wav",
                                   "Verlorensound: Mond/sound/au2.wav"})},
                {"Mond/bilder/ziel.bmp", bilder},
                {"Mond/sound/au2.wav", folder.read("Standard/sound/au2.wav")}};
    }

    fs::path package(const std::vector<Entry>& entries)
    {
        const fs::path path = elsewhere.path() / "Paket.blitzfang";
        craft(path, entries);
        return path;
    }

    // Imports as the menu does: one action, its one box.
    void import(const fs::path& path)
    {
        runAsOneAction([&] { importPackage(*windows, path.string()); });
    }

    // What the build's thumbnailer, run as a file manager runs it, leaves in an empty folder.
    struct Thumbnail {
        QImage picture;         // null when none was written
        bool nothingElse;       // no other file either
        qint64 milliseconds;
    };
    Thumbnail thumbnail(const fs::path& package, int size = 128) const
    {
        const TempFolder out;
        const fs::path png = out / "bild.png";
        QElapsedTimer clock;
        clock.start();
        QProcess thumbnailer;
        thumbnailer.start(QString::fromStdString((buildDir() / "blitzfang-thumbnailer").string()),
                          {QString::fromStdString(package.string()), QString::fromStdString(png.string()),
                           QString::number(size)});
        thumbnailer.waitForFinished(20'000);
        const qint64 milliseconds = clock.elapsed();
        QImage picture(QString::fromStdString(png.string()));
        const auto written = std::distance(fs::directory_iterator(out.path()), fs::directory_iterator());
        return {picture, written == (picture.isNull() ? 0 : 1), milliseconds};
    }

    // A refused package gets no thumbnail, and quickly.
    static std::string refusedQuickly(const Thumbnail& t)
    {
        if (!t.picture.isNull() || !t.nothingElse)
            return "the thumbnailer wrote something";
        return t.milliseconds < 1000 ? "" : "the thumbnailer took " + std::to_string(t.milliseconds) + " ms";
    }

    TempFolder elsewhere;
};

TEST_F(Packages, exportedScenarioArrivesByteForByteInAnotherProgramFolderAndPlays)
{
    startWithOwnMond();
    boxes.fileAnswers.push_back((elsewhere.path() / "Mond.blitzfang").string());
    click(editor().ExportierenButton);
    EXPECT_EQ(boxes.suggestedNames, std::vector<std::string>{"Mond.blitzfang"});
    EXPECT_EQ(boxes.fileStartFolders.back(), QDir::homePath().toStdString());
    EXPECT_TRUE(editor().isVisible());
    windows.reset();

    TempFolder other;
    other.copyStandardMedia();
    WindowSet receiving(other.path());
    runAsOneAction([&] { importPackage(receiving, (elsewhere.path() / "Mond.blitzfang").string()); });
    for (const auto& entry : fs::recursive_directory_iterator(folder.path() / "Mond")) {
        if (entry.is_regular_file()) {
            EXPECT_EQ(fileOf(other.path() / fs::relative(entry.path(), folder.path())), fileOf(entry.path()))
                << entry.path();
        }
    }
    const ScenarioSettings& s = receiving.store.settings;
    for (const std::string& path : {s.zielBild, s.abschussBild, s.hintergrundbild, s.sounds.at(0), s.verlorensound})
        EXPECT_TRUE(path.starts_with(other.path().string() + "/Mond/")) << path;
    EXPECT_EQ(receiving.store.setup.spielstart, "Mond");
    EXPECT_NE(other.read("Mond.cfg").find("Highscore: " + kMondHighscore), std::string::npos);
    EXPECT_EQ(receiving.MainForm->Label2->text(), QStringLiteral("Mondlandung"));
    receiving.MainForm->spielstarten();
    receiving.MainForm->hauptmenue();
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

TEST_F(Packages, anExportStoppedByAnyErrorLeavesNothingBesideItsTarget)
{
    startWithOwnMond();
    MediaChecks failing = packageMediaChecks();
    failing.picture = [](std::string_view, const std::string&) { throw std::bad_alloc(); };
    const std::string target = (elsewhere.path() / "Mond.blitzfang").string();
    EXPECT_THROW(writePackage(store().folder(), planPackage(store().folder(), "Mond"), target, failing), std::bad_alloc);
    EXPECT_TRUE(fs::is_empty(elsewhere.path()));
}

TEST_F(Packages, aPackageHandedOverDuringAGameWaitsForTheMenu)
{
    start();
    mainForm().show();
    mainForm().spielstarten();
    mainForm().packageInbox->add(package(honest("Später")).string());
    QTest::qWait(400);
    EXPECT_EQ(store().setup.spielstart, "Standard");
    mainForm().hauptmenue();
    EXPECT_TRUE(QTest::qWaitFor([&] { return store().setup.spielstart == "Mond"; }, 2000));
    EXPECT_EQ(mainForm().Label2->text(), QStringLiteral("Später"));
}

TEST_F(Packages, theStandardScenarioIsNeverExported)
{
    start();
    editor().show();
    click(editor().ExportierenButton);
    EXPECT_EQ(boxes.notices, std::vector<std::string>{"Das Szenario \"Standard\" kann nicht exportiert werden: Das "
                                                      "Szenario \"Standard\" kommt mit jedem Blitzfang und wird weder "
                                                      "exportiert noch ersetzt."});
    EXPECT_TRUE(boxes.suggestedNames.empty());
}

TEST_F(Packages, aHandMadePackageTakesItsFilesAndTheShippedStandardSound)
{
    start();
    import(package(honest()));
    const ScenarioSettings& s = store().settings;
    EXPECT_EQ(s.zielBild, folder.path().string() + "/Mond/bilder/ziel.bmp");
    EXPECT_EQ(s.abschussBild, s.zielBild);
    EXPECT_EQ(s.sounds.at(0), folder.path().string() + "/Standard/sound/au1.wav");
    EXPECT_EQ(s.titel, "Ferne");
    EXPECT_TRUE(boxes.errors.empty()) << testing::PrintToString(boxes.errors);
}

struct Hostile {
    std::string reason;
    std::function<void(std::vector<Entry>&)> change; // none: the archive is cut in half
};

void renameScenario(std::vector<Entry>& entries, const std::string& name)
{
    for (Entry& entry : entries)
        entry.name.replace(0, 4, name);
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
        {"kein vollständiges ZIP-Archiv", nullptr},
        {"fehlen Angaben", [](auto& e) { e[0].bytes.replace(0, 12, "Titel: "); }},
        {"Mond/bilder/ziel.bmp: Bitmap ist ungültig", [](auto& e) { e[1].bytes = "Ich bin ein Bild."; }},
        {"Die Datei Mond/sound/au2.wav ist keine gültige WAV-Datei", [](auto& e) { e[2].bytes.resize(30); }},
        {"nennt \"/etc/passwd\" außerhalb", [](auto& e) { e[0].bytes += "Siegsound: /etc/passwd\r\n"; }},
        {"nennt \"Mond/sound/fehlt.wav\", das nicht im Paket liegt",
         [](auto& e) { e[0].bytes += "Siegsound: Mond/sound/fehlt.wav\r\n"; }},
        {"Die Datei Mond/hilfe.txt ist größer als 1 MiB", [](auto& e) { e.push_back({"Mond/hilfe.txt", "", 2 << 20}); }},
        {"Mond/sound/null.wav ist keine gültige WAV-Datei",
         [](auto& e) { e.push_back({"Mond/sound/null.wav", "", 200'000'000}); }},
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
        const auto programFolder = files();
        const auto beside = inElsewhere();
        boxes.errors.clear();
        import(path);
        ASSERT_EQ(boxes.errors.size(), 1u) << h.reason;
        EXPECT_TRUE(boxes.errors[0].starts_with("Das Paket \"" + path.string() + "\" kann nicht importiert werden: "));
        EXPECT_NE(boxes.errors[0].find(h.reason), std::string::npos) << boxes.errors[0];
        EXPECT_EQ(files(), programFolder) << h.reason;
        EXPECT_EQ(inElsewhere(), beside) << h.reason;
        EXPECT_FALSE(somethingEscaped()) << h.reason;
        EXPECT_EQ(refusedQuickly(thumbnail(path)), "") << h.reason;
    }
    boxes.errors.clear();
    import("/dev/zero");
    EXPECT_EQ(boxes.errors, std::vector<std::string>{"Das Paket \"/dev/zero\" kann nicht importiert werden: "
                                                     "Datei /dev/zero kann nicht geöffnet werden"});
    EXPECT_EQ(refusedQuickly(thumbnail("/dev/zero")), "");
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
    editor().show();
    editor().storeAndReload("Mond");
    boxes.fileAnswers.push_back((elsewhere / "Mond.blitzfang").string());
    click(editor().ExportierenButton);
    ASSERT_TRUE(boxes.errors.empty()) << testing::PrintToString(boxes.errors);

    const QImage picture = thumbnail(elsewhere / "Mond.blitzfang", 200).picture;
    ASSERT_EQ(picture.size(), QSize(200, 150));
    // The field at half its size: the Target's corner at 280,150 of the field, the Figure a third
    // of the way there.
    EXPECT_EQ(picture.pixelColor(3, 146), QColor(Qt::blue));
    EXPECT_EQ(picture.pixelColor(165, 100), QColor(Qt::red));
    EXPECT_EQ(picture.pixelColor(142, 77), QColor(Qt::blue)) << "the Target's frame is transparent";
    EXPECT_EQ(picture.pixelColor(61, 40), QColor(Qt::green));
}

TEST_F(Packages, aFileManagerGetsNoPictureOfWhatTheGameWouldRefuseAndNeverWaitsForOne)
{
    const fs::path seeds = sourceDir() / "fuzz/corpus/package";
    const std::set<std::string> honestSeeds = {"honest.blitzfang", "pictures.blitzfang", "stored.blitzfang"};
    for (const auto& seed : fs::directory_iterator(seeds)) {
        const Thumbnail t = thumbnail(seed.path());
        if (honestSeeds.contains(seed.path().filename()))
            EXPECT_EQ(t.picture.size(), QSize(128, 96)) << seed.path();
        else
            EXPECT_EQ(refusedQuickly(t), "") << seed.path();
    }
    // A background that claims 64016 x 15119 pixels, one whose scans repeat without end, and a
    // FIFO that no one writes into.
    for (const std::string background : {"progressive-claims-64016x15119.jpg", "progressive-scan-repeated-150-times.jpg"}) {
        std::vector<Entry> entries = honest();
        entries[0].bytes += "Hintergrundbild: Mond/bilder/h.jpg\r\n";
        entries.push_back({"Mond/bilder/h.jpg", fileOf(sourceDir() / "fuzz/corpus/picture" / background)});
        EXPECT_EQ(refusedQuickly(thumbnail(package(entries))), "") << background;
    }
    const fs::path fifo = elsewhere / "Warten.blitzfang";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(refusedQuickly(thumbnail(fifo)), "");
}

TEST_F(Packages, twoHundredMegabytesOfZerosAreRefusedWithinAFewMegabytes)
{
    start();
    std::vector<Entry> entries = honest();
    entries.push_back({"Mond/sound/null.wav", "", 200'000'000});
    const fs::path path = package(entries);
    EXPECT_LT(memoryGrowthMiB([&] { checkPackage(store().folder(), path.string(), packageMediaChecks()); }), 16);
}

TEST_F(Packages, anExistingNameInAnyCaseIsReplacedOnlyAfterJa)
{
    writeScenario("mond", "Alt", "Siegsound: " + folder.path().string() + "/mond/sound/alt.wav\r\n");
    folder.write("mond/sound/alt.wav", folder.read("Standard/sound/au1.wav"));
    writeSetup("mond");
    start();
    const fs::path path = package(honest());
    const auto before = files();
    import(path);
    EXPECT_EQ(boxes.warnings, std::vector<std::string>{"Dieses Szenario existiert schon. Soll es überschrieben werden?"});
    EXPECT_EQ(boxes.warningDefaults.back(), DefaultAnswer::nein);
    EXPECT_EQ(files(), before);

    boxes.warningAnswers.push_back(true);
    import(path);
    EXPECT_FALSE(fs::exists(folder / "mond/sound/alt.wav") || fs::exists(folder / "Mond"));
    EXPECT_EQ(folder.read("mond/sound/au2.wav"), folder.read("Standard/sound/au2.wav"));
    EXPECT_EQ(store().settings.titel, "Ferne");
    EXPECT_EQ(listed(), (std::vector<std::string>{"mond", "Standard"}));
    EXPECT_TRUE(boxes.errors.empty()) << testing::PrintToString(boxes.errors);
}

TEST_F(Packages, aFullDiskMidWayLeavesTheFolderAsItWasAndACrashLeavesNothingAfterTheNextStart)
{
    start();
    std::vector<Entry> entries = honest();
    entries.push_back({"Mond/sound/lang.wav", folder.read("Standard/sound/verloren.wav")});
    const fs::path path = package(entries);
    const auto before = files();
    // Beyond a file-size limit a write fails as on a full disk.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small{50'000, limit.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    import(path);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previous);
    ASSERT_EQ(boxes.errors.size(), 1u);
    EXPECT_NE(boxes.errors[0].find("E/A-Fehler 27"), std::string::npos) << boxes.errors[0];
    EXPECT_EQ(files(), before);

    windows.reset();
    folder.write(".blitzfang-import-Ab12Cd/sound/au1.wav", "RIFF");
    folder.write(".blitzfang-import-Ab12Cd/bilder/x/y.bmp", "BM");
    start();
    EXPECT_FALSE(fs::exists(folder / ".blitzfang-import-Ab12Cd"));
}

TEST_F(Packages, aDropOnTheMenuAndTheLoadWindowsButtonImportAsTheCommandLineDoes)
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
    EXPECT_TRUE(QTest::qWaitFor([&] { return mainForm().Label2->text() == QStringLiteral("Gezogen"); }, 2000))
        << mainForm().Label2->text().toStdString() << testing::PrintToString(boxes.errors);
    EXPECT_EQ(store().setup.spielstart, "Mond");

    fs::rename(elsewhere.path() / "Paket.blitzfang", elsewhere.path() / "Erstes.blitzfang");
    const fs::path second = package(honest("Geladen"));
    TLadenForm& load = openLoad();
    boxes.warningAnswers.push_back(true);
    boxes.fileAnswers.push_back(second.string());
    click(load.importierenButton);
    EXPECT_EQ(boxes.fileFilters.back(), "Blitzfang-Szenarien (*.blitzfang)|*.blitzfang");
    EXPECT_FALSE(load.isVisible());
    EXPECT_TRUE(editor().isVisible());
    EXPECT_EQ(editor().SpielnameEdit->text(), QStringLiteral("Geladen"));
    EXPECT_TRUE(boxes.errors.empty()) << testing::PrintToString(boxes.errors);
}

} // namespace
