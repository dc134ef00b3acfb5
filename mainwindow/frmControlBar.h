// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/AutomationBrowser.h"

class COptions;
class ControlBarOwner;
class QAction;
class QMenu;
class QMenuBar;
class cShowState;

/// The floating control bar of full screen: a thin strip across the top
/// of the screen, above all windows. A click on it pops up a menu: the
/// left button the Control menu (the show's operations), the right button
/// the View menu (colour, the owner's window, leaving full screen), the
/// middle button the Center menu. The bar only calls its owner's
/// operations and keeps no show state.
///
/// Showing the bar places it, minimises the owner (or keeps it on top when
/// its "&Always on top" is checked) and puts the browser in full screen.
/// Closing it, however it is closed, restores the owner and deletes it.
class frmControlBar : public QWidget
{
    Q_OBJECT

public:
    /// The four inputs: the automation browser (null with a DDE browser),
    /// the owner whose operations the menus call, the options (for the
    /// tool tips) and the run state (for the Pause check mark).
    frmControlBar(AutomationBrowser* oBrowser, ControlBarOwner* frmOwner, const COptions* oOptions,
                  const cShowState* oShowState);

    /// Puts the bar on top of all windows at x -1, y -5, 20 pixels high
    /// (taller by its menu bar when that shows), across the whole screen;
    /// gets the owner out of the way and the browser into full screen.
    /// Showing the bar the first time does this.
    void PlaceControlBar();

    /// Shows the Control and View menus as the bar's menu bar and hides
    /// the Color item (or the reverse).
    void setMenusVisible(bool visible);
    bool menusVisible() const;

    /// The bar's colour.
    QColor controlColor() const;
    /// The menu a mouse button pops up; nullptr for other buttons.
    QMenu* menuFor(Qt::MouseButton button) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption);
    int barHeight() const;
    void setControlColor(const QColor& color);
    void updatePauseCheck();

    void mnuControlPause_Click();
    void mnuViewColor_Click();
    void mnuViewNormalSize_Click();

    QPointer<AutomationBrowser> m_browser;
    ControlBarOwner* m_owner = nullptr;
    const COptions* m_options = nullptr;
    const cShowState* m_showState = nullptr;
    bool m_placed = false;
    bool m_closed = false;

    QWidget* m_picControl = nullptr;
    QMenuBar* m_menuBar = nullptr;
    QMenu* m_mnuControl = nullptr;
    QMenu* m_mnuView = nullptr;
    QMenu* m_mnuCenter = nullptr;
    QAction* m_mnuControlPause = nullptr;
    QAction* m_mnuViewColor = nullptr;
};
