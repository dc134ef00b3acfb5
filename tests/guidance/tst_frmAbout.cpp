// SPDX-License-Identifier: GPL-3.0-or-later
#include "guidance/frmAbout.h"
#include "platform/HelpWindow.h"
#include "platform/ScriptedPrompts.h"
#include "startup/modMain.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class tst_frmAbout : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_bin; ///< the only folder on PATH
    QByteArray m_path;

    QString marker() const { return m_bin.filePath(QStringLiteral("started")); }

    /// A system information program that leaves a marker file when it runs.
    void installFakeProgram()
    {
        QFile program(m_bin.filePath(QStringLiteral("hardinfo")));
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\necho started > '" + marker().toUtf8() + "'\n");
        program.close();
        QVERIFY(program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    static QPushButton* sysInfoButton(frmAbout& about)
    {
        return about.findChild<QPushButton*>(QStringLiteral("cmdSysInfo"));
    }

    static QString label(frmAbout& about, const char* name)
    {
        return about.findChild<QLabel*>(QLatin1String(name))->text();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_bin.isValid());
        m_path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(m_bin.path()));
        modMain::SetProgramFolder(QStringLiteral(PW_APP_FOLDER));
    }
    void cleanupTestCase()
    {
        qputenv("PATH", m_path);
        modMain::ResetProgramState();
    }
    void cleanup()
    {
        QFile::remove(m_bin.filePath(QStringLiteral("hardinfo")));
        QFile::remove(marker());
    }

    void captionAndLabels()
    {
        frmAbout about;
        QCOMPARE(about.objectName(), QStringLiteral("frmAbout"));
        QCOMPARE(about.windowTitle(), QStringLiteral("About Pagewheel"));
        QCOMPARE(label(about, "lblTitle"), QStringLiteral("Pagewheel"));
        QCOMPARE(label(about, "lblVersion"), QStringLiteral("Version 1.3.0"));
        QCOMPARE(label(about, "lblDescription"), QString());
        // The system the program runs on, in place of the old platform's name.
        const QString platform = label(about, "lblPlatform");
        QVERIFY2(platform.startsWith(QLatin1String("for ")) && platform.size() > 4,
                 qPrintable(platform));
        QVERIFY2(!platform.contains(QLatin1String("Windows")), qPrintable(platform));
        // The program's icon, whatever icon the application was given.
        const auto* icon = about.findChild<QLabel*>(QStringLiteral("picIcon"));
        QVERIFY(icon && icon->isVisibleTo(&about));
        QCOMPARE(icon->pixmap().size(), QSize(64, 64));
    }

    void noSystemInformationProgramDisablesTheButton()
    {
        QTemporaryDir logs;
        modMain::OpenLogFile(logs.filePath(QStringLiteral("log.txt")));
        modMain::LogToFile = true;
        frmAbout about;
        modMain::LogToFile = false;
        modMain::CloseLogFile();

        QVERIFY(!sysInfoButton(about)->isEnabled());
        QVERIFY(about.sysInfoPath().isEmpty());
        QString path = QStringLiteral("left over");
        QVERIFY(!frmAbout::GetSysInfoPath(path));
        QVERIFY(path.isEmpty());
        QFile log(logs.filePath(QStringLiteral("log.txt")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().contains("System Information path not found"));
    }

    void aSystemInformationProgramEnablesTheButton()
    {
        installFakeProgram();
        frmAbout about;
        QVERIFY(sysInfoButton(about)->isEnabled());
        QCOMPARE(about.sysInfoPath(), m_bin.filePath(QStringLiteral("hardinfo")));
    }

    void pressingSystemInfoStartsTheProgram()
    {
        installFakeProgram();
        ScriptedPrompts prompts;
        frmAbout about;
        about.show();
        QTest::mouseClick(sysInfoButton(about), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker()), 10000);
        QVERIFY(prompts.shown().isEmpty());
        QVERIFY(about.isVisible());
    }

    void aFailingStartSaysSoAndKeepsTheBoxOpen()
    {
        installFakeProgram();
        ScriptedPrompts prompts;
        frmAbout about;
        about.show();
        QVERIFY(sysInfoButton(about)->isEnabled());
        // The program goes away after the box was opened.
        QVERIFY(QFile::remove(m_bin.filePath(QStringLiteral("hardinfo"))));
        QTest::mouseClick(sysInfoButton(about), Qt::LeftButton);
        QCOMPARE(prompts.shown().size(), 1);
        QCOMPARE(prompts.shown().first().text,
                 QStringLiteral("System Information Is Unavailable At This Time\r\n"
                                "It can be installed as a Windows 95 Accessory"));
        QCOMPARE(prompts.shown().first().buttons, int(Prompts::vbOKOnly));
        QCOMPARE(prompts.shown().first().title, QStringLiteral("Pagewheel"));
        QVERIFY(about.isVisible());
    }

    void okClosesAndF1OpensTheHelp()
    {
        frmAbout about;
        about.show();
        QVERIFY(QTest::qWaitForWindowActive(&about));
        QTest::keyClick(&about, Qt::Key_F1);
        QVERIFY(Help::window());
        QCOMPARE(Help::window()->currentPage(), QStringLiteral("about.htm"));
        Help::Quit();
        QTest::mouseClick(about.findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QVERIFY(!about.isVisible());
    }
};

QTEST_MAIN(tst_frmAbout)
#include "tst_frmAbout.moc"
