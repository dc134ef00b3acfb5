// SPDX-License-Identifier: GPL-3.0-or-later
// The browser dialog offscreen, with scripted boxes and file dialogs, on a
// desktop whose PATH holds only the programs a test puts there.
#include "BrowserTestKit.h"
#include "LogCapture.h"
#include "browser/BrowserConnection.h"
#include "browser/frmBrowserType.h"
#include "platform/Prompts.h"
#include "platform/ScriptedCommonDialog.h"
#include "platform/ScriptedPrompts.h"
#include "platform/Shell.h"
#include "settings/COptions.h"
#include "startup/modMain.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

namespace {

struct Validation
{
    int choice;
    QString executable, application, box, title, focus;
};

} // namespace

class tst_frmBrowserType : public QObject
{
    Q_OBJECT

    template <typename T> T* control(const QString& name) const
    {
        return m_dialog->findChild<T*>(name);
    }

    std::unique_ptr<DesktopSandbox> m_desktop;
    std::unique_ptr<QTemporaryDir> m_appDir;
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<ScriptedCommonDialog> m_files;
    std::unique_ptr<FakeBrowser> m_browser;
    std::unique_ptr<COptions> m_options;
    std::unique_ptr<BrowserConnection> m_connection;
    std::unique_ptr<frmBrowserType> m_dialog;
    /// The dialog on the connection, shown so that focus can be checked.
    void openDialog()
    {
        m_dialog = std::make_unique<frmBrowserType>(*m_options, *m_connection);
        m_dialog->show();
        QApplication::setActiveWindow(m_dialog.get());
    }

private Q_SLOTS:
    void init()
    {
        modMain::ResetProgramState();
        m_appDir = std::make_unique<QTemporaryDir>();
        modMain::SetProgramFolder(m_appDir->path());
        m_desktop = std::make_unique<DesktopSandbox>();
        m_log = std::make_unique<LogCapture>(m_appDir->path(), true, true);
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_files = std::make_unique<ScriptedCommonDialog>();
        m_browser = std::make_unique<FakeBrowser>(m_desktop->root() + QStringLiteral("/browser"));
        m_desktop->environment().set("PAGEWHEEL_BROWSER_FLAGS", m_browser->profileFlag());
        m_options = std::make_unique<COptions>();
        m_options->init_options();
        m_options->AutoMode = 0;
        m_connection = std::make_unique<BrowserConnection>(*m_options);
    }

    void cleanup()
    {
        m_dialog.reset();
        m_connection.reset();
        m_options.reset();
        m_browser.reset();
        m_files.reset();
        m_prompts.reset();
        m_log.reset();
        m_desktop.reset();
        m_appDir.reset();
    }

    void okWithoutChangeTouchesNothing()
    {
        openDialog();
        QVERIFY(control<QRadioButton>(QStringLiteral("optBrowser0"))->isChecked());
        QCOMPARE(control<QLabel>(QStringLiteral("lblAutomation"))->text(), QStringLiteral("DDE"));
        QVERIFY(!control<QLineEdit>(QStringLiteral("txtDDEexe"))->isEnabled());
        control<QPushButton>(QStringLiteral("cmdOK"))->click();
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
        QVERIFY(m_prompts->shown().isEmpty());
        QVERIFY(!m_dialog->switched());
        QVERIFY(!m_options->Changed);
    }

    void validation_data()
    {
        // executable: "{browser}" is the test browser; focus: where the focus goes.
        QTest::addColumn<Validation>("c");
        const QString notInstalled =
            QStringLiteral("Browser selected,Netscape.exe, is not installed or registered on this "
                           "computer.\r\nSelect another browser or Cancel and check browser "
                           "installation.");
        QTest::newRow("no Firefox") << Validation{5, "", "", notInstalled, "Browser Not Found", ""};
        QTest::newRow("no program")
            << Validation{6, "", "fake", "No DDE Program selected.", "Field Error", "txtDDEexe"};
        QTest::newRow("unknown program")
            << Validation{6,      "nosuchbrowser",
                          "fake", "Program nosuchbrowser\r\ndoes not exist or is not registered.",
                          "",     ""};
        QTest::newRow("no application") << Validation{
            6, "{browser}", "", "No DDE Application selected.", "Field Error", "txtDDEApp"};
        QTest::newRow("complete") << Validation{6, "{browser}", "fake", "", "", ""};
    }
    void validation()
    {
        QFETCH(Validation, c);
        const QString& box = c.box;
        openDialog();
        control<QRadioButton>(QStringLiteral("optBrowser%1").arg(c.choice))->click();
        control<QLineEdit>(QStringLiteral("txtDDEexe"))
            ->setText(c.executable.replace(QStringLiteral("{browser}"), m_browser->program()));
        control<QLineEdit>(QStringLiteral("txtDDEApp"))->setText(c.application);

        QCOMPARE(m_dialog->Validate(), box.isEmpty());
        QCOMPARE(m_prompts->texts(), box.isEmpty() ? QStringList() : QStringList{box});
        if (!box.isEmpty()) {
            const Prompts::Request& shown = m_prompts->shown().first();
            QCOMPARE(shown.buttons & Prompts::vbExclamation, Prompts::vbExclamation);
            if (!c.title.isEmpty())
                QCOMPARE(shown.title, c.title);
        }
        if (!c.focus.isEmpty())
            QTRY_COMPARE(QApplication::focusWidget()->objectName(), c.focus);
    }

    void browse_data()
    {
        QTest::addColumn<QString>("file"); // "" cancels
        columns<QString, QString, QStringList>("executable", "application", "boxes");
        const auto row = [](const char* tag, const char* file, const char* executable,
                            const char* application, const QStringList& boxes = {}) {
            QTest::newRow(tag) << QString(file) << QString(executable) << QString(application)
                               << boxes;
        };
        row("program with .exe", "Fake.EXE", "Fake.EXE", "Fake");
        row("program without", "firefox-esr", "firefox-esr", "firefox-esr");
        row("missing file", "gone", "gone", "gone", {QStringLiteral("File does not exist")});
        row("cancel", "", "old", "oldapp");
    }
    void browse()
    {
        QFETCH(QString, file);
        QFETCH(QString, executable);
        QFETCH(QString, application);
        QFETCH(QStringList, boxes);
        m_options->AutoMode = 6;
        m_options->AutoDDEexe = QStringLiteral("old");
        m_options->AutoDDEapp = QStringLiteral("oldapp");
        openDialog();
        const QString folder = m_desktop->binDir() + QLatin1Char('/');
        if (file.isEmpty()) {
            m_files->cancel();
        } else {
            if (file != QStringLiteral("gone"))
                m_desktop->addProgram(file);
            m_files->chooseFile(folder + file);
        }
        control<QPushButton>(QStringLiteral("cmdBrowse"))->click();

        QCOMPARE(m_files->requests().size(), 1);
        QCOMPARE(m_files->requests().first().FileName, QStringLiteral("old"));
        QCOMPARE(m_files->requests().first().DialogTitle, QStringLiteral("Open file..."));
        const QString expected = file.isEmpty() ? executable : folder + executable;
        QCOMPARE(control<QLineEdit>(QStringLiteral("txtDDEexe"))->text(), expected);
        QCOMPARE(control<QLineEdit>(QStringLiteral("txtDDEApp"))->text(), application);
        QCOMPARE(m_prompts->texts(), boxes);
        QCOMPARE(m_dialog->changed(), !file.isEmpty());
    }

    void switchToOwnProgram()
    {
        // The window drives the test browser through its remote-open line.
        m_options->AutoMode = 6;
        m_options->AutoDDEexe = m_browser->program();
        m_options->AutoDDEapp = QStringLiteral("fake");
        m_connection->UseDDE = true;
        QVERIFY(m_connection->load_Browser(m_connection->UseOLE, m_connection->UseDDE,
                                           m_options->AutoDDEapp, m_options->AutoDDEexe));
        QTRY_VERIFY_WITH_TIMEOUT(m_browser->instancePid() > 0, 5000);
        const qint64 old = m_browser->instancePid();

        // A copy of the test browser under another name becomes the choice.
        FakeBrowser other(m_desktop->root() + QStringLiteral("/other"), QStringLiteral("otherweb"));
        openDialog();
        control<QLineEdit>(QStringLiteral("txtDDEexe"))->setText(other.program());
        QTest::keyClicks(control<QLineEdit>(QStringLiteral("txtDDEApp")), QStringLiteral("x"));
        control<QLineEdit>(QStringLiteral("txtDDEApp"))->setText(QStringLiteral("otherweb"));

        // Test reports on the names in the boxes and leaves the window's browser be.
        m_desktop->environment().set("PAGEWHEEL_BROWSER_FLAGS", other.profileFlag());
        m_prompts->answer(Prompts::vbOK);
        control<QPushButton>(QStringLiteral("cmdTest"))->click();
        QCOMPARE(m_prompts->shown().last().title, QStringLiteral("Test Complete"));
        QVERIFY(processAlive(old));

        // Cancel on the confirmation keeps everything as it was.
        m_prompts->clear();
        m_prompts->answer(Prompts::vbCancel);
        control<QPushButton>(QStringLiteral("cmdOK"))->click();
        QCOMPARE(m_prompts->texts(), QStringList{QStringLiteral("Reseting to new browser.")});
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(m_options->AutoDDEexe, m_browser->program());
        QVERIFY(processAlive(old));

        m_prompts->answer(Prompts::vbOK);
        control<QPushButton>(QStringLiteral("cmdOK"))->click();
        QVERIFY(m_dialog->switched());
        QCOMPARE(m_options->AutoMode, qint16(6));
        QCOMPARE(m_options->AutoDDEexe, other.program());
        QCOMPARE(m_options->AutoDDEapp, QStringLiteral("otherweb"));
        QVERIFY(m_options->Changed);
        QTRY_VERIFY_WITH_TIMEOUT(!processAlive(old), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(other.instancePid() > 0, 5000);
    }
};

QTEST_MAIN(tst_frmBrowserType)
#include "tst_frmBrowserType.moc"
