// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/CollapsibleBar.h"

#include "mainwindow/Twips.h"

#include <QFrame>
#include <QMouseEvent>

CollapsibleBar::CollapsibleBar(const QString& name, int expandedHeight, int stripExpandedHeight,
                               QWidget* parent)
    : QWidget(parent), m_expandedHeight(expandedHeight), m_stripExpandedHeight(stripExpandedHeight)
{
    setObjectName(name);
    m_content = new QWidget(this);
    m_content->setObjectName(name + QStringLiteral("Controls"));

    m_strip = new QFrame(this);
    m_strip->setObjectName(name + QStringLiteral("Bar"));
    m_strip->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_strip->setBackgroundRole(QPalette::Mid);
    m_strip->setAutoFillBackground(true);
    m_strip->setCursor(Qt::PointingHandCursor);
    m_strip->installEventFilter(this);

    setExpanded(true);
}

void CollapsibleBar::setExpanded(bool expanded)
{
    m_expanded = expanded;
    setFixedHeight(Twips::toPixels(heightTwips()));
    m_content->setVisible(expanded);
    layoutParts();
}

int CollapsibleBar::heightTwips() const
{
    return m_expanded ? m_expandedHeight : CollapsedHeight;
}

int CollapsibleBar::stripHeightTwips() const
{
    return m_expanded ? m_stripExpandedHeight : CollapsedHeight;
}

int CollapsibleBar::stripWidthTwips() const
{
    return m_expanded ? StripWidth : Twips::fromPixels(width());
}

void CollapsibleBar::layoutParts()
{
    m_content->setGeometry(0, 0, width(), height());
    const int stripWidth = m_expanded ? Twips::toPixels(StripWidth) : width();
    m_strip->setGeometry(0, 0, stripWidth, Twips::toPixels(stripHeightTwips()));
    m_strip->raise();
}

void CollapsibleBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutParts();
}

void CollapsibleBar::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

bool CollapsibleBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_strip && event->type() == QEvent::MouseButtonPress) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            Q_EMIT stripClicked();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
