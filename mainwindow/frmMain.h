// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/COptions.h"
#include "show/colURLs.h"

#include <QMainWindow>

class QLabel;

/// The control window beside the browser. For now it keeps its options
/// record and shows the show it would open.
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmMain(const COptions& options, QWidget* parent = nullptr);

    COptions& Options() { return m_options; }
    colURLs& Show() { return m_show; }

private:
    COptions m_options;
    colURLs m_show;
    QLabel* m_showLabel = nullptr;
};
