// SPDX-License-Identifier: GPL-3.0-or-later
// The platform's windows: message boxes, the common dialogs (scripted, and Qt's real dialogs
// answered by a timer) and the help window on the pages the build lays out.
#include "platform/CommonDialog.h"
#include "platform/FileDialogBackend.h"
#include "platform/Help.h"
#include "platform/HelpTopics.h"
#include "platform/HelpWindow.h"
#include "platform/MessageBoxPrompts.h"
#include "platform/ScriptedCommonDialog.h"
#include "platform/ScriptedPrompts.h"
#include "../support/TestFiles.h"

#include <QtWidgets>
#include <QTest>

#include <functional>

using namespace Prompts;

namespace {

const QString ShowFilter = QStringLiteral("Text  files|*.txt|All Files (*.*)|*.*");
const QString HelpFile = QStringLiteral(PW_APP_FOLDER "/Pagewheel.hlp");

/// Runs the handler on the next modal window; delete the timer to stop.
QPointer<QTimer> whenModal(QObject* context, const std::function<void(QWidget*)>& handler)
{
    auto* timer = new QTimer(context);
    QObject::connect(timer, &QTimer::timeout, context, [timer, handler] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->deleteLater();
            timer->stop();
            handler(modal);
        }
    });
    timer->start(20);
    return timer;
}

QLineEdit* nameEdit(QWidget* modal)
{
    return modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

void typeAndAccept(QWidget* modal, const QString& name)
{
    nameEdit(modal)->setText(name);
    QTest::keyClick(nameEdit(modal), Qt::Key_Return);
}

template <typename T> T* child(const char* name)
{
    T* found = Help::window() ? Help::window()->findChild<T*>(QLatin1String(name)) : nullptr;
    if (!found)
        qFatal("no %s", name);
    return found;
}

QString page()
{
    return Help::window() ? Help::window()->currentPage() : QString();
}

void clickButton(const char* name)
{
    QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton);
}

} // namespace

class tst_platform_widgets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        setBackend(nullptr);
        Help::Quit();
        QVERIFY(!Help::window());
    }

    void filterConversion()
    {
        for (const auto& [filter, qt] :
             {std::pair{ShowFilter, "Text  files (*.txt);;All Files (*.*) (*)"},
              {"Slide files (.htm,.jpg,.gif)|*.htm;*.jpg;*.gif",
               "Slide files (.htm,.jpg,.gif) (*.htm *.jpg *.gif)"},
              {"None||Wave|*.wav|Orphan", "Wave (*.wav)"}})
            QCOMPARE(FileDialogBackend::qtNameFilters(filter).join(";;"), QLatin1String(qt));
    }

    void scriptedDialogCancels()
    {
        // Without the cancel error the empty name is the cancel; with it, error 32755 and the
        // name stays.
        ScriptedCommonDialog script;
        QWidget owner;
        CommonDialog dialog(&owner);
        VbError error;
        dialog.FileName = QStringLiteral("/shows/a.txt");
        QCOMPARE(dialog.ShowSave(&error), QString());
        QVERIFY(!error.isError() && dialog.FileName.isEmpty());
        dialog.CancelError = true;
        dialog.FileName = QStringLiteral("/shows/b.txt");
        QVERIFY(!dialog.ShowColor(&error).isValid());
        QCOMPARE(error.number, 32755);
        QCOMPARE(dialog.FileName, QStringLiteral("/shows/b.txt"));
        QCOMPARE(script.requests().value(0).parent, &owner);
    }

    void realDialogs()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("shows")));
        const QString show = dir.filePath(QStringLiteral("shows/tour.txt"));
        writeFile(show, "");
        writeFile(dir.filePath(QStringLiteral("old.txt")), "");
        CommonDialog dialog;
        dialog.DialogTitle = QStringLiteral("Open Show");
        dialog.Filter = ShowFilter;
        dialog.FilterIndex = 2;
        dialog.InitDir = dir.filePath(QStringLiteral("shows"));
        QStringList seen;
        whenModal(this, [&](QWidget* modal) {
            auto* files = qobject_cast<QFileDialog*>(modal);
            // "All Files" matches names without an extension too.
            seen << files->nameFilters() << files->selectedNameFilter()
                 << modal->findChild<QFileSystemModel*>()->nameFilters();
            files->selectNameFilter(files->nameFilters().value(0));
            typeAndAccept(modal, QStringLiteral("tour.txt"));
        });
        QCOMPARE(dialog.ShowOpen(), show);
        QCOMPARE(dialog.FilterIndex, 1);

        // The next use keeps title, folder and name though InitDir moved; a cancel is error
        // 32755 and keeps the name.
        dialog.InitDir = dir.path();
        dialog.CancelError = true;
        whenModal(this, [&](QWidget* modal) {
            seen << modal->windowTitle()
                 << qobject_cast<QFileDialog*>(modal)->directory().absolutePath()
                 << nameEdit(modal)->text();
            qobject_cast<QDialog*>(modal)->reject();
        });
        VbError error;
        QCOMPARE(dialog.ShowOpen(&error), QString());
        QCOMPARE(seen, (QStringList{"Text files (*.txt)", "All Files (*.*) (*)", "All Files (*.*)",
                                    "*", "Open Show", QFileInfo(show).absolutePath(), "tour.txt"}));
        QCOMPARE(error.number, 32755);
        QCOMPARE(dialog.FileName, show);

        // Save adds the extension, and leaves asking about overwriting to the program.
        CommonDialog save;
        save.InitDir = dir.path();
        save.DefaultExt = QStringLiteral("txt");
        whenModal(this, [&](QWidget* modal) { typeAndAccept(modal, QStringLiteral("new")); });
        QCOMPARE(save.ShowSave(), dir.filePath(QStringLiteral("new.txt")));
        QStringList boxes;
        QPointer<QTimer> watch;
        whenModal(this, [&](QWidget* modal) {
            watch = whenModal(this, [&](QWidget* box) {
                boxes << box->metaObject()->className();
                qobject_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click();
            });
            typeAndAccept(modal, QStringLiteral("old.txt"));
        });
        QCOMPARE(save.ShowSave(), dir.filePath(QStringLiteral("old.txt")));
        delete watch;
        QCOMPARE(boxes, QStringList());

        // The colour dialog starts from Color only when asked to.
        CommonDialog colour;
        colour.Flags = CommonDialog::cdlCCRGBInit;
        colour.Color = QColor(Qt::red);
        const QColor chosen(0x12, 0x34, 0x56);
        QList<QColor> offered;
        for (const bool accept : {true, false}) {
            whenModal(this, [&, accept](QWidget* modal) {
                auto* colors = qobject_cast<QColorDialog*>(modal);
                offered << colors->currentColor();
                colors->setCurrentColor(chosen);
                accept ? colors->accept() : colors->reject();
            });
            QCOMPARE(colour.ShowColor().isValid(), accept);
            colour.Flags = 0;
        }
        QCOMPARE(colour.Color, chosen);
        QCOMPARE(offered, (QList<QColor>{Qt::red, Qt::black}));
    }

    void messageBoxes()
    {
        MessageBoxPrompts real;
        setBackend(&real);
        // Buttons, the default, the one clicked, the answer, the icon shown.
        for (const auto& [buttons, fallback, click, answer, icon] :
             {std::tuple{vbYesNo + vbExclamation, vbYes, QMessageBox::No, vbNo,
                         QMessageBox::Warning},
              {vbYesNoCancel + vbQuestion, vbYes, QMessageBox::Cancel, vbCancel,
               QMessageBox::Question},
              {vbOKOnly, vbOK, QMessageBox::Ok, vbOK, QMessageBox::NoIcon},
              {vbRetryCancel, vbRetry, QMessageBox::Cancel, vbCancel, QMessageBox::NoIcon},
              {vbYesNo + vbDefaultButton2, vbNo, QMessageBox::Yes, vbYes, QMessageBox::NoIcon}}) {
            QCOMPARE(defaultAnswer(buttons), fallback);
            QStringList seen;
            QMessageBox::Icon seenIcon = QMessageBox::Critical;
            whenModal(this, [&, click = click](QWidget* modal) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                seen << box->windowTitle() << box->text();
                seenIcon = box->icon();
                box->button(click)->click();
            });
            QCOMPARE(MsgBox(QStringLiteral("Question text"), buttons), answer);
            QCOMPARE(seen, (QStringList{"Pagewheel", "Question text"}));
            QCOMPARE(seenIcon, icon);
        }

        // A self-closing question keeps its default answer; nobody clicks.
        setSelfClosingSeconds(2);
        QStringList countdown;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box && !countdown.contains(box->informativeText()))
                countdown << box->informativeText();
        });
        watch.start(100);
        QElapsedTimer shown;
        shown.start();
        const int reply = MsgBox(QStringLiteral("Restart?"), vbYesNo + vbDefaultButton2);
        const qint64 elapsed = shown.elapsed();
        setSelfClosingSeconds(0);
        QCOMPARE(reply, vbNo);
        QVERIFY2(elapsed >= 1900 && elapsed < 4000, qPrintable(QString::number(elapsed)));
        QCOMPARE(countdown, (QStringList{"This message closes by itself in 2 s.",
                                         "This message closes by itself in 1 s."}));
    }

    void everyTopicOpensInTheContentsAndByItsNumber()
    {
        ScriptedPrompts prompts;
        Help::Catalog catalog;
        QString error;
        QVERIFY2(Help::readCatalog(QStringLiteral(PW_APP_FOLDER "/help/"), &catalog, &error),
                 qPrintable(error));
        QVERIFY(catalog.topics.size() > 20);
        QVERIFY(Help::WinHelp(HelpFile, Help::HELP_FINDER, 11));
        QCOMPARE(page(), QStringLiteral("index.htm"));
        auto* tree = child<QTreeWidget>("treContents");
        QStringList shown, mapped;
        for (int b = 0; b < tree->topLevelItemCount(); ++b) {
            for (int t = 0; t < tree->topLevelItem(b)->childCount(); ++t)
                shown << tree->topLevelItem(b)->text(0) + '/' +
                             tree->topLevelItem(b)->child(t)->text(0);
        }
        QSet<int> numbers;
        QStringList unmapped = QDir(QStringLiteral(PW_APP_FOLDER "/help"))
                                   .entryList({QStringLiteral("*.htm")}, QDir::Files);
        for (const Help::Topic& topic : catalog.topics) {
            unmapped.removeAll(topic.page);
            mapped << topic.book + '/' + topic.title;
            numbers.insert(topic.context);
            QVERIFY(Help::WinHelp(HelpFile, Help::HELP_CONTEXT, topic.context));
            QCOMPARE(page(), topic.page);
            QCOMPARE(Help::window()->currentTitle(), topic.title);
            // The help's name, then the page's own title when it has another.
            const QString title = child<QTextBrowser>("brwTopic")->documentTitle();
            QCOMPARE(Help::window()->windowTitle(),
                     title == "Pagewheel Help" ? title : "Pagewheel Help - " + title);
        }
        QCOMPARE(shown, mapped);
        QCOMPARE(numbers.size(), catalog.topics.size());
        QCOMPARE(unmapped, QStringList()); // every page is reachable from the contents
        // The contents follow pages reached otherwise, and a click shows the topic.
        QCOMPARE(tree->currentItem()->text(0), catalog.topics.last().title);
        Q_EMIT tree->itemClicked(tree->topLevelItem(0)->child(0), 0);
        QCOMPARE(page(), catalog.topics.first().page);
        // The numbers the windows use all lead somewhere.
        using namespace HelpTopics;
        for (int context :
             {Contents,   UsingHelp,    KeywordIndex,   Overview,    QuickStart,     frmMain,
              Menus,      ShowModes,    Navigation,     ShowOptions, frmControlBar,  ShowFiles,
              Settings,   CommandLine,  frmBrowserType, FileFormats, frmListEdit,    frmSlideEdit,
              frmDirList, Bookmarks,    frmWebShow,     frmAudit,    frmPlayRec,     frmWizMain,
              frmWizard,  frmWizardInp, frmTip,         frmAbout,    Troubleshooting})
            QVERIFY2(numbers.contains(context), qPrintable(QString::number(context)));

        QVERIFY(Help::WinHelp(HelpFile, Help::HELP_HELPONHELP, 4));
        QCOMPARE(page(), QStringLiteral("usinghelp.htm"));
        // An unknown context shows the contents with a note until the next page.
        QVERIFY(Help::ShowTopic(HelpFile, 9999));
        QCOMPARE(page(), QStringLiteral("index.htm"));
        QVERIFY(child<QLabel>("lblStatus")->text().contains(QLatin1String("9999")));
        QVERIFY(Help::ShowTopic(HelpFile, HelpTopics::frmTip));
        QVERIFY(child<QLabel>("lblStatus")->text().isEmpty());
        QVERIFY(!Help::WinHelp(HelpFile, 12345));
        QVERIFY(Help::WinHelp(HelpFile, Help::HELP_QUIT));
        QVERIFY(!Help::window());
        QVERIFY(prompts.shown().isEmpty());

        // Missing pages, then a help folder without its map, are told to the user.
        QTemporaryDir program;
        const QString file = program.filePath(QStringLiteral("Pagewheel.hlp"));
        QVERIFY(!Help::ShowTopic(file, HelpTopics::frmMain));
        QVERIFY(!Help::window());
        QVERIFY(QDir(program.path()).mkdir(QStringLiteral("help")));
        QVERIFY(!Help::ShowContents(file));
        QCOMPARE(prompts.shown().size(), 2);
        QVERIFY(prompts.shown().first().text.contains(program.filePath(QStringLiteral("help"))));
        QVERIFY(prompts.shown().last().text.contains(QLatin1String("topics.txt")));
    }

    void linksInEveryPageResolve()
    {
        static const QRegularExpression href(QStringLiteral("href=\"([^\"]*)\""));
        const QString folder = QStringLiteral(PW_HELP_SOURCE "/");
        const QStringList all = QDir(folder).entryList({QStringLiteral("*.htm")}, QDir::Files);
        int links = 0;
        for (const QString& page : all) {
            for (const auto& match :
                 href.globalMatch(QString::fromUtf8(fileBytes(folder + page)))) {
                const QString target = match.captured(1);
                if (target.startsWith(QLatin1String("http")))
                    continue;
                const QString file =
                    target.section('#', 0, 0).isEmpty() ? page : target.section('#', 0, 0);
                const QString anchor = target.section('#', 1);
                QVERIFY2(all.contains(file) &&
                             (anchor.isEmpty() ||
                              fileBytes(folder + file)
                                  .contains(QByteArray("<a name=\"" + anchor.toUtf8() + '"'))),
                         qPrintable(page + " -> " + target));
                ++links;
            }
        }
        QVERIFY(links > 100);
    }

    void keywordsFindAndHistory()
    {
        QVERIFY(Help::SearchKeyword(HelpFile, QStringLiteral("bookm")));
        auto* keyword = child<QLineEdit>("txtKeyword");
        auto* index = child<QTreeWidget>("treIndex");
        QCOMPARE(index->currentItem()->text(0), QStringLiteral("bookmark file"));
        QTest::keyClick(keyword, Qt::Key_Return);
        QCOMPARE(page(), QStringLiteral("bookmarks.htm"));
        // Typing picks the first keyword starting with, else holding, the letters.
        keyword->clear();
        QTest::keyClicks(keyword, QStringLiteral("COLOUR"));
        QCOMPARE(index->currentItem()->text(0), QStringLiteral("control bar colour"));
        clickButton("cmdDisplay");
        QCOMPARE(page(), QStringLiteral("fullscreen.htm"));
        // A keyword of exactly one topic opens it at once.
        QVERIFY(Help::SearchKeyword(HelpFile, QStringLiteral("audit form")));
        QCOMPARE(page(), QStringLiteral("audit.htm"));

        // Find lists the topics holding all the words, in their text only.
        HelpWindow* window = Help::window();
        auto* found = child<QListWidget>("lstFound");
        QCOMPARE(window->showFind(QStringLiteral("KINFOCENTER hardinfo2")), 1);
        QCOMPARE(found->item(0)->text(), QStringLiteral("About Pagewheel"));
        QCOMPARE(child<QLabel>("lblFound")->text(), QStringLiteral("1 topic found."));
        QVERIFY(window->showFind(QStringLiteral("tempRec.wav")) >= 2);
        QCOMPARE(window->showFind(QStringLiteral("tempRec.wav zebra")), 0);
        window->showFind(QStringLiteral("hardinfo"));
        found->setCurrentRow(0);
        Q_EMIT found->itemClicked(found->item(0));
        QCOMPARE(page(), QStringLiteral("about.htm"));

        // Back and Forward retrace the pages, a link clicked inside a page a step too.
        QVERIFY(Help::ShowTopic(HelpFile, HelpTopics::frmMain));
        QVERIFY(Help::ShowTopic(HelpFile, HelpTopics::frmListEdit));
        QVERIFY(!child<QPushButton>("cmdForward")->isEnabled());
        clickButton("cmdBack");
        QCOMPARE(page(), QStringLiteral("main.htm"));
        clickButton("cmdForward");
        QCOMPARE(page(), QStringLiteral("listedit.htm"));
        auto* browser = child<QTextBrowser>("brwTopic");
        QVERIFY(QTest::qWaitForWindowExposed(Help::window()));
        QTextCursor link = browser->document()->find(QStringLiteral("slide editor"));
        QCOMPARE(link.charFormat().anchorHref(), QStringLiteral("slideedit.htm"));
        link.setPosition(link.selectionStart() + 2);
        browser->setTextCursor(link);
        browser->ensureCursorVisible();
        QTest::mouseClick(browser->viewport(), Qt::LeftButton, {},
                          browser->cursorRect(link).center());
        QCOMPARE(page(), QStringLiteral("slideedit.htm"));
        clickButton("cmdBack");
        QCOMPARE(page(), QStringLiteral("listedit.htm"));
    }

    void f1OpensTheTopicOfABoxOrWindow()
    {
        MessageBoxPrompts real;
        setBackend(&real);
        QString shownPage;
        bool helpAboveBox = false;
        whenModal(this, [&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, Qt::Key_F1);
            shownPage = page();
            helpAboveBox = Help::window() && QApplication::activeModalWidget() == Help::window();
            box->button(QMessageBox::Ok)->click();
        });
        QCOMPARE(MsgBox(QStringLiteral("Overwrite?"), vbOKCancel + vbExclamation,
                        QStringLiteral("Save File"), HelpFile, HelpTopics::Bookmarks),
                 vbOK);
        QCOMPARE(shownPage, QStringLiteral("bookmarks.htm"));
        QVERIFY(helpAboveBox);
        // Once the box is gone the help window stops being modal.
        QVERIFY(Help::ShowTopic(HelpFile, HelpTopics::frmMain));
        QCOMPARE(Help::window()->windowModality(), Qt::NonModal);

        // In a window with a help context; another context given later replaces the first.
        Help::Quit();
        QDialog dialog;
        auto* field = new QLineEdit(&dialog);
        (new QVBoxLayout(&dialog))->addWidget(field);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (const auto& [context, shown] : {std::pair{HelpTopics::frmSlideEdit, "slideedit.htm"},
                                             {HelpTopics::frmDirList, "dirlist.htm"}}) {
            Help::setHelpContext(&dialog, HelpFile, context);
            QTest::keyClick(field, Qt::Key_F1);
            QCOMPARE(page(), QLatin1String(shown));
        }
        // F1 with a modifier is some other command.
        Help::Quit();
        QTest::keyClick(field, Qt::Key_F1, Qt::ShiftModifier);
        QVERIFY(!Help::window());
    }
};

QTEST_MAIN(tst_platform_widgets)
#include "tst_platform_widgets.moc"
