// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// A box that offers the reload intervals: an editable text and a list.
/// The main window's default-pause box and the web show dialog's box each
/// wrap their combo box in one.
class IntervalBox
{
public:
    virtual ~IntervalBox() = default;

    virtual void setText(const QString& text) = 0;
    /// Appends an entry to the list (the text is left as it is).
    virtual void addItem(const QString& text) = 0;
};
