// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// Shows that ship with the program (the demo show) name their slides and
/// sounds relative to the program's folder, so a moved or installed program
/// still finds them; they are made whole when the show is read.
namespace ShippedPath {

/// A relative file reference ("data/demo/welcome.htm") made absolute when
/// the file exists beside the show file or, failing that, in the program's
/// folder; anything else (web addresses, absolute paths, bare host names,
/// missing files) comes back unchanged.
QString resolve(const QString& reference, const QString& showFolder);

} // namespace ShippedPath
