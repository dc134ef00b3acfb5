// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace modMain {

/// Gives every control of the window with a Tag its Tag as tool tip
/// (toolbars excepted).
void ToolTipsOn(QWidget* window);
/// Clears the tool tip of every control of the window that has a Tag.
void ToolTipsOff(QWidget* window);

} // namespace modMain
