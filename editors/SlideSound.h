// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class COptions;
class QWidget;

/// The sound side of the editors: choosing a slide's wave file and
/// playing it.
namespace SlideSound {

/// Plays a slide's wave sound (the row's or the field's).
void play(const QString& fileName, COptions& options, QWidget* parent);
/// Asks for a wave file; its path, or "" when cancelled.
QString chooseFile(COptions& options, QWidget* parent);

} // namespace SlideSound
