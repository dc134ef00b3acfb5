// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class DdeLink;

/// Drives a browser through its link service: connecting (starting the
/// browser when needed), opening addresses, raising it, and ending it.
namespace modDDE {

/// Opens the service's "System" conversation, starting the browser once
/// when it does not answer; true when the conversation opened.
bool DDEConnect(DdeLink& link, const QString& executable, const QString& service);
/// Asks the browser to open the address (in a new window unless
/// reuseWindow); 0, or the link's error number (282: no browser).
int DDEOpenURL(DdeLink& link, const QString& service, const QString& address, bool reuseWindow);
/// Asks the browser to raise its window.
void DDEActivate(DdeLink& link, const QString& service);
/// Asks the browser to end.
void DDEExit(DdeLink& link, const QString& service);

} // namespace modDDE
