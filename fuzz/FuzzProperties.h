// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

/// What must hold for any file the program reads, whatever its bytes: the
/// readers take the file without crashing, and what they make of it keeps
/// the invariants named at each check. Each check returns an empty text
/// when all held, else what broke. The fuzzers and the corpus replay test
/// share them.
namespace FuzzProperties {

/// Makes the program state the checks need: a program folder of their own
/// with a small web show template, scripted message boxes. Call once.
void setUp();

/// A show file: no field holds a line end, no slide is wholly empty, and a
/// show of plain texts saved and read again is the same show.
QString showFile(QByteArrayView bytes);
/// An options file: every option stays within its range, and options of
/// plain texts saved and read again are the same options.
QString optionsFile(QByteArrayView bytes);
/// A bookmark file: every bookmark has an address, and exporting the show
/// writes no markup of the addresses' own and imports again to the same
/// addresses.
QString bookmarkFile(QByteArrayView bytes);
/// A web show page from a show file (the first line also the title): one
/// array line per slide, ASCII only, and no markup of the show's own.
QString webShowPage(QByteArrayView bytes);

} // namespace FuzzProperties
