// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// The program's version, as the first-run message, the splash, the about
/// box and the updates page show it.
namespace ProgramVersion {

constexpr int Major = 1;
constexpr int Minor = 3;
constexpr int Revision = 0;

/// "1.3.0".
inline QString text()
{
    return QString::number(Major) + QLatin1Char('.') + QString::number(Minor) + QLatin1Char('.') +
           QString::number(Revision);
}

} // namespace ProgramVersion
