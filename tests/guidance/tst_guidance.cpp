// SPDX-License-Identifier: GPL-3.0-or-later
// The guidance windows: splash, about box, tip of the day, the start-up show
// chooser, and the question wizards walked through their real screens; and
// what the build lays out in the program folder for them and the demo show.
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

#include <QCheckBox>
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

/// A shown splash, exposed so that mouse clicks reach it.
QPointer<frmSplash> shownSplash()
{
    QPointer<frmSplash> splash = new frmSplash;
    splash->show();
    if (!QTest::qWaitForWindowExposed(splash))
        qWarning("splash never exposed");
    return splash;
}

QString appFile(const QString& relative)
{
    return QDir(QStringLiteral(PW_APP_FOLDER)).filePath(relative);
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

bool isWebAddress(const QString& address)
{
    return address.startsWith(QLatin1String("http://")) ||
           address.startsWith(QLatin1String("https://"));
}

/// Fails unless the file is a whole HTML page.
void checkHtmlPage(const QString& path)
{
    const QString html = QString::fromUtf8(fileBytes(path));
    QVERIFY2(html.startsWith(QLatin1String("<!DOCTYPE html>")), qPrintable(path));
    QVERIFY2(html.contains(QLatin1String("<title>")), qPrintable(path));
    QVERIFY2(html.trimmed().endsWith(QLatin1String("</html>")), qPrintable(path));
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

private:
    QTemporaryDir m_config;
    QTemporaryDir m_folder; ///< the program folder
    QTemporaryDir m_bin;    ///< the only folder on PATH
    QByteArray m_path;

    QString marker() const { return m_bin.filePath(QStringLiteral("started")); }
    /// A system information program that leaves a marker file when it runs.
    void installSysInfo()
    {
        const QString program = m_bin.filePath(QStringLiteral("hardinfo"));
        writeFile(program, "#!/bin/sh\necho started > '" + marker().toUtf8() + "'\n");
        QVERIFY(
            QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    /// Writes the tip file of the program folder; nullptr for none.
    void writeTips(const char* bytes)
    {
        QFile::remove(m_folder.filePath(QStringLiteral("TipofDay.txt")));
        if (bytes)
            writeFile(m_folder.filePath(QStringLiteral("TipofDay.txt")), bytes);
    }
    QString writeShow(const char* name, const QByteArray& bytes)
    {
        const QString path = m_folder.filePath(QString::fromLatin1(name));
        writeFile(path, bytes);
        return path;
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
        QFile::remove(m_bin.filePath(QStringLiteral("hardinfo")));
        QFile::remove(marker());
    }

    void splashIsFramelessCentredAndFitsItsLabels()
    {
        QPointer<frmSplash> splash = shownSplash();
        // The platform is the system we run on, kept to one short line.
        const QString platform = text(splash, "lblPlatform");
        QVERIFY(!platform.isEmpty() && platform.size() <= 40 &&
                !platform.contains(QLatin1Char('(')));
        QVERIFY2(!platform.contains(QLatin1String("Windows 95")), qPrintable(platform));
        for (const char* name : {"lblProductName", "lblVersion", "lblPlatform"}) {
            auto* label = child<QLabel>(splash, name);
            QVERIFY2(label->sizeHint().width() <= label->width(), name);
            QVERIFY2(label->sizeHint().height() <= label->height(), name);
        }
        QVERIFY(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
        const QPoint offCentre =
            splash->frameGeometry().center() - splash->screen()->availableGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 2, qPrintable(QString::number(offCentre.x())));

        // The shape rings the emblem that is already there: the layout holds still.
        QWidget* shape = child(splash, "Shape1");
        QVERIFY(!shape->isVisible());
        const QRect name = child(splash, "lblProductName")->geometry();
        const QRect shapePlace = shape->geometry();
        splash->showShape();
        splash->showShape();
        QVERIFY(shape->isVisible());
        QCOMPARE(child(splash, "lblProductName")->geometry(), name);
        QCOMPARE(shape->geometry(), shapePlace);
        QVERIFY(
            splash->rect().contains(shape->geometry().translated(shape->parentWidget()->pos())));

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
        QPointer<frmSplash> splash = shownSplash();
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

    void aboutNamesThePlatformAndHasNoSysInfoWithoutTheProgram()
    {
        QTemporaryDir logs;
        modMain::OpenLogFile(logs.filePath(QStringLiteral("log.txt")));
        modMain::LogToFile = true;
        frmAbout about;
        modMain::LogToFile = false;
        modMain::CloseLogFile();
        // The system the program runs on, in place of the old platform's name.
        const QString platform = text(&about, "lblPlatform");
        QVERIFY2(platform.startsWith(QLatin1String("for ")) && platform.size() > 4 &&
                     !platform.contains(QLatin1String("Windows")),
                 qPrintable(platform));
        QCOMPARE(child<QLabel>(&about, "picIcon")->pixmap().size(), QSize(64, 64));

        QVERIFY(!child(&about, "cmdSysInfo")->isEnabled());
        QVERIFY(about.sysInfoPath().isEmpty());
        QString path = QStringLiteral("left over");
        QVERIFY(!frmAbout::GetSysInfoPath(path));
        QVERIFY(path.isEmpty());
        QVERIFY(fileBytes(logs.filePath(QStringLiteral("log.txt")))
                    .contains("System Information path not found"));
    }

    void aboutStartsTheSysInfoProgramOrSaysWhyNot()
    {
        installSysInfo();
        ScriptedPrompts prompts;
        frmAbout about;
        about.show();
        QCOMPARE(about.sysInfoPath(), m_bin.filePath(QStringLiteral("hardinfo")));
        press(&about, "cmdSysInfo");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker()), 10000);
        QVERIFY(prompts.shown().isEmpty());

        // The program goes away after the box was opened.
        QVERIFY(QFile::remove(m_bin.filePath(QStringLiteral("hardinfo"))));
        press(&about, "cmdSysInfo");
        QCOMPARE(prompts.texts(), QStringList{"System Information Is Unavailable At This Time\r\n"
                                              "It can be installed as a Windows 95 Accessory"});
        QCOMPARE(prompts.shown().first().buttons, int(Prompts::vbOKOnly));
        QVERIFY(about.isVisible());
    }

    void aboutF1OpensItsHelpAndOkCloses()
    {
        modMain::SetProgramFolder(QStringLiteral(PW_APP_FOLDER));
        frmAbout about;
        about.show();
        QVERIFY(QTest::qWaitForWindowActive(&about));
        QTest::keyClick(&about, Qt::Key_F1);
        QVERIFY(Help::window());
        QCOMPARE(Help::window()->currentPage(), QStringLiteral("about.htm"));
        press(&about, "cmdOK");
        QVERIFY(!about.isVisible());
    }

    void tipsGoRoundTheFile_data()
    {
        // The tips in turn from the first shown, Next wrapping after the last.
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("loads");
        QTest::addColumn<QStringList>("round");
        QTest::newRow("one tip: Next shows it again")
            << QByteArray("Press Show to run the show.\r\n") << true
            << QStringList{"Press Show to run the show."};
        // An empty line in the middle is a tip of its own; the last needs no line end.
        QTest::newRow("blank tip, no last line end")
            << QByteArray("one\r\n\r\nthree") << true << QStringList{"three", "one", ""};
        QTest::newRow("made on the old system") << QByteArray("Caf\xe9 and cr\xe8me.\r\n") << true
                                                << QStringList{QStringLiteral("Café and crème.")};
        QTest::newRow("empty file: no tip") << QByteArray("") << true << QStringList{""};
        QTest::newRow("no file: the instructions")
            << QByteArray() << false
            << QStringList{"That the TipofDay.txt file was not found? \r\n\r\n"
                           "Create a text file named TipofDay.txt using NotePad with 1 tip "
                           "per line. Then place it in the same directory as the application. "};
    }
    void tipsGoRoundTheFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, loads);
        QFETCH(QStringList, round);
        writeTips(loads ? file.constData() : nullptr);
        frmTip tip;
        QCOMPARE(tip.LoadTips(frmTip::tipFileName()), loads);
        if (!loads)
            QVERIFY(!tip.LoadTips(QString()));
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
        frmTip tip;
        tip.show();
        press(&tip, "cmdOK");
        QVERIFY(!tip.isVisible());
        QCOMPARE(tip.result(), int(QDialog::Accepted));
        writeTips("new tip\r\n");
        tip.show();
        QCOMPARE(text(&tip, "lblTipText"), QStringLiteral("new tip"));
    }

    void tipCheckBoxShowsAndSetsDisplayTips()
    {
        writeTips("tip\r\n");
        COptions options;
        options.DisplayTips = true;
        frmTip tip;
        tip.setOptions(options);
        tip.show();
        auto* box = child<QCheckBox>(&tip, "chkLoadTipsAtStartup");
        QVERIFY(box->isChecked());
        // Showing the tips changes no option.
        QVERIFY(!options.Changed);
        // On the box's square, at its left.
        const QPoint square(8, box->height() / 2);
        QTest::mouseClick(box, Qt::LeftButton, {}, square);
        QVERIFY(!box->isChecked() && !options.DisplayTips && options.Changed);
        QTest::mouseClick(box, Qt::LeftButton, {}, square);
        QVERIFY(options.DisplayTips);
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
        const QSize size = tip.size();
        // Later activations leave the window where the user put it.
        tip.move(400, 300);
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        tip.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&tip));
        QCOMPARE(tip.pos(), QPoint(400, 300));
        QCOMPARE(tip.size(), size);
    }

    void shippedTipsLoadAndF1OpensTheirHelp()
    {
        modMain::SetProgramFolder(QStringLiteral(PW_APP_FOLDER));
        frmTip tip;
        tip.show();
        QVERIFY(QTest::qWaitForWindowActive(&tip));
        QVERIFY(!text(&tip, "lblTipText").isEmpty());
        QVERIFY(!text(&tip, "lblTipText").contains(QLatin1String("was not found")));
        QTest::keyClick(&tip, Qt::Key_F1);
        QVERIFY(Help::window());
        QCOMPARE(Help::window()->currentPage(), QStringLiteral("tips.htm"));
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
        window.setOptions(options);
        window.setShow(show);
        window.setHost(&host);
        window.show();

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
        window.setOptions(options);
        window.setShow(show);
        window.setHost(&host);
        window.show();
        auto* box = child<QCheckBox>(&window, "chkStartup");
        QVERIFY(box->isChecked());
        box->click();
        QVERIFY(!options.Changed);
        child<QPushButton>(&window, "cmdCancel")->click();
        QVERIFY(!options.DisplayWizard);
        QVERIFY(options.Changed);
        QVERIFY(host.calls.isEmpty());
    }

    void wizardFlowsEndAsAnswered_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("lastLabel");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("prompts");

        const QString where = QStringLiteral("Where will this show be run from?");
        const QString local = QStringLiteral("Are all slides for this show made up of image files, "
                                             "web pages or documents on this computer?");
        QTest::newRow("by me, No, No, No")
            << "1 2 2 2 n" << 1
            << "Your requirements can not be handled by this wizard. Returning to the main screen."
            << QStringList() << QStringList();
        QTest::newRow("web, No, Yes goes on to the new show wizard")
            << "2 2 n 1 c" << 2 << local << QStringList() << QStringList();
        QTest::newRow("Back on the new show wizard's first question")
            << "1 b c" << 2 << where << QStringList() << QStringList();
        QTest::newRow("Back on the web show wizard's first question")
            << "2 b c" << 2 << where << QStringList() << QStringList();
        // Yes on the first question counts as the folder question's Yes:
        // a choice made stays made.
        QTest::newRow("one folder, choice kept")
            << "1 1 n n" << 2
            << "In the next screen you can select the directory to make the show from.\r\n(You "
               "can access this directly from File->New->Make Show from Directory menu.)"
            << QStringList{"directory"} << QStringList();
        QTest::newRow("bookmarks, Back and on")
            << "1 2 1 b 1 n" << 2
            << "In the next screen you can select a bookmark file to import. \r\n(You can access "
               "this directly from File->Import and Export->Import Bookmark.)"
            << QStringList{"bookmarks"} << QStringList();
        QTest::newRow("from scratch")
            << "1 2 2 1 n" << 2
            << "In the next screen the show editor will let you create a new show one slide at a "
               "time. \r\n(You can access this directly from File->New->New Show)"
            << QStringList{"blank"} << QStringList();
        QTest::newRow("Next without a choice") << "n 1 c" << 2 << local << QStringList()
                                               << QStringList{"Please pick one of the choices."};
        // The frame after a Next: a Cancel, not that Next again.
        QTest::newRow("frame closes as Cancel")
            << "1 x" << 2 << local << QStringList() << QStringList();
    }
    void wizardFlowsEndAsAnswered()
    {
        QFETCH(QString, script);
        QFETCH(int, code);
        QFETCH(QString, lastLabel);
        QFETCH(QStringList, calls);
        QFETCH(QStringList, prompts);
        ScriptedPrompts asked;
        TestWizardHost host;
        COptions options;
        colURLs show;
        WizardDriver driver(script);
        QCOMPARE(int(ShowWizards::RunWizards(options, show, host)), code);
        QCOMPARE(driver.left, QStringList());
        QCOMPARE(driver.labels.last(), lastLabel);
        QCOMPARE(host.calls, calls);
        QCOMPARE(asked.texts(), prompts);
    }

    void wizardShortQuestionsSitLower()
    {
        // Under 100 characters a question moves down to 800 twips; an
        // information screen sits at 1200 twips.
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
        QTest::addColumn<QStringList>("fields"); // local path, start page
        QTest::addColumn<bool>("autoStart");
        const QString pages = m_folder.filePath(QStringLiteral("pages"));
        // Web, the current show, posted, with local paths to change; the start
        // page browsed as a full path; an empty field refused once.
        QTest::newRow("posted") << true
                                << "2 1 cur 1 1 n 1 t:/home/me/show|http://example.com/show "
                                   "f:/home/me/show/Begin.htm t: t:" +
                                       pages + " n 1 2 n"
                                << QStringList{"Please enter something in the field."}
                                << QStringList{"/home/me/show", "Begin.htm"} << true;
        // Not posted: no relocation, the folder question offers the default folder.
        QTest::newRow("local") << false << "2 1 cur 2 n n 2 1 n" << QStringList()
                               << QStringList{"", "StrtShow.htm"} << false;
    }
    void wizardFillsTheWebShowDialog()
    {
        QFETCH(bool, posted);
        QFETCH(QString, script);
        QFETCH(QStringList, prompts);
        QFETCH(QStringList, fields);
        QFETCH(bool, autoStart);
        ScriptedPrompts asked;
        TestWizardHost host;
        COptions options;
        colURLs show;
        show.TrayFilename = m_folder.filePath(QStringLiteral("Holiday.txt"));
        WizardDriver driver(script);
        QCOMPARE(int(ShowWizards::RunWizards(options, show, host)), 2);
        QCOMPARE(driver.left, QStringList());
        QCOMPARE(asked.texts(), prompts);

        std::unique_ptr<frmWebShow> dialog(host.window.findChild<frmWebShow*>());
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(child<QRadioButton>(dialog.get(), posted ? "optShowType1" : "optShowType0")
                    ->isChecked());
        QStringList found;
        for (const char* name : {"txtPathLcl", "txtStartFile"})
            found.append(child<QLineEdit>(dialog.get(), name)->text());
        QCOMPARE(found, fields);
        QCOMPARE(child<QLineEdit>(dialog.get(), "txtPath")->text(),
                 posted ? m_folder.filePath(QStringLiteral("pages")) : frmWebShow::DefaultFolder());
        if (posted)
            QCOMPARE(child<QLineEdit>(dialog.get(), "txtPathWeb")->text(),
                     "http://example.com/show");
        QCOMPARE(child<QCheckBox>(dialog.get(), "chkAutoStart")->isChecked(), autoStart);
        QCOMPARE(child<QCheckBox>(dialog.get(), "chkUseSnd")->isChecked(), !autoStart);
    }

    void demoShowAndItsFiles()
    {
        // The records, read by hand: "address","sound","pause",#FLAG#; local
        // slides and sounds are named relative to the program folder.
        static const QRegularExpression record(
            QStringLiteral("^\"([^\"]*)\",\"([^\"]*)\",\"(\\d+)\",(#TRUE#|#FALSE#)$"));
        static const QRegularExpression reference(QStringLiteral("(?:src|href)=\"([^\"]*)\""));
        const QList<QByteArray> lines =
            crlfLines(fileBytes(appFile(QStringLiteral("data/DemoShow.txt"))));
        QVERIFY2(lines.size() >= 6 && lines.size() <= 8, qPrintable(QString::number(lines.size())));
        int web = 0, shown = 0, sounds = 0, pages = 0, pagePictures = 0, pictures = 0;
        for (const QByteArray& line : lines) {
            const QRegularExpressionMatch m = record.match(QString::fromUtf8(line));
            QVERIFY2(m.hasMatch(), line.constData());
            const int pause = m.captured(3).toInt();
            QVERIFY2(pause >= 5 && pause <= 15, line.constData());
            shown += m.captured(4) == QLatin1String("#FALSE#");
            if (!m.captured(2).isEmpty()) {
                ++sounds;
                // 8-bit mono PCM at 11025 Hz, the recorder's own format, and some sound in it.
                const QByteArray wave = fileBytes(appFile(m.captured(2)));
                QVERIFY2(wave.startsWith("RIFF") && wave.mid(8, 8) == "WAVEfmt ", line.constData());
                QCOMPARE(wave.mid(20, 8), QByteArray::fromHex("01000100112b0000"));
                QVERIFY(wave.size() > 44 + 5000);
            }
            if (isWebAddress(m.captured(1))) {
                ++web;
                continue;
            }
            const QString address = appFile(m.captured(1));
            QVERIFY2(!QFileInfo(m.captured(1)).isAbsolute(), line.constData());
            QVERIFY2(m.captured(1).startsWith(QLatin1String("data/demo/")), line.constData());
            QVERIFY2(QFileInfo(address).isFile(), line.constData());
            if (address.endsWith(QLatin1String(".png")) ||
                address.endsWith(QLatin1String(".jpg"))) {
                const QImage picture(address);
                QVERIFY2(picture.width() >= 800 && picture.height() >= 450, line.constData());
                ++pictures;
            }
            if (!address.endsWith(QLatin1String(".htm")))
                continue;
            // Pages use only files shipped beside them.
            ++pages;
            checkHtmlPage(address);
            const QDir folder = QFileInfo(address).dir();
            for (const QRegularExpressionMatch& r :
                 reference.globalMatch(QString::fromUtf8(fileBytes(address)))) {
                const QString target = r.captured(1);
                QVERIFY2(!target.contains(QLatin1String("//")), qPrintable(target));
                QVERIFY2(QFileInfo::exists(folder.filePath(target)), qPrintable(target));
                if (target.endsWith(QLatin1String(".png")) ||
                    target.endsWith(QLatin1String(".jpg"))) {
                    QVERIFY2(!QImage(folder.filePath(target)).isNull(), qPrintable(target));
                    ++pagePictures;
                }
            }
        }
        QVERIFY(web >= 2 && shown >= 6 && sounds >= 1 && pages >= 3 && pictures >= 2);
        QVERIFY(pagePictures >= pages);
    }

    void otherShippedFiles()
    {
        QCOMPARE(QImage(appFile(QStringLiteral("data/vexilo.jpg"))).size(), QSize(1280, 720));
        checkHtmlPage(appFile(QStringLiteral("test.htm")));

        // A dozen tips, plain text for a label: no markup, no stray control characters.
        int tips = 0;
        const QList<QByteArray> lines =
            crlfLines(fileBytes(appFile(QStringLiteral("TipofDay.txt"))));
        for (const QByteArray& line : lines) {
            tips += !line.trimmed().isEmpty();
            QVERIFY2(!line.contains('<') && !line.contains('\t'), line.constData());
            QVERIFY2(line.size() <= 220, line.constData());
        }
        QVERIFY2(tips >= 12, qPrintable(QString::number(tips)));
    }
};

QTEST_MAIN(tst_guidance)
#include "tst_guidance.moc"
