// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/modDDE.h"

#include "browser/modURL.h"
#include "platform/DdeLink.h"
#include "platform/ProgramLocator.h"
#include "platform/Shell.h"
#include "startup/modMain.h"

namespace modDDE {

namespace {

void logDebug(const QString& line)
{
    if (modMain::DebugMode)
        modMain::WriteLog(line);
}

void logError(const QString& line)
{
    if (modMain::ErrorMode)
        modMain::WriteLog(line);
}

// Every operation starts a conversation of its own.
VbError openConversation(DdeLink& link, const QString& service, const QString& topic, int timeout)
{
    link.setMode(DdeLink::ModeNone);
    link.setTopic(service + QLatin1Char('|') + topic);
    link.setTimeout(timeout);
    return link.setMode(DdeLink::ModeManual);
}

} // namespace

bool DDEConnect(DdeLink& link, const QString& executable, const QString& service)
{
    logDebug(QStringLiteral("Loading DDE") + QStringLiteral(" App:_") + service +
             QStringLiteral("_ Exe:_") + executable + QStringLiteral("_"));
    // The service answers while its program runs: the program the options
    // name, as this system resolves browser names.
    link.setExecutable(ProgramLocator::resolveBrowser(executable));

    bool started = false;
    for (;;) {
        const VbError error = openConversation(link, service, QStringLiteral("System"), 150);
        if (!error.isError())
            return true;

        // One start of the browser, then one more try.
        if (error.number != DdeLink::NoServer || started) {
            logError(QStringLiteral("load_DDE Error: ") + QString::number(error.number) +
                     QStringLiteral(" Desc: ") + error.description);
            return false;
        }
        const QString path = modURL::LocateBrowserExe(executable);
        if (path.isEmpty()) {
            logError(QStringLiteral("DDE Application  ") + executable +
                     QStringLiteral(" is not registered."));
            return false;
        }
        logDebug(QStringLiteral("Starting new DDE instance of: ") + executable);
        VbError shellError;
        Shell::StartBrowserProgram(path, {}, &shellError);
        if (shellError.isError()) {
            logError(QStringLiteral("load_DDE Error with shell: ") +
                     QString::number(shellError.number) + QStringLiteral(" Desc: ") +
                     shellError.description);
            return false;
        }
        link.setExecutable(path);
        started = true;
        modMain::PauseSeconds(1);
    }
}

int DDEOpenURL(DdeLink& link, const QString& service, const QString& address, bool reuseWindow)
{
    VbError error = openConversation(link, service, QStringLiteral("WWW_OpenURL"), 150);
    if (!error.isError()) {
        // The arguments after the address: the save-as file (none), the
        // window id (0 the last active window, -1 a new one) and, for the
        // browsers that take them, the flags.
        const QString upper = service.toUpper();
        QString suffix;
        if (upper == QStringLiteral("IEXPLORE") || upper == QStringLiteral("MOSAIC"))
            suffix = reuseWindow ? QStringLiteral(",,0") : QStringLiteral(",,-1");
        else
            suffix = reuseWindow ? QStringLiteral(",,0x0,0") : QStringLiteral(",,0xFFFFFFFF,0");
        link.setItem(QLatin1Char('"') + address + QLatin1Char('"') + suffix);
        error = link.request();
    }
    if (!error.isError())
        return 0;
    if (error.number == DdeLink::NoServer)
        logError(QStringLiteral("DDE Navigate: No browser available."));
    else
        logError(QStringLiteral("DDE Navigate Error ") + QString::number(error.number) +
                 QStringLiteral(" Desc: ") + error.description);
    return error.number;
}

void DDEActivate(DdeLink& link, const QString& service)
{
    // A browser that will not raise its window is no reason to stop.
    auto carriesOn = [](const VbError& error) {
        if (!error.isError())
            return true;
        if (error.number == DdeLink::Refused) {
            logError(QStringLiteral("DDE activate: 285 error"));
            return true;
        }
        logError(QStringLiteral("DDE_Activate ERROR: ") + QString::number(error.number) +
                 QStringLiteral(" Desc: ") + error.description);
        return false;
    };
    link.setMode(DdeLink::ModeNone);
    link.setTopic(service + QStringLiteral("|WWW_Activate"));
    link.setItem(QStringLiteral("0xFFFFFFFF,0"));
    link.setTimeout(100);
    if (carriesOn(link.setMode(DdeLink::ModeManual)))
        carriesOn(link.request());
}

void DDEExit(DdeLink& link, const QString& service)
{
    VbError error = openConversation(link, service, QStringLiteral("WWW_Exit"), 150);
    // The item and text are those the last request left.
    if (!error.isError())
        error = link.poke();
    if (error.isError())
        logError(QStringLiteral("DDE Exit Error ") + QString::number(error.number) +
                 QStringLiteral(" Desc: ") + error.description);
}

} // namespace modDDE
