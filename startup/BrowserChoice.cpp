// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/BrowserChoice.h"

#include "platform/ProgramLocator.h"
#include "platform/Registry.h"
#include "settings/modRegistry.h"
#include "startup/modMain.h"

namespace {

const QString ChoiceKey = QStringLiteral("IBROWSER");

bool anyOnPath(const QStringList& programs)
{
    for (const QString& program : programs) {
        if (!ProgramLocator::findOnPath(program).isEmpty())
            return true;
    }
    return false;
}

} // namespace

QString BrowserChoice::ChoiceForThisMachine()
{
    if (anyOnPath(ProgramLocator::chromiumFamily()))
        return QStringLiteral("C");
    if (anyOnPath(ProgramLocator::firefoxFamily()))
        return QStringLiteral("F");
    return QString();
}

QString BrowserChoice::RecordIfMissing()
{
    const QString recorded = Registry::GetSetting(modRegistry::RegistrationApp,
                                                  modRegistry::RegistrationSection, ChoiceKey);
    if (!recorded.isEmpty())
        return QString();
    const QString choice = ChoiceForThisMachine();
    if (choice.isEmpty()) {
        modMain::debugLog(QStringLiteral("No browser choice recorded and no browser found."));
        return QString();
    }
    if (!Registry::SaveSetting(modRegistry::RegistrationApp, modRegistry::RegistrationSection,
                               ChoiceKey, choice)) {
        modMain::errorLog(QStringLiteral("ERROR recording the browser choice ") + choice);
        return QString();
    }
    modMain::debugLog(QStringLiteral("Browser choice recorded: ") + choice);
    return choice;
}
