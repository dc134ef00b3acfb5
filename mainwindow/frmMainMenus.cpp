// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/frmMain.h"
#include "mainwindow/frmMainParts.h"

#include "browser/modURL.h"
#include "engine/ShowEngine.h"
#include "guidance/frmAbout.h"
#include "guidance/frmTip.h"
#include "guidance/frmWizMain.h"
#include "mainwindow/CollapsibleBar.h"
#include "browser/frmBrowserType.h"
#include "mainwindow/MainEditors.h"
#include "mainwindow/ShowFiles.h"
#include "platform/Help.h"
#include "platform/HelpTopics.h"
#include "platform/Prompts.h"
#include "startup/Main.h"
#include "startup/ProgramVersion.h"
#include "startup/modMain.h"
#include "startup/modToolTips.h"
#include "webshow/frmWebShow.h"

#include <QComboBox>
#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>

namespace {

using frmMainParts::mainWindows;
using modMain::debugLog;

const QString CrLf = QStringLiteral("\r\n");

} // namespace

// ====================================================================
// Menus

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
