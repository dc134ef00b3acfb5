// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/cBrwsr_Events.h"

#include "browser/BrowserConnection.h"
#include "platform/Prompts.h"
#include "settings/COptions.h"

#include <QScopedValueRollback>

namespace {

// The question is about the one browser of the first main window: while
// it is open, the slides that fail behind it ask nothing more.
bool questionOpen = false;

} // namespace

cBrwsr_Events::cBrwsr_Events(QObject* parent) : QObject(parent)
{
}

bool cBrwsr_Events::asking()
{
    return questionOpen;
}

void cBrwsr_Events::BrowserTerminate()
{
    if (questionOpen)
        return;
    // Held through the restart too: the browser is not back before it ends.
    const QScopedValueRollback open(questionOpen, true);
    const int answer = Prompts::MsgBox(
        QStringLiteral("The browser Pagewheel was using has terminated.\r\n\r\nRestart browser?"),
        Prompts::vbYesNo, QStringLiteral("Browser Terminated"));
    BrowserConnection* first = BrowserConnection::first();
    if (answer != Prompts::vbYes || !first || !Options)
        return;
    first->load_Browser(first->UseOLE, first->UseDDE, Options->AutoDDEapp, Options->AutoDDEexe);
}
