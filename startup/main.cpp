// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/frmMain.h"
#include "platform/MessageBoxPrompts.h"
#include "platform/TerminationSignals.h"
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

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pagewheel"));
    QApplication::setApplicationVersion(QStringLiteral("1.3.0"));

    MessageBoxPrompts prompts;
    Prompts::setBackend(&prompts);

    // The old platform handed the program one command line; rebuild it so
    // the words split as they always did.
    const QStringList arguments = QApplication::arguments().mid(1);
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
