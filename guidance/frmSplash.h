// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QFrame;
class QLabel;

/// The start-up splash: the program's name, version and platform beside the
/// wheel emblem, centred on the screen. A key press or a click on its frame
/// closes it. It deletes itself once closed, so create it with new and keep
/// it in a QPointer.
class frmSplash : public QWidget
{
    Q_OBJECT

public:
    /// Builds the splash, hidden, with its shape `Shape1` not yet shown.
    explicit frmSplash(QWidget* parent = nullptr);

    /// Makes the decorative ring `Shape1` around the emblem visible.
    void showShape();

    /// "Version " followed by the program's major.minor.revision.
    static QString versionText();
    /// A short name of the system the program runs on, such as "Debian GNU/Linux 12".
    static QString platformText();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void centreOnScreen();

    QFrame* m_frame = nullptr;
    QFrame* m_shape = nullptr;
    QLabel* m_productName = nullptr;
    QLabel* m_version = nullptr;
    QLabel* m_platform = nullptr;
};
