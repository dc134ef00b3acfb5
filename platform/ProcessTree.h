// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QtGlobal>

/// A process and all the processes it started (their children, and theirs),
/// as the system's process table shows them now.
namespace ProcessTree {

/// The process ids of the tree, the root first; empty when the root does
/// not run.
QList<qint64> members(qint64 root);
/// The proportional set size of the tree in KiB: each member's own memory,
/// with pages shared between members counted once in all. 0 when the root
/// does not run.
qint64 pssKiB(qint64 root);
/// Ends every member at once (SIGKILL), children first, so that none is
/// left behind stopped or orphaned.
void kill(qint64 root);

} // namespace ProcessTree
