// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/frmMain.h"
#include "platform/MessageBoxPrompts.h"
#include "platform/TerminationSignals.h"
#include "resources/WheelEmblem.h"
#include "startup/Main.h"
#include "startup/ProgramWindows.h"
#include "startup/modMain.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char* argv[])
{
    // The program places its windows itself, which a Wayland session does
    // not allow: run through XWayland unless the user chose a platform.
    if (qgetenv("XDG_SESSION_TYPE") == "wayland" && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    // Qt would take its own words (-style, -reverse, -platform ...) out of
    // the command line and act on them; start-up must see every word and
    // report the unknown ones, so Qt is given only the program's name.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Pagewheel"));
    QApplication::setWindowIcon(WheelEmblem::programIcon());
    QApplication::setApplicationVersion(QStringLiteral("1.3.0"));

    MessageBoxPrompts prompts;
    Prompts::setBackend(&prompts);

    // The old platform handed the program one command line; rebuild it so
    // the words split as they always did.
    const QString executable = QFileInfo(QApplication::applicationFilePath()).fileName();

    // The program ends when its last main window unloads, which writes the
    // end banner; a tip or help window left open does not keep it running.
    QApplication::setQuitOnLastWindowClosed(false);

    // Logout, Ctrl+C or a service manager end the program as Exit does,
    // without questions, so the browser it started goes with it.
    TerminationSignals terminations;
    QObject::connect(&terminations, &TerminationSignals::received, [](int number) {
        modMain::debugLog(QStringLiteral("Ending on signal ") + QString::number(number));
        frmMain::EndWithoutQuestions();
    });

    ProgramWindows windows;
    modMain::Main(arguments.join(QLatin1Char(' ')), executable, QApplication::applicationDirPath(),
                  windows);
    const int status = app.exec();

    Prompts::setBackend(nullptr);
    return status;
}
