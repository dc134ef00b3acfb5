// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/frmMain.h"

#include "startup/modFileTools.h"
#include "startup/modToolTips.h"

#include <QFormLayout>
#include <QLabel>
#include <QStatusBar>

frmMain::frmMain(const COptions& options, QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    options.Copy_Object_to(m_options);
    m_options.Changed = options.Changed;

    m_show.Read_in_file(m_options.CarouselFileName);

    auto* central = new QWidget(this);
    auto* form = new QFormLayout(central);
    m_showLabel = new QLabel(modFileTools::FileNameNoExt(m_options.CarouselFileName,
                                                         QStringLiteral("txt")),
                             central);
    m_showLabel->setObjectName(QStringLiteral("lblShow"));
    m_showLabel->setProperty("Tag", QStringLiteral("The show opened at start-up"));
    form->addRow(tr("Show:"), m_showLabel);
    auto* slides = new QLabel(QString::number(m_show.Count()), central);
    slides->setObjectName(QStringLiteral("lblSlideCount"));
    form->addRow(tr("Slides:"), slides);
    auto* start = new QLabel(m_options.StartingAddress, central);
    start->setObjectName(QStringLiteral("lblStartingAddress"));
    start->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(tr("Starting address:"), start);
    setCentralWidget(central);

    setWindowTitle(QStringLiteral("Pagewheel - ")
                   + modFileTools::FileNameNoExt(m_options.CarouselFileName, QStringLiteral("txt")));
    statusBar()->showMessage(tr("Ready."));
    resize(420, 160);
    if (m_options.ToolTips)
        modMain::ToolTipsOn(this);
}
