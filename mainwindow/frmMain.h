// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/BrowserConnection.h"
#include "engine/EngineView.h"
#include "guidance/WizardHost.h"
#include "mainwindow/ControlBarOwner.h"
#include "platform/CommonDialog.h"
#include "settings/COptions.h"
#include "settings/cScreenSettings.h"
#include "settings/cShowState.h"
#include "show/colURLs.h"

#include <QDeadlineTimer>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class CollapsibleBar;
class EngineBrowser;
class MainBrowser;
class MainEditors;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QWindow;
class QPushButton;
class QRadioButton;
class QSlider;
class QToolBar;
class ShowEngine;
class ShowFiles;
class UnattendedRun;
class BrowserRecovery;
class UpDown;
class frmControlBar;
class frmTip;
class frmWizMain;

/// The program's control window: a narrow window of five collapsible bars
/// (Slide, Show, Control, Status, Options) and the menus, from which the
/// user picks a show or a single slide and steers the browser beside it.
///
/// It owns its options, show, run state and layout records, its browser
/// connection and its show engine; the engine reaches the controls through
/// this window's EngineView, the floating control bar of full screen its
/// operations through ControlBarOwner. The file side (open, save, the
/// recent list, the exit questions) is its ShowFiles.
///
/// The creator calls Form_Load() once after making the window; it applies
/// the options, loads the show and the browser and shows the window.
/// Closing the window runs the exit sequence; closing the last main window
/// ends the program.
class frmMain : public QMainWindow, public EngineView, public ControlBarOwner, public WizardHost
{
    Q_OBJECT

    // The records and the browser come first: the public browser fields
    // below are the browser connection's own.
    COptions m_options;
    colURLs m_show;
    cShowState m_state;
    cScreenSettings m_layout;
    BrowserConnection m_connection;

public:
    // The public fields, as other windows and the browser objects use them.
    bool& UseDDE;
    bool& UseOLE;
    bool IsCopy = false;
    bool& FullScreenOn;
    /// The show was made here or changed elsewhere: the next activation
    /// shows it again.
    bool bShowEdited = false;

    /// The window keeps a copy of the options. browser: the engine's
    /// browser (tests); nullptr drives the window's own browser connection.
    explicit frmMain(const COptions& options, QWidget* parent = nullptr,
                     EngineBrowser* browser = nullptr);
    ~frmMain() override;

    /// Applies the options, loads the show and the browser, shows the
    /// window and starts the saved mode.
    void Form_Load();

    /// What ends the program when the last main window has closed; by
    /// default the application's event loop ends with status 0.
    static void setProgramEnd(std::function<void()> end);
    /// Ends the program as Exit does but asks nothing: unsaved show edits
    /// and changed settings are not written (a termination signal).
    static void EndWithoutQuestions();
    /// The main windows that are open (not yet unloading).
    static int mainWindowCount();

    COptions& Options() { return m_options; }
    colURLs& Show() { return m_show; }
    cShowState& ShowState() { return m_state; }
    cScreenSettings& ScreenSettings() { return m_layout; }
    BrowserConnection& browserConnection() { return m_connection; }
    ShowEngine& engine() { return *m_engine; }
    UnattendedRun& unattendedRun() { return *m_unattended; }
    BrowserRecovery& browserRecovery() { return *m_recovery; }
    ShowFiles& files() { return *m_files; }
    MainEditors& editors() { return *m_editors; }
    /// The floating control bar while the window is in full screen.
    frmControlBar* controlBar() const;
    /// The menu a mouse button on the window's background pops up.
    QMenu* backgroundMenu(Qt::MouseButton button) const;
    /// The start-up show chooser while it is open.
    frmWizMain* wizardStart() const;

    // WizardHost: what the wizards and the show chooser need.
    QWidget* hostWindow() override;
    QStringList recentShows() const override;
    void openRecentShow(const QString& fileName) override;
    void openShow() override;
    void newShowFromDirectory() override;
    void importBookmarks() override;
    void newBlankShow() override;
    bool useOLE() const override;

    // The show's operations (the engine's).
    void GoBegin();
    void GoBack() override;
    void GoPause() override;
    void GoForward() override;
    void GoEnd();
    void GoStop() override;
    void GoReload() override;
    bool Suspend_Timer();
    bool load_show(const QString& fileName);
    void do_set_collect();
    void set_slider();
    void change_mode(qint16 newMode);
    /// Sends the address box's text to the browser.
    void cboAddress_Click();
    /// The "Show" button: starts Show mode.
    void cmdCollect_Click() override;

    // The browser's operations.
    bool load_Browser(bool& useOLE, bool& useDDE, const QString& application,
                      const QString& executable);
    bool unload_browser(bool useOLE, bool useDDE, const QString& application,
                        const QString& executable);
    void BrowserTerminate(qint16& counter);

    // EngineView: the controls the engine drives.
    QString addressText() const override;
    void setAddressText(const QString& text) override;
    void addAddressToList(const QString& text) override;
    void setSlidePauseText(const QString& text) override;
    void setSlidePauseVisible(bool visible) override;
    QString slideSoundText() const override;
    void setSlideSoundText(const QString& text) override;
    void setStatusText(const QString& text) override;
    void setWindowTitle(const QString& title) override;
    void setBusyCursor(bool busy) override;
    void setWindowIconNumber(int resourceNumber) override;
    void beep() override;
    void setSliderEnabled(bool enabled) override;
    void setSliderRange(int minimum, int maximum) override;
    void setSliderTickFrequency(int frequency) override;
    void setSliderValue(int value) override;
    void setUpDownEnabled(bool enabled) override;
    void setUpDownRange(int minimum, int maximum) override;
    void setSlideNumberText(const QString& text) override;
    void setColMinText(const QString& text) override;
    void setColMaxText(const QString& text) override;
    void setNavKeyEnabled(int index, bool enabled) override;
    void setModeChecked(int mode, bool checked) override;
    void setPauseChecked(bool checked) override;
    void setOrderChecked(int index) override;
    void setOperationChecked(int index) override;
    void setAutoStartTicked(bool ticked) override;
    void setBusyWaitTicked(bool ticked) override;
    void setUseDefaultTicked(bool ticked) override;
    void setToolTipsChecked(bool on) override;
    QString intervalText() const override;
    void focusIntervalBox() override;
    int helpContext() const override;
    VbError restoreLayout() override;
    void addRecentFile(const QString& fileName) override;
    VbError configBrowser() override;

    // ControlBarOwner: what the floating control bar needs.
    bool alwaysOnTopChecked() const override;
    void restoreWindow() override;
    void minimizeWindow() override;
    void makeWindowTopmost() override;
    CommonDialog& commonDialog() override { return m_cdlMain; }
    void controlBarClosed() override;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum Bar
    {
        BarSlide,
        BarCollect,
        BarNav,
        BarStatus,
        BarOpt,
        BarCount
    };

    void buildBars();
    void buildSlideBar();
    void buildCollectBar();
    void buildNavBar();
    void buildStatusBar();
    void buildOptBar();
    void buildMenus();
    void buildFileMenu();
    void buildControlMenu();
    void buildViewMenu();
    void buildModeMenu();
    void buildSlideMenu();
    void buildOptionsMenu();
    void buildHelpMenu();
    QMenu* addMenu(QMenu* parent, const QString& name, const QString& caption);
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption);
    QAction* addCheckItem(QMenu* menu, const QString& name, const QString& caption);
    void connectEngine();
    void showRecentList();
    void setBrowserItems();

    // Load, activate, resize, unload.
    void Form_Activate();
    void Form_Resize();
    void Form_Unload();
    void requestClose();
    QString identification() const;

    // Bars and View menu.
    void toggleBar(Bar bar);
    void mnuViewMenu_Click();
    void mnuViewAlwaysOnTop_Click();
    void mnuViewFullScreen_Click();
    void setAlwaysOnTop(bool on);
    void keepBelowControlBar();
    void browserFullScreen(bool on);

    // Menu actions.
    void mnuFileNewPagewheelWindow_Click();
    void mnuFileSaveAsWebShow_Click();
    void mnuWizard_Click();
    void mnuFileImportBookmarks_Click();
    void mnuFileExportBookmarks_Click();
    void mnuSlideOpen_Click();
    void mnuOptionsOperation_Click(int index);
    void mnuOptionsOrder_Click(int index);
    void setAutoStart(bool on);
    void setBusyWait(bool on);
    void setUseDefault(bool on);
    void logCheckValue(bool ticked) const;
    void setToolTips(bool on);
    void mnuHelpTips_Click();
    void mnuHelpWebsite_Click();
    void mnuHelpUpdates_Click();
    void mnuOptionsBrowser_Click();
    void mnuHelpAbout_Click();
    void cmdNav_MouseDown(Qt::MouseButton button);
    void resyncCheckMarks();
    void showTagOf(QWidget* old, QWidget* focused);
    void noteFocusWindow(QWindow* window);
    void dropOnAddressBox(const QStringList& files);

    std::unique_ptr<MainBrowser> m_mainBrowser;
    EngineBrowser* m_browser = nullptr;
    std::unique_ptr<ShowEngine> m_engine;
    std::unique_ptr<UnattendedRun> m_unattended;
    std::unique_ptr<BrowserRecovery> m_recovery;
    std::unique_ptr<ShowFiles> m_files;
    std::unique_ptr<MainEditors> m_editors;
    CommonDialog m_cdlMain;
    QPointer<frmControlBar> m_controlBar;
    QPointer<frmTip> m_tip;
    QPointer<frmWizMain> m_wizMain;

    int m_serial = 0;
    bool m_loaded = false;
    bool m_leavingAddressBox = false;
    bool m_unloading = false;
    bool m_closeRequested = false;
    bool m_fullScreenByCommandLine = false;
    bool m_validatingInterval = false;
    bool m_modeShown[4] = {};
    bool m_pauseShown = false;
    // Activation shows the current slide again only when it changed or when
    // the user comes back from another of the program's windows, so an
    // address typed but not sent survives a visit to the browser.
    qint32 m_activatedSlide = 0;
    bool m_backFromProgramWindow = false;
    // A message stays in the status bar a while before a focused control's
    // description may replace it.
    QDeadlineTimer m_statusHeld;
    int m_statusLeft = 0;                  ///< the status panel's left edge, in twips
    bool m_browserShownFullScreen = false; ///< since the control bar opened

    // The bars, in order from the top.
    CollapsibleBar* m_bars[BarCount] = {};
    QWidget* m_background = nullptr;

    // Slide bar.
    QToolBar* tbrSlide = nullptr;
    QComboBox* cboAddress = nullptr;
    QPushButton* cmdSlide = nullptr;
    QLabel* lblSlideSound = nullptr;
    QLabel* lblSlidePause = nullptr;
    // Show bar.
    QToolBar* tbrCollect = nullptr;
    QPushButton* cmdCollect = nullptr;
    QLineEdit* txtCollectSlide = nullptr;
    UpDown* updwnCollect = nullptr;
    QSlider* sldCollect = nullptr;
    QLabel* lblColMin = nullptr;
    QLabel* lblColMax = nullptr;
    // Control bar.
    QPushButton* cmdNavKey[6] = {};
    QPushButton* cmdNav = nullptr;
    // Status bar.
    QPushButton* cmdStatus = nullptr;
    QLabel* pnlStatus = nullptr;
    // Options bar.
    QRadioButton* optCarMode[2] = {};
    QRadioButton* optCarOp[2] = {};
    QCheckBox* chkAutoStart = nullptr;
    QCheckBox* chkUseDefault = nullptr;
    QCheckBox* chkBusyWait = nullptr;
    QComboBox* cboReloadInterval = nullptr;

    // Menus.
    QList<QMenu*> m_topMenus;
    QAction* m_mnuWizard = nullptr;
    QMenu* mnuControl = nullptr;
    QMenu* mnuView = nullptr;
    QAction* mnuFileNewPagewheelWindow = nullptr;
    QAction* mnuFileArray[6] = {};
    QAction* mnuControlPause = nullptr;
    QAction* mnuViewMenu = nullptr;
    QAction* m_viewBarItems[BarCount] = {};
    QAction* mnuViewAlwaysOnTop = nullptr;
    QAction* mnuViewFullScreen = nullptr;
    QAction* m_modeItems[4] = {};
    QAction* mnuOptionsOperation[2] = {};
    QAction* mnuOptionsOrder[2] = {};
    QAction* mnuOptionsLoadingAutoStart = nullptr;
    QAction* mnuOptionsLoadingWaitTillDone = nullptr;
    QAction* mnuOptionsPauseUseDefault = nullptr;
    QAction* mnuOptionsToolTipsOn = nullptr;
    QAction* mnuOptionsToolTipsOff = nullptr;
};
