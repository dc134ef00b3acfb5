// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class COptions;
class QWidget;

/// The sound side of the editors: the "Play / Record Sound" dialog that
/// plays, records and picks a slide's wave file.
namespace SlideSound {

/// Opens the sound dialog modally on a slide's sound: for a list row
/// (1-based listRow) or, with listRow 0, for the slide editor's field.
/// The file name chosen on OK; a null string when the dialog was
/// cancelled.
QString openDialog(const QString& fileName, const COptions& options, QWidget* parent,
                   qint32 listRow = 0);
/// Asks for a wave file through the sound dialog's chooser; its path, or
/// "" when cancelled.
QString chooseFile(const COptions& options, QWidget* parent);

} // namespace SlideSound
