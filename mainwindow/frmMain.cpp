// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/frmMain.h"
#include "mainwindow/frmMainParts.h"

#include "engine/ComboIntervalBox.h"
#include "engine/ShowEngine.h"
#include "engine/modInterval.h"
#include "guidance/frmTip.h"
#include "guidance/frmWizMain.h"
#include "mainwindow/AccessibleNames.h"
#include "mainwindow/BrowserRecovery.h"
#include "mainwindow/MainBrowser.h"
#include "mainwindow/MainEditors.h"
#include "mainwindow/UnattendedRun.h"
#include "mainwindow/ShowFiles.h"
#include "mainwindow/Twips.h"
#include "mainwindow/frmControlBar.h"
#include "platform/AutomationBrowser.h"
#include "platform/Help.h"
#include "platform/HelpTopics.h"
#include "platform/Prompts.h"
#include "startup/Main.h"
#include "startup/modMain.h"
#include "startup/modToolTips.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <QWindow>

namespace {

using frmMainParts::errorLog;
using frmMainParts::mainWindows;
using modMain::debugLog;

// How long a new browser window takes to come up in front.
constexpr int BrowserWindowUpMilliseconds = 1500;

// Set when the program is asked to end from outside (a termination signal):
// the windows then unload without asking anything.
bool endingWithoutQuestions = false;

std::function<void()>& programEnd()
{
    static std::function<void()> end = [] { QCoreApplication::exit(0); };
    return end;
}

} // namespace

namespace frmMainParts {

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

} // namespace frmMainParts

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
