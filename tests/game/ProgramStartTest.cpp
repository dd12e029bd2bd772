// Program start: the seven windows, start-up loading as the menu screen shows it, the central
// error handler, and the ways the program ends.

#include "dialogs/HilfeUnit2.h"
#include "editor/Unit1.h"
#include "game/BlitzfangApplication.h"
#include "game/ProgramFolderChoice.h"
#include "game/ProgramHandOver.h"
#include "platform/BlitzfangError.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/ProgramFixture.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <filesystem>
#include <functional>
#include <optional>

#include <sys/stat.h>

namespace {

const std::string kSetupDamaged =
    "Die Setup-Datei ist fehlerhaft. Alle Einstellungen werden auf Standart zurückgesetzt.";
const std::string kScenarioDamaged =
    "Die Szenario-Datei ist fehlerhaft. Alle Einstellungen werden auf Standart zurückgesetzt.";

using ProgramStart = ProgramTest;

TEST_F(ProgramStart, createsTheSevenWindowsAndShowsNone)
{
    WindowSet& set = start();
    for (FormWindow* window : set.all()) {
        ASSERT_NE(window, nullptr);
        EXPECT_FALSE(window->isVisible()) << window->objectName().toStdString();
    }
}

namespace {

QWidget* topLevel(const char* name)
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String(name))
            return window;
    return nullptr;
}

// What the program has done at one moment of its start.
struct StartState {
    bool sideWindows = false;
    bool icon = false;
    bool handOver = false;
    bool standardUpdated = false;
    bool fieldFonts = false;
};

} // namespace

// The menu's first frame waits for nothing it does not need; right after it come the player's
// standard media brought up to date, the hand-over for later starts, the window icon in every
// size, the game field's fonts and the side windows. A standard file that cannot be updated is
// named in a box, and the start goes on.
TEST(ProgramStartOrder, theMenuIsSeenBeforeTheStandardUpdateTheHandOverTheIconAndTheSideWindows)
{
    TempFolder shipped, player;
    shipped.copyStandardMedia();
    shipped.write("Standard/bilder/gross.bmp", std::string(3'000'000, 'B')); // beyond the limit below
    std::string box;
    std::filesystem::create_directories(player / "Standard"); // an earlier start's copy, now incomplete
    const ProgramFolderChoice choice{player.path(), shipped / "Standard"};
    const auto now = [&] {
        QWidget* menu = topLevel("MainForm");
        const QList<QSize> sizes = menu ? menu->windowIcon().availableSizes() : QList<QSize>();
        const QWidget* target = menu ? menu->findChild<QWidget*>(QStringLiteral("ZielLabel")) : nullptr;
        return StartState{topLevel("EditorForm") != nullptr,
                          sizes.contains(QSize(16, 16)) && sizes.contains(QSize(256, 256)),
                          QFileInfo::exists(handOverName(player.path())),
                          std::filesystem::exists(player / "Standard" / "bilder" / "ziel.bmp"),
                          target && target->font().bold() && target->font().pixelSize() == 16};
    };

    std::optional<StartState> atFirstPaint, afterIt;
    struct FirstPaint : QObject {
        std::function<void()> seen;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Paint && seen && watched->isWidgetType() &&
                static_cast<QWidget*>(watched)->window()->objectName() == QLatin1String("MainForm"))
                std::exchange(seen, nullptr)();
            return false;
        }
    } firstPaint;
    firstPaint.seen = [&] { atFirstPaint = now(); };
    qApp->installEventFilter(&firstPaint);
    QTimer watch;
    const QDeadlineTimer patience(10000);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box = shown->text().toStdString();
            shown->close();
        } else if (atFirstPaint && (topLevel("EditorForm") || patience.hasExpired())) {
            afterIt = now();
            topLevel("MainForm")->close();
        }
    });
    watch.start(10);
    {
        const FileSizeLimit stopping(2'000'000);
        EXPECT_EQ(startBlitzfang(choice), 0);
    }
    qApp->removeEventFilter(&firstPaint);
    EXPECT_NE(box.find((player / "Standard/bilder/gross.bmp").string() + ": Die Datei wird größer"), std::string::npos)
        << box;

    ASSERT_TRUE(atFirstPaint && afterIt);
    EXPECT_FALSE(atFirstPaint->sideWindows || atFirstPaint->icon || atFirstPaint->handOver ||
                 atFirstPaint->standardUpdated || atFirstPaint->fieldFonts);
    EXPECT_TRUE(afterIt->sideWindows);
    EXPECT_TRUE(afterIt->icon);
    EXPECT_TRUE(afterIt->handOver);
    EXPECT_TRUE(afterIt->standardUpdated);
    EXPECT_TRUE(afterIt->fieldFonts);
    EXPECT_FALSE(QFileInfo::exists(handOverName(player.path()))) << "the hand-over ends with the program";
}

// Sets an environment variable for its lifetime (unsets it for nullptr).
class Environment {
public:
    Environment(const char* name, const char* value) : name_(name), old_(qgetenv(name))
    {
        value ? qputenv(name, value) : qunsetenv(name);
    }
    ~Environment() { old_.isNull() ? qunsetenv(name_) : qputenv(name_, old_); }

private:
    const char* name_;
    QByteArray old_;
};

// Without a runtime folder the socket lies in a folder of the player's alone in the temporary
// folder; a name another user took first is passed over.
TEST(HandOverPlace, isAFolderOfThePlayersAloneAlsoWhenAnotherTookItsNameFirst)
{
    TempFolder temporary, program;
    const Environment noRuntime("XDG_RUNTIME_DIR", nullptr);
    const Environment tmp("TMPDIR", temporary.path().c_str());
    const std::string own = "blitzfang-" + std::to_string(::geteuid());
    std::filesystem::create_directory_symlink(program.path(), temporary / own);
    const std::filesystem::path socket = handOverName(program.path()).toStdString();
    EXPECT_EQ(socket.parent_path(), temporary / (own + "-1"));
    struct stat folder {};
    ASSERT_EQ(::lstat(socket.parent_path().c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
}

TEST_F(ProgramStart, withoutFilesWritesTheStandardFilesSilentlyAndShowsTheStandardScenario)
{
    start();
    EXPECT_TRUE(boxes.notices.empty());
    EXPECT_TRUE(boxes.errors.empty());
    EXPECT_TRUE(std::filesystem::exists(folder / "setup.cfg"));
    EXPECT_TRUE(std::filesystem::exists(folder / "standard.cfg"));
    EXPECT_EQ(mainForm().Label2->text(), "Alien");
    EXPECT_EQ(mainForm().StartSpeedButton1->text(), "Start");
    EXPECT_EQ(mainForm().Panel2->width(), mainForm().Label2->width() + 20);
    EXPECT_EQ(mainForm().spiel.hausenergie, 10);
}

TEST_F(ProgramStart, damagedSetupOrScenarioFileGivesItsMessageOnceAndTheStandardScenario)
{
    struct Damage {
        const char* file;
        const char* text;
        const std::string& message;
    };
    for (const Damage& damage : {Damage{"setup.cfg", "  \r\n\r\n\t\r\n", kSetupDamaged},
                                 Damage{"Mond.cfg", "Zielort: Mond\r\nSpielername: Tester\r\n", kScenarioDamaged}}) {
        windows.reset();
        boxes.notices.clear();
        writeSetup("Mond");
        folder.write(damage.file, damage.text);
        start();
        ASSERT_EQ(boxes.notices.size(), 1u) << damage.file;
        EXPECT_TRUE(boxes.notices[0].ends_with("\n" + damage.message)) << damage.file;
        EXPECT_TRUE(boxes.errors.empty()) << damage.file;
        EXPECT_EQ(mainForm().Label2->text(), "Alien") << damage.file;
        EXPECT_EQ(mainForm().StartSpeedButton1->text(), "Start") << damage.file;
    }
}

TEST_F(ProgramStart, showsTheSetupFilesScenarioWithItsStartCaption)
{
    writeScenario("Mond", "Mondlandung");
    writeSetup("Mond");
    start();
    EXPECT_TRUE(boxes.notices.empty());
    EXPECT_EQ(mainForm().Label2->text(), "Mondlandung");
    // No "&" shown; the mnemonic is Alt+G.
    EXPECT_EQ(mainForm().StartSpeedButton1->text(), "Los &geht's");
    EXPECT_EQ(mainForm().StartSpeedButton1->shortcut(), QKeySequence(QStringLiteral("Alt+G")));
}

TEST_F(ProgramStart, conversionErrorMakesTheScenarioFileDamagedAndTheStandardScenarioStarts)
{
    writeScenario("Mond", "Mondlandung", "Schwierigkeitsgrad: zwei\r\n");
    writeSetup("Mond");
    start();
    EXPECT_TRUE(boxes.errors.empty());
    ASSERT_EQ(boxes.notices.size(), 1u);
    EXPECT_EQ(boxes.notices[0], (folder / "Mond.cfg").string() + ": 'zwei' ist kein gültiger Integerwert\n" +
                                    kScenarioDamaged);
    EXPECT_EQ(mainForm().StartSpeedButton1->text(), "Start");
    EXPECT_EQ(mainForm().Label2->text(), "Alien");
    EXPECT_EQ(mainForm().spiel.hausenergie, 10);
    EXPECT_NE(windows->LadenForm, nullptr);
}

TEST_F(ProgramStart, aFifoInPlaceOfATextFileIsRefusedAtOnceAndTheProgramRuns)
{
    // A hang here shows as the test's timeout: opening a FIFO waits for a writer for ever.
    for (const char* fifo : {"setup.cfg", "Mond.cfg", "Mond/hilfe.txt"}) {
        windows.reset();
        boxes.errors.clear();
        boxes.notices.clear();
        std::filesystem::remove_all(folder.path() / "Mond");
        writeScenario("Mond", "Mondlandung");
        writeSetup("Mond");
        const std::filesystem::path path = folder / fifo;
        std::filesystem::remove(path);
        std::filesystem::create_directories(path.parent_path());
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << fifo;
        start();
        mainForm().show();
        mainForm().EditorSpeedButton->click();
        // A damaged file's notice at the start, or the first line of the editor's one box.
        const std::vector<std::string>& shown = std::string(fifo).ends_with(".cfg") ? boxes.notices : boxes.errors;
        ASSERT_FALSE(shown.empty()) << fifo;
        const std::string& box = shown.front();
        EXPECT_EQ(box.substr(0, box.find('\n')), fehlertext::dateiKannNichtGeoeffnetWerden(path.string()));
        EXPECT_TRUE(editor().isVisible()) << fifo;
        std::filesystem::remove(path);
    }
}

TEST_F(ProgramStart, fillsEmptyHighscoreNamesAndKeepsNamedEntriesEvenWithZeroPoints)
{
    writeScenario("Mond", "Mondlandung", "",
                  "A;50;2;B;0;0;C;9;1;D;8;1;E;7;1;F;6;1;;50;3;H;4;1;I;3;1;J;2;1;");
    writeSetup("Mond");
    start();
    const HighscoreTable& table = windows->store.settings.highscore;
    EXPECT_EQ(table[1].name, "B");
    EXPECT_EQ(table[1].points, 0);
    EXPECT_EQ(table[1].level, 0);
    EXPECT_EQ(table[6].name, "Kolvar-Bauwerk");
    EXPECT_EQ(table[6].points, 1);
    EXPECT_EQ(table[6].level, 1);
}

TEST_F(ProgramStart, sameFolderCanBeStartedTwiceInOneRun)
{
    start();
    windows.reset();
    start();
    EXPECT_EQ(mainForm().Label2->text(), "Alien");
    EXPECT_TRUE(boxes.notices.empty());
}

// ---- The central error handler ----

TEST(CentralErrorHandler, errorOfAHandlerIsShownAndTheWindowStaysUsable)
{
    ScriptedDialogs boxes;
    QPushButton button(QStringLiteral("Test"));
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&clicks] {
        ++clicks;
        throw BlitzfangError(fehlertext::dateiNichtGefunden);
    });
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(boxes.errors, (std::vector<std::string>{"Datei nicht gefunden", "Datei nicht gefunden"}));
    EXPECT_TRUE(button.isVisible());
}

TEST(CentralErrorHandler, fileSystemErrorOfATimerIsShownAsInputOutputError)
{
    ScriptedDialogs boxes;
    QTimer::singleShot(0, [] {
        throw std::filesystem::filesystem_error("copy", std::make_error_code(std::errc::no_such_file_or_directory));
    });
    QTest::qWait(20);
    EXPECT_EQ(boxes.errors, std::vector<std::string>{"E/A-Fehler 2"});
}

// ---- Ending the program ----

using ProgramEnd = ProgramTest;

TEST_F(ProgramEnd, escapeAnywhereOnTheMenuScreenClosesTheMainWindowAndOtherKeysDoNot)
{
    start();
    mainForm().show();
    QTest::keyClick(mainForm().Panel1, Qt::Key_A);
    QTest::keyClick(mainForm().Panel1, Qt::Key_Return);
    EXPECT_TRUE(mainForm().isVisible());
    QTest::keyClick(mainForm().Label6, Qt::Key_Escape);
    EXPECT_FALSE(mainForm().isVisible());
}

TEST_F(ProgramEnd, exitButtonAndContextMenuEndCloseTheMainWindow)
{
    start();
    mainForm().show();
    mainForm().EndeSpeedButton2->click();
    EXPECT_FALSE(mainForm().isVisible());
    mainForm().show();
    mainForm().Ende1->trigger();
    EXPECT_FALSE(mainForm().isVisible());
}

TEST_F(ProgramEnd, onlyClosingTheMainWindowEndsTheProgram)
{
    start();
    for (FormWindow* window : windows->all())
        EXPECT_EQ(window->testAttribute(Qt::WA_QuitOnClose), window == windows->MainForm);
}

} // namespace
