// SPDX-License-Identifier: GPL-3.0-or-later
// The guidance windows: splash, about box, tip of the day, the start-up show chooser, and the
// question wizards walked through their real screens; and what the build lays out in the
// program folder for them and the demo show.
#include "editors/WindowPlace.h"
#include "guidance/ShowWizards.h"
#include "guidance/WizardHost.h"
#include "guidance/cWizard.h"
#include "guidance/frmAbout.h"
#include "guidance/frmSplash.h"
#include "guidance/frmTip.h"
#include "guidance/frmWizMain.h"
#include "platform/HelpWindow.h"
#include "platform/ScriptedPrompts.h"
#include "settings/COptions.h"
#include "show/colURLs.h"
#include "startup/modMain.h"
#include "webshow/frmWebShow.h"
#include "../support/TestFiles.h"
#include "WizardDriver.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

template <typename T = QWidget> T* child(QWidget* window, const char* name)
{
    T* found = window->findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

QString text(QWidget* window, const char* name)
{
    return child<QLabel>(window, name)->text();
}

void press(QWidget* window, const char* name)
{
    QTest::mouseClick(child<QPushButton>(window, name), Qt::LeftButton);
}

QString appFile(const QString& relative)
{
    return QStringLiteral(PW_APP_FOLDER "/") + relative;
}

/// The lines of a text file the program reads; empty unless every line ends in CR LF.
QList<QByteArray> crlfLines(const QByteArray& bytes)
{
    QList<QByteArray> lines =
        bytes.endsWith("\r\n") ? bytes.chopped(1).split('\n') : QList<QByteArray>();
    for (QByteArray& line : lines) {
        if (!line.endsWith('\r'))
            return {};
        line.chop(1);
    }
    return lines;
}

/// A main window for the wizards: its recent shows, and the commands run.
class TestWizardHost : public WizardHost
{
public:
    QWidget window;
    QStringList recent;
    QStringList calls;

    QWidget* hostWindow() override { return &window; }
    QStringList recentShows() const override { return recent; }
    void openRecentShow(const QString& fileName) override { calls.append("open " + fileName); }
    void openShow() override { calls.append("open"); }
    void newShowFromDirectory() override { calls.append("directory"); }
    void importBookmarks() override { calls.append("bookmarks"); }
    void newBlankShow() override { calls.append("blank"); }
    bool useOLE() const override { return false; }
};

} // namespace

class tst_guidance : public QObject
{
    Q_OBJECT

    QTemporaryDir m_config;
    QTemporaryDir m_folder; ///< the program folder
    QTemporaryDir m_bin;    ///< the only folder on PATH
    QByteArray m_path;

    QString sysInfo() const { return m_bin.filePath(QStringLiteral("hardinfo")); }
    QString marker() const { return m_bin.filePath(QStringLiteral("started")); }
    /// Writes the tip file of the program folder; nullptr for none.
    void writeTips(const char* bytes)
    {
        QFile::remove(m_folder.filePath(QStringLiteral("TipofDay.txt")));
        if (bytes)
            writeFile(m_folder.filePath(QStringLiteral("TipofDay.txt")), bytes);
    }
    QString writeShow(const char* name, const QByteArray& bytes)
    {
        writeFile(m_folder.filePath(QLatin1String(name)), bytes);
        return m_folder.filePath(QLatin1String(name));
    }
    /// The chooser window on the host, options and show.
    void showChooser(frmWizMain& window, TestWizardHost& host, COptions& options, colURLs& show)
    {
        window.setOptions(options);
        window.setShow(show);
        window.setHost(&host);
        window.show();
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        m_path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(m_bin.path()));
    }
    void cleanupTestCase() { qputenv("PATH", m_path); }
    void init() { modMain::SetProgramFolder(m_folder.path()); }
    void cleanup()
    {
        Help::Quit();
        modMain::ResetProgramState();
        QFile::remove(sysInfo());
        QFile::remove(marker());
    }

    void splashShowsThisSystemAndHoldsStill()
    {
        QPointer<frmSplash> splash = new frmSplash;
        splash->show();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        // The platform is the system we run on, kept to one short line.
        const QString platform = text(splash, "lblPlatform");
        QVERIFY2(!platform.isEmpty() && platform.size() <= 40 && !platform.contains('(') &&
                     !platform.contains(QLatin1String("Windows 95")),
                 qPrintable(platform));
        QVERIFY(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
        const QPoint offCentre =
            splash->frameGeometry().center() - splash->screen()->availableGeometry().center();
        QVERIFY(offCentre.manhattanLength() <= 2);
        // The shape rings the emblem that is already there: the layout holds still.
        QWidget* shape = child(splash, "Shape1");
        const QRect name = child(splash, "lblProductName")->geometry();
        QVERIFY(!shape->isVisible());
        splash->showShape();
        splash->showShape();
        QVERIFY(shape->isVisible());
        QCOMPARE(child(splash, "lblProductName")->geometry(), name);
        // Other buttons and moves leave it up; its owner still closes it.
        QWidget* frame = child(splash, "fraMainFrame");
        QTest::mouseClick(frame, Qt::RightButton, {}, frame->rect().center());
        QTest::mouseMove(frame, frame->rect().topLeft() + QPoint(20, 20));
        QTest::qWait(50);
        QVERIFY(!splash.isNull() && splash->isVisible());
        splash->close();
        QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 2000);
    }

    void splashClosesAndUnloads_data()
    {
        QTest::addColumn<int>("key"); // or a click on the target
        QTest::addColumn<QString>("target");
        for (const int key : {Qt::Key_Space, Qt::Key_Escape, Qt::Key_Return, Qt::Key_P})
            QTest::addRow("key %x", key) << key << QString();
        for (const char* target : {"fraMainFrame", "lblProductName", "lblPlatform", "Shape1"})
            QTest::addRow("click on %s", target) << 0 << QString::fromLatin1(target);
    }
    void splashClosesAndUnloads()
    {
        QFETCH(int, key);
        QFETCH(QString, target);
        QPointer<frmSplash> splash = new frmSplash;
        splash->show();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        if (key) {
            QTest::keyClick(splash.data(), Qt::Key(key));
        } else {
            splash->showShape();
            QWidget* widget = splash->findChild<QWidget*>(target);
            QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
        }
        QVERIFY(splash.isNull() || !splash->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 2000);
    }

    void aboutStartsTheSysInfoProgramOrSaysWhyNot()
    {
        // Without the program: no button, an empty path, a line in the log.
        QTemporaryDir logs;
        modMain::OpenLogFile(logs.filePath(QStringLiteral("log.txt")));
        modMain::LogToFile = true;
        {
            frmAbout about;
            modMain::LogToFile = false;
            modMain::CloseLogFile();
            // The system the program runs on, in place of the old platform's name.
            const QString platform = text(&about, "lblPlatform");
            QVERIFY2(platform.startsWith(QLatin1String("for ")) && platform.size() > 4 &&
                         !platform.contains(QLatin1String("Windows")),
                     qPrintable(platform));
            QCOMPARE(child<QLabel>(&about, "picIcon")->pixmap().size(), QSize(64, 64));
            QVERIFY(!child(&about, "cmdSysInfo")->isEnabled() && about.sysInfoPath().isEmpty());
            QString path = QStringLiteral("left over");
            QVERIFY(!frmAbout::GetSysInfoPath(path) && path.isEmpty());
            QVERIFY(fileBytes(logs.filePath(QStringLiteral("log.txt")))
                        .contains("System Information path not found"));
        }

        // A system information program that leaves a marker file when it runs.
        writeFile(sysInfo(), "#!/bin/sh\necho started > '" + marker().toUtf8() + "'\n");
        QVERIFY(QFile::setPermissions(sysInfo(), QFile::ReadOwner | QFile::ExeOwner));
        ScriptedPrompts prompts;
        frmAbout about;
        about.show();
        QCOMPARE(about.sysInfoPath(), sysInfo());
        press(&about, "cmdSysInfo");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker()), 10000);
        QVERIFY(prompts.shown().isEmpty());
        // The program goes away after the box was opened.
        QVERIFY(QFile::remove(sysInfo()));
        press(&about, "cmdSysInfo");
        QCOMPARE(prompts.texts(), QStringList{"System Information Is Unavailable At This Time\r\n"
                                              "It can be installed as a Windows 95 Accessory"});
        QCOMPARE(prompts.shown().first().buttons, int(Prompts::vbOKOnly));
        QVERIFY(about.isVisible());
    }

    void f1OpensTheHelpOfAboutAndTips()
    {
        modMain::SetProgramFolder(QStringLiteral(PW_APP_FOLDER));
        frmAbout about;
        about.show();
        QVERIFY(QTest::qWaitForWindowActive(&about));
        QTest::keyClick(&about, Qt::Key_F1);
        QCOMPARE(Help::window()->currentPage(), QStringLiteral("about.htm"));
        press(&about, "cmdOK");
        QVERIFY(!about.isVisible());
        // The shipped tips load.
        frmTip tip;
        tip.show();
        QVERIFY(QTest::qWaitForWindowActive(&tip));
        QVERIFY(!text(&tip, "lblTipText").isEmpty());
        QVERIFY(!text(&tip, "lblTipText").contains(QLatin1String("was not found")));
        QTest::keyClick(&tip, Qt::Key_F1);
        QCOMPARE(Help::window()->currentPage(), QStringLiteral("tips.htm"));
    }

    void tipsGoRoundTheFile_data()
    {
        // The tips in turn from the first shown, Next wrapping after the last; no file (null).
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("round");
        QTest::newRow("one tip: Next shows it again")
            << QByteArray("Go.\r\n") << QStringList{"Go."};
        // An empty line in the middle is a tip of its own; the last needs no line end.
        QTest::newRow("blank tip, no last line end")
            << QByteArray("one\r\n\r\nthree") << QStringList{"three", "one", ""};
        QTest::newRow("made on the old system") << QByteArray("Caf\xe9 and cr\xe8me.\r\n")
                                                << QStringList{QStringLiteral("Café and crème.")};
        QTest::newRow("empty file: no tip") << QByteArray("") << QStringList{""};
        QTest::newRow("no file: the instructions")
            << QByteArray()
            << QStringList{"That the TipofDay.txt file was not found? \r\n\r\n"
                           "Create a text file named TipofDay.txt using NotePad with 1 "
                           "tip per line. Then place it in the same directory as the "
                           "application. "};
    }
    void tipsGoRoundTheFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, round);
        writeTips(file.isNull() ? nullptr : file.constData());
        frmTip tip;
        QCOMPARE(tip.LoadTips(frmTip::tipFileName()), !file.isNull());
        QVERIFY(!file.isNull() || !tip.LoadTips(QString()));
        tip.show();
        for (int i = 0; i < round.size() && text(&tip, "lblTipText") != round.first(); ++i)
            press(&tip, "cmdNextTip");
        for (int i = 0; i <= round.size(); ++i) {
            QCOMPARE(text(&tip, "lblTipText"), round.at(i % round.size()));
            press(&tip, "cmdNextTip");
        }
    }

    void tipsStartAtRandomAndOkRereadsTheFile()
    {
        writeTips("a\nb\nc\nd\ne\nf\ng\nh\n");
        QSet<QString> first;
        for (int i = 0; i < 60 && first.size() < 2; ++i) {
            frmTip tip;
            QVERIFY(tip.LoadTips(frmTip::tipFileName()));
            first.insert(text(&tip, "lblTipText"));
        }
        QVERIFY(first.size() >= 2);

        writeTips("old tip\r\n");
        COptions options;
        options.DisplayTips = true;
        frmTip tip;
        tip.setOptions(options);
        tip.show();
        // The box shows and sets the option; showing the tips changes none.
        auto* box = child<QCheckBox>(&tip, "chkLoadTipsAtStartup");
        QVERIFY(box->isChecked() && !options.Changed);
        const QPoint square(8, box->height() / 2);
        QTest::mouseClick(box, Qt::LeftButton, {}, square);
        QVERIFY(!box->isChecked() && !options.DisplayTips && options.Changed);
        QTest::mouseClick(box, Qt::LeftButton, {}, square);
        QVERIFY(options.DisplayTips);
        press(&tip, "cmdOK");
        QVERIFY(!tip.isVisible());
        QCOMPARE(tip.result(), int(QDialog::Accepted));
        writeTips("new tip\r\n");
        tip.show();
        QCOMPARE(text(&tip, "lblTipText"), QStringLiteral("new tip"));
    }

    void tipOpensTopmostAt250By100ThenStaysWhereMoved()
    {
        writeTips("tip\r\n");
        QWidget other;
        other.setGeometry(600, 400, 300, 200);
        other.show();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        // Beside an active window, not activated.
        frmTip beside;
        beside.setAttribute(Qt::WA_ShowWithoutActivating);
        beside.show();
        QVERIFY(QTest::qWaitForWindowExposed(&beside));
        QCOMPARE(beside.pos(), QPoint(250, 100));
        frmTip tip;
        tip.show();
        tip.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&tip));
        QTRY_COMPARE(tip.pos(), QPoint(250, 100));
        QVERIFY(tip.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        // Later activations leave the window where the user put it.
        tip.move(400, 300);
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        tip.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&tip));
        QCOMPARE(tip.pos(), QPoint(400, 300));
    }

    void chooserListsRecentShowsAndOpensAClickedOne()
    {
        // Deleted and empty shows are left out.
        QByteArray twelve;
        for (int i = 1; i <= 12; ++i)
            twelve += "http://example.com/" + QByteArray::number(i) + (i % 4 ? "\r\n" : "\r\n\r\n");
        TestWizardHost host;
        const QString deleted = writeShow("Deleted.txt", "http://example.com/\r\n");
        QFile::remove(deleted);
        const QString shown = writeShow("Twelve.txt", twelve);
        const QString small = writeShow("Small.txt", "a\r\nb\r\n");
        host.recent = {deleted, shown, writeShow("Empty.txt", "\r\n\r\n"), QString(), small};
        COptions options;
        colURLs show;
        show.TrayFilename = shown;
        frmWizMain window;
        showChooser(window, host, options, show);
        QCOMPARE(text(&window, "lblCurrent"), "Twelve.txt");
        QCOMPARE(window.findChild<QTabWidget*>()->currentIndex(), 0);
        auto* list = child<QTreeWidget>(&window, "ListView1");
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(0)->text(0), shown);
        QCOMPARE(list->topLevelItem(0)->text(1), "12");
        // Slides sort by number: ascending, then descending on the next click.
        const QPoint slides(list->header()->sectionViewportPosition(1) + 5, 5);
        QTest::mouseClick(list->header()->viewport(), Qt::LeftButton, {}, slides);
        QCOMPARE(list->topLevelItem(0)->text(0), small);
        QTest::mouseClick(list->header()->viewport(), Qt::LeftButton, {}, slides);
        QCOMPARE(list->topLevelItem(0)->text(0), shown);
        const QRect row = list->visualItemRect(list->topLevelItem(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(host.calls, QStringList{"open " + shown});
        QVERIFY(!window.isVisible());
        QVERIFY(!options.Changed);
    }

    void chooserStartupBoxMarksTheOptionsChangedEvenOnCancel()
    {
        TestWizardHost host;
        COptions options;
        options.DisplayWizard = true;
        options.Changed = false;
        colURLs show;
        frmWizMain window;
        showChooser(window, host, options, show);
        auto* box = child<QCheckBox>(&window, "chkStartup");
        QVERIFY(box->isChecked());
        box->click();
        QVERIFY(!options.Changed);
        child<QPushButton>(&window, "cmdCancel")->click();
        QVERIFY(!options.DisplayWizard && options.Changed && host.calls.isEmpty());
    }

    void wizardFlowsEndAsAnswered_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("lastLabel");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("prompts");
        const auto row = [](const char* name, const char* script, int code, const QString& last,
                            const QStringList& calls = {}, const QStringList& prompts = {}) {
            QTest::newRow(name) << QString::fromLatin1(script) << code << last << calls << prompts;
        };
        const QString where = QStringLiteral("Where will this show be run from?");
        const QString local = QStringLiteral("Are all slides for this show made up of image files, "
                                             "web pages or documents on this computer?");
        row("by me, No, No, No", "1 2 2 2 n", 1,
            "Your requirements can not be handled by this wizard. Returning to the main screen.");
        row("web, No, Yes goes on to the new show wizard", "2 2 n 1 c", 2, local);
        row("Back on the new show wizard's first question", "1 b c", 2, where);
        row("Back on the web show wizard's first question", "2 b c", 2, where);
        // Yes on the first question counts as the folder question's Yes: a choice made stays.
        row("one folder, choice kept", "1 1 n n", 2,
            "In the next screen you can select the directory to make the show from.\r\n(You "
            "can access this directly from File->New->Make Show from Directory menu.)",
            {"directory"});
        row("bookmarks, Back and on", "1 2 1 b 1 n", 2,
            "In the next screen you can select a bookmark file to import. \r\n(You can access "
            "this directly from File->Import and Export->Import Bookmark.)",
            {"bookmarks"});
        row("from scratch", "1 2 2 1 n", 2,
            "In the next screen the show editor will let you create a new show one slide at a "
            "time. \r\n(You can access this directly from File->New->New Show)",
            {"blank"});
        row("Next without a choice", "n 1 c", 2, local, {}, {"Please pick one of the choices."});
        // The frame after a Next: a Cancel, not that Next again.
        row("frame closes as Cancel", "1 x", 2, local);
    }
    void wizardFlowsEndAsAnswered()
    {
        QFETCH(QString, script);
        ScriptedPrompts asked;
        TestWizardHost host;
        COptions options;
        colURLs show;
        WizardDriver driver(script);
        QTEST(int(ShowWizards::RunWizards(options, show, host)), "code");
        QCOMPARE(driver.left, QStringList());
        QTEST(driver.labels.last(), "lastLabel");
        QTEST(host.calls, "calls");
        QTEST(asked.texts(), "prompts");
    }

    void wizardShortQuestionsSitLower()
    {
        // Under 100 characters a question moves down to 800 twips; an information screen sits
        // at 1200 twips.
        WizardDriver driver("c c c");
        gWizard.owner = nullptr;
        QCOMPARE(int(gWizard.do_YesNo(QString(99, QLatin1Char('q')))), 2);
        QCOMPARE(int(gWizard.do_YesNo(QString(100, QLatin1Char('q')))), 2);
        QCOMPARE(int(gWizard.do_Inform(QStringLiteral("Done."))), 0);
        QCOMPARE(driver.tops.size(), 3);
        QVERIFY(qAbs(driver.tops.at(0) - WindowPlace::toPixels(800)) <= 1);
        QVERIFY(driver.tops.at(1) < driver.tops.at(0));
        QVERIFY(qAbs(driver.tops.at(2) - WindowPlace::toPixels(1200)) <= 1);
    }

    void wizardFillsTheWebShowDialog_data()
    {
        QTest::addColumn<bool>("posted");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("prompts");
        QTest::addColumn<QStringList>("fields"); // pages folder, local path, start page
        const QString pages = m_folder.filePath(QStringLiteral("pages"));
        // Web, the current show, posted, with local paths to change; the start page browsed as
        // a full path; an empty field refused once.
        QTest::newRow("posted")
            << true
            << "2 1 cur 1 1 n 1 t:/home/me/show|http://example.com/show f:/home/me/show/Begin.htm "
               "t: t:" +
                   pages + " n 1 2 n"
            << QStringList{"Please enter something in the field."}
            << QStringList{pages, "/home/me/show", "http://example.com/show", "Begin.htm"};
        // Not posted: no relocation, the folder question offers the default folder.
        QTest::newRow("local") << false << "2 1 cur 2 n n 2 1 n" << QStringList()
                               << QStringList{"<default>", "", "", "StrtShow.htm"};
    }
    void wizardFillsTheWebShowDialog()
    {
        QFETCH(bool, posted);
        QFETCH(QString, script);
        ScriptedPrompts asked;
        TestWizardHost host;
        COptions options;
        colURLs show;
        show.TrayFilename = m_folder.filePath(QStringLiteral("Holiday.txt"));
        WizardDriver driver(script);
        QCOMPARE(int(ShowWizards::RunWizards(options, show, host)), 2);
        QCOMPARE(driver.left, QStringList());
        QTEST(asked.texts(), "prompts");
        std::unique_ptr<frmWebShow> dialog(host.window.findChild<frmWebShow*>());
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(child<QRadioButton>(dialog.get(), posted ? "optShowType1" : "optShowType0")
                    ->isChecked());
        QStringList found;
        for (const char* name : {"txtPath", "txtPathLcl", "txtPathWeb", "txtStartFile"})
            found.append(child<QLineEdit>(dialog.get(), name)->text());
        QFETCH(QStringList, fields);
        QCOMPARE(found, fields.replaceInStrings("<default>", frmWebShow::DefaultFolder()));
        QCOMPARE(child<QCheckBox>(dialog.get(), "chkAutoStart")->isChecked(), posted);
        QCOMPARE(child<QCheckBox>(dialog.get(), "chkUseSnd")->isChecked(), !posted);
    }

    void shippedFiles()
    {
        // The demo show's records, read by hand: "address","sound","pause",#FLAG#; local
        // slides and sounds are named relative to the program folder.
        static const QRegularExpression record(
            QStringLiteral("^\"([^\"]*)\",\"([^\"]*)\",\"(\\d+)\",(#TRUE#|#FALSE#)$"));
        static const QRegularExpression reference(QStringLiteral("(?:src|href)=\"([^\"]*)\""));
        const QList<QByteArray> lines = crlfLines(fileBytes(appFile("data/DemoShow.txt")));
        QVERIFY2(lines.size() >= 6 && lines.size() <= 8, qPrintable(QString::number(lines.size())));
        int web = 0, shown = 0, sounds = 0, pages = 0;
        for (const QByteArray& line : lines) {
            const QRegularExpressionMatch m = record.match(QString::fromUtf8(line));
            QVERIFY2(m.hasMatch() && m.captured(3).toInt() >= 5 && m.captured(3).toInt() <= 15,
                     line.constData());
            shown += m.captured(4) == QLatin1String("#FALSE#");
            if (!m.captured(2).isEmpty()) {
                // 8-bit mono PCM at 11025 Hz, the recorder's own format, and some sound in it.
                const QByteArray wave = fileBytes(appFile(m.captured(2)));
                QCOMPARE(wave.mid(20, 8), QByteArray::fromHex("01000100112b0000"));
                QVERIFY(wave.startsWith("RIFF") && wave.size() > 44 + 5000);
                ++sounds;
            }
            const QString address = appFile(m.captured(1));
            if (m.captured(1).startsWith(QLatin1String("http"))) {
                ++web;
                continue;
            }
            QVERIFY2(m.captured(1).startsWith(QLatin1String("data/demo/")) &&
                         QFileInfo(address).isFile(),
                     line.constData());
            if (!address.endsWith(QLatin1String(".htm"))) {
                QVERIFY2(QImage(address).width() >= 800, line.constData());
                continue;
            }
            // Pages are whole and use only files shipped beside them.
            ++pages;
            const QString html = QString::fromUtf8(fileBytes(address));
            QVERIFY2(html.startsWith(QLatin1String("<!DOCTYPE html>")) &&
                         html.trimmed().endsWith(QLatin1String("</html>")),
                     line.constData());
            for (const auto& r : reference.globalMatch(html))
                QVERIFY2(!r.captured(1).contains(QLatin1String("//")) &&
                             QFileInfo(address).dir().exists(r.captured(1)),
                         qPrintable(r.captured(1)));
        }
        QVERIFY(web >= 2 && shown >= 6 && sounds >= 1 && pages >= 3);
        QCOMPARE(QImage(appFile(QStringLiteral("data/vexilo.jpg"))).size(), QSize(1280, 720));
        QVERIFY(fileBytes(appFile("test.htm")).startsWith("<!DOCTYPE html>"));

        // A dozen tips, plain text for a label: no markup, no stray control characters.
        const QList<QByteArray> tips = crlfLines(fileBytes(appFile("TipofDay.txt")));
        QVERIFY(tips.size() >= 12);
        for (const QByteArray& tip : tips)
            QVERIFY2(!tip.contains('<') && !tip.contains('\t') && tip.size() <= 220,
                     tip.constData());
    }
};

QTEST_MAIN(tst_guidance)
#include "tst_guidance.moc"
