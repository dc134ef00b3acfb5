// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/frmControlBar.h"

#include "mainwindow/AccessibleNames.h"
#include "mainwindow/ControlBarOwner.h"
#include "platform/CommonDialog.h"
#include "platform/Help.h"
#include "platform/HelpTopics.h"
#include "settings/COptions.h"
#include "settings/cShowState.h"
#include "startup/modMain.h"
#include "startup/modToolTips.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

namespace {

constexpr int BarLeft = -1;
constexpr int BarTop = -5;
constexpr int BarHeight = 20;

/// The bar's first colour: the system colour of window frames.
QColor windowFrameColor()
{
    return QGuiApplication::palette().color(QPalette::Shadow);
}

void logError(const QString& text, const VbError& error)
{
    if (modMain::ErrorMode)
        modMain::WriteLog(text + QString::number(error.number) + u",  Description: " +
                          error.description);
}

} // namespace

frmControlBar::frmControlBar(AutomationBrowser* oBrowser, ControlBarOwner* frmOwner,
                             const COptions* oOptions, const cShowState* oShowState)
    // A tool window: no task bar entry, and it never keeps the program
    // running once the main windows are gone.
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_browser(oBrowser), m_owner(frmOwner), m_options(oOptions), m_showState(oShowState)
{
    Q_ASSERT(m_owner);
    setObjectName(QStringLiteral("frmControlBar"));
    setWindowTitle(modMain::AppTitle());
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    buildMenus();
    AccessibleNames::apply(this);
    Help::setHelpContext(this, modMain::HelpFile(), HelpTopics::frmControlBar);

    if (m_options && m_options->ToolTips)
        modMain::ToolTipsOn(this);
    setControlColor(windowFrameColor());
}

void frmControlBar::buildControls()
{
    m_picControl = new QWidget(this);
    m_picControl->setObjectName(QStringLiteral("picControl"));
    m_picControl->setProperty("Tag", QStringLiteral("Click for the show controls, right click for "
                                                    "the view menu."));
    m_picControl->setAutoFillBackground(true);
    m_picControl->installEventFilter(this);

    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("mnuBar"));
    // The menus belong on the bar, never in a desktop-wide menu.
    m_menuBar->setNativeMenuBar(false);
    m_menuBar->setVisible(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_menuBar);
    layout->addWidget(m_picControl, 1);
}

QAction* frmControlBar::addItem(QMenu* menu, const QString& name, const QString& caption)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    return item;
}

void frmControlBar::buildMenus()
{
    m_mnuControl = m_menuBar->addMenu(QStringLiteral("&Control"));
    m_mnuControl->setObjectName(QStringLiteral("mnuControl"));
    connect(addItem(m_mnuControl, QStringLiteral("mnuControlBack"), QStringLiteral("&Back")),
            &QAction::triggered, this, [this] { m_owner->GoBack(); });
    m_mnuControlPause =
        addItem(m_mnuControl, QStringLiteral("mnuControlPause"), QStringLiteral("&Pause"));
    m_mnuControlPause->setCheckable(true);
    connect(m_mnuControlPause, &QAction::triggered, this, &frmControlBar::mnuControlPause_Click);
    connect(addItem(m_mnuControl, QStringLiteral("mnuControlForward"), QStringLiteral("&Forward")),
            &QAction::triggered, this, [this] { m_owner->GoForward(); });
    connect(addItem(m_mnuControl, QStringLiteral("mnuControlStop"), QStringLiteral("&Stop")),
            &QAction::triggered, this, [this] { m_owner->GoStop(); });
    connect(addItem(m_mnuControl, QStringLiteral("mnuControlReload"), QStringLiteral("&Reload")),
            &QAction::triggered, this, [this] { m_owner->GoReload(); });
    m_mnuControl->addSeparator();
    connect(
        addItem(m_mnuControl, QStringLiteral("mnuControlStartShow"), QStringLiteral("Start S&how")),
        &QAction::triggered, this, [this] { m_owner->cmdCollect_Click(); });
    // "Close Menu" does nothing: choosing it closes the popup.
    addItem(m_mnuControl, QStringLiteral("mnuControlCloseMenu"), QStringLiteral("Close &Menu"));
    // The show may have been paused or resumed elsewhere since the last look.
    connect(m_mnuControl, &QMenu::aboutToShow, this, &frmControlBar::updatePauseCheck);

    m_mnuView = m_menuBar->addMenu(QStringLiteral("&View"));
    m_mnuView->setObjectName(QStringLiteral("mnuView"));
    m_mnuViewColor =
        addItem(m_mnuView, QStringLiteral("mnuViewColor"), QStringLiteral("&Color..."));
    connect(m_mnuViewColor, &QAction::triggered, this, &frmControlBar::mnuViewColor_Click);
    connect(addItem(m_mnuView, QStringLiteral("mnuViewControls"), QStringLiteral("Co&ntrols...")),
            &QAction::triggered, this, [this] { m_owner->restoreWindow(); });
    connect(addItem(m_mnuView, QStringLiteral("mnuViewNormalSize"), QStringLiteral("&Normal Size")),
            &QAction::triggered, this, &frmControlBar::mnuViewNormalSize_Click);
    m_mnuView->addSeparator();
    addItem(m_mnuView, QStringLiteral("mnuViewCloseMenu"), QStringLiteral("Close &Menu"));

    // The Center menu only pops up; it never stands on the menu bar.
    m_mnuCenter = new QMenu(QStringLiteral("Center"), this);
    m_mnuCenter->setObjectName(QStringLiteral("mnuCenter"));
    connect(addItem(m_mnuCenter, QStringLiteral("mnuCenterMenusVisible"),
                    QStringLiteral("&Menus Visible")),
            &QAction::triggered, this, [this] { setMenusVisible(true); });
}

void frmControlBar::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_placed)
        PlaceControlBar();
}

int frmControlBar::barHeight() const
{
    // The menu bar comes on top of the strip, so that the strip keeps its
    // visible height; the layout's top margin keeps it below the screen's
    // edge.
    return menusVisible() ? BarHeight + m_menuBar->sizeHint().height() : BarHeight;
}

void frmControlBar::PlaceControlBar()
{
    m_placed = true;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 640, 480);
    setGeometry(area.x() + BarLeft, area.y() + BarTop, area.width(), barHeight());
    show();
    raise();
    activateWindow();

    if (!m_owner->alwaysOnTopChecked())
        m_owner->minimizeWindow();
    else
        m_owner->makeWindowTopmost();

    if (m_browser) {
        VbError error;
        if (!m_browser->setVisible(true, &error) || !m_browser->setFullScreen(true, &error))
            logError(QStringLiteral("Error in placing control bar: "), error);
    }
}

void frmControlBar::resizeEvent(QResizeEvent* event)
{
    if (modMain::DebugMode)
        modMain::WriteLog(objectName() + u" form resize");
    QWidget::resizeEvent(event);
}

void frmControlBar::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (m_closed || !event->isAccepted())
        return;
    m_closed = true;
    m_owner->restoreWindow();
    m_owner->controlBarClosed();
}

void frmControlBar::setMenusVisible(bool visible)
{
    m_menuBar->setVisible(visible);
    m_mnuViewColor->setVisible(!visible);
    // Below the five pixels above the screen's edge, where it can be read.
    layout()->setContentsMargins(0, visible ? -BarTop : 0, 0, 0);
    if (m_placed)
        resize(width(), barHeight());
}

bool frmControlBar::menusVisible() const
{
    return !m_menuBar->isHidden();
}

QColor frmControlBar::controlColor() const
{
    return m_picControl->palette().color(QPalette::Window);
}

void frmControlBar::setControlColor(const QColor& color)
{
    QPalette palette = m_picControl->palette();
    palette.setColor(QPalette::Window, color);
    m_picControl->setPalette(palette);
}

QMenu* frmControlBar::menuFor(Qt::MouseButton button) const
{
    switch (button) {
    case Qt::LeftButton:
        return m_mnuControl;
    case Qt::RightButton:
        return m_mnuView;
    case Qt::MiddleButton:
        return m_mnuCenter;
    default:
        return nullptr;
    }
}

bool frmControlBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_picControl && event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        if (QMenu* menu = menuFor(press->button())) {
            menu->popup(press->globalPosition().toPoint());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmControlBar::updatePauseCheck()
{
    m_mnuControlPause->setChecked(m_showState && m_showState->IsPaused != cShowState::False);
}

void frmControlBar::mnuControlPause_Click()
{
    m_owner->GoPause();
    updatePauseCheck();
}

void frmControlBar::mnuViewColor_Click()
{
    CommonDialog& dialog = m_owner->commonDialog();
    // The dialog is the owner's, shared by its file dialogs: they must not
    // inherit the cancel error or the colour flag.
    const bool cancelError = dialog.CancelError;
    const int flags = dialog.Flags;
    dialog.CancelError = true;
    dialog.Flags = CommonDialog::cdlCCRGBInit;
    dialog.Color = controlColor();
    VbError error;
    const QColor color = dialog.ShowColor(&error);
    dialog.CancelError = cancelError;
    dialog.Flags = flags;
    if (error.isError()) {
        if (error.number != 2 && modMain::ErrorMode)
            modMain::WriteLog(u"Error in mnuViewColor: " + QString::number(error.number));
        return;
    }
    setControlColor(color);
}

void frmControlBar::mnuViewNormalSize_Click()
{
    m_owner->restoreWindow();
    // With a DDE browser there is no full screen to leave.
    if (m_browser) {
        VbError error;
        if (!m_browser->setFullScreen(false, &error))
            logError(QStringLiteral("Error in resizing control bar: "), error);
    }
    close();
}
