// The yardstick of the start-up benchmark: a bare Qt window of the main window's size; with
// "text", one label on it, so that the font set-up every text window pays is included.
// Usage: startup_bare_window <idle ms> [text]

#include "StartupShownProbe.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    StartupShownProbe probe(argc > 1 ? std::atoi(argv[1]) : 0);
    QWidget window;
    window.setObjectName(QStringLiteral("MainForm"));
    window.setWindowTitle(QStringLiteral("Blitzfang"));
    window.resize(622, 473);
    if (argc > 2 && std::strcmp(argv[2], "text") == 0)
        (new QLabel(QStringLiteral("Blitzfang"), &window))->move(20, 20);
    window.show();
    return QApplication::exec();
}
