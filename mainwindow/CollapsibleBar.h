// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QFrame;

/// One of the main window's bars: a container (picSlide, picCollect ...)
/// holding its controls and a clickable strip (picSlideBar ...). Expanded,
/// the container has its full height and the strip is a narrow handle at
/// the left; collapsed, the container shrinks to a thin strip across the
/// whole width and its controls are hidden. Sizes are given in twips.
class CollapsibleBar : public QWidget
{
    Q_OBJECT

public:
    /// Width of the strip of an expanded bar.
    static constexpr int StripWidth = 125;
    /// Height of a collapsed bar and its strip.
    static constexpr int CollapsedHeight = 135;

    /// name: the container's name; the strip is name + "Bar".
    CollapsibleBar(const QString& name, int expandedHeight, int stripExpandedHeight,
                   QWidget* parent = nullptr);

    QFrame* strip() const { return m_strip; }
    /// The widget the bar's controls are placed on (its coordinates are
    /// the container's).
    QWidget* content() const { return m_content; }

    bool isExpanded() const { return m_expanded; }
    void setExpanded(bool expanded);

    /// The container's height in twips as set by the last change.
    int heightTwips() const;
    /// The strip's size in twips as set by the last change.
    int stripHeightTwips() const;
    int stripWidthTwips() const;

Q_SIGNALS:
    /// The user clicked the strip.
    void stripClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    /// A click on the bar stays on the bar: only the window's own
    /// background pops up the menus.
    void mousePressEvent(QMouseEvent* event) override;

private:
    void layoutParts();

    QFrame* m_strip = nullptr;
    QWidget* m_content = nullptr;
    int m_expandedHeight = 0;
    int m_stripExpandedHeight = 0;
    bool m_expanded = true;
};
