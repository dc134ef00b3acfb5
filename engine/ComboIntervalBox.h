// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/IntervalBox.h"

class QComboBox;

/// A combo box as the interval table fills it: the main window's
/// default-pause box and the web show dialog's pause list.
class ComboIntervalBox final : public IntervalBox
{
public:
    explicit ComboIntervalBox(QComboBox* box) : m_box(box) {}

    void setText(const QString& text) override;
    void addItem(const QString& text) override;

private:
    QComboBox* m_box;
};
