// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/frmMain.h"

#include "browser/modURL.h"
#include "engine/IntervalBox.h"
#include "engine/ShowEngine.h"
#include "engine/modInterval.h"
#include "guidance/frmAbout.h"
#include "guidance/frmTip.h"
#include "guidance/frmWizMain.h"
#include "mainwindow/AccessibleNames.h"
#include "mainwindow/CollapsibleBar.h"
#include "mainwindow/BrowserRecovery.h"
#include "mainwindow/MainBrowser.h"
#include "browser/frmBrowserType.h"
#include "mainwindow/MainEditors.h"
#include "mainwindow/UnattendedRun.h"
#include "mainwindow/ShowFiles.h"
#include "mainwindow/Twips.h"
#include "mainwindow/UpDown.h"
#include "mainwindow/frmControlBar.h"
#include "platform/AutomationBrowser.h"
#include "platform/Help.h"
#include "platform/HelpTopics.h"
#include "platform/Prompts.h"
#include "platform/VbConvert.h"
#include "startup/Main.h"
#include "startup/ProgramVersion.h"
#include "startup/modFileTools.h"
#include "startup/modMain.h"
#include "startup/modToolTips.h"
#include "webshow/frmWebShow.h"

#include <QApplication>
#include <QScopedValueRollback>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDropEvent>
#include <QFocusEvent>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace {

using modMain::debugLog;

const QString CrLf = QStringLiteral("\r\n");

// Bar heights in twips: the container's, and the strip's when expanded.
constexpr int SlideBarHeight = 1000;
constexpr int CollectBarHeight = 1000;
constexpr int NavBarHeight = 650;
constexpr int StatusBarHeight = 400;
constexpr int OptBarHeight = 1050;
constexpr int OptStripHeight = 1250;

// Where the controls that follow the window's width start, in twips.
// How long a new browser window takes to come up in front.
constexpr int BrowserWindowUpMilliseconds = 1500;
// How long a message stands against the focus returning to the window.
constexpr int StatusHoldMilliseconds = 4000;
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

void errorLog(const QString& prefix, const VbError& error)
{
    if (modMain::ErrorMode)
        modMain::WriteLog(prefix + QString::number(error.number) +
                          QStringLiteral(",  Description: ") + error.description);
}

QList<frmMain*>& mainWindows()
{
    static QList<frmMain*> all;
    return all;
}

// Set when the program is asked to end from outside (a termination signal):
// the windows then unload without asking anything.
bool endingWithoutQuestions = false;

std::function<void()>& programEnd()
{
    static std::function<void()> end = [] { QCoreApplication::exit(0); };
    return end;
}

/// The default-pause box as the interval table fills it.
class ComboIntervalBox final : public IntervalBox
{
public:
    explicit ComboIntervalBox(QComboBox* box) : m_box(box) {}
    void setText(const QString& text) override { m_box->setEditText(text); }
    void addItem(const QString& text) override
    {
        // Adding the first entry would make it the box's text.
        const QString current = m_box->currentText();
        m_box->addItem(text);
        m_box->setEditText(current);
    }

private:
    QComboBox* m_box;
};

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
// Construction

frmMain::frmMain(const COptions& options, QWidget* parent, EngineBrowser* browser)
    : QMainWindow(parent), m_connection(m_options), UseDDE(m_connection.UseDDE),
      UseOLE(m_connection.UseOLE), FullScreenOn(m_connection.FullScreenOn), m_cdlMain(this)
{
    static int serial = 0;
    m_serial = ++serial;
    mainWindows().append(this);

    options.Copy_Object_to(m_options);
    m_options.Changed = options.Changed;

    setObjectName(QStringLiteral("frmMain"));
    setProperty("Tag", QStringLiteral("Main Pagewheel screen."));
    QMainWindow::setWindowTitle(QString());
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    Help::setHelpContext(this, modMain::HelpFile(), HelpTopics::frmMain);

    if (!browser) {
        m_mainBrowser = std::make_unique<MainBrowser>(m_connection, m_options);
        browser = m_mainBrowser.get();
    }
    m_browser = browser;

    buildBars();
    buildMenus();

    m_engine = std::make_unique<ShowEngine>(m_options, m_show, m_state, *m_browser, *this);
    m_engine->alarm().setObjectName(QStringLiteral("VexiloTimer1"));
    m_unattended = std::make_unique<UnattendedRun>(this);
    m_recovery =
        std::make_unique<BrowserRecovery>(m_connection, *m_engine, m_options, *m_unattended);
    m_recovery->setMemoryLimitMB(BrowserRecovery::storedMemoryLimitMB());
    m_files = std::make_unique<ShowFiles>(
        ShowFiles::Parts{m_options, m_show, m_state, *m_engine, *this, m_cdlMain, bShowEdited});
    m_files->recentListChanged = [this] { showRecentList(); };
    m_editors = std::make_unique<MainEditors>(
        MainEditors::Parts{this, m_options, m_show, m_state, *m_files, bShowEdited,
                           [this](const QString& address) {
                               setAddressText(address);
                               cboAddress_Click();
                           },
                           [this] { Form_Activate(); }, [this] { beep(); }});
    connectEngine();
    AccessibleNames::apply(this);

    resize(Twips::toPixels(m_layout.WidthLarge), Twips::toPixels(m_layout.HeightLarge));
}

frmMain::~frmMain()
{
    mainWindows().removeAll(this);
    // A window deleted while its address box has the focus loses it only
    // as the controls go: nothing may reach the half-gone window then.
    cboAddress->disconnect(this);
    disconnect(qApp, nullptr, this, nullptr);
    if (m_controlBar)
        delete m_controlBar.data();
    // The engine drives this window's controls: it goes first, after
    // what watches it.
    m_recovery.reset();
    m_engine.reset();
}

void frmMain::setProgramEnd(std::function<void()> end)
{
    programEnd() = std::move(end);
}

void frmMain::EndWithoutQuestions()
{
    endingWithoutQuestions = true;
    const QList<frmMain*> windows = mainWindows();
    if (windows.isEmpty()) {
        if (programEnd())
            programEnd()();
        return;
    }
    // Each window unloads as on Exit; the last one unloads the browser,
    // writes the end banner and ends the program.
    for (frmMain* window : windows) {
        if (!window->m_unloading)
            window->close();
    }
}

int frmMain::mainWindowCount()
{
    return int(std::count_if(mainWindows().cbegin(), mainWindows().cend(),
                             [](const frmMain* window) { return !window->m_unloading; }));
}

QString frmMain::identification() const
{
    return objectName() + QLatin1Char(' ') + QString::number(m_serial);
}

// ----------------------------------------------------------------- bars

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

// ---------------------------------------------------------------- menus

QMenu* frmMain::addMenu(QMenu* parent, const QString& name, const QString& caption)
{
    QMenu* menu = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    if (!parent)
        m_topMenus.append(menu);
    return menu;
}

QAction* frmMain::addItem(QMenu* menu, const QString& name, const QString& caption)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    return item;
}

QAction* frmMain::addCheckItem(QMenu* menu, const QString& name, const QString& caption)
{
    QAction* item = addItem(menu, name, caption);
    item->setCheckable(true);
    return item;
}

void frmMain::buildMenus()
{
    menuBar()->setNativeMenuBar(false);
    buildFileMenu();
    m_mnuWizard = menuBar()->addAction(QStringLiteral("&Wizard"));
    m_mnuWizard->setObjectName(QStringLiteral("mnuWizard"));
    connect(m_mnuWizard, &QAction::triggered, this, &frmMain::mnuWizard_Click);
    buildControlMenu();
    buildViewMenu();
    buildModeMenu();
    buildSlideMenu();
    buildOptionsMenu();
    buildHelpMenu();
}

void frmMain::buildFileMenu()
{
    QMenu* file = addMenu(nullptr, QStringLiteral("mnuFile"), QStringLiteral("&File"));
    QMenu* fileNew = addMenu(file, QStringLiteral("mnuFileNew"), QStringLiteral("&New"));
    mnuFileNewPagewheelWindow = addItem(fileNew, QStringLiteral("mnuFileNewPagewheelWindow"),
                                        QStringLiteral("&Pagewheel Window"));
    connect(mnuFileNewPagewheelWindow, &QAction::triggered, this,
            &frmMain::mnuFileNewPagewheelWindow_Click);
    connect(addItem(fileNew, QStringLiteral("mnuFileNewNewShow"), QStringLiteral("&New Show")),
            &QAction::triggered, this, [this] { m_editors->mnuFileNewBlank_Click(); });
    connect(addItem(fileNew, QStringLiteral("mnuFileNewMakeShowFromDirectory"),
                    QStringLiteral("&Make Show from Directory")),
            &QAction::triggered, this, [this] { m_editors->mnuFileNewDirList_Click(); });

    connect(addItem(file, QStringLiteral("mnuFileOpen"), QStringLiteral("&Open")),
            &QAction::triggered, this, [this] { m_files->do_open_collect(); });
    connect(addItem(file, QStringLiteral("mnuFileEdit"), QStringLiteral("E&dit")),
            &QAction::triggered, this, [this] { m_editors->mnuFileEdit_Click(); });
    connect(addItem(file, QStringLiteral("mnuFileSave"), QStringLiteral("&Save")),
            &QAction::triggered, this, [this] { m_files->saveShow(); });
    QMenu* saveAs = addMenu(file, QStringLiteral("mnuFileSaveAs"), QStringLiteral("Save &As..."));
    connect(addItem(saveAs, QStringLiteral("mnuFileSaveAsFile"), QStringLiteral("&File")),
            &QAction::triggered, this, [this] { m_files->do_save_collect(); });
    connect(addItem(saveAs, QStringLiteral("mnuFileSaveAsWebShow"), QStringLiteral("&Web Show")),
            &QAction::triggered, this, &frmMain::mnuFileSaveAsWebShow_Click);
    QMenu* bookmarks = addMenu(file, QStringLiteral("mnuFileImportAndExport"),
                               QStringLiteral("&Import and Export"));
    connect(addItem(bookmarks, QStringLiteral("mnuFileImportAndExportImportBookmarks"),
                    QStringLiteral("&Import Bookmarks")),
            &QAction::triggered, this, &frmMain::mnuFileImportBookmarks_Click);
    connect(addItem(bookmarks, QStringLiteral("mnuFileImportAndExportExportBookmarks"),
                    QStringLiteral("&Export Bookmarks")),
            &QAction::triggered, this, &frmMain::mnuFileExportBookmarks_Click);
    connect(addItem(file, QStringLiteral("mnuFileExit"), QStringLiteral("&Exit")),
            &QAction::triggered, this, &QWidget::close);

    // The recent shows: a separator, then up to five entries.
    mnuFileArray[0] = file->addSeparator();
    mnuFileArray[0]->setObjectName(QStringLiteral("mnuFileArray0"));
    mnuFileArray[0]->setVisible(false);
    for (int i = 1; i <= ShowFiles::MaxRecent; ++i) {
        mnuFileArray[i] = addItem(file, QStringLiteral("mnuFileArray%1").arg(i), QString());
        mnuFileArray[i]->setVisible(false);
        connect(mnuFileArray[i], &QAction::triggered, this, [this, i] { m_files->openRecent(i); });
    }
}

void frmMain::buildControlMenu()
{
    mnuControl = addMenu(nullptr, QStringLiteral("mnuControl"), QStringLiteral("&Control"));
    connect(
        addItem(mnuControl, QStringLiteral("mnuControlBeginning"), QStringLiteral("Be&ginning")),
        &QAction::triggered, this, &frmMain::GoBegin);
    connect(addItem(mnuControl, QStringLiteral("mnuControlBack"), QStringLiteral("&Back")),
            &QAction::triggered, this, &frmMain::GoBack);
    mnuControlPause =
        addCheckItem(mnuControl, QStringLiteral("mnuControlPause"), QStringLiteral("&Pause"));
    connect(mnuControlPause, &QAction::triggered, this, &frmMain::GoPause);
    connect(addItem(mnuControl, QStringLiteral("mnuControlForward"), QStringLiteral("&Forward")),
            &QAction::triggered, this, &frmMain::GoForward);
    connect(addItem(mnuControl, QStringLiteral("mnuControlEnding"), QStringLiteral("&Ending")),
            &QAction::triggered, this, &frmMain::GoEnd);
    connect(addItem(mnuControl, QStringLiteral("mnuControlStop"), QStringLiteral("&Stop")),
            &QAction::triggered, this, &frmMain::GoStop);
    connect(addItem(mnuControl, QStringLiteral("mnuControlReload"), QStringLiteral("&Reload")),
            &QAction::triggered, this, &frmMain::GoReload);
}

void frmMain::buildViewMenu()
{
    mnuView = addMenu(nullptr, QStringLiteral("mnuView"), QStringLiteral("&View"));
    mnuViewMenu = addCheckItem(mnuView, QStringLiteral("mnuViewMenu"), QStringLiteral("&Menu"));
    mnuViewMenu->setChecked(true);
    connect(mnuViewMenu, &QAction::triggered, this, &frmMain::mnuViewMenu_Click);

    const auto barItem = [this](Bar bar, const QString& name, const QString& caption) {
        m_viewBarItems[bar] = addCheckItem(mnuView, name, caption);
        m_viewBarItems[bar]->setChecked(true);
        connect(m_viewBarItems[bar], &QAction::triggered, this, [this, bar] { toggleBar(bar); });
    };
    barItem(BarNav, QStringLiteral("mnuViewControl"), QStringLiteral("&Control"));
    barItem(BarCollect, QStringLiteral("mnuViewShow"), QStringLiteral("S&how"));
    barItem(BarSlide, QStringLiteral("mnuViewSlide"), QStringLiteral("&Slide"));
    barItem(BarOpt, QStringLiteral("mnuViewOptions"), QStringLiteral("&Options"));
    barItem(BarStatus, QStringLiteral("mnuViewStatus"), QStringLiteral("S&tatus"));

    mnuView->addSeparator();
    mnuViewAlwaysOnTop = addCheckItem(mnuView, QStringLiteral("mnuViewAlwaysOnTop"),
                                      QStringLiteral("&Always on top"));
    connect(mnuViewAlwaysOnTop, &QAction::triggered, this, &frmMain::mnuViewAlwaysOnTop_Click);
    mnuViewFullScreen =
        addCheckItem(mnuView, QStringLiteral("mnuViewFullScreen"), QStringLiteral("&Full Screen"));
    connect(mnuViewFullScreen, &QAction::triggered, this, &frmMain::mnuViewFullScreen_Click);
}

void frmMain::buildModeMenu()
{
    QMenu* mode = addMenu(nullptr, QStringLiteral("mnuMode"), QStringLiteral("&Mode"));
    m_modeItems[ShowEngine::ModeNormal] =
        addCheckItem(mode, QStringLiteral("mnuModeNormal"), QStringLiteral("&Normal"));
    m_modeItems[ShowEngine::ModeAutoReload] =
        addCheckItem(mode, QStringLiteral("mnuModeAutoReload"), QStringLiteral("&Auto-Reload"));
    m_modeItems[ShowEngine::ModeShow] =
        addCheckItem(mode, QStringLiteral("mnuModeShow"), QStringLiteral("&Show"));
    connect(m_modeItems[ShowEngine::ModeNormal], &QAction::triggered, this, [this] {
        m_engine->mnuModeNormal();
        resyncCheckMarks();
    });
    connect(m_modeItems[ShowEngine::ModeAutoReload], &QAction::triggered, this, [this] {
        m_engine->mnuModeAutoReload();
        resyncCheckMarks();
    });
    connect(m_modeItems[ShowEngine::ModeShow], &QAction::triggered, this, [this] {
        m_engine->mnuModeShow();
        resyncCheckMarks();
    });
}

void frmMain::buildSlideMenu()
{
    QMenu* slide = addMenu(nullptr, QStringLiteral("mnuSlide"), QStringLiteral("&Slide"));
    connect(addItem(slide, QStringLiteral("mnuSlideOpen"), QStringLiteral("&Open")),
            &QAction::triggered, this, &frmMain::mnuSlideOpen_Click);
    connect(addItem(slide, QStringLiteral("mnuSlideEdit"), QStringLiteral("&Edit")),
            &QAction::triggered, this, [this] { m_editors->doEditSlide(); });
}

void frmMain::buildOptionsMenu()
{
    QMenu* options = addMenu(nullptr, QStringLiteral("mnuOptions"), QStringLiteral("&Options"));
    QMenu* operation =
        addMenu(options, QStringLiteral("mnuOptionsOperation"), QStringLiteral("&Operation"));
    QMenu* order = addMenu(options, QStringLiteral("mnuOptionsOrder"), QStringLiteral("O&rder"));
    static const char* const OperationCaptions[2] = {"&Once", "&Continuous"};
    static const char* const OrderCaptions[2] = {"&Sequential", "&Random"};
    for (int i = 0; i < 2; ++i) {
        mnuOptionsOperation[i] =
            addCheckItem(operation, QStringLiteral("mnuOptionsOperation%1").arg(i),
                         QString::fromLatin1(OperationCaptions[i]));
        connect(mnuOptionsOperation[i], &QAction::triggered, this,
                [this, i] { mnuOptionsOperation_Click(i); });
        mnuOptionsOrder[i] = addCheckItem(order, QStringLiteral("mnuOptionsOrder%1").arg(i),
                                          QString::fromLatin1(OrderCaptions[i]));
        connect(mnuOptionsOrder[i], &QAction::triggered, this,
                [this, i] { mnuOptionsOrder_Click(i); });
    }

    QMenu* loading =
        addMenu(options, QStringLiteral("mnuOptionsLoading"), QStringLiteral("&Loading"));
    mnuOptionsLoadingAutoStart = addCheckItem(loading, QStringLiteral("mnuOptionsLoadingAutoStart"),
                                              QStringLiteral("&Auto Start"));
    connect(mnuOptionsLoadingAutoStart, &QAction::triggered, this,
            [this] { setAutoStart(!m_options.AutoStart); });
    mnuOptionsLoadingWaitTillDone =
        addCheckItem(loading, QStringLiteral("mnuOptionsLoadingWaitTillDone"),
                     QStringLiteral("&wait till done"));
    connect(mnuOptionsLoadingWaitTillDone, &QAction::triggered, this,
            [this] { setBusyWait(!m_options.BusyWait); });

    QMenu* pause = addMenu(options, QStringLiteral("mnuOptionsPause"), QStringLiteral("&Pause"));
    mnuOptionsPauseUseDefault = addCheckItem(pause, QStringLiteral("mnuOptionsPauseUseDefault"),
                                             QStringLiteral("use &default"));
    connect(mnuOptionsPauseUseDefault, &QAction::triggered, this,
            [this] { setUseDefault(!m_options.UseDefault); });

    QMenu* tips =
        addMenu(options, QStringLiteral("mnuOptionsToolTips"), QStringLiteral("&Tool Tips"));
    mnuOptionsToolTipsOn =
        addCheckItem(tips, QStringLiteral("mnuOptionsToolTipsOn"), QStringLiteral("&On"));
    connect(mnuOptionsToolTipsOn, &QAction::triggered, this, [this] { setToolTips(true); });
    mnuOptionsToolTipsOff =
        addCheckItem(tips, QStringLiteral("mnuOptionsToolTipsOff"), QStringLiteral("O&ff"));
    connect(mnuOptionsToolTipsOff, &QAction::triggered, this, [this] { setToolTips(false); });

    options->addSeparator();
    connect(addItem(options, QStringLiteral("mnuOptionsSaveToFile"),
                    QStringLiteral("&Save to file...")),
            &QAction::triggered, this, [this] { m_files->saveOptionsToFile(); });
    options->addSeparator();
    connect(addItem(options, QStringLiteral("mnuOptionsBrowser"), QStringLiteral("&Browser")),
            &QAction::triggered, this, &frmMain::mnuOptionsBrowser_Click);
}

void frmMain::buildHelpMenu()
{
    QMenu* help = addMenu(nullptr, QStringLiteral("mnuHelp"), QStringLiteral("&Help"));
    connect(addItem(help, QStringLiteral("mnuHelpHelpTopics"), QStringLiteral("&Help Topics")),
            &QAction::triggered, this, [] { Help::ShowContents(modMain::HelpFile()); });
    connect(addItem(help, QStringLiteral("mnuHelpSearch"), QStringLiteral("&Search")),
            &QAction::triggered, this, [] { Help::SearchKeyword(modMain::HelpFile()); });
    connect(addItem(help, QStringLiteral("mnuHelpUsingHelp"), QStringLiteral("&Using Help")),
            &QAction::triggered, this, [] { Help::ShowHelpOnHelp(modMain::HelpFile()); });
    connect(addItem(help, QStringLiteral("mnuHelpTips"), QStringLiteral("&Tips")),
            &QAction::triggered, this, &frmMain::mnuHelpTips_Click);
    help->addSeparator();
    connect(addItem(help, QStringLiteral("mnuHelpVexiloSoftwareWebsite"),
                    QStringLiteral("&Vexilo Software Website")),
            &QAction::triggered, this, &frmMain::mnuHelpWebsite_Click);
    connect(addItem(help, QStringLiteral("mnuHelpSoftwareUpdates"),
                    QStringLiteral("Software &Updates")),
            &QAction::triggered, this, &frmMain::mnuHelpUpdates_Click);
    help->addSeparator();
    connect(addItem(help, QStringLiteral("mnuHelpAbout"), QStringLiteral("&About")),
            &QAction::triggered, this, &frmMain::mnuHelpAbout_Click);
}

void frmMain::connectEngine()
{
    connect(m_engine.get(), &ShowEngine::exitRequested, this, &frmMain::requestClose);
    connect(&m_connection, &BrowserConnection::statusText, this, &frmMain::setStatusText);
    connect(&m_connection, &BrowserConnection::busyCursor, this, &frmMain::setBusyCursor);
    connect(&m_connection, &BrowserConnection::stopRequested, this, &frmMain::GoStop);
    connect(&m_connection, &BrowserConnection::browserFullScreen, this,
            &frmMain::browserFullScreen);
    connect(&m_connection, &BrowserConnection::closeRequested, this, [this] {
        m_closeRequested = true;
        if (m_loaded)
            requestClose();
    });
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget* old, QWidget* now) { showTagOf(old, now); });
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &frmMain::noteFocusWindow);
}

void frmMain::noteFocusWindow(QWindow* window)
{
    if (!window || window == windowHandle())
        return;
    // Another program's window takes the focus as no window of ours: the
    // focus window is then none.
    m_backFromProgramWindow = false;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QWidget* widget : windows) {
        if (widget->windowHandle() == window) {
            // The program's own windows are named frm...; message boxes and
            // file dialogs are not, as they were none of the program's forms.
            m_backFromProgramWindow = widget->objectName().startsWith(QLatin1String("frm"));
            return;
        }
    }
}

// ====================================================================
// Load, activate, resize, unload

void frmMain::Form_Load()
{
    debugLog(QStringLiteral("Main form load - start"));
    // A show that starts by itself may have nobody in front of it.
    if (m_options.AutoStart)
        m_unattended->startUnattended();
    else
        m_unattended->becomeAttended();
    if (m_options.ToolTips)
        modMain::ToolTipsOn(this);

    {
        const QSignalBlocker blocker(cboReloadInterval);
        ComboIntervalBox box(cboReloadInterval);
        modInterval::load_reload_cbo(box, m_options.ReloadInterval);
    }

    debugLog(QStringLiteral("Main form load - load options"));
    m_engine->ApplyShowOptions();
    setBrowserItems();
    // Not kept on top at first.
    setAlwaysOnTop(false);

    debugLog(QStringLiteral("Main form load - show form"));
    show();
    Form_Resize();

    load_Browser(UseOLE, UseDDE, m_options.AutoDDEapp, m_options.AutoDDEexe);
    if (m_closeRequested) {
        // The user chose not to go on without a browser.
        m_loaded = true;
        requestClose();
        return;
    }

    if (!IsCopy) {
        debugLog(QStringLiteral("Main form load - display tips"));
        if (m_options.DisplayTips) {
            m_tip = new frmTip(this);
            m_tip->setAttribute(Qt::WA_DeleteOnClose);
            m_tip->setOptions(m_options);
            m_tip->show();
        }
    }

    debugLog(QStringLiteral("Main form load - init starting address"));
    if (!m_options.StartingAddress.isEmpty()) {
        setAddressText(m_options.StartingAddress);
        if (m_mainBrowser)
            m_mainBrowser->setRestartOffered(false);
        m_engine->cboAddress_Click();
        if (m_mainBrowser)
            m_mainBrowser->setRestartOffered(true);
    } else {
        setAddressText(QString());
    }

    m_options.Changed = false;
    bShowEdited = false;
    // The browser stays in front of the window that runs it. Otherwise the
    // window comes back in front once the new browser window is up, so a
    // newcomer sees the controls and not just a browser.
    if (m_options.AutoStart) {
        lower();
    } else if (UseOLE || UseDDE) {
        QTimer::singleShot(BrowserWindowUpMilliseconds, this, [this] {
            if (!m_unloading && !FullScreenOn && !(windowState() & Qt::WindowMinimized)) {
                raise();
                activateWindow();
            }
        });
    }

    if (!IsCopy) {
        if (modMain::FullScreenMode) {
            m_fullScreenByCommandLine = true;
            mnuViewFullScreen_Click();
        }
        debugLog(QStringLiteral("Main form load - display wizard"));
        if (m_options.DisplayWizard) {
            // The chooser takes the tips' place.
            if (m_options.DisplayTips && m_tip)
                m_tip->close();
            mnuWizard_Click();
        }
    }
    m_loaded = true;

    if (m_options.AutoStart) {
        if (m_options.DisplayTips && m_tip)
            m_tip->close();
        if (m_options.DisplayWizard && m_wizMain)
            m_wizMain->close();
        if (m_options.ReloadMode == ShowEngine::ModeAutoReload)
            m_engine->mnuModeAutoReload();
        else
            m_engine->mnuModeShow();
    } else {
        m_engine->change_mode(ShowEngine::ModeNormal);
    }
    resyncCheckMarks();
}

void frmMain::setBrowserItems()
{
    if (UseOLE) {
        mnuViewFullScreen->setEnabled(true);
        chkBusyWait->setEnabled(true);
        mnuOptionsLoadingWaitTillDone->setEnabled(true);
        mnuFileNewPagewheelWindow->setEnabled(true);
    } else if (UseDDE) {
        mnuViewFullScreen->setEnabled(true);
        chkBusyWait->setEnabled(false);
        mnuOptionsLoadingWaitTillDone->setEnabled(false);
        mnuFileNewPagewheelWindow->setEnabled(false);
    }
}

bool frmMain::event(QEvent* event)
{
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::WindowActivate && m_loaded && !m_unloading)
        Form_Activate();
    return handled;
}

void frmMain::Form_Activate()
{
    debugLog(identification() + QStringLiteral(" is active."));
    if (IsCopy)
        debugLog(QStringLiteral("This form is a copy."));
    if (bShowEdited) {
        m_engine->do_set_collect();
        bShowEdited = false;
    } else if (m_show.Count() > 0 && m_state.NumCurrentSlide > 0 &&
               (m_state.NumCurrentSlide != m_activatedSlide || m_backFromProgramWindow)) {
        if (const colURLs::Slide slide = m_show.Item(m_state.NumCurrentSlide)) {
            setAddressText(slide->HREF);
            setSlideSoundText(slide->SoundFile);
            setSlidePauseText(QString::number(slide->PauseTime));
        }
    }
    m_activatedSlide = m_state.NumCurrentSlide;
    m_backFromProgramWindow = false;
    if (UseOLE) {
        if (AutomationBrowser* browser = m_connection.instance()) {
            VbError error;
            if (!browser->FullScreen(&error) && !error.isError())
                mnuViewFullScreen->setChecked(false);
            if (error.isError())
                errorLog(QStringLiteral("ERROR in activating main form: "), error);
        }
    }
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

void frmMain::requestClose()
{
    QTimer::singleShot(0, this, &QWidget::close);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    if (!m_unloading)
        Form_Unload();
    event->accept();
}

void frmMain::Form_Unload()
{
    const bool quiet = endingWithoutQuestions;
    if (m_engine->bIntervalDirty() && !quiet)
        m_engine->ValidateReloadInterval();
    debugLog(identification() + QStringLiteral(" UNLOADING"));
    setBusyCursor(false);
    // From here on this window no longer counts as open.
    m_unloading = true;

    if (m_options.ReloadMode != ShowEngine::ModeNormal) {
        // The next start resumes the mode that ran.
        const qint16 previous = m_options.ReloadMode;
        m_engine->change_mode(ShowEngine::ModeNormal);
        m_options.ReloadMode = previous;
    }
    // Ending without questions keeps the user's show file as it is.
    if (m_files->hasUnsavedEdits() && !quiet)
        m_files->AskSaveShowEdits(Prompts::vbYesNo);

    const int open = mainWindowCount() + 1;
    if (open > 1) {
        debugLog(QStringLiteral("Unloading Main form ") + QString::number(open));
        m_recovery->stop();
        unload_browser(UseOLE, UseDDE, m_options.AutoDDEapp, m_options.AutoDDEexe);
        m_state = cShowState();
        return;
    }

    debugLog(QStringLiteral("Only Main instance, shutting down..."));
    const bool minimized = windowState() & Qt::WindowMinimized;
    const bool normal =
        !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    if (normal) {
        const QPoint where = pos();
        m_layout.SaveSettings({Twips::fromPixels(where.x()), Twips::fromPixels(where.y()),
                               Twips::fromPixels(width()), Twips::fromPixels(height())});
        m_layout.SaveSettingsFiles(m_files->recentFiles(), m_files->RecentCount());
    }
    m_options.StartingAddress = addressText();
    bool numeric = false;
    const qint16 slide = txtCollectSlide->text().trimmed().toShort(&numeric);
    m_options.StartingSlide = numeric ? slide : qint16(0);
    if (m_options.CarouselFileName != modMain::SavedOptions.CarouselFileName)
        m_options.Changed = true;
    if (m_options.Changed && !minimized && !modMain::UseOptionsFile && !quiet)
        m_files->AskSaveSettings();

    // The other windows (tips, control bar, help) go with the last one.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window != this && window->isVisible() && !isAncestorOf(window))
            window->close();
    }
    if (m_controlBar)
        m_controlBar->close();
    m_recovery->stop();
    unload_browser(UseOLE, UseDDE, m_options.AutoDDEapp, m_options.AutoDDEexe);
    modMain::LogEnd();
    if (programEnd())
        programEnd()();
}

// ====================================================================
// The public operations

void frmMain::GoBegin()
{
    m_engine->GoBegin();
}

void frmMain::GoBack()
{
    m_engine->GoBack();
}

void frmMain::GoPause()
{
    m_engine->GoPause();
    resyncCheckMarks();
}

void frmMain::GoForward()
{
    m_engine->GoForward();
}

void frmMain::GoEnd()
{
    m_engine->GoEnd();
}

void frmMain::GoStop()
{
    m_engine->GoStop();
    resyncCheckMarks();
}

void frmMain::GoReload()
{
    m_engine->GoReload();
}

bool frmMain::Suspend_Timer()
{
    return m_engine->Suspend_Timer();
}

bool frmMain::load_show(const QString& fileName)
{
    return m_engine->load_show(fileName);
}

void frmMain::do_set_collect()
{
    m_engine->do_set_collect();
}

void frmMain::set_slider()
{
    m_engine->set_slider();
}

void frmMain::change_mode(qint16 newMode)
{
    m_engine->change_mode(newMode);
    resyncCheckMarks();
}

void frmMain::cboAddress_Click()
{
    m_engine->cboAddress_Click();
}

void frmMain::cmdCollect_Click()
{
    m_engine->mnuModeShow();
    resyncCheckMarks();
}

bool frmMain::load_Browser(bool& useOLE, bool& useDDE, const QString& application,
                           const QString& executable)
{
    return m_connection.load_Browser(useOLE, useDDE, application, executable);
}

bool frmMain::unload_browser(bool useOLE, bool useDDE, const QString& application,
                             const QString& executable)
{
    return m_connection.unload_browser(useOLE, useDDE, application, executable);
}

void frmMain::BrowserTerminate(qint16& counter)
{
    m_connection.BrowserTerminate(counter);
}

// ====================================================================
// EngineView

QString frmMain::addressText() const
{
    return cboAddress->currentText();
}

void frmMain::setAddressText(const QString& text)
{
    cboAddress->setEditText(text);
}

void frmMain::addAddressToList(const QString& text)
{
    const QString current = cboAddress->currentText();
    cboAddress->addItem(text);
    cboAddress->setEditText(current);
}

void frmMain::setSlidePauseText(const QString& text)
{
    lblSlidePause->setText(text);
}

void frmMain::setSlidePauseVisible(bool visible)
{
    lblSlidePause->setVisible(visible);
}

QString frmMain::slideSoundText() const
{
    return lblSlideSound->text();
}

void frmMain::setSlideSoundText(const QString& text)
{
    lblSlideSound->setText(text);
}

void frmMain::setStatusText(const QString& text)
{
    pnlStatus->setText(text);
    m_statusHeld.setRemainingTime(StatusHoldMilliseconds);
}

void frmMain::setWindowTitle(const QString& title)
{
    QMainWindow::setWindowTitle(title);
}

void frmMain::setBusyCursor(bool busy)
{
    if (busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void frmMain::setWindowIconNumber(int resourceNumber)
{
    static const QHash<int, QStyle::StandardPixmap> icons{
        {101, QStyle::SP_MediaPlay}, {102, QStyle::SP_MediaStop}, {103, QStyle::SP_MediaPause}};
    setProperty("IconNumber", resourceNumber);
    setWindowIcon(style()->standardIcon(icons.value(resourceNumber, QStyle::SP_MediaStop)));
}

void frmMain::beep()
{
    QApplication::beep();
}

void frmMain::setSliderEnabled(bool enabled)
{
    sldCollect->setEnabled(enabled);
}

void frmMain::setSliderRange(int minimum, int maximum)
{
    const QSignalBlocker blocker(sldCollect);
    sldCollect->setRange(minimum, maximum);
}

void frmMain::setSliderTickFrequency(int frequency)
{
    sldCollect->setTickInterval(frequency);
}

void frmMain::setSliderValue(int value)
{
    const QSignalBlocker blocker(sldCollect);
    sldCollect->setValue(value);
}

void frmMain::setUpDownEnabled(bool enabled)
{
    updwnCollect->setEnabled(enabled);
}

void frmMain::setUpDownRange(int minimum, int maximum)
{
    updwnCollect->setRange(minimum, maximum);
}

void frmMain::setSlideNumberText(const QString& text)
{
    const QSignalBlocker blocker(txtCollectSlide);
    txtCollectSlide->setText(text);
}

void frmMain::setColMinText(const QString& text)
{
    lblColMin->setText(text);
}

void frmMain::setColMaxText(const QString& text)
{
    lblColMax->setText(text);
}

void frmMain::setNavKeyEnabled(int index, bool enabled)
{
    if (index >= 0 && index < 6)
        cmdNavKey[index]->setEnabled(enabled);
}

void frmMain::setModeChecked(int mode, bool checked)
{
    if (mode < ShowEngine::ModeNormal || mode > ShowEngine::ModeShow)
        return;
    m_modeShown[mode] = checked;
    m_modeItems[mode]->setChecked(checked);
}

void frmMain::setPauseChecked(bool checked)
{
    m_pauseShown = checked;
    mnuControlPause->setChecked(checked);
}

void frmMain::resyncCheckMarks()
{
    // A checkable item ticks itself when chosen; the engine decides.
    for (int mode = ShowEngine::ModeNormal; mode <= ShowEngine::ModeShow; ++mode)
        m_modeItems[mode]->setChecked(m_modeShown[mode]);
    mnuControlPause->setChecked(m_pauseShown);
}

void frmMain::setOrderChecked(int index)
{
    if (index < 0 || index > 1)
        return;
    const QSignalBlocker blocker(optCarMode[index]);
    optCarMode[index]->setChecked(true);
    mnuOptionsOrder[index]->setChecked(true);
    mnuOptionsOrder[1 - index]->setChecked(false);
}

void frmMain::setOperationChecked(int index)
{
    if (index < 0 || index > 1)
        return;
    const QSignalBlocker blocker(optCarOp[index]);
    optCarOp[index]->setChecked(true);
    mnuOptionsOperation[index]->setChecked(true);
    mnuOptionsOperation[1 - index]->setChecked(false);
}

void frmMain::setAutoStartTicked(bool ticked)
{
    chkAutoStart->setChecked(ticked);
    mnuOptionsLoadingAutoStart->setChecked(ticked);
}

void frmMain::setBusyWaitTicked(bool ticked)
{
    chkBusyWait->setChecked(ticked);
    mnuOptionsLoadingWaitTillDone->setChecked(ticked);
}

void frmMain::setUseDefaultTicked(bool ticked)
{
    chkUseDefault->setChecked(ticked);
    mnuOptionsPauseUseDefault->setChecked(ticked);
    lblSlidePause->setVisible(!ticked);
}

void frmMain::setToolTipsChecked(bool on)
{
    mnuOptionsToolTipsOn->setChecked(on);
    mnuOptionsToolTipsOff->setChecked(!on);
}

QString frmMain::intervalText() const
{
    return cboReloadInterval->currentText();
}

void frmMain::focusIntervalBox()
{
    cboReloadInterval->setFocus(Qt::OtherFocusReason);
}

int frmMain::helpContext() const
{
    return HelpTopics::frmMain;
}

VbError frmMain::restoreLayout()
{
    const WindowGeometry geometry = m_layout.GetPrevious();
    move(Twips::toPixels(geometry.left), Twips::toPixels(geometry.top));
    resize(Twips::toPixels(geometry.width), Twips::toPixels(geometry.height));
    const QStringList previousFiles = m_layout.GetPrevFiles();
    for (const QString& file : previousFiles)
        m_files->UpdateMenu(file);

    const std::pair<Bar, bool> saved[] = {{BarSlide, m_layout.BarSlideOn},
                                          {BarNav, m_layout.BarNavOn},
                                          {BarCollect, m_layout.BarCollectOn},
                                          {BarOpt, m_layout.BarOptOn},
                                          {BarStatus, m_layout.BarStatusOn}};
    for (const auto& [bar, on] : saved) {
        if (!on && m_bars[bar]->isExpanded())
            toggleBar(bar);
    }
    return {};
}

void frmMain::addRecentFile(const QString& fileName)
{
    m_files->UpdateMenu(fileName);
}

VbError frmMain::configBrowser()
{
    // The link's names come back into the options.
    modURL::config_Browser(m_options.AutoMode, UseOLE, UseDDE, m_options.AutoDDEapp,
                           m_options.AutoDDEexe);
    return {};
}

void frmMain::showRecentList()
{
    const QStringList& recent = m_files->recentFiles();
    mnuFileArray[0]->setVisible(!recent.isEmpty());
    for (int i = 1; i <= ShowFiles::MaxRecent; ++i) {
        const bool used = i <= recent.size();
        const QString path = used ? recent.at(i - 1) : QString();
        // A path is shown as it is: an ampersand in it is no access key.
        mnuFileArray[i]->setText(QString(path).replace(QLatin1Char('&'), QStringLiteral("&&")));
        mnuFileArray[i]->setData(path);
        mnuFileArray[i]->setVisible(used);
    }
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

// ====================================================================
// Menu actions

void frmMain::mnuFileNewPagewheelWindow_Click()
{
    COptions copy;
    m_options.Copy_Object_to(copy);
    auto* window = new frmMain(copy);
    window->IsCopy = true;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->Form_Load();
}

void frmMain::mnuFileSaveAsWebShow_Click()
{
    // Not modal: Test and Audit follow Make Show while the show stays usable.
    auto* dialog = new frmWebShow(m_show, m_options, UseOLE, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

void frmMain::mnuWizard_Click()
{
    if (m_wizMain) {
        m_wizMain->raise();
        m_wizMain->activateWindow();
        return;
    }
    // Not modal: the show stays usable beside it.
    m_wizMain = new frmWizMain(this);
    m_wizMain->setAttribute(Qt::WA_DeleteOnClose);
    m_wizMain->setOptions(m_options);
    m_wizMain->setShow(m_show);
    m_wizMain->setHost(this);
    m_wizMain->show();
}

frmWizMain* frmMain::wizardStart() const
{
    return m_wizMain;
}

QWidget* frmMain::hostWindow()
{
    return this;
}

QStringList frmMain::recentShows() const
{
    return m_files->recentFiles();
}

void frmMain::openRecentShow(const QString& fileName)
{
    m_files->openRecent(int(m_files->recentFiles().indexOf(fileName)) + 1);
}

void frmMain::openShow()
{
    m_files->do_open_collect();
}

void frmMain::newShowFromDirectory()
{
    m_editors->mnuFileNewDirList_Click();
}

void frmMain::importBookmarks()
{
    mnuFileImportBookmarks_Click();
}

void frmMain::newBlankShow()
{
    m_editors->mnuFileNewBlank_Click();
}

bool frmMain::useOLE() const
{
    return UseOLE;
}

void frmMain::mnuFileImportBookmarks_Click()
{
    modInpExp::ImportSteps steps;
    steps.chooseOpenFile = [this](const modInpExp::FileChoice& choice, VbError* error) {
        return m_files->chooseFile(choice, false, error);
    };
    steps.AskSaveShowEdits = [this] {
        return m_files->AskSaveShowEdits(Prompts::vbYesNoCancel) != Prompts::vbCancel;
    };
    steps.StartNewShow = [this]() -> colURLs& {
        m_files->StartNewShow();
        return m_show;
    };
    steps.Refresh = [this] { m_engine->do_set_collect(); };
    steps.bShowEdited = &bShowEdited;
    modInpExp::ImportBookmarksCommand(m_show, steps);
}

void frmMain::mnuFileExportBookmarks_Click()
{
    modInpExp::ExportBookmarksCommand(
        m_show,
        [this](const modInpExp::FileChoice& choice, VbError* error) {
            return m_files->chooseFile(choice, true, error);
        },
        HelpTopics::frmMain);
}

void frmMain::mnuSlideOpen_Click()
{
    // A cancelled dialog empties the box, and nothing is sent.
    setAddressText(m_files->do_open_slide());
    m_engine->cboAddress_Click();
}

void frmMain::mnuOptionsOperation_Click(int index)
{
    optCarOp[index]->setChecked(true);
    m_engine->optCarOp_Click(index);
}

void frmMain::mnuOptionsOrder_Click(int index)
{
    optCarMode[index]->setChecked(true);
    m_engine->optCarMode_Click(index);
}

void frmMain::setAutoStart(bool on)
{
    m_options.AutoStart = on;
    setAutoStartTicked(on);
    m_options.Changed = true;
}

void frmMain::setBusyWait(bool on)
{
    m_options.BusyWait = on;
    setBusyWaitTicked(on);
    m_options.Changed = true;
}

void frmMain::setUseDefault(bool on)
{
    m_options.UseDefault = on;
    setUseDefaultTicked(on);
    logCheckValue(on);
    m_options.Changed = true;
}

void frmMain::logCheckValue(bool ticked) const
{
    debugLog(QStringLiteral("Check Value: ") + QString::number(ticked ? 1 : 0));
}

void frmMain::setToolTips(bool on)
{
    setToolTipsChecked(on);
    m_options.ToolTips = on;
    if (on)
        modMain::ToolTipsOn(this);
    else
        modMain::ToolTipsOff(this);
    m_options.Changed = true;
}

void frmMain::mnuHelpTips_Click()
{
    auto* tip = new frmTip(this);
    tip->setAttribute(Qt::WA_DeleteOnClose);
    tip->setOptions(m_options);
    tip->open();
}

void frmMain::mnuHelpWebsite_Click()
{
    const QString address = modURL::URLHome;
    if (!modURL::StartBrowser(address, UseOLE))
        Prompts::MsgBox(QStringLiteral("Please contact us at:") + CrLf + address);
}

void frmMain::mnuHelpUpdates_Click()
{
    // The updates page sits beside the home page.
    const QString home = modURL::URLHome.left(modURL::URLHome.lastIndexOf(QLatin1Char('/')));
    const QString product = modMain::VendorInfo.ProductName.isEmpty()
                                ? modMain::AppTitle()
                                : modMain::VendorInfo.ProductName;
    const QString address =
        home + QLatin1Char('/') + product + QStringLiteral("Updates.htm#") + ProgramVersion::text();
    modMain::WriteLog(QStringLiteral("Starting: ") + address);
    if (!modURL::StartBrowser(address, UseOLE))
        Prompts::MsgBox(QStringLiteral("Please open our web page at:") + CrLf + address,
                        Prompts::vbOKOnly);
}

void frmMain::mnuOptionsBrowser_Click()
{
    // The dialog switches the browser of the window start-up made.
    BrowserConnection* first = BrowserConnection::first();
    frmBrowserType dialog(m_options, first ? *first : m_connection, this);
    dialog.exec();
    if (dialog.switched()) {
        for (frmMain* window : mainWindows())
            window->setBrowserItems();
    }
}

void frmMain::mnuHelpAbout_Click()
{
    auto* about = new frmAbout(this);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->open();
}

void frmMain::cmdNav_MouseDown(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        GoBack();
        break;
    case Qt::MiddleButton:
        GoPause();
        break;
    case Qt::RightButton:
        GoForward();
        break;
    default:
        break;
    }
}

void frmMain::showTagOf(QWidget* old, QWidget* focused)
{
    if (!focused || (focused != this && !isAncestorOf(focused)))
        return;
    // The focus coming back with the window (after a dialog, from the
    // browser) leaves a fresh message standing; the user moving it on
    // within the window shows where it went.
    const bool movedWithin = old && (old == this || isAncestorOf(old));
    if (!movedWithin && !m_statusHeld.hasExpired())
        return;
    for (QWidget* widget = focused; widget; widget = widget->parentWidget()) {
        const QString tag = widget->property("Tag").toString();
        if (!tag.isEmpty()) {
            // A description is no message: the next message replaces it at once.
            pnlStatus->setText(tag);
            return;
        }
        if (widget == this)
            return;
    }
}

void frmMain::dropOnAddressBox(const QStringList& dropped)
{
    if (dropped.isEmpty())
        return;
    debugLog(QStringLiteral("cboAddress OleDragDrop, Data files:") + dropped.first());
    // Shown in the box, not sent until the user confirms it.
    setAddressText(dropped.first());
}

// ====================================================================
// Events of the controls

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();

    if (watched == m_background && type == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        if (QMenu* menu = backgroundMenu(press->button())) {
            menu->popup(press->globalPosition().toPoint());
            return true;
        }
    }

    if ((watched == lblSlidePause || watched == lblSlideSound) &&
        type == QEvent::MouseButtonRelease) {
        m_editors->doEditSlide();
        return true;
    }

    if (watched == cmdNav && type == QEvent::MouseButtonPress) {
        cmdNav_MouseDown(static_cast<QMouseEvent*>(event)->button());
        return true;
    }

    if (watched == m_bars[BarSlide] && type == QEvent::DragEnter) {
        setStatusText(QStringLiteral("Slide window"));
        event->ignore();
        return true;
    }

    if (watched == cboAddress || (cboAddress && watched == cboAddress->lineEdit())) {
        if (type == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                cboAddress_Click();
                return true;
            }
        } else if (type == QEvent::FocusOut) {
            // The box takes a text that matches an entry for a pick when
            // its field loses the focus; only Enter, Slide and a pick from
            // the list send the address.
            const QScopedValueRollback leaving(m_leavingAddressBox, true);
            return watched->event(event);
        } else if (type == QEvent::DragEnter || type == QEvent::DragMove) {
            auto* drag = static_cast<QDropEvent*>(event);
            if (drag->mimeData()->hasUrls()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (type == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            QStringList dropped;
            const QList<QUrl> urls = drop->mimeData()->urls();
            for (const QUrl& url : urls) {
                if (url.isLocalFile())
                    dropped.append(url.toLocalFile());
            }
            if (!dropped.isEmpty()) {
                dropOnAddressBox(dropped);
                drop->acceptProposedAction();
                return true;
            }
        }
    }

    if (cboReloadInterval &&
        (watched == cboReloadInterval || watched == cboReloadInterval->lineEdit())) {
        if (type == QEvent::MouseButtonPress || type == QEvent::Wheel) {
            m_engine->IntervalEdited();
        } else if (type == QEvent::FocusOut && !m_validatingInterval) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            // Leaving for the box's own list or another program is no change.
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
                m_validatingInterval = true;
                m_engine->IntervalBoxLostFocus();
                m_validatingInterval = false;
            }
        }
    }

    return QMainWindow::eventFilter(watched, event);
}
