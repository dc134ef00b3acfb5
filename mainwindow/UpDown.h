// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <functional>

class QToolButton;

/// An up-down control: two arrow buttons that step a number between a
/// minimum and a maximum. It keeps no number of its own; it steps the one
/// its buddy (the slide number box) shows.
class UpDown : public QWidget
{
    Q_OBJECT

public:
    explicit UpDown(QWidget* parent = nullptr);

    /// Reads the number the buddy shows.
    void setBuddyValue(std::function<int()> value) { m_buddyValue = std::move(value); }
    void setRange(int minimum, int maximum);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }

    /// Steps up (+1) or down (-1) as a click on an arrow does.
    void step(int direction);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

Q_SIGNALS:
    /// An arrow was clicked; the buddy is to show this value.
    void clicked(int value);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
    std::function<int()> m_buddyValue;
    int m_minimum = 0;
    int m_maximum = 10;
};
