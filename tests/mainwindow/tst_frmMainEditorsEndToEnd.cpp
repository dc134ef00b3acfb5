// SPDX-License-Identifier: GPL-3.0-or-later
// A user makes a show from a folder of pages, reorders and trims it in the
// list editor, saves it, and runs it once in a real (headless) Chromium.
#include "MainWindowRig.h"
#include "browser/BrowserConnection.h"
#include "editors/ListEditModel.h"
#include "editors/frmDirList.h"
#include "editors/frmListEdit.h"
#include "mainwindow/frmMain.h"
#include "platform/AutomationBrowser.h"
#include "platform/ProgramLocator.h"
#include "show/colURLs.h"
#include "../editors/EditorTestKit.h"

#include <QAction>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QUrl>

#include <memory>

class tst_frmMainEditorsEndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("PAGEWHEEL_BROWSER_FLAGS", "--headless=new");
        QVERIFY2(!ProgramLocator::resolveBrowser(QStringLiteral("IExplore.exe")).isEmpty(),
                 "no Chromium-family browser on PATH");
    }

    void folderShowEditedSavedAndRun()
    {
        MainWindowRig rig;
        QTemporaryDir data;
        qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
        const QString pages = rig.files.filePath(QStringLiteral("pages"));
        QVERIFY(QDir().mkpath(pages));
        for (const char* name : {"alpha", "beta", "gamma"})
            rig.writeFile(QStringLiteral("pages/%1.htm").arg(QLatin1String(name)),
                          "<html><head><title>" + QByteArray(name) + "</title></head><body><h1>" +
                              QByteArray(name) + "</h1></body></html>");

        // The automation browser, a show run once in order, one second a slide.
        COptions options = rig.options();
        options.AutoMode = 2;
        options.AutoDDEapp = QStringLiteral("IEXPLORE");
        options.AutoDDEexe = QStringLiteral("IExplore.exe");
        options.CarouselFileName.clear();
        options.ReloadInterval = 1;
        options.CarouselOperation = 1;
        options.CarouselMode = 1;
        auto* window = new frmMain(options);
        window->setAttribute(Qt::WA_DeleteOnClose);
        const QPointer<frmMain> guard = window;
        window->Form_Load();
        QTRY_VERIFY_WITH_TIMEOUT(window->browserConnection().instance(), 20000);
        AutomationBrowser* browser = window->browserConnection().instance();
        QStringList shown;
        connect(browser, &AutomationBrowser::NavigateComplete2, this, [&shown](const QString& url) {
            if (url.endsWith(QLatin1String(".htm")))
                shown.append(QUrl(url).fileName());
        });

        // File > New > Make Show from Directory, every file of the folder.
        whenModal<frmDirList>([pages](frmDirList* dialog) {
            dialog->findChild<QRadioButton*>(QStringLiteral("optAllFiles0"))->click();
            dialog->findChild<QLineEdit*>(QStringLiteral("txtDir"))->setText(pages);
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdOK")),
                              Qt::LeftButton);
        });
        MainWindowRig::action(window, QStringLiteral("mnuFileNewMakeShowFromDirectory"))->trigger();
        QCOMPARE(window->Show().Count(), 3);

        // File > Edit: sorted by "Slide" (descending), "beta" deleted, saved
        // under a name the user picks, then OK.
        const QString saved = rig.files.filePath(QStringLiteral("Tour.txt"));
        rig.dialogs.chooseFile(saved);
        whenModal<frmListEdit>([](frmListEdit* editor) {
            Q_EMIT editor->list()->horizontalHeader()->sectionClicked(ListEditModel::Slide);
            editor->list()->setCurrentIndex(editor->model().index(1, 0));
            editor->findChild<QAction*>(QStringLiteral("tbToolBarDelete"))->trigger();
            editor->findChild<QAction*>(QStringLiteral("tbToolBarSave"))->trigger();
            QTest::mouseClick(editor->findChild<QPushButton*>(QStringLiteral("cmdOK")),
                              Qt::LeftButton);
        });
        MainWindowRig::action(window, QStringLiteral("mnuFileEdit"))->trigger();
        colURLs back;
        QVERIFY(back.Read_in_file(saved));
        QCOMPARE(back.Count(), 2);
        QCOMPARE(back.Item(1)->HREF, pages + QStringLiteral("/gamma.htm"));
        QCOMPARE(back.Item(2)->HREF, pages + QStringLiteral("/alpha.htm"));
        QCOMPARE(window->Show().TrayFilename, saved);

        // "Show": the browser shows the saved order once, then the show ends.
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdCollect")),
                          Qt::LeftButton);
        QLabel* status = window->findChild<QLabel*>(QStringLiteral("pnlStatus"));
        QTRY_COMPARE_WITH_TIMEOUT(status->text(), QStringLiteral("Show complete."), 30000);
        QCOMPARE(shown, (QStringList{"gamma.htm", "alpha.htm"}));
        delete guard.data();
    }
};

QTEST_MAIN(tst_frmMainEditorsEndToEnd)
#include "tst_frmMainEditorsEndToEnd.moc"
