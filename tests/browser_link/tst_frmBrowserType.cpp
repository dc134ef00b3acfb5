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
    /// The dialog on the connection, shown so that focus can be checked.
    void openDialog()
    {
        m_dialog = std::make_unique<frmBrowserType>(m_rig->options, *m_rig->connection);
        m_dialog->show();
        QApplication::setActiveWindow(m_dialog.get());
    }

    /// A program folder, a desktop with the test browser, scripted boxes and file dialogs.
    struct Rig
    {
        Rig()
        {
            desktop.environment().set("PAGEWHEEL_BROWSER_FLAGS", browser.profileFlag());
            options.init_options();
            options.AutoMode = 0;
            connection = std::make_unique<BrowserConnection>(options);
        }
        QTemporaryDir appDir;
        // The program state is fresh and its folder set before the log opens.
        bool ready = (modMain::ResetProgramState(), modMain::SetProgramFolder(appDir.path()), true);
        DesktopSandbox desktop;
        LogCapture log{appDir.path(), true, true};
        ScriptedPrompts prompts;
        ScriptedCommonDialog files;
        FakeBrowser browser{desktop.root() + QStringLiteral("/browser")};
        COptions options;
        std::unique_ptr<BrowserConnection> connection;
    };
    std::unique_ptr<Rig> m_rig;
    std::unique_ptr<frmBrowserType> m_dialog;

private Q_SLOTS:
    void init() { m_rig = std::make_unique<Rig>(); }
    void cleanup()
    {
        m_dialog.reset();
        m_rig.reset();
    }

    void okWithoutChangeTouchesNothing()
    {
        openDialog();
        QVERIFY(control<QRadioButton>(QStringLiteral("optBrowser0"))->isChecked());
        QCOMPARE(control<QLabel>(QStringLiteral("lblAutomation"))->text(), QStringLiteral("DDE"));
        QVERIFY(!control<QLineEdit>(QStringLiteral("txtDDEexe"))->isEnabled());
        control<QPushButton>(QStringLiteral("cmdOK"))->click();
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
        QVERIFY(m_rig->prompts.shown().isEmpty());
        QVERIFY(!m_dialog->switched());
        QVERIFY(!m_rig->options.Changed);
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
            ->setText(c.executable.replace(QStringLiteral("{browser}"), m_rig->browser.program()));
        control<QLineEdit>(QStringLiteral("txtDDEApp"))->setText(c.application);

        QCOMPARE(m_dialog->Validate(), box.isEmpty());
        QCOMPARE(m_rig->prompts.texts(), box.isEmpty() ? QStringList() : QStringList{box});
        if (!box.isEmpty()) {
            const Prompts::Request& shown = m_rig->prompts.shown().first();
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
        m_rig->options.AutoMode = 6;
        m_rig->options.AutoDDEexe = QStringLiteral("old");
        m_rig->options.AutoDDEapp = QStringLiteral("oldapp");
        openDialog();
        const QString folder = m_rig->desktop.binDir() + QLatin1Char('/');
        if (file.isEmpty()) {
            m_rig->files.cancel();
        } else {
            if (file != QStringLiteral("gone"))
                m_rig->desktop.addProgram(file);
            m_rig->files.chooseFile(folder + file);
        }
        control<QPushButton>(QStringLiteral("cmdBrowse"))->click();

        QCOMPARE(m_rig->files.requests().size(), 1);
        QCOMPARE(m_rig->files.requests().first().FileName, QStringLiteral("old"));
        QCOMPARE(m_rig->files.requests().first().DialogTitle, QStringLiteral("Open file..."));
        const QString expected = file.isEmpty() ? executable : folder + executable;
        QCOMPARE(control<QLineEdit>(QStringLiteral("txtDDEexe"))->text(), expected);
        QCOMPARE(control<QLineEdit>(QStringLiteral("txtDDEApp"))->text(), application);
        QCOMPARE(m_rig->prompts.texts(), boxes);
        QCOMPARE(m_dialog->changed(), !file.isEmpty());
    }

    void switchToOwnProgram()
    {
        // The window drives the test browser through its remote-open line.
        m_rig->options.AutoMode = 6;
        m_rig->options.AutoDDEexe = m_rig->browser.program();
        m_rig->options.AutoDDEapp = QStringLiteral("fake");
        m_rig->connection->UseDDE = true;
        QVERIFY(
            m_rig->connection->load_Browser(m_rig->connection->UseOLE, m_rig->connection->UseDDE,
                                            m_rig->options.AutoDDEapp, m_rig->options.AutoDDEexe));
        QTRY_VERIFY_WITH_TIMEOUT(m_rig->browser.instancePid() > 0, 5000);
        const qint64 old = m_rig->browser.instancePid();

        // A copy of the test browser under another name becomes the choice.
        FakeBrowser other(m_rig->desktop.root() + QStringLiteral("/other"),
                          QStringLiteral("otherweb"));
        openDialog();
        control<QLineEdit>(QStringLiteral("txtDDEexe"))->setText(other.program());
        QTest::keyClicks(control<QLineEdit>(QStringLiteral("txtDDEApp")), QStringLiteral("x"));
        control<QLineEdit>(QStringLiteral("txtDDEApp"))->setText(QStringLiteral("otherweb"));

        // Test reports on the names in the boxes and leaves the window's browser be.
        m_rig->desktop.environment().set("PAGEWHEEL_BROWSER_FLAGS", other.profileFlag());
        m_rig->prompts.answer(Prompts::vbOK);
        control<QPushButton>(QStringLiteral("cmdTest"))->click();
        QCOMPARE(m_rig->prompts.shown().last().title, QStringLiteral("Test Complete"));
        QVERIFY(processAlive(old));

        // Cancel on the confirmation keeps everything as it was.
        m_rig->prompts.clear();
        m_rig->prompts.answer(Prompts::vbCancel);
        control<QPushButton>(QStringLiteral("cmdOK"))->click();
        QCOMPARE(m_rig->prompts.texts(), QStringList{QStringLiteral("Reseting to new browser.")});
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(m_rig->options.AutoDDEexe, m_rig->browser.program());
        QVERIFY(processAlive(old));

        m_rig->prompts.answer(Prompts::vbOK);
        control<QPushButton>(QStringLiteral("cmdOK"))->click();
        QVERIFY(m_dialog->switched());
        QCOMPARE(m_rig->options.AutoMode, qint16(6));
        QCOMPARE(m_rig->options.AutoDDEexe, other.program());
        QCOMPARE(m_rig->options.AutoDDEapp, QStringLiteral("otherweb"));
        QVERIFY(m_rig->options.Changed);
        QTRY_VERIFY_WITH_TIMEOUT(!processAlive(old), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(other.instancePid() > 0, 5000);
    }
};

QTEST_MAIN(tst_frmBrowserType)
#include "tst_frmBrowserType.moc"
