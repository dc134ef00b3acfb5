// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the engine's source files share: sequencing and navigation stand in
// one, the modes and the page watcher in another.

#include "platform/VbError.h"

#include <QString>

namespace ShowEngineParts {

// The icons of the window: running, not running, paused.
constexpr int IconRunning = 101;
constexpr int IconStopped = 102;
constexpr int IconPaused = 103;

inline QString errorText(const QString& prefix, const VbError& error)
{
    return prefix + QString::number(error.number) + QStringLiteral(",  Description: ") +
           error.description;
}

} // namespace ShowEngineParts
