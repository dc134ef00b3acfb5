// SPDX-License-Identifier: GPL-3.0-or-later
// The web show dialog through its controls: checks, pages written, the
// failures, the folder picker and the audit window.
#include "browser/modURL.h"
#include "platform/ScriptedPrompts.h"
#include "settings/COptions.h"
#include "show/colURLs.h"
#include "startup/modMain.h"
#include "webshow/frmAudit.h"
#include "webshow/frmWebShow.h"
#include "TestFiles.h"
#include "UnwritableFile.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

template <typename T> T* control(QWidget& window, const char* name)
{
    T* widget = window.findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

void click(QWidget& window, const char* name)
{
    QTest::mouseClick(control<QPushButton>(window, name), Qt::LeftButton);
}

QString text(QWidget& window, const char* name)
{
    return control<QLineEdit>(window, name)->text();
}

void setText(QWidget& window, const char* name, const QString& value)
{
    control<QLineEdit>(window, name)->setText(value);
}

/// Notes, for every box, whether the busy pointer was still up.
class PointerAtBox final : public Prompts::Backend
{
public:
    PointerAtBox() : m_next(Prompts::backend()) { Prompts::setBackend(this); }
    ~PointerAtBox() override { Prompts::setBackend(m_next); }
    int show(const Prompts::Request& request) override
    {
        busy.append(QApplication::overrideCursor() != nullptr);
        return m_next->show(request);
    }
    QList<bool> busy;

private:
    Prompts::Backend* m_next;
};

} // namespace

class tst_frmWebShow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_config;
    std::unique_ptr<QTemporaryDir> m_out;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    COptions m_options;
    colURLs m_show;

    /// The dialog of a three-slide show "Tour", writing into a fresh folder.
    std::unique_ptr<frmWebShow> open()
    {
        auto window = std::make_unique<frmWebShow>(m_show, m_options, false);
        window->show();
        setText(*window, "txtPath", m_out->path());
        return window;
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        QStandardPaths::setTestModeEnabled(true);
        m_options.ReloadInterval = 15;
        m_show.TrayFilename = QStringLiteral("/shows/Tour.txt");
        m_show.Add(QStringLiteral("http://example.com/a.html"), QString(), 0, false);
        m_show.Add(QStringLiteral("/home/me/b.jpg"), QStringLiteral("/snd/b.wav"), 0, false);
        m_show.Add(QStringLiteral("www.example.org"), QString(), 0, true);
    }
    void init()
    {
        modMain::SetProgramFolder(QStringLiteral(PW_APP_FOLDER));
        m_out = std::make_unique<QTemporaryDir>();
        m_prompts = std::make_unique<ScriptedPrompts>();
    }
    void cleanup()
    {
        m_prompts.reset();
        modMain::ResetProgramState();
    }

    void opensLocalWithTheRelocationPairOff()
    {
        frmWebShow window(m_show, m_options, false);
        window.show();
        QCOMPARE(window.windowTitle(), QStringLiteral("Make Web Show from Tour"));
        QCOMPARE(control<QComboBox>(window, "cboReloadInterval")->currentText(),
                 QStringLiteral("15 sec"));
        QVERIFY(control<QRadioButton>(window, "optShowType0")->isChecked());
        QVERIFY(!control<QPushButton>(window, "cmdTest")->isEnabled());
        const auto relocation = [&window] {
            return control<QGroupBox>(window, "frameReplace")->isEnabled() &&
                   control<QPushButton>(window, "cmdBrowse1")->isEnabled();
        };
        QVERIFY(!relocation());
        setText(window, "txtPathLcl", QStringLiteral("/home/me/"));
        control<QRadioButton>(window, "optShowType1")->click();
        QVERIFY(relocation());
        control<QRadioButton>(window, "optShowType0")->click();
        QVERIFY(!relocation());
        QCOMPARE(text(window, "txtPathLcl"), QStringLiteral("/home/me/"));

        // Every control speaks its name, and its tag on focus.
        for (QWidget* widget : window.findChildren<QWidget*>()) {
            if (!widget->property("Tag").isValid() || qobject_cast<QStatusBar*>(widget) ||
                !widget->focusPolicy())
                continue;
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
            QVERIFY2(face && !face->text(QAccessible::Name).isEmpty(),
                     qPrintable(widget->objectName()));
        }
    }

    void validationStopsAtTheFirstFault_data()
    {
        QTest::addColumn<QString>("startFile");
        QTest::addColumn<QString>("showFile");
        QTest::addColumn<QString>("pause");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("focused");
        const QString entry = QStringLiteral("There must be an entry in this field.");
        const QString required = QStringLiteral("Entry Required");
        QTest::newRow("start page") << QString() << QString() << QString() << entry << required
                                    << QStringLiteral("txtStartFile");
        QTest::newRow("show page") << QStringLiteral("s.htm") << QStringLiteral("  ") << QString()
                                   << entry << required << QStringLiteral("txtShowFile");
        QTest::newRow("pause empty")
            << QStringLiteral("s.htm") << QStringLiteral("w.htm") << QString() << entry << required
            << QStringLiteral("cboReloadInterval");
        QTest::newRow("pause not in the list")
            << QStringLiteral("s.htm") << QStringLiteral("w.htm") << QStringLiteral("7 sec")
            << QStringLiteral("Choose a setting from the pull down") << QStringLiteral("Error")
            << QStringLiteral("cboReloadInterval");
    }
    void validationStopsAtTheFirstFault()
    {
        QFETCH(QString, startFile);
        QFETCH(QString, showFile);
        QFETCH(QString, pause);
        QFETCH(QString, message);
        QFETCH(QString, title);
        QFETCH(QString, focused);
        auto window = open();
        setText(*window, "txtStartFile", startFile);
        setText(*window, "txtShowFile", showFile);
        control<QComboBox>(*window, "cboReloadInterval")->setEditText(pause);
        click(*window, "cmdOK");
        QCOMPARE(m_prompts->texts(), QStringList{message});
        QCOMPARE(m_prompts->shown().first().title, title);
        QCOMPARE(window->focusWidget()->objectName(), focused);
        QVERIFY(QDir(m_out->path()).isEmpty());
        QVERIFY(!control<QPushButton>(*window, "cmdTest")->isEnabled());
    }

    void makeShowWritesAsciiPagesAndEnablesTest_data()
    {
        QTest::addColumn<bool>("emptyFolder"); // and auto start
        QTest::newRow("chosen folder") << false;
        QTest::newRow("empty folder: the current one, auto start") << true;
    }
    void makeShowWritesAsciiPagesAndEnablesTest()
    {
        QFETCH(bool, emptyFolder);
        const QString before = QDir::currentPath();
        auto window = open();
        if (emptyFolder) {
            QDir::setCurrent(m_out->path());
            setText(*window, "txtPath", QString());
        }
        control<QCheckBox>(*window, "chkAutoStart")->setChecked(emptyFolder);
        setText(*window, "txtTitle", QStringLiteral("Caf\u00e9 \u2603 tour"));
        setText(*window, "txtStartFile", QStringLiteral("Go.htm"));
        click(*window, "cmdOK");
        QDir::setCurrent(before);
        QCOMPARE(m_prompts->texts(),
                 QStringList{QStringLiteral("The web show was created successfully.\r\n\r\n"
                                            "The show files, Go.htm and WebShow.htm,\r\n"
                                            "have been generated and can be found in the\r\n") +
                             (emptyFolder ? QStringLiteral("<root>") : m_out->path()) +
                             QStringLiteral("\r\ndirectory.")});
        QCOMPARE(m_prompts->shown().first().title, QStringLiteral("Show Created"));
        QVERIFY(control<QPushButton>(*window, "cmdTest")->isEnabled());
        QCOMPARE(control<QStatusBar>(*window, "pnlStatus")->currentMessage(),
                 QStringLiteral("Show was created successfully."));
        // Pure ASCII whatever the title: no code page can spoil the pages.
        for (const char* name : {"WebShow.htm", "Go.htm"}) {
            const QByteArray bytes = fileBytes(m_out->filePath(QLatin1String(name)));
            QVERIFY(bytes.endsWith("\r\n"));
            QVERIFY2(
                std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; }),
                name);
        }
        QVERIFY(fileBytes(m_out->filePath(QStringLiteral("Go.htm"))).contains("WebShow.htm"));
        QCOMPARE(fileBytes(m_out->filePath(QStringLiteral("WebShow.htm")))
                     .contains("onload=\"start_auto()\""),
                 emptyFolder);
    }

    void failuresKeepEarlierPages_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("failing");
        QTest::newRow("missing folder") << QStringLiteral("missing") << QString();
        QTest::newRow("folder named as the show page")
            << QStringLiteral("dir") << QStringLiteral("WebShow.htm");
        QTest::newRow("unwritable start page")
            << QStringLiteral("locked") << QStringLiteral("StrtShow.htm");
    }
    void failuresKeepEarlierPages()
    {
        QFETCH(QString, fault);
        QFETCH(QString, failing);
        auto window = open();
        QString folder = m_out->path();
        const QString startPage = m_out->filePath(QStringLiteral("StrtShow.htm"));
        writeFile(startPage, "old start page");
        std::unique_ptr<UnwritableFile> lock;
        if (fault == QStringLiteral("missing")) {
            folder = m_out->filePath(QStringLiteral("no/such"));
            setText(*window, "txtPath", folder);
        } else if (fault == QStringLiteral("dir")) {
            QVERIFY(QDir(folder).mkdir(QStringLiteral("WebShow.htm")));
        } else {
            lock = std::make_unique<UnwritableFile>(startPage);
            if (!lock->holds())
                QSKIP("this system lets every file be written");
        }
        PointerAtBox pointer;
        click(*window, "cmdOK");
        QCOMPARE(pointer.busy, QList<bool>{false});
        QCOMPARE(m_prompts->texts().size(), 1);
        const QString message = m_prompts->texts().first();
        if (failing.isEmpty()) {
            QCOMPARE(message,
                     QStringLiteral("The path or directory specified is invalid: \r\n\r\n") +
                         folder +
                         QStringLiteral("\r\n\r\nCheck the path with the browse button "
                                        "and try again."));
        } else {
            const QString head = QStringLiteral("Error writing the file ") + folder +
                                 QLatin1Char('/') + failing + QStringLiteral("\r\nError: ");
            QVERIFY2(message.startsWith(head), qPrintable(message));
            QVERIFY(message.contains(QStringLiteral("\r\nDescription: ")));
        }
        QVERIFY(!control<QPushButton>(*window, "cmdTest")->isEnabled());
        QVERIFY(QApplication::overrideCursor() == nullptr);
        lock.reset();
        QCOMPARE(fileBytes(startPage), QByteArray("old start page"));
    }

    void testOpensTheStartPageInTheBrowser_data()
    {
        QTest::addColumn<bool>("opens");
        QTest::newRow("browser opens it") << true;
        QTest::newRow("browser fails") << false;
    }
    void testOpensTheStartPageInTheBrowser()
    {
        QFETCH(bool, opens);
        QStringList opened;
        modURL::SetAutomationWindowOpener([&opened, opens](const QString& address) {
            opened.append(address);
            return opens ? VbError() : VbError{429, QStringLiteral("No browser")};
        });
        // The folder as typed may be relative: the browser gets it whole.
        const QString before = QDir::currentPath();
        QDir::setCurrent(m_out->path());
        frmWebShow window(m_show, m_options, true);
        window.show();
        setText(window, "txtPath", QStringLiteral("pages"));
        QVERIFY(QDir().mkdir(QStringLiteral("pages")));
        click(window, "cmdOK");
        m_prompts->clear();
        click(window, "cmdTest");
        QDir::setCurrent(before);
        modURL::SetAutomationWindowOpener({});
        const QString page = m_out->filePath(QStringLiteral("pages/StrtShow.htm"));
        QCOMPARE(opened, QStringList{page});
        if (opens)
            QVERIFY(m_prompts->texts().isEmpty());
        else
            QCOMPARE(m_prompts->texts().last(),
                     QStringLiteral("Please check the file at:\r\n") + page);
    }

    void defaultFolder_data()
    {
        QTest::addColumn<bool>("writable");
        QTest::newRow("program folder writable") << true;
        QTest::newRow("installed program") << false;
    }
    void defaultFolder()
    {
        QFETCH(bool, writable);
        // An installed program's folder: here one that cannot even be made.
        const QString program =
            m_out->filePath(writable ? QStringLiteral("prog") : QStringLiteral("file/prog"));
        if (writable) {
            QVERIFY(QDir().mkpath(program));
            for (const char* name : {"NAV.txt", "STRTTOUR.txt"})
                QVERIFY(QFile::copy(QStringLiteral(PW_APP_FOLDER "/") + QLatin1String(name),
                                    program + QLatin1Char('/') + QLatin1String(name)));
        } else {
            writeFile(m_out->filePath(QStringLiteral("file")), "x");
        }
        modMain::SetProgramFolder(program);
        frmWebShow window(m_show, m_options, false);
        window.show();
        const QString folder = text(window, "txtPath");
        const QLabel* note = window.findChild<QLabel*>(QStringLiteral("lblFolderNote"));
        if (!writable) {
            QCOMPARE(folder,
                     QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
            QVERIFY(note && note->text().contains(QStringLiteral("your data folder")));
            return;
        }
        // Not made until it is needed, then made rather than refused.
        QCOMPARE(folder, modMain::AppFolder + QStringLiteral("data"));
        QVERIFY(!note);
        QVERIFY(!QFileInfo::exists(folder));
        click(window, "cmdOK");
        QCOMPARE(m_prompts->shown().first().title, QStringLiteral("Show Created"));
        QVERIFY(QFileInfo::exists(folder + QStringLiteral("/WebShow.htm")));
    }

    void browsePutsTheChosenFolderInItsField_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("field");
        QTest::newRow("pages folder") << QStringLiteral("cmdBrowse0") << QStringLiteral("txtPath");
        QTest::newRow("local path") << QStringLiteral("cmdBrowse1") << QStringLiteral("txtPathLcl");
    }
    void browsePutsTheChosenFolderInItsField()
    {
        QFETCH(QString, button);
        QFETCH(QString, field);
        auto window = open();
        control<QRadioButton>(*window, "optShowType1")->click();
        const QString chosen = m_out->path();
        QVERIFY(QDir(chosen).mkdir(QStringLiteral("site")));
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            QWidget* picker = QApplication::activeModalWidget();
            if (!picker || picker->windowTitle() != QStringLiteral("Choose Directory"))
                return;
            seen = true;
            setText(*picker, "txtDir", chosen + QStringLiteral("/site"));
            click(*picker, "cmdOK");
        });
        QTest::mouseClick(window->findChild<QPushButton*>(button), Qt::LeftButton);
        QVERIFY(seen);
        QCOMPARE(window->findChild<QLineEdit*>(field)->text(), chosen + QStringLiteral("/site/"));
    }

    void auditWindowShowsTheReportAndKeepsItsPlace()
    {
        auto window = open();
        control<QComboBox>(*window, "cboReloadInterval")->setEditText(QStringLiteral(" 1 min"));
        click(*window, "cmdAudit");
        click(*window, "cmdAudit");
        frmAudit* audit = window->auditWindow();
        QVERIFY(audit && audit->isVisible());
        // Each run names the show once more, as the window has always done.
        QCOMPARE(audit->windowTitle(), QStringLiteral("Audit Form - Tour - Tour"));
        const QString report = control<QPlainTextEdit>(*audit, "txtOut")->toPlainText();
        QVERIFY(report.startsWith(QStringLiteral("File Title: Tour\n")));
        QVERIFY(report.contains(QStringLiteral("Approximate length of show: 180 seconds. (3. "
                                               "minutes)\nSome of the slides have sound files.")));

        // Wider and taller: the text box follows, its margins kept.
        audit->resize(700, 500);
        const QPlainTextEdit* txtOut = control<QPlainTextEdit>(*audit, "txtOut");
        const double perTwip = audit->logicalDpiX() / 1440.0;
        QVERIFY(qAbs(txtOut->width() - (700 - 400 * perTwip)) <= 1);
        QVERIFY(qAbs(txtOut->height() - (500 - 700 * perTwip)) <= 1);

        audit->move(130, 170);
        const QPoint place = audit->pos();
        audit->close();
        QTRY_VERIFY(!window->auditWindow());
        click(*window, "cmdAudit");
        QTRY_VERIFY(window->auditWindow() && window->auditWindow()->isVisible());
        QCOMPARE(window->auditWindow()->pos(), place);
    }
};

QTEST_MAIN(tst_frmWebShow)
#include "tst_frmWebShow.moc"
