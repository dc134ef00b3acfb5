// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class AutomationBrowser;
class COptions;
class DdeLink;
class cBrwsr_Events;
class cIE_Events;

/// A main window's browser: the automation instance or the remote-open
/// link, loaded and unloaded with the window, and the restart offer when
/// the browser has gone. The main window keeps one and forwards its
/// browser operations to it.
class BrowserConnection : public QObject
{
    Q_OBJECT

public:
    explicit BrowserConnection(COptions& options, QObject* parent = nullptr);
    ~BrowserConnection() override;

    // The window's browser flags, as the browser dialog and the notifier
    // read and set them.
    bool UseDDE = false;
    bool UseOLE = false;
    bool FullScreenOn = false;

    /// The connection of the first main window (the one start-up made).
    static BrowserConnection* first();

    /// Connects the browser the flags ask for; true when connected or none
    /// is wanted. After a failure the user is asked whether to go on.
    bool load_Browser(bool& useOLE, bool& useDDE, const QString& application,
                      const QString& executable);
    /// Creates and holds the automation instance; the application must be
    /// exactly "IEXPLORE".
    bool LoadIE(const QString& application);
    /// Closes the automation window or ends the linked browser.
    bool unload_browser(bool useOLE, bool useDDE, const QString& application,
                        const QString& executable);
    /// Counts a failure of the page-load watcher; from the 21st in a row
    /// the user is asked whether to restart the browser.
    void BrowserTerminate(qint16& counter);

    /// The automation instance, nullptr when there is none.
    AutomationBrowser* instance() const;
    /// The remote-open link.
    DdeLink& link() const { return *m_link; }
    /// True once an address opened the window the link's later addresses
    /// reuse; a new browser (load or unload) starts without one.
    bool linkWindowOpened() const { return m_linkWindowOpened; }
    void setLinkWindowOpened(bool opened) { m_linkWindowOpened = opened; }
    cIE_Events* sink() const { return m_sink; }
    cBrwsr_Events* notifier() const { return m_notifier; }

    /// The browser program and profile folder new instances use (tests);
    /// empty means the defaults.
    void setBrowserProgram(const QString& program) { m_program = program; }
    void setProfileFolder(const QString& folder) { m_profile = folder; }
    QString browserProgram() const { return m_program; }
    QString profileFolder() const { return m_profile; }

    /// The options record of the window the connection belongs to.
    COptions& options() const { return m_options; }

    /// Gives the address-opening routines an automation window that
    /// nothing keeps (a help page, a web show test).
    static void installWindowOpener();

Q_SIGNALS:
    void statusText(const QString& text);
    /// The hourglass while the browser loads.
    void busyCursor(bool on);
    /// The user chose not to go on without a browser: the window closes
    /// without asking about settings.
    void closeRequested();
    /// The user chose not to restart the browser: the show stops.
    void stopRequested();
    /// The browser's window entered or left full screen, by the program or
    /// by the user in the browser itself.
    void browserFullScreen(bool on);
    /// A new automation browser has started and is the instance now.
    void instanceLoaded(AutomationBrowser* browser);

private:
    void releaseInstance();

    COptions& m_options;
    QPointer<AutomationBrowser> m_instance;
    DdeLink* m_link = nullptr;
    cIE_Events* m_sink = nullptr;
    cBrwsr_Events* m_notifier = nullptr;
    QString m_program;
    QString m_profile;
    bool m_linkWindowOpened = false;
};
