// The yardstick of the start-up benchmark: a bare Qt Widgets window of the menu window's size
// with as many texts as the menu screen shows, 8 labels and 7 buttons, and nothing behind them.
// Usage: startup_bare_window <idle ms>

#include "StartupShownProbe.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <cstdlib>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    StartupShownProbe probe(argc > 1 ? std::atoi(argv[1]) : 0);
    QWidget window;
    window.setObjectName(QStringLiteral("MainForm"));
    window.setWindowTitle(QStringLiteral("Blitzfang"));
    window.resize(622, 473);
    for (int n = 0; n < 8; ++n)
        (new QLabel(QStringLiteral("Beschriftung %1").arg(n + 1), &window))->move(20, 20 + 40 * n);
    for (int n = 0; n < 7; ++n)
        (new QPushButton(QStringLiteral("Knopf %1").arg(n + 1), &window))->setGeometry(240, 20 + 40 * n, 105, 22);
    window.show();
    return QApplication::exec();
}
