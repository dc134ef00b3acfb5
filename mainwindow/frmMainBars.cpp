// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/frmMain.h"
#include "mainwindow/frmMainParts.h"

#include "engine/ShowEngine.h"
#include "mainwindow/CollapsibleBar.h"
#include "mainwindow/MainBrowser.h"
#include "mainwindow/MainEditors.h"
#include "mainwindow/ShowFiles.h"
#include "mainwindow/Twips.h"
#include "mainwindow/UpDown.h"
#include "mainwindow/frmControlBar.h"
#include "platform/AutomationBrowser.h"
#include "platform/VbConvert.h"
#include "startup/modMain.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

using frmMainParts::errorLog;
using modMain::debugLog;

// Bar heights in twips: the container's, and the strip's when expanded.
constexpr int SlideBarHeight = 1000;
constexpr int CollectBarHeight = 1000;
constexpr int NavBarHeight = 650;
constexpr int StatusBarHeight = 400;
constexpr int OptBarHeight = 1050;
constexpr int OptStripHeight = 1250;

// Where the controls that follow the window's width start, in twips.
constexpr int ControlsLeft = 180;
constexpr int StatusLeft = 700;
// The gap between the window's right edge and the stretched controls.
constexpr int RightMargin = 200;
constexpr int ColMaxFromRight = 220;
constexpr int SlideButtonWidth = 800;

// VB's window states, as the resize log names them.
constexpr int StateNormal = 0;
constexpr int StateMinimized = 1;
constexpr int StateMaximized = 2;

/// The reload arrow with a small clock: reloading every interval.
QIcon autoReloadIcon(const QIcon& reload)
{
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        reload.paint(&p, QRect(0, 0, size, size));
        const QRectF face(size * 0.45, size * 0.45, size * 0.53, size * 0.53);
        p.setPen(QPen(QColor(0x0f, 0x25, 0x40), std::max(1.0, size / 16.0)));
        p.setBrush(QColor(0xfd, 0xf6, 0xe3));
        p.drawEllipse(face);
        const QPointF centre = face.center();
        p.drawLine(centre, centre - QPointF(0, face.height() * 0.32));
        p.drawLine(centre, centre + QPointF(face.width() * 0.25, 0));
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

/// A control with its name and Tag.
template <typename Widget>
Widget* named(Widget* widget, const QString& name, const QString& tag = QString())
{
    widget->setObjectName(name);
    if (!tag.isEmpty())
        widget->setProperty("Tag", tag);
    return widget;
}

QLabel* sunkenLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return label;
}

} // namespace

// ====================================================================
// Bars

void frmMain::buildBars()
{
    m_background = new QWidget(this);
    m_background->setObjectName(QStringLiteral("frmMainBackground"));
    m_background->installEventFilter(this);
    auto* column = new QVBoxLayout(m_background);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    const auto bar = [this, column](Bar which, const QString& name, int height, int stripHeight,
                                    const QString& tag) {
        auto* container = new CollapsibleBar(name, height, stripHeight, m_background);
        container->setProperty("Tag", tag);
        container->strip()->setProperty("Tag", QStringLiteral("Click to show or hide this bar."));
        connect(container, &CollapsibleBar::stripClicked, this,
                [this, which] { toggleBar(which); });
        column->addWidget(container);
        m_bars[which] = container;
    };
    bar(BarSlide, QStringLiteral("picSlide"), SlideBarHeight, SlideBarHeight,
        QStringLiteral("Open, edit and show a single slide."));
    bar(BarCollect, QStringLiteral("picCollect"), CollectBarHeight, CollectBarHeight,
        QStringLiteral("Open, run and position the show."));
    bar(BarNav, QStringLiteral("picNav"), NavBarHeight, NavBarHeight,
        QStringLiteral("Steer the show."));
    bar(BarStatus, QStringLiteral("picStatus"), StatusBarHeight, StatusBarHeight,
        QStringLiteral("Slide show status."));
    bar(BarOpt, QStringLiteral("picOpt"), OptBarHeight, OptStripHeight,
        QStringLiteral("How the show runs."));
    column->addStretch(1);
    setCentralWidget(m_background);

    buildSlideBar();
    buildCollectBar();
    buildNavBar();
    buildStatusBar();
    buildOptBar();
}

void frmMain::buildSlideBar()
{
    QWidget* bar = m_bars[BarSlide]->content();
    m_bars[BarSlide]->setAcceptDrops(true);
    m_bars[BarSlide]->installEventFilter(this);

    tbrSlide = named(new QToolBar(bar), QStringLiteral("tbrSlide"), QStringLiteral("Slide tools."));
    tbrSlide->setIconSize(QSize(16, 16));
    const auto key = [this](QToolBar* toolbar, const QString& keyName, QStyle::StandardPixmap icon,
                            const QString& tip) {
        QAction* button = toolbar->addAction(style()->standardIcon(icon), keyName);
        button->setObjectName(toolbar->objectName() + keyName);
        button->setProperty("Key", keyName);
        button->setToolTip(tip);
        return button;
    };
    connect(key(tbrSlide, QStringLiteral("Open"), QStyle::SP_DialogOpenButton,
                QStringLiteral("Open a slide.")),
            &QAction::triggered, this, &frmMain::mnuSlideOpen_Click);
    connect(key(tbrSlide, QStringLiteral("Edit"), QStyle::SP_FileDialogDetailedView,
                QStringLiteral("Edit the current slide.")),
            &QAction::triggered, this, [this] { m_editors->doEditSlide(); });
    connect(key(tbrSlide, QStringLiteral("Reload"), QStyle::SP_BrowserReload,
                QStringLiteral("Reload the page.")),
            &QAction::triggered, this, &frmMain::GoReload);
    QAction* autoReload = key(tbrSlide, QStringLiteral("AutoReload"), QStyle::SP_BrowserReload,
                              QStringLiteral("Reload the page every interval."));
    autoReload->setIcon(autoReloadIcon(autoReload->icon()));
    connect(autoReload, &QAction::triggered, this, [this] { m_engine->AutoReloadStep(); });
    Twips::place(tbrSlide, ControlsLeft, 30, 1600, 390);

    lblSlidePause = named(sunkenLabel(bar), QStringLiteral("lblSlidePause"),
                          QStringLiteral("Pause (in seconds) to wait after displaying slide."));
    Twips::place(lblSlidePause, 1900, 90, 600, 270);
    lblSlideSound = named(sunkenLabel(bar), QStringLiteral("lblSlideSound"),
                          QStringLiteral("Shows the optional sound file playing with slide."));
    Twips::place(lblSlideSound, 2600, 90, 2700, 270);
    // A click on the slide's pause or sound edits the slide.
    lblSlidePause->installEventFilter(this);
    lblSlideSound->installEventFilter(this);

    cboAddress = named(new QComboBox(bar), QStringLiteral("cboAddress"),
                       QStringLiteral("Select  the slide  to show."));
    cboAddress->setEditable(true);
    // The box's list grows only by what is sent, entries appended as they
    // come; the box itself adds nothing and completes nothing.
    cboAddress->setInsertPolicy(QComboBox::NoInsert);
    cboAddress->setCompleter(nullptr);
    cboAddress->setAcceptDrops(true);
    cboAddress->lineEdit()->setAcceptDrops(true);
    cboAddress->installEventFilter(this);
    cboAddress->lineEdit()->installEventFilter(this);
    connect(cboAddress, &QComboBox::activated, this, [this](int index) {
        // Leaving the box with a text that matches an entry is no pick.
        if (m_leavingAddressBox)
            return;
        setAddressText(cboAddress->itemText(index));
        cboAddress_Click();
    });

    cmdSlide = named(new QPushButton(QStringLiteral("Slide"), bar), QStringLiteral("cmdSlide"),
                     QStringLiteral("Show the single slide."));
    connect(cmdSlide, &QPushButton::clicked, this, [this] { m_engine->cmdSlide_Click(); });
}

void frmMain::buildCollectBar()
{
    QWidget* bar = m_bars[BarCollect]->content();
    tbrCollect =
        named(new QToolBar(bar), QStringLiteral("tbrCollect"), QStringLiteral("Show tools."));
    tbrCollect->setIconSize(QSize(16, 16));
    const auto key = [this](const QString& keyName, QStyle::StandardPixmap icon,
                            const QString& tip) {
        QAction* button = tbrCollect->addAction(style()->standardIcon(icon), keyName);
        button->setObjectName(QStringLiteral("tbrCollect") + keyName);
        button->setProperty("Key", keyName);
        button->setToolTip(tip);
        return button;
    };
    connect(
        key(QStringLiteral("Open"), QStyle::SP_DialogOpenButton, QStringLiteral("Open a show.")),
        &QAction::triggered, this, [this] { m_files->do_open_collect(); });
    connect(key(QStringLiteral("Edit"), QStyle::SP_FileDialogDetailedView,
                QStringLiteral("Edit the show.")),
            &QAction::triggered, this, [this] { m_editors->mnuFileEdit_Click(); });
    // Each key switches its option to the other choice.
    connect(key(QStringLiteral("Mode"), QStyle::SP_BrowserReload,
                QStringLiteral("Run sequentially or randomly.")),
            &QAction::triggered, this,
            [this] { mnuOptionsOrder_Click(m_options.CarouselMode == 2 ? 0 : 1); });
    connect(key(QStringLiteral("Operation"), QStyle::SP_MediaSeekForward,
                QStringLiteral("Run once or continuously")),
            &QAction::triggered, this,
            [this] { mnuOptionsOperation_Click(m_options.CarouselOperation == 2 ? 0 : 1); });
    Twips::place(tbrCollect, ControlsLeft, 30, 1600, 390);

    cmdCollect = named(new QPushButton(QStringLiteral("Show"), bar), QStringLiteral("cmdCollect"),
                       QStringLiteral("Begin the slide show."));
    Twips::place(cmdCollect, 1900, 30, 800, 375);
    connect(cmdCollect, &QPushButton::clicked, this, &frmMain::cmdCollect_Click);

    txtCollectSlide = named(new QLineEdit(bar), QStringLiteral("txtCollectSlide"),
                            QStringLiteral("Show the current slide number."));
    Twips::place(txtCollectSlide, 2850, 45, 600, 330);
    connect(txtCollectSlide, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_engine->SlideNumberEdited(text); });

    updwnCollect = named(new UpDown(bar), QStringLiteral("updwnCollect"),
                         QStringLiteral("Change the slide number up or down."));
    updwnCollect->setBuddyValue(
        [this] { return int(VbConvert::roundHalfEven(VbConvert::Val(txtCollectSlide->text()))); });
    Twips::place(updwnCollect, 3450, 45, 240, 330);
    connect(updwnCollect, &UpDown::clicked, this,
            [this](int value) { m_engine->UpDownClicked(value); });

    sldCollect = named(new QSlider(Qt::Horizontal, bar), QStringLiteral("sldCollect"),
                       QStringLiteral("Drag slider to change the current slide."));
    sldCollect->setTickPosition(QSlider::TicksBelow);
    connect(sldCollect, &QSlider::actionTriggered, this,
            [this](int) { m_engine->SliderUserMoved(sldCollect->sliderPosition()); });

    lblColMin = named(new QLabel(bar), QStringLiteral("lblColMin"),
                      QStringLiteral("0 is rest point before starting collection."));
    Twips::place(lblColMin, ControlsLeft, 780, 400, 210);
    lblColMax = named(new QLabel(bar), QStringLiteral("lblColMax"),
                      QStringLiteral("Shows last slide number in collection."));
}

void frmMain::buildNavBar()
{
    QWidget* bar = m_bars[BarNav]->content();
    static constexpr QStyle::StandardPixmap Icons[6] = {
        QStyle::SP_MediaSkipBackward, QStyle::SP_MediaSeekBackward, QStyle::SP_MediaPause,
        QStyle::SP_MediaSeekForward,  QStyle::SP_MediaSkipForward,  QStyle::SP_MediaStop};
    static const char* const Tags[6] = {
        "Go to beginning of collection.", "Go back one slide.",       "Pause collection.",
        "Go forward one slide.",          "Go to end of collection.", "Stop current action."};
    for (int i = 0; i < 6; ++i) {
        cmdNavKey[i] = named(new QPushButton(bar), QStringLiteral("cmdNavKey%1").arg(i),
                             QString::fromLatin1(Tags[i]));
        cmdNavKey[i]->setIcon(style()->standardIcon(Icons[i]));
        Twips::place(cmdNavKey[i], ControlsLeft + i * 420, 60, 405, 405);
        connect(cmdNavKey[i], &QPushButton::clicked, this,
                [this, i] { m_engine->NavKeyPressed(i); });
    }
    cmdNav = named(new QPushButton(QStringLiteral("Control"), bar), QStringLiteral("cmdNav"),
                   QStringLiteral("Left click->Back; Center click->Pause; Right click->Forward"));
    Twips::place(cmdNav, ControlsLeft + 6 * 420 + 60, 60, 1000, 405);
    cmdNav->installEventFilter(this);
}

void frmMain::buildStatusBar()
{
    QWidget* bar = m_bars[BarStatus]->content();
    cmdStatus = named(new QPushButton(QStringLiteral("Status"), bar), QStringLiteral("cmdStatus"),
                      QStringLiteral("The state of the show and the browser."));
    cmdStatus->setFlat(true);
    // The caption keeps its whole width in any font and scale; the status
    // panel starts after it.
    const QStyle* buttonStyle = cmdStatus->style();
    const int captionWidth =
        Twips::fromPixels(cmdStatus->fontMetrics().horizontalAdvance(cmdStatus->text()) +
                          2 * (buttonStyle->pixelMetric(QStyle::PM_ButtonMargin) +
                               buttonStyle->pixelMetric(QStyle::PM_DefaultFrameWidth)));
    m_statusLeft = std::max(StatusLeft, ControlsLeft + captionWidth + 30);
    Twips::place(cmdStatus, ControlsLeft, 45, m_statusLeft - ControlsLeft - 30, 315);
    pnlStatus =
        named(sunkenLabel(bar), QStringLiteral("pnlStatus"), QStringLiteral("Slide show status."));
}

void frmMain::buildOptBar()
{
    QWidget* bar = m_bars[BarOpt]->content();
    const auto label = [bar](const QString& name, const QString& caption, int left) {
        auto* text = named(new QLabel(caption, bar), name);
        Twips::place(text, left, 0, 1300, 210);
        return text;
    };
    label(QStringLiteral("lblOrder"), QStringLiteral("Order:"), ControlsLeft);
    label(QStringLiteral("lblOperation"), QStringLiteral("Operation:"), 1450);
    label(QStringLiteral("lblLoading"), QStringLiteral("Loading:"), 2750);
    QLabel* pause = label(QStringLiteral("lblPause"), QStringLiteral("Default &Pause:"), 4300);

    auto* order = new QButtonGroup(bar);
    auto* operation = new QButtonGroup(bar);
    static const char* const OrderCaptions[2] = {"S&equential", "&Random"};
    static const char* const OrderTags[2] = {"Run the collection in order.",
                                             "Run the collection in random order."};
    static const char* const OperationCaptions[2] = {"O&nce", "Con&tinuous"};
    static const char* const OperationTags[2] = {"Run the collection once.",
                                                 "Run the collection continuously."};
    for (int i = 0; i < 2; ++i) {
        optCarMode[i] =
            named(new QRadioButton(QString::fromLatin1(OrderCaptions[i]), bar),
                  QStringLiteral("optCarMode%1").arg(i), QString::fromLatin1(OrderTags[i]));
        Twips::place(optCarMode[i], ControlsLeft, 210 + i * 255, 1250, 255);
        order->addButton(optCarMode[i], i);
        connect(optCarMode[i], &QRadioButton::clicked, this,
                [this, i] { m_engine->optCarMode_Click(i); });

        optCarOp[i] =
            named(new QRadioButton(QString::fromLatin1(OperationCaptions[i]), bar),
                  QStringLiteral("optCarOp%1").arg(i), QString::fromLatin1(OperationTags[i]));
        Twips::place(optCarOp[i], 1450, 210 + i * 255, 1250, 255);
        operation->addButton(optCarOp[i], i);
        connect(optCarOp[i], &QRadioButton::clicked, this,
                [this, i] { m_engine->optCarOp_Click(i); });
    }

    chkAutoStart =
        named(new QCheckBox(QStringLiteral("&Auto start"), bar), QStringLiteral("chkAutoStart"),
              QStringLiteral("Start the show when Pagewheel starts."));
    Twips::place(chkAutoStart, 2750, 210, 1500, 255);
    connect(chkAutoStart, &QCheckBox::clicked, this, &frmMain::setAutoStart);
    chkBusyWait =
        named(new QCheckBox(QStringLiteral("wa&it till done"), bar), QStringLiteral("chkBusyWait"),
              QStringLiteral("Wait till the page has loaded before the next slide."));
    Twips::place(chkBusyWait, 2750, 465, 1500, 255);
    connect(chkBusyWait, &QCheckBox::clicked, this, &frmMain::setBusyWait);
    chkUseDefault =
        named(new QCheckBox(QStringLiteral("use &default"), bar), QStringLiteral("chkUseDefault"),
              QStringLiteral("Use the default pause for every slide."));
    Twips::place(chkUseDefault, 2750, 720, 1500, 255);
    connect(chkUseDefault, &QCheckBox::clicked, this, &frmMain::setUseDefault);

    cboReloadInterval = named(new QComboBox(bar), QStringLiteral("cboReloadInterval"),
                              QStringLiteral("Specify the default interval between slides."));
    cboReloadInterval->setEditable(true);
    cboReloadInterval->setInsertPolicy(QComboBox::NoInsert);
    cboReloadInterval->setCompleter(nullptr);
    Twips::place(cboReloadInterval, 4300, 210, 1150, 330);
    pause->setBuddy(cboReloadInterval);
    cboReloadInterval->installEventFilter(this);
    cboReloadInterval->lineEdit()->installEventFilter(this);
    connect(cboReloadInterval->lineEdit(), &QLineEdit::textEdited, this,
            [this] { m_engine->IntervalEdited(); });
    connect(cboReloadInterval, &QComboBox::activated, this, [this] { m_engine->IntervalEdited(); });
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMain::Form_Resize()
{
    const Qt::WindowStates state = windowState();
    const int vbState = state & Qt::WindowMinimized   ? StateMinimized
                        : state & Qt::WindowMaximized ? StateMaximized
                                                      : StateNormal;
    debugLog(QStringLiteral("Main resize, window State: ") + QString::number(vbState));
    if (vbState == StateMinimized || !sldCollect)
        return;
    const int right = Twips::fromPixels(m_background->width()) - RightMargin;
    const auto stretch = [right](QWidget* control, int left, int top, int height) {
        Twips::place(control, left, top, std::max(0, right - left), height);
    };
    stretch(sldCollect, ControlsLeft, 480, 300);
    stretch(pnlStatus, m_statusLeft, 45, 315);
    const int statusWidth = std::max(0, right - StatusLeft);
    Twips::place(lblColMax, StatusLeft + statusWidth - ColMaxFromRight, 780, 600, 210);
    // The address box takes the width the Slide button leaves.
    Twips::place(cboAddress, ControlsLeft, 520,
                 std::max(0, right - SlideButtonWidth - 100 - ControlsLeft), 330);
    Twips::place(cmdSlide, std::max(ControlsLeft, right - SlideButtonWidth), 500, SlideButtonWidth,
                 375);
}

// ====================================================================
// ControlBarOwner

bool frmMain::alwaysOnTopChecked() const
{
    return mnuViewAlwaysOnTop->isChecked();
}

void frmMain::restoreWindow()
{
    if (m_unloading)
        return;
    showNormal();
}

void frmMain::minimizeWindow()
{
    showMinimized();
}

void frmMain::makeWindowTopmost()
{
    setAlwaysOnTop(true);
}

void frmMain::controlBarClosed()
{
    m_controlBar = nullptr;
    FullScreenOn = false;
    mnuViewFullScreen->setChecked(false);
}

// ====================================================================
// View menu and bars

frmControlBar* frmMain::controlBar() const
{
    return m_controlBar;
}

QMenu* frmMain::backgroundMenu(Qt::MouseButton button) const
{
    if (button == Qt::LeftButton)
        return mnuControl;
    if (button == Qt::RightButton)
        return mnuView;
    return nullptr;
}

void frmMain::toggleBar(Bar bar)
{
    CollapsibleBar* container = m_bars[bar];
    const bool expanded = !container->isExpanded();
    container->setExpanded(expanded);
    m_viewBarItems[bar]->setChecked(expanded);
    switch (bar) {
    case BarSlide:
        m_layout.BarSlideOn = expanded;
        break;
    case BarCollect:
        m_layout.BarCollectOn = expanded;
        break;
    case BarNav:
        m_layout.BarNavOn = expanded;
        break;
    case BarStatus:
        m_layout.BarStatusOn = expanded;
        break;
    case BarOpt:
        m_layout.BarOptOn = expanded;
        break;
    case BarCount:
        break;
    }
}

void frmMain::mnuViewMenu_Click()
{
    // The item ticked itself when chosen: its tick is the new state.
    const bool shown = mnuViewMenu->isChecked();
    for (QMenu* menu : std::as_const(m_topMenus))
        menu->menuAction()->setVisible(shown);
    m_mnuWizard->setVisible(shown);
    menuBar()->setVisible(shown);
}

void frmMain::setAlwaysOnTop(bool on)
{
    if (bool(windowFlags() & Qt::WindowStaysOnTopHint) == on)
        return;
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    // Changing the flags hides a window that was shown.
    if (visible)
        show();
}

void frmMain::mnuViewAlwaysOnTop_Click()
{
    // The item ticked itself when chosen: the old tick is its opposite.
    const bool wasOnTop = !mnuViewAlwaysOnTop->isChecked();
    setAlwaysOnTop(!wasOnTop);
    mnuViewAlwaysOnTop->setChecked(!wasOnTop);
}

void frmMain::mnuViewFullScreen_Click()
{
    AutomationBrowser* browser = UseOLE ? m_connection.instance() : nullptr;
    bool fullScreen = !FullScreenOn;
    if (UseOLE) {
        VbError error = browser ? VbError() : AutomationErrors::make(AutomationErrors::NotStarted);
        const bool current = browser && browser->FullScreen(&error);
        if (error.isError()) {
            errorLog(QStringLiteral("ERROR in setting IE to full screen: "), error);
            mnuViewFullScreen->setChecked(FullScreenOn);
            return;
        }
        // A bar that is up means full screen, whatever the browser says yet.
        fullScreen = !(current || m_controlBar);
    }
    FullScreenOn = fullScreen;
    mnuViewFullScreen->setChecked(fullScreen);

    if (!fullScreen) {
        if (browser) {
            VbError error;
            if (!browser->setFullScreen(false, &error))
                errorLog(QStringLiteral("ERROR in setting IE to full screen: "), error);
        }
        if (m_controlBar)
            m_controlBar->close();
        return;
    }

    if (m_fullScreenByCommandLine)
        m_fullScreenByCommandLine = false;
    else if (!mnuViewAlwaysOnTop->isChecked())
        mnuViewAlwaysOnTop->trigger();
    if (m_controlBar)
        m_controlBar->close();
    m_browserShownFullScreen = false;
    m_controlBar = new frmControlBar(browser, this, &m_options, &m_state);
    if (UseDDE)
        m_controlBar->setMenusVisible(true);
    m_controlBar->show();
    keepBelowControlBar();
}

void frmMain::browserFullScreen(bool on)
{
    // Left in the browser itself (Esc, F11): the bar goes and the item is
    // unticked, as if "Normal Size" had been chosen.
    if (on) {
        m_browserShownFullScreen = true;
        return;
    }
    // A window on its way into full screen may still read normal.
    if (!m_browserShownFullScreen || !m_controlBar || !m_controlBar->isVisible())
        return;
    debugLog(QStringLiteral("The browser left full screen."));
    m_controlBar->close();
    FullScreenOn = false;
    mnuViewFullScreen->setChecked(false);
}

void frmMain::keepBelowControlBar()
{
    // The bar lies across the top of the screen and this window stays on
    // top beside it: the window steps down below the bar, so the bar never
    // covers its menu.
    if (!m_controlBar || (windowState() & Qt::WindowMinimized))
        return;
    const QRect bar = m_controlBar->frameGeometry();
    const QRect frame = frameGeometry();
    if (frame.intersects(bar) && frame.top() <= bar.bottom())
        move(x(), y() + bar.bottom() + 1 - frame.top());
}
