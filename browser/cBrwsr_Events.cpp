// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/cBrwsr_Events.h"

#include "browser/BrowserConnection.h"
#include "platform/Prompts.h"
#include "settings/COptions.h"

cBrwsr_Events::cBrwsr_Events(QObject* parent) : QObject(parent)
{
}

void cBrwsr_Events::BrowserTerminate()
{
    const int answer = Prompts::MsgBox(
        QStringLiteral("The browser Pagewheel was using has terminated.\r\n\r\nRestart browser?"),
        Prompts::vbYesNo, QStringLiteral("Browser Terminated"));
    BrowserConnection* first = BrowserConnection::first();
    if (answer != Prompts::vbYes || !first || !Options)
        return;
    first->load_Browser(first->UseOLE, first->UseDDE, Options->AutoDDEapp, Options->AutoDDEexe);
}
