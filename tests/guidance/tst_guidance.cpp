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
#include "../support/WidgetKit.h"
#include "WizardDriver.h"

#include <QTemporaryDir>
#include <QTest>
#include <QtWidgets>

namespace {

QString text(QWidget* window, const char* name)
{
    return control<QLabel>(window, name)->text();
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

    void splashHoldsStillThenClosesAndUnloads_data()
    {
        QTest::addColumn<int>("key"); // or a click on the target
        QTest::addColumn<QString>("target");
        for (const int key : {Qt::Key_Space, Qt::Key_Escape, Qt::Key_Return, Qt::Key_P})
            QTest::addRow("key %x", key) << key << QString();
        for (const char* target : {"fraMainFrame", "lblProductName", "lblPlatform", "Shape1"})
            QTest::addRow("click on %s", target) << 0 << QString::fromLatin1(target);
    }
    void splashHoldsStillThenClosesAndUnloads()
    {
        QFETCH(int, key);
        QFETCH(QString, target);
        QPointer<frmSplash> splash = new frmSplash;
        splash->show();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        // The platform is the system we run on, kept to one short line.
        const QString platform = text(splash, "lblPlatform");
        QVERIFY2(!platform.isEmpty() && platform.size() <= 40 && !platform.contains('(') &&
                     !platform.contains(QLatin1String("Windows 95")),
                 qPrintable(platform));
        const QPoint offCentre =
            splash->frameGeometry().center() - splash->screen()->availableGeometry().center();
        QVERIFY(offCentre.manhattanLength() <= 2);
        // The shape rings the emblem that is already there: the layout holds still.
        QWidget* shape = control(splash, "Shape1");
        const QRect name = control(splash, "lblProductName")->geometry();
        QVERIFY(!shape->isVisible());
        splash->showShape();
        splash->showShape();
        QVERIFY(shape->isVisible());
        QCOMPARE(control(splash, "lblProductName")->geometry(), name);
        // Other buttons and moves leave it up.
        QWidget* frame = control(splash, "fraMainFrame");
        QTest::mouseClick(frame, Qt::RightButton, {}, frame->rect().center());
        QTest::mouseMove(frame, frame->rect().topLeft() + QPoint(20, 20));
        QTest::qWait(50);
        QVERIFY(!splash.isNull() && splash->isVisible());
        if (key) {
            QTest::keyClick(splash.data(), Qt::Key(key));
        } else {
            QWidget* widget = splash->findChild<QWidget*>(target);
            QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
        }
        QVERIFY(splash.isNull() || !splash->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 2000);
    }

    void aboutStartsTheSysInfoProgramOrSaysWhyNotAndF1OpensHelp()
    {
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
            QCOMPARE(control<QLabel>(&about, "picIcon")->pixmap().size(), QSize(64, 64));
            QVERIFY(!control(&about, "cmdSysInfo")->isEnabled() && about.sysInfoPath().isEmpty());
            QString path = QStringLiteral("left over");
            QVERIFY(!frmAbout::GetSysInfoPath(path) && path.isEmpty());
            QVERIFY(fileBytes(logs.filePath(QStringLiteral("log.txt")))
                        .contains("System Information path not found"));
        }

        // A system information program that leaves a marker file when it runs.
        writeFile(sysInfo(), "#!/bin/sh\necho started > '" + marker().toUtf8() + "'\n");
        QVERIFY(QFile::setPermissions(sysInfo(), QFile::ReadOwner | QFile::ExeOwner));
        modMain::SetProgramFolder(QStringLiteral(PW_APP_FOLDER));
        ScriptedPrompts prompts;
        frmAbout about;
        about.show();
        QVERIFY(QTest::qWaitForWindowActive(&about));
        QTest::keyClick(&about, Qt::Key_F1);
        QCOMPARE(Help::window()->currentPage(), QStringLiteral("about.htm"));
        click(&about, "cmdSysInfo");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker()), 10000);
        // The program goes away after the box was opened.
        QVERIFY(QFile::remove(sysInfo()));
        click(&about, "cmdSysInfo");
        QCOMPARE(prompts.texts(), QStringList{"System Information Is Unavailable At This Time\r\n"
                                              "It can be installed as a Windows 95 Accessory"});
        QCOMPARE(prompts.shown().first().buttons, int(Prompts::vbOKOnly));
        QVERIFY(about.isVisible());
        click(&about, "cmdOK");
        QVERIFY(!about.isVisible());
        // The shipped tips load, and F1 opens their page.
        frmTip tip;
        tip.show();
        QVERIFY(QTest::qWaitForWindowActive(&tip));
        const QString shipped = text(&tip, "lblTipText");
        QVERIFY(!shipped.isEmpty() && !shipped.contains(QLatin1String("was not found")));
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
            click(&tip, "cmdNextTip");
        for (int i = 0; i <= round.size(); ++i) {
            QCOMPARE(text(&tip, "lblTipText"), round.at(i % round.size()));
            click(&tip, "cmdNextTip");
        }
    }

    void tipStartsAtRandomOpensTopmostAt250By100AndOkRereadsTheFile()
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
        COptions options;
        options.DisplayTips = true;
        frmTip tip;
        tip.setOptions(options);
        tip.show();
        tip.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&tip));
        QTRY_COMPARE(tip.pos(), QPoint(250, 100));
        // Later activations leave the window where the user put it.
        tip.move(400, 300);
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        tip.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&tip));
        QCOMPARE(tip.pos(), QPoint(400, 300));
        // The box shows and sets the option; showing the tips changes none.
        auto* box = control<QCheckBox>(&tip, "chkLoadTipsAtStartup");
        QVERIFY(box->isChecked() && !options.Changed);
        const QPoint square(8, box->height() / 2);
        QTest::mouseClick(box, Qt::LeftButton, {}, square);
        QVERIFY(!box->isChecked() && !options.DisplayTips && options.Changed);
        QTest::mouseClick(box, Qt::LeftButton, {}, square);
        QVERIFY(options.DisplayTips);
        click(&tip, "cmdOK");
        QCOMPARE(tip.result(), int(QDialog::Accepted));
        writeTips("new tip\r\n");
        tip.show();
        QCOMPARE(text(&tip, "lblTipText"), QStringLiteral("new tip"));
    }

    void chooserListsRecentShowsOpensAClickedOneAndKeepsTheStartupChoice()
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
        options.DisplayWizard = true;
        options.Changed = false;
        colURLs show;
        show.TrayFilename = shown;
        frmWizMain window;
        window.setOptions(options);
        window.setShow(show);
        window.setHost(&host);
        window.show();
        QCOMPARE(text(&window, "lblCurrent"), "Twelve.txt");
        auto* list = control<QTreeWidget>(&window, "ListView1");
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(0)->text(0), shown);
        QCOMPARE(list->topLevelItem(0)->text(1), "12");
        // The start-up box marks the options changed when the window closes, even on Cancel.
        auto* box = control<QCheckBox>(&window, "chkStartup");
        QVERIFY(box->isChecked());
        box->click();
        QVERIFY(!options.Changed);
        click(&window, "cmdCancel");
        QVERIFY(!options.DisplayWizard && options.Changed && host.calls.isEmpty());
        // Slides sort by number: ascending, then descending on the next click.
        options.Changed = false;
        window.show();
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

    void wizardFlowsEndAsAnswered_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("lastLabel");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("prompts");
        // The web show dialog left open: its fields, the show type, auto start, sound.
        QTest::addColumn<QStringList>("webShow");
        const auto row = [](const char* name, const QString& script, int code, const QString& last,
                            const QStringList& calls = {}, const QStringList& prompts = {},
                            const QStringList& webShow = {}) {
            QTest::newRow(name) << script << code << last << calls << prompts << webShow;
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
        // Web, the current show, posted, with local paths to change; the start page browsed as
        // a full path; an empty field refused once.
        const QString pages = m_folder.filePath(QStringLiteral("pages"));
        const QString filled =
            "The Web Show form will now be filled in with your show options.\r\n"
            "Verify your choices and press 'Make Show' to create the web show pages.";
        row("web show, posted",
            "2 1 cur 1 1 n 1 t:/home/me/show|http://example.com/show f:/home/me/show/Begin.htm "
            "t: t:" +
                pages + " n 1 2 n",
            2, filled, {}, {"Please enter something in the field."},
            {pages, "/home/me/show", "http://example.com/show", "Begin.htm", "posted",
             "auto start"});
        // Not posted: no relocation, the folder question offers the default folder.
        row("web show, local", "2 1 cur 2 n n 2 1 n", 2, filled, {}, {},
            {"<default>", "", "", "StrtShow.htm", "local", "sound"});
    }
    void wizardFlowsEndAsAnswered()
    {
        QFETCH(QString, script);
        ScriptedPrompts asked;
        TestWizardHost host;
        COptions options;
        colURLs show;
        show.TrayFilename = m_folder.filePath(QStringLiteral("Holiday.txt"));
        WizardDriver driver(script);
        QTEST(int(ShowWizards::RunWizards(options, show, host)), "code");
        QCOMPARE(driver.left, QStringList());
        QTEST(driver.labels.last(), "lastLabel");
        QTEST(host.calls, "calls");
        QTEST(asked.texts(), "prompts");
        std::unique_ptr<frmWebShow> dialog(host.window.findChild<frmWebShow*>());
        QStringList found;
        if (dialog && dialog->isVisible()) {
            for (const char* name : {"txtPath", "txtPathLcl", "txtPathWeb", "txtStartFile"})
                found.append(control<QLineEdit>(dialog.get(), name)->text());
            found << (control<QRadioButton>(dialog.get(), "optShowType1")->isChecked() ? "posted"
                                                                                       : "local");
            if (control<QCheckBox>(dialog.get(), "chkAutoStart")->isChecked())
                found << "auto start";
            if (control<QCheckBox>(dialog.get(), "chkUseSnd")->isChecked())
                found << "sound";
        }
        QFETCH(QStringList, webShow);
        QCOMPARE(found, webShow.replaceInStrings("<default>", frmWebShow::DefaultFolder()));
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
            const QString slide = m.captured(1), address = appFile(slide);
            QVERIFY2(m.hasMatch() && m.captured(3).toInt() >= 5 && m.captured(3).toInt() <= 15,
                     line.constData());
            shown += m.captured(4) == u"#FALSE#";
            // 8-bit mono PCM at 11025 Hz, the recorder's own format, and some sound in it.
            const QByteArray wave = fileBytes(appFile(m.captured(2)));
            QVERIFY2(m.captured(2).isEmpty() ||
                         (wave.startsWith("RIFF") && wave.size() > 44 + 5000 &&
                          wave.mid(20, 8) == QByteArray::fromHex("01000100112b0000")),
                     line.constData());
            sounds += !m.captured(2).isEmpty();
            web += slide.startsWith(u"http");
            if (slide.startsWith(u"http"))
                continue;
            QVERIFY2(slide.startsWith(u"data/demo/") && QFileInfo(address).isFile(),
                     line.constData());
            if (!address.endsWith(u".htm")) {
                QVERIFY2(QImage(address).width() >= 800, line.constData());
                continue;
            }
            // Pages are whole and use only files shipped beside them.
            ++pages;
            const QString html = QString::fromUtf8(fileBytes(address));
            QVERIFY2(html.startsWith(u"<!DOCTYPE html>") && html.trimmed().endsWith(u"</html>"),
                     line.constData());
            for (const auto& r : reference.globalMatch(html))
                QVERIFY2(!r.captured(1).contains(u"//") &&
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
