// SPDX-License-Identifier: GPL-3.0-or-later
// The platform's windows: message boxes, the common dialogs (scripted, and
// Qt's real dialogs answered by a timer) and the help window against the
// pages the build lays out in the program folder.
#include "platform/CommonDialog.h"
#include "platform/FileDialogBackend.h"
#include "platform/Help.h"
#include "platform/HelpTopics.h"
#include "platform/HelpWindow.h"
#include "platform/MessageBoxPrompts.h"
#include "platform/ScriptedCommonDialog.h"
#include "platform/ScriptedPrompts.h"
#include "../support/TestFiles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>

using namespace Prompts;

namespace {

const QString ShowFilter = QStringLiteral("Text  files|*.txt|All Files (*.*)|*.*");

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

void typeAndAccept(QWidget* modal, const QString& name)
{
    auto* edit = modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit);
    edit->setText(name);
    QTest::keyClick(edit, Qt::Key_Return);
}

bool touch(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

/// The help file of the built program; its pages are in help/ beside it.
QString helpFile()
{
    return QDir(QStringLiteral(PW_APP_FOLDER)).filePath(QStringLiteral("Pagewheel.hlp"));
}

QString shippedFolder()
{
    return QStringLiteral(PW_APP_FOLDER) + QStringLiteral("/help/");
}

QString sourceFolder()
{
    return QStringLiteral(PW_HELP_SOURCE) + QLatin1Char('/');
}

Help::Catalog shippedCatalog()
{
    Help::Catalog catalog;
    QString error;
    if (!Help::readCatalog(shippedFolder(), &catalog, &error))
        qWarning("%s", qPrintable(error));
    return catalog;
}

template <typename T> T* child(QWidget* window, const char* name)
{
    T* found = window ? window->findChild<T*>(QLatin1String(name)) : nullptr;
    if (!found)
        qWarning("no %s", name);
    return found;
}

QStringList pages(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("*.htm")}, QDir::Files, QDir::Name);
}

} // namespace

class tst_platform_widgets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        Help::Quit();
        QVERIFY(!Help::window());
    }

    void filterConversion_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("qt");
        QTest::newRow("show files")
            << ShowFilter << QStringLiteral("Text  files (*.txt);;All Files (*.*) (*)");
        QTest::newRow("slide files")
            << QStringLiteral("Slide files (.htm,.jpg,.gif)|*.htm;*.jpg;*.gif")
            << QStringLiteral("Slide files (.htm,.jpg,.gif) (*.htm *.jpg *.gif)");
        QTest::newRow("incomplete pairs dropped")
            << QStringLiteral("None||Wave|*.wav|Orphan") << QStringLiteral("Wave (*.wav)");
    }

    void filterConversion()
    {
        QFETCH(QString, filter);
        QTEST(FileDialogBackend::qtNameFilters(filter).join(QStringLiteral(";;")), "qt");
    }

    void scriptedAnswersRecordsAndCancels()
    {
        ScriptedCommonDialog script;
        script.chooseFile(QStringLiteral("/shows/a.txt"), 2);
        script.cancel();
        QWidget owner;
        CommonDialog dialog(&owner);
        dialog.DialogTitle = QStringLiteral("Open Show");
        dialog.Filter = ShowFilter;
        QCOMPARE(dialog.ShowOpen(), QStringLiteral("/shows/a.txt"));
        QCOMPARE(dialog.FilterIndex, 2);

        // Without the cancel error, the empty name is the cancel.
        VbError error;
        QCOMPARE(dialog.ShowSave(&error), QString());
        QVERIFY(!error.isError());
        QCOMPARE(dialog.FileName, QString());

        // With it, error 32755, and the name stays; an unscripted dialog cancels.
        dialog.CancelError = true;
        dialog.FileName = QStringLiteral("/shows/b.txt");
        QVERIFY(!dialog.ShowColor(&error).isValid());
        QCOMPARE(error.number, 32755);
        QCOMPARE(dialog.ShowOpen(&error), QString());
        QCOMPARE(dialog.FileName, QStringLiteral("/shows/b.txt"));

        QCOMPARE(script.requests().size(), 4);
        QCOMPARE(script.requests().at(1).FileName, QStringLiteral("/shows/a.txt"));
        QCOMPARE(script.requests().at(1).parent, &owner);
    }

    void realOpenTakesTypedNameAndReopensThere()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("shows")));
        const QString show = dir.filePath(QStringLiteral("shows/tour.txt"));
        QVERIFY(touch(show));
        CommonDialog dialog;
        dialog.DialogTitle = QStringLiteral("Open Show");
        dialog.Filter = ShowFilter;
        dialog.FilterIndex = 2;
        dialog.InitDir = dir.filePath(QStringLiteral("shows"));
        QStringList filters;
        QString offered;
        whenModal(this, [&](QWidget* modal) {
            auto* files = qobject_cast<QFileDialog*>(modal);
            QVERIFY(files);
            filters = files->nameFilters();
            offered = files->selectedNameFilter();
            files->selectNameFilter(filters.value(0));
            typeAndAccept(modal, QStringLiteral("tour.txt"));
        });
        QCOMPARE(dialog.ShowOpen(), show);
        QCOMPARE(dialog.FilterIndex, 1);
        QCOMPARE(filters, (QStringList{"Text files (*.txt)", "All Files (*.*) (*)"}));
        QCOMPARE(offered, QStringLiteral("All Files (*.*)"));

        // The next use keeps title, folder and name though InitDir moved.
        dialog.InitDir = dir.path();
        QStringList seen;
        whenModal(this, [&](QWidget* modal) {
            seen << modal->windowTitle()
                 << qobject_cast<QFileDialog*>(modal)->directory().absolutePath()
                 << modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
            qobject_cast<QDialog*>(modal)->reject();
        });
        dialog.ShowOpen();
        QCOMPARE(seen, (QStringList{"Open Show", QFileInfo(show).absolutePath(), "tour.txt"}));
    }

    void realAllFilesMatchesNamesWithoutExtension()
    {
        QTemporaryDir dir;
        QVERIFY(touch(dir.filePath(QStringLiteral("README"))));
        CommonDialog dialog;
        dialog.Filter = ShowFilter;
        dialog.FilterIndex = 2;
        dialog.InitDir = dir.path();
        QStringList matching;
        whenModal(this, [&](QWidget* modal) {
            matching = modal->findChild<QFileSystemModel*>()->nameFilters();
            typeAndAccept(modal, QStringLiteral("README"));
        });
        QCOMPARE(dialog.ShowOpen(), dir.filePath(QStringLiteral("README")));
        QCOMPARE(matching, QStringList{QStringLiteral("*")});
    }

    void realSaveAddsExtensionAndAsksNoOverwrite()
    {
        QTemporaryDir dir;
        QVERIFY(touch(dir.filePath(QStringLiteral("old.txt"))));
        CommonDialog dialog;
        dialog.InitDir = dir.path();
        dialog.DefaultExt = QStringLiteral("txt");
        whenModal(this, [&](QWidget* modal) { typeAndAccept(modal, QStringLiteral("new")); });
        QCOMPARE(dialog.ShowSave(), dir.filePath(QStringLiteral("new.txt")));

        // The program asks about overwriting itself; the dialog must not.
        QStringList boxes;
        QPointer<QTimer> watch;
        whenModal(this, [&](QWidget* modal) {
            watch = whenModal(this, [&](QWidget* box) {
                boxes << box->metaObject()->className();
                qobject_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click();
            });
            typeAndAccept(modal, QStringLiteral("old.txt"));
        });
        QCOMPARE(dialog.ShowSave(), dir.filePath(QStringLiteral("old.txt")));
        delete watch;
        QCOMPARE(boxes, QStringList());
    }

    void realCancel_data()
    {
        QTest::addColumn<bool>("cancelError");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("nameAfter");
        QTest::newRow("cancel error") << true << 32755 << QStringLiteral("/shows/current.txt");
        QTest::newRow("empty name") << false << 0 << QString();
    }

    void realCancel()
    {
        QFETCH(bool, cancelError);
        QFETCH(int, number);
        QFETCH(QString, nameAfter);
        CommonDialog dialog;
        dialog.CancelError = cancelError;
        dialog.FileName = QStringLiteral("/shows/current.txt");
        whenModal(this, [](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
        VbError error;
        QCOMPARE(dialog.ShowOpen(&error), QString());
        QCOMPARE(error.number, number);
        QCOMPARE(dialog.FileName, nameAfter);
    }

    void realColorStartsFromColorWhenAsked()
    {
        CommonDialog dialog;
        dialog.CancelError = true;
        dialog.Flags = CommonDialog::cdlCCRGBInit;
        dialog.Color = QColor(Qt::red);
        const QColor chosen(0x12, 0x34, 0x56);
        QList<QColor> offered;
        whenModal(this, [&](QWidget* modal) {
            auto* colors = qobject_cast<QColorDialog*>(modal);
            offered << colors->currentColor();
            colors->setCurrentColor(chosen);
            colors->accept();
        });
        QCOMPARE(dialog.ShowColor(), chosen);

        dialog.Flags = 0;
        whenModal(this, [&](QWidget* modal) {
            offered << qobject_cast<QColorDialog*>(modal)->currentColor();
            qobject_cast<QDialog*>(modal)->reject();
        });
        QVERIFY(!dialog.ShowColor().isValid());
        QCOMPARE(dialog.Color, chosen);
        QCOMPARE(offered, (QList<QColor>{Qt::red, Qt::black}));
    }

    void defaultAnswers_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("answer");
        QTest::newRow("OK only") << vbOKOnly << vbOK;
        QTest::newRow("yes/no") << vbYesNo + vbExclamation << vbYes;
        QTest::newRow("yes/no, No default") << vbYesNo + vbDefaultButton2 << vbNo;
        QTest::newRow("yes/no/cancel third") << vbYesNoCancel + vbDefaultButton3 << vbCancel;
        QTest::newRow("retry/cancel") << vbRetryCancel << vbRetry;
    }

    void defaultAnswers()
    {
        QFETCH(int, buttons);
        QFETCH(int, answer);
        QCOMPARE(defaultAnswer(buttons), answer);
    }

    void scriptedRecordsEveryBox()
    {
        ScriptedPrompts script;
        script.answer(vbNo);
        QCOMPARE(MsgBox(QStringLiteral("Save?"), vbYesNo + vbExclamation, QStringLiteral("Q")),
                 vbNo);
        // Script used up: the box's default button answers.
        QCOMPARE(MsgBox(QStringLiteral("Done")), vbOK);
        QCOMPARE(script.shown().size(), 2);
        QCOMPARE(script.shown()[0].title, QStringLiteral("Q"));
        QCOMPARE(script.shown()[0].buttons, vbYesNo + vbExclamation);
        QCOMPARE(script.shown()[1].title, QStringLiteral("Pagewheel"));
        QCOMPARE(script.texts(), (QStringList{"Save?", "Done"}));
    }

    void messageBoxShowsAndAnswers_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("click");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("icon");
        QTest::newRow("yes/no, click No")
            << vbYesNo + vbExclamation << int(QMessageBox::No) << vbNo << int(QMessageBox::Warning);
        QTest::newRow("yes/no/cancel, click Cancel")
            << vbYesNoCancel + vbQuestion << int(QMessageBox::Cancel) << vbCancel
            << int(QMessageBox::Question);
        QTest::newRow("OK") << vbOKOnly << int(QMessageBox::Ok) << vbOK << int(QMessageBox::NoIcon);
    }

    void messageBoxShowsAndAnswers()
    {
        QFETCH(int, buttons);
        QFETCH(int, click);
        QFETCH(int, answer);
        QFETCH(int, icon);
        MessageBoxPrompts real;
        setBackend(&real);
        QString seenTitle;
        QString seenText;
        int seenIcon = -1;
        whenModal(this, [&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            seenTitle = box->windowTitle();
            seenText = box->text();
            seenIcon = box->icon();
            box->button(QMessageBox::StandardButton(click))->click();
        });
        const int reply = MsgBox(QStringLiteral("Question text"), buttons);
        setBackend(nullptr);
        QCOMPARE(reply, answer);
        QCOMPARE(seenTitle, QStringLiteral("Pagewheel"));
        QCOMPARE(seenText, QStringLiteral("Question text"));
        QCOMPARE(seenIcon, icon);
    }

    void selfClosingBoxCountsDownToItsDefault()
    {
        MessageBoxPrompts real;
        setBackend(&real);
        setSelfClosingSeconds(2);
        QStringList countdown;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                if (!countdown.contains(box->informativeText()))
                    countdown << box->informativeText();
            }
        });
        watch.start(100);
        QElapsedTimer shown;
        shown.start();
        // A question keeps its default answer; nobody clicks.
        const int reply = MsgBox(QStringLiteral("Restart?"), vbYesNo + vbDefaultButton2);
        const qint64 elapsed = shown.elapsed();
        setSelfClosingSeconds(0);
        setBackend(nullptr);
        QCOMPARE(reply, vbNo);
        QVERIFY2(elapsed >= 1900 && elapsed < 4000, qPrintable(QString::number(elapsed)));
        QCOMPARE(countdown, (QStringList{"This message closes by itself in 2 s.",
                                         "This message closes by itself in 1 s."}));
    }

    void everyWindowsNumberOpensOnePageWithItsTitle()
    {
        ScriptedPrompts prompts;
        const Help::Catalog catalog = shippedCatalog();
        QVERIFY(!catalog.topics.isEmpty());
        QSet<int> numbers;
        QSet<QString> mapped;
        for (const Help::Topic& topic : catalog.topics) {
            QVERIFY2(!numbers.contains(topic.context), qPrintable(QString::number(topic.context)));
            QVERIFY2(!mapped.contains(topic.page), qPrintable(topic.page));
            numbers.insert(topic.context);
            mapped.insert(topic.page);
            QVERIFY(Help::ShowTopic(helpFile(), topic.context));
            HelpWindow* window = Help::window();
            QVERIFY(window && window->isVisible());
            QCOMPARE(window->currentPage(), topic.page);
            QCOMPARE(window->currentTitle(), topic.title);
            // The help's name once, then the page's own title when it has another;
            // more than a heading: the page says something.
            const QString name = QStringLiteral("Pagewheel Help");
            auto* browser = child<QTextBrowser>(window, "brwTopic");
            const QString pageTitle = browser->documentTitle();
            QCOMPARE(window->windowTitle(),
                     pageTitle == name ? name : name + QStringLiteral(" - ") + pageTitle);
            QVERIFY2(browser->toPlainText().size() > topic.title.size() + 100,
                     qPrintable(topic.page));
        }
        QVERIFY(prompts.shown().isEmpty());
        // The numbers the windows use all lead somewhere.
        using namespace HelpTopics;
        for (int context :
             {Contents,   UsingHelp,    KeywordIndex,   Overview,    QuickStart,     frmMain,
              Menus,      ShowModes,    Navigation,     ShowOptions, frmControlBar,  ShowFiles,
              Settings,   CommandLine,  frmBrowserType, FileFormats, frmListEdit,    frmSlideEdit,
              frmDirList, Bookmarks,    frmWebShow,     frmAudit,    frmPlayRec,     frmWizMain,
              frmWizard,  frmWizardInp, frmTip,         frmAbout,    Troubleshooting})
            QVERIFY2(numbers.contains(context), qPrintable(QString::number(context)));
        // Every page is a topic: none is unreachable from the contents.
        for (const QString& page : pages(shippedFolder()))
            QVERIFY2(mapped.contains(page), qPrintable(page));
    }

    void linksInEveryPageResolve()
    {
        static const QRegularExpression href(QStringLiteral("href=\"([^\"]*)\""));
        static const QRegularExpression anchor(QStringLiteral("<a name=\"([^\"]+)\""));
        const QStringList all = pages(sourceFolder());
        QVERIFY(all.size() > 20);
        int links = 0;
        for (const QString& page : all) {
            const QString text = QString::fromUtf8(fileBytes(sourceFolder() + page));
            for (const auto& match : href.globalMatch(text)) {
                const QString target = match.captured(1);
                const QString where = page + QStringLiteral(" -> ") + target;
                QVERIFY2(!target.isEmpty(), qPrintable(where));
                if (target.startsWith(QLatin1String("https://")) ||
                    target.startsWith(QLatin1String("http://")))
                    continue;
                const QString file = target.section(QLatin1Char('#'), 0, 0);
                const QString name = target.section(QLatin1Char('#'), 1);
                const QString targetPage = file.isEmpty() ? page : file;
                QVERIFY2(all.contains(targetPage), qPrintable(where));
                if (!name.isEmpty()) {
                    const QString targetText =
                        QString::fromUtf8(fileBytes(sourceFolder() + targetPage));
                    QStringList names;
                    for (const auto& a : anchor.globalMatch(targetText))
                        names.append(a.captured(1));
                    QVERIFY2(names.contains(name), qPrintable(where));
                }
                ++links;
            }
        }
        QVERIFY(links > 100);
    }

    void keywordIndexPageListsEveryKeyword()
    {
        // Each entry of the page: <p><b>keyword</b> &mdash; <a href="page">...; ...</p>
        static const QRegularExpression entry(QStringLiteral("<p><b>([^<]+)</b> &mdash; (.*)</p>"));
        static const QRegularExpression link(QStringLiteral("href=\"([^\"#]+)\""));
        QSet<QString> listed;
        const QString text =
            QString::fromUtf8(fileBytes(sourceFolder() + QStringLiteral("keywords.htm")));
        for (const auto& match : entry.globalMatch(text)) {
            for (const auto& target : link.globalMatch(match.captured(2)))
                listed.insert(match.captured(1).toLower() + QLatin1Char('|') + target.captured(1));
        }
        QSet<QString> mapped;
        for (const Help::Topic& topic : shippedCatalog().topics) {
            for (const QString& keyword : topic.keywords)
                mapped.insert(keyword.toLower() + QLatin1Char('|') + topic.page);
        }
        QCOMPARE(listed, mapped);
    }

    void contentsListEveryTopicInItsBook()
    {
        QVERIFY(Help::ShowContents(helpFile()));
        HelpWindow* window = Help::window();
        QCOMPARE(window->currentPage(), QStringLiteral("index.htm"));
        auto* tree = child<QTreeWidget>(window, "treContents");

        QStringList shown;
        for (int b = 0; b < tree->topLevelItemCount(); ++b) {
            QTreeWidgetItem* book = tree->topLevelItem(b);
            for (int t = 0; t < book->childCount(); ++t)
                shown.append(book->text(0) + QLatin1Char('/') + book->child(t)->text(0));
        }
        QStringList mapped;
        const Help::Catalog catalog = shippedCatalog();
        for (const Help::Topic& topic : catalog.topics)
            mapped.append(topic.book + QLatin1Char('/') + topic.title);
        QCOMPARE(shown, mapped);

        // Clicking a topic shows it; the contents follow pages reached otherwise.
        Q_EMIT tree->itemClicked(tree->topLevelItem(0)->child(0), 0);
        QCOMPARE(window->currentPage(), catalog.topics.first().page);
        QVERIFY(Help::ShowTopic(helpFile(), HelpTopics::frmAudit));
        QCOMPARE(tree->currentItem()->text(0), QStringLiteral("Audit Form"));
    }

    void keywordSearchFindsTopics()
    {
        QVERIFY(Help::SearchKeyword(helpFile(), QStringLiteral("bookm")));
        HelpWindow* window = Help::window();
        auto* keyword = child<QLineEdit>(window, "txtKeyword");
        auto* index = child<QTreeWidget>(window, "treIndex");
        QCOMPARE(index->currentItem()->text(0), QStringLiteral("bookmark file"));
        QTest::keyClick(keyword, Qt::Key_Return);
        QCOMPARE(window->currentPage(), QStringLiteral("bookmarks.htm"));

        // Typing picks the first keyword starting with, else holding, the letters.
        keyword->clear();
        QTest::keyClicks(keyword, QStringLiteral("COLOUR"));
        QCOMPARE(index->currentItem()->text(0), QStringLiteral("control bar colour"));
        QTest::mouseClick(child<QPushButton>(window, "cmdDisplay"), Qt::LeftButton);
        QCOMPARE(window->currentPage(), QStringLiteral("fullscreen.htm"));

        // A keyword of exactly one topic opens it at once.
        QVERIFY(Help::SearchKeyword(helpFile(), QStringLiteral("audit form")));
        QCOMPARE(window->currentPage(), QStringLiteral("audit.htm"));
    }

    void findListsTopicsHoldingAllWords()
    {
        QVERIFY(Help::ShowContents(helpFile()));
        HelpWindow* window = Help::window();
        auto* found = child<QListWidget>(window, "lstFound");
        const auto titles = [found] {
            QStringList result;
            for (int i = 0; i < found->count(); ++i)
                result.append(found->item(i)->text());
            return result;
        };

        // Words only in a page's text, not in its title or keywords.
        QCOMPARE(window->showFind(QStringLiteral("KINFOCENTER hardinfo2")), 1);
        QCOMPARE(titles(), QStringList{QStringLiteral("About Pagewheel")});
        QCOMPARE(child<QLabel>(window, "lblFound")->text(), QStringLiteral("1 topic found."));

        QVERIFY(window->showFind(QStringLiteral("tempRec.wav")) >= 2);
        QCOMPARE(window->showFind(QStringLiteral("tempRec.wav zebra")), 0);

        window->showFind(QStringLiteral("hardinfo"));
        found->setCurrentRow(0);
        Q_EMIT found->itemClicked(found->item(0));
        QCOMPARE(window->currentPage(), QStringLiteral("about.htm"));
    }

    void backAndForwardRetraceThePages()
    {
        QVERIFY(Help::ShowTopic(helpFile(), HelpTopics::frmMain));
        QVERIFY(Help::ShowTopic(helpFile(), HelpTopics::frmListEdit));
        HelpWindow* window = Help::window();
        auto* back = child<QPushButton>(window, "cmdBack");
        auto* forward = child<QPushButton>(window, "cmdForward");
        QVERIFY(!forward->isEnabled());
        QTest::mouseClick(back, Qt::LeftButton);
        QCOMPARE(window->currentPage(), QStringLiteral("main.htm"));
        QTest::mouseClick(forward, Qt::LeftButton);
        QCOMPARE(window->currentPage(), QStringLiteral("listedit.htm"));

        // A link clicked inside a page is a step too.
        auto* browser = child<QTextBrowser>(window, "brwTopic");
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTextCursor link = browser->document()->find(QStringLiteral("slide editor"));
        QVERIFY(!link.isNull());
        QCOMPARE(link.charFormat().anchorHref(), QStringLiteral("slideedit.htm"));
        link.setPosition(link.selectionStart() + 2);
        browser->setTextCursor(link);
        browser->ensureCursorVisible();
        QTest::mouseClick(browser->viewport(), Qt::LeftButton, {},
                          browser->cursorRect(link).center());
        QCOMPARE(window->currentPage(), QStringLiteral("slideedit.htm"));
        QTest::mouseClick(back, Qt::LeftButton);
        QCOMPARE(window->currentPage(), QStringLiteral("listedit.htm"));
    }

    void winHelpCommands()
    {
        QVERIFY(Help::WinHelp(helpFile(), Help::HELP_HELPONHELP, 4));
        HelpWindow* window = Help::window();
        QCOMPARE(window->currentPage(), QStringLiteral("usinghelp.htm"));
        QVERIFY(Help::WinHelp(helpFile(), Help::HELP_CONTEXT, HelpTopics::Bookmarks));
        QCOMPARE(window->currentPage(), QStringLiteral("bookmarks.htm"));
        QVERIFY(Help::WinHelp(helpFile(), Help::HELP_FINDER, 11));
        QCOMPARE(window->currentPage(), QStringLiteral("index.htm"));
        // An unknown context shows the contents with a note until the next page.
        QVERIFY(Help::ShowTopic(helpFile(), 9999));
        QCOMPARE(window->currentPage(), QStringLiteral("index.htm"));
        QVERIFY(child<QLabel>(window, "lblStatus")->text().contains(QLatin1String("9999")));
        QVERIFY(Help::ShowTopic(helpFile(), HelpTopics::frmTip));
        QVERIFY(child<QLabel>(window, "lblStatus")->text().isEmpty());
        QVERIFY(!Help::WinHelp(helpFile(), 12345));
        QVERIFY(Help::WinHelp(helpFile(), Help::HELP_QUIT));
        QVERIFY(!Help::window());
    }

    void missingPagesTellTheUser()
    {
        ScriptedPrompts prompts;
        QTemporaryDir program;
        const QString file = program.filePath(QStringLiteral("Pagewheel.hlp"));
        QVERIFY(!Help::ShowTopic(file, HelpTopics::frmMain));
        QVERIFY(!Help::window());
        QCOMPARE(prompts.shown().size(), 1);
        QVERIFY(prompts.shown().first().text.contains(program.filePath(QStringLiteral("help"))));

        // A help folder without its map.
        QVERIFY(QDir(program.path()).mkdir(QStringLiteral("help")));
        QVERIFY(!Help::ShowContents(file));
        QCOMPARE(prompts.shown().size(), 2);
        QVERIFY(prompts.shown().last().text.contains(QLatin1String("topics.txt")));
    }

    void f1OnAMessageBoxOpensItsTopic()
    {
        MessageBoxPrompts real;
        Prompts::Backend* previous = Prompts::backend();
        Prompts::setBackend(&real);

        QString shownPage;
        bool helpAboveBox = false;
        whenModal(this, [&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, Qt::Key_F1);
            HelpWindow* help = Help::window();
            shownPage = help ? help->currentPage() : QString();
            helpAboveBox = help && QApplication::activeModalWidget() == help;
            box->button(QMessageBox::Ok)->click();
        });
        const int answer =
            Prompts::MsgBox(QStringLiteral("Do you want to overwrite this file?"),
                            Prompts::vbOKCancel + Prompts::vbExclamation,
                            QStringLiteral("Save File"), helpFile(), HelpTopics::Bookmarks);
        Prompts::setBackend(previous);

        QCOMPARE(answer, Prompts::vbOK);
        QCOMPARE(shownPage, QStringLiteral("bookmarks.htm"));
        QVERIFY(helpAboveBox);
        // Once the box is gone the help window stops being modal.
        QVERIFY(Help::ShowTopic(helpFile(), HelpTopics::frmMain));
        QCOMPARE(Help::window()->windowModality(), Qt::NonModal);
    }

    void f1InsideAWindowWithAHelpContext()
    {
        QDialog dialog;
        auto* field = new QLineEdit(&dialog);
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(field);
        Help::setHelpContext(&dialog, helpFile(), HelpTopics::frmSlideEdit);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(field, Qt::Key_F1);
        QCOMPARE(Help::window()->currentPage(), QStringLiteral("slideedit.htm"));

        // Another context given later replaces the first.
        Help::setHelpContext(&dialog, helpFile(), HelpTopics::frmDirList);
        QTest::keyClick(field, Qt::Key_F1);
        QCOMPARE(Help::window()->currentPage(), QStringLiteral("dirlist.htm"));

        // F1 with a modifier is some other command.
        Help::Quit();
        QTest::keyClick(field, Qt::Key_F1, Qt::ShiftModifier);
        QVERIFY(!Help::window());
    }
};

QTEST_MAIN(tst_platform_widgets)
#include "tst_platform_widgets.moc"
