// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

/// Names a screen reader reads for the controls that show no caption of
/// their own: icon-only buttons say their key, boxes and labels that
/// change say what they hold.
namespace AccessibleNames {

/// Names every unnamed control of the window that it knows of: by the
/// control's name, a toolbar key by its key, an arrow button by its arrow.
void apply(QWidget* window);

} // namespace AccessibleNames
