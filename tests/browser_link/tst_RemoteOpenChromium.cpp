// SPDX-License-Identifier: GPL-3.0-or-later
// The browser link against a real Chromium on an X display.
#include "BrowserTestKit.h"
#include "LogCapture.h"
#include "tests/support/TestHttpServer.h"
#include "browser/modDDE.h"
#include "platform/DdeLink.h"
#include "platform/ProgramLocator.h"
#include "platform/Shell.h"
#include "startup/modMain.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <memory>
#include <cstdlib>

#ifdef PW_HAVE_XCB
#include <xcb/xcb.h>
#endif

using namespace modDDE;

#ifdef PW_HAVE_XCB

namespace {

/// A window that takes the focus, so that raising the browser shows.
class FocusThief
{
public:
    FocusThief()
    {
        m_connection = xcb_connect(nullptr, nullptr);
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        m_root = screen->root;
        m_window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, m_root, 0, 0, 300, 300, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        xcb_map_window(m_connection, m_window);
        xcb_flush(m_connection);
    }
    ~FocusThief() { xcb_disconnect(m_connection); }
    FocusThief(const FocusThief&) = delete;
    FocusThief& operator=(const FocusThief&) = delete;

    void takeFocus()
    {
        xcb_set_input_focus(m_connection, XCB_INPUT_FOCUS_POINTER_ROOT, m_window, XCB_CURRENT_TIME);
        xcb_flush(m_connection);
    }

    /// The process named by the focused window or a parent; 0 when none.
    qint64 focusedProcess()
    {
        auto* focus =
            xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr);
        xcb_window_t window = focus ? focus->focus : xcb_window_t(XCB_NONE);
        free(focus);
        const char name[] = "_NET_WM_PID";
        auto* atom = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, sizeof name - 1, name), nullptr);
        const xcb_atom_t pidAtom = atom ? atom->atom : xcb_atom_t(XCB_NONE);
        free(atom);
        while (window != XCB_NONE && window != m_root && window != XCB_INPUT_FOCUS_POINTER_ROOT) {
            auto* property = xcb_get_property_reply(
                m_connection,
                xcb_get_property(m_connection, 0, window, pidAtom, XCB_ATOM_CARDINAL, 0, 1),
                nullptr);
            const bool named = property && xcb_get_property_value_length(property) == 4;
            const qint64 pid =
                named ? *static_cast<const uint32_t*>(xcb_get_property_value(property)) : 0;
            free(property);
            if (named)
                return pid;
            auto* tree =
                xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr);
            window = tree ? tree->parent : xcb_window_t(XCB_NONE);
            free(tree);
        }
        return 0;
    }

private:
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = XCB_NONE;
    xcb_window_t m_window = XCB_NONE;
};

} // namespace

#endif

class tst_RemoteOpenChromium : public QObject
{
    Q_OBJECT

    QList<qint64> browsersOnProfile(bool withHelpers = false) const
    {
        QList<qint64> found;
        const QByteArray profileFlag = "--user-data-dir=" + m_dir.path().toLocal8Bit() + "/profile";
        const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
        for (const QString& entry : entries) {
            bool isNumber = false;
            const qint64 pid = entry.toLongLong(&isNumber);
            QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(entry));
            if (!isNumber || !processAlive(pid) || !cmdline.open(QIODevice::ReadOnly))
                continue;
            const QList<QByteArray> arguments = cmdline.readAll().split('\0');
            const bool helper =
                std::any_of(arguments.cbegin(), arguments.cend(),
                            [](const QByteArray& a) { return a.startsWith("--type="); });
            if (arguments.contains(profileFlag) && (withHelpers || !helper))
                found.append(pid);
        }
        return found;
    }
    TestHttpServer m_http;
    QTemporaryDir m_dir;
    EnvironmentGuard m_environment;
    std::unique_ptr<LogCapture> m_log;

private Q_SLOTS:
    void initTestCase()
    {
        if (ProgramLocator::resolveBrowser(QStringLiteral("IExplore.exe")).isEmpty())
            QSKIP("No Chromium-family browser on PATH");

        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("No X display (source scripts/test-env.sh)");

        QVERIFY(m_http.listen());
        for (const char* page : {"/first.htm", "/second.htm"})
            m_http.setHtmlPage(QLatin1String(page), QStringLiteral("Slide"));

        m_environment.set("PAGEWHEEL_BROWSER_FLAGS",
                          "--user-data-dir=" + m_dir.path() +
                              "/profile --no-first-run --no-default-browser-check "
                              "--disable-background-networking --disable-component-update "
                              "--disable-sync --test-type");
        modMain::SetProgramFolder(m_dir.path());
        m_log = std::make_unique<LogCapture>(m_dir.path(), true, true);
    }
    void cleanupTestCase()
    {
        for (const qint64 pid : browsersOnProfile(true))
            ::kill(pid_t(pid), SIGKILL);
        m_log.reset();
    }
    void openActivateAndExit();
};

void tst_RemoteOpenChromium::openActivateAndExit()
{
    const auto page = [this](const char* path) {
        return m_http.url(QLatin1String(path)).toString();
    };
    const QString topic = QStringLiteral("iexplore");

    DdeLink link;
    QVERIFY(DDEConnect(link, QStringLiteral("IExplore.exe"), topic));
    const QString program = link.executable();
    QCOMPARE(Shell::browserFamily(program), Shell::BrowserFamily::Chromium);

    // The first address starts this profile's browser.
    QCOMPARE(DDEOpenURL(link, topic, page("/first.htm"), false), 0);
    QTRY_VERIFY_WITH_TIMEOUT(m_http.requestCount(QStringLiteral("/first.htm")) > 0, 30000);
    QTRY_COMPARE_WITH_TIMEOUT(browsersOnProfile().size(), 1, 10000);
    const qint64 browser = browsersOnProfile().first();

    // The second address goes to the running browser, which stays the only one.
    QCOMPARE(DDEOpenURL(link, topic, page("/second.htm"), false), 0);
    QTRY_VERIFY_WITH_TIMEOUT(m_http.requestCount(QStringLiteral("/second.htm")) > 0, 30000);
    QTRY_COMPARE_WITH_TIMEOUT(browsersOnProfile(), QList<qint64>{browser}, 10000);

    QTRY_COMPARE_WITH_TIMEOUT(Shell::ActivateWindowsOf({browser}, 2000), Shell::Activation::Raised,
                              10000);
#ifdef PW_HAVE_XCB
    FocusThief thief;
    // A new browser window may still grab the focus: retake it until no browser has it.
    QTRY_VERIFY_WITH_TIMEOUT((thief.takeFocus(), QTest::qWait(300), !thief.focusedProcess()),
                             30000);
    DDEActivate(link, topic);
    QTRY_COMPARE_WITH_TIMEOUT(thief.focusedProcess(), browser, 5000);
#else
    DDEActivate(link, topic);
#endif

    DDEExit(link, topic); // helpers included
    QTRY_VERIFY_WITH_TIMEOUT(browsersOnProfile(true).isEmpty(), 20000);
    // No error on the way: nothing about activating, navigating or exiting.
    const QString logged = m_log->messages().join(QLatin1Char('\n'));
    QVERIFY2(!logged.contains(QStringLiteral("ctivate")) &&
                 !logged.contains(QStringLiteral("Navigate")) &&
                 !logged.contains(QStringLiteral("Exit Error")),
             qPrintable(logged));
}

QTEST_GUILESS_MAIN(tst_RemoteOpenChromium)
#include "tst_RemoteOpenChromium.moc"
