// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ComboIntervalBox.h"

#include <QComboBox>

void ComboIntervalBox::setText(const QString& text)
{
    m_box->setEditText(text);
}

void ComboIntervalBox::addItem(const QString& text)
{
    // Adding the first entry would make it the box's text.
    const QString current = m_box->currentText();
    m_box->addItem(text);
    m_box->setEditText(current);
}
