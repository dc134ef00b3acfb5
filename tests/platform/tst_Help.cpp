// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Help.h"
#include "platform/HelpTopics.h"
#include "platform/HelpWindow.h"
#include "platform/MessageBoxPrompts.h"
#include "platform/ScriptedPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>

namespace {

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

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

/// Runs the action on the first message box that comes up modal.
void onMessageBox(const std::function<void(QMessageBox*)>& action)
{
    auto* poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll->stop();
        poll->deleteLater();
        action(box);
    });
    poll->start();
}

} // namespace

class tst_Help : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    // The map and the pages.
    void mapGivesEveryWindowsNumberOnePage();
    void everyTopicOpensItsPageWithItsTitle();
    void linksInEveryPageResolve();
    void keywordIndexPageListsEveryKeyword();
    void shippedFolderHoldsEverySourceFile();

    // The help window.
    void contentsListEveryTopicInItsBook();
    void keywordSearchFindsTopics();
    void findListsTopicsHoldingAllWords();
    void backAndForwardRetraceThePages();
    void unknownContextShowsTheContentsWithANote();
    void winHelpCommands();
    void missingPagesTellTheUser();

    // F1.
    void f1OnAMessageBoxOpensItsTopic();
    void f1OnAMessageBoxWithoutContextDoesNothing();
    void f1InsideAWindowWithAHelpContext();
};

void tst_Help::cleanup()
{
    Help::Quit();
    QVERIFY(!Help::window());
}

void tst_Help::mapGivesEveryWindowsNumberOnePage()
{
    const Help::Catalog catalog = shippedCatalog();
    QVERIFY(!catalog.topics.isEmpty());
    QSet<int> numbers;
    QSet<QString> mapped;
    for (const Help::Topic& topic : catalog.topics) {
        QVERIFY2(!numbers.contains(topic.context), qPrintable(QString::number(topic.context)));
        QVERIFY2(!mapped.contains(topic.page), qPrintable(topic.page));
        QVERIFY2(!topic.title.isEmpty() && !topic.book.isEmpty(), qPrintable(topic.page));
        QVERIFY2(!topic.keywords.isEmpty(), qPrintable(topic.page));
        numbers.insert(topic.context);
        mapped.insert(topic.page);
    }
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

void tst_Help::everyTopicOpensItsPageWithItsTitle()
{
    ScriptedPrompts prompts;
    const Help::Catalog catalog = shippedCatalog();
    for (const Help::Topic& topic : catalog.topics) {
        QVERIFY(Help::ShowTopic(helpFile(), topic.context));
        HelpWindow* window = Help::window();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->currentPage(), topic.page);
        QCOMPARE(window->currentTitle(), topic.title);
        // More than a heading: the page says something.
        auto* browser = child<QTextBrowser>(window, "brwTopic");
        QVERIFY2(browser->toPlainText().size() > topic.title.size() + 100, qPrintable(topic.page));
        QVERIFY(window->windowTitle().endsWith(topic.title));
    }
    QVERIFY(prompts.shown().isEmpty());
}

void tst_Help::linksInEveryPageResolve()
{
    static const QRegularExpression href(QStringLiteral("href=\"([^\"]*)\""));
    static const QRegularExpression anchor(QStringLiteral("<a name=\"([^\"]+)\""));
    const QStringList all = pages(sourceFolder());
    QVERIFY(all.size() > 20);
    int links = 0;
    for (const QString& page : all) {
        const QString text = QString::fromUtf8(readAll(sourceFolder() + page));
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
                const QString targetText = QString::fromUtf8(readAll(sourceFolder() + targetPage));
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

void tst_Help::keywordIndexPageListsEveryKeyword()
{
    // Each entry of the page: <p><b>keyword</b> &mdash; <a href="page">...; ...</p>
    static const QRegularExpression entry(QStringLiteral("<p><b>([^<]+)</b> &mdash; (.*)</p>"));
    static const QRegularExpression link(QStringLiteral("href=\"([^\"#]+)\""));
    QSet<QString> listed;
    const QString text =
        QString::fromUtf8(readAll(sourceFolder() + QStringLiteral("keywords.htm")));
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

void tst_Help::shippedFolderHoldsEverySourceFile()
{
    QStringList sources = QDir(sourceFolder()).entryList(QDir::Files, QDir::Name);
    sources.removeAll(QStringLiteral("CMakeLists.txt"));
    QCOMPARE(QDir(shippedFolder()).entryList(QDir::Files, QDir::Name), sources);
    for (const QString& file : sources)
        QVERIFY2(readAll(shippedFolder() + file) == readAll(sourceFolder() + file),
                 qPrintable(file));
}

void tst_Help::contentsListEveryTopicInItsBook()
{
    QVERIFY(Help::ShowContents(helpFile()));
    HelpWindow* window = Help::window();
    QCOMPARE(window->currentPage(), QStringLiteral("index.htm"));
    auto* tabs = child<QTabWidget>(window, "tabHelp");
    auto* tree = child<QTreeWidget>(window, "treContents");
    QCOMPARE(tabs->currentWidget(), tree);

    QStringList shown;
    for (int b = 0; b < tree->topLevelItemCount(); ++b) {
        QTreeWidgetItem* book = tree->topLevelItem(b);
        for (int t = 0; t < book->childCount(); ++t)
            shown.append(book->text(0) + QLatin1Char('/') + book->child(t)->text(0));
    }
    QStringList mapped;
    for (const Help::Topic& topic : shippedCatalog().topics)
        mapped.append(topic.book + QLatin1Char('/') + topic.title);
    QCOMPARE(shown, mapped);

    // Clicking a topic shows it, and the contents follow pages reached otherwise.
    QTreeWidgetItem* modes =
        tree->findItems(QStringLiteral("Show modes: Normal, Auto Reload and Show"),
                        Qt::MatchExactly | Qt::MatchRecursive)
            .value(0);
    QVERIFY(modes);
    Q_EMIT tree->itemClicked(modes, 0);
    QCOMPARE(window->currentPage(), QStringLiteral("modes.htm"));
    QVERIFY(Help::ShowTopic(helpFile(), HelpTopics::frmAudit));
    QCOMPARE(tree->currentItem()->text(0), QStringLiteral("Audit Form"));
}

void tst_Help::keywordSearchFindsTopics()
{
    QVERIFY(Help::SearchKeyword(helpFile(), QStringLiteral("bookm")));
    HelpWindow* window = Help::window();
    auto* tabs = child<QTabWidget>(window, "tabHelp");
    auto* keyword = child<QLineEdit>(window, "txtKeyword");
    auto* index = child<QTreeWidget>(window, "treIndex");
    QCOMPARE(tabs->currentWidget(), index->parentWidget());
    QCOMPARE(keyword->text(), QStringLiteral("bookm"));
    QCOMPARE(index->currentItem()->text(0), QStringLiteral("bookmark file"));
    QTest::keyClick(keyword, Qt::Key_Return);
    QCOMPARE(window->currentPage(), QStringLiteral("bookmarks.htm"));

    // Typing moves to the first keyword that starts with the letters, else
    // to the first that holds them.
    keyword->clear();
    QTest::keyClicks(keyword, QStringLiteral("COLOUR"));
    QCOMPARE(index->currentItem()->text(0), QStringLiteral("control bar colour"));
    QTest::mouseClick(child<QPushButton>(window, "cmdDisplay"), Qt::LeftButton);
    QCOMPARE(window->currentPage(), QStringLiteral("fullscreen.htm"));

    // A keyword of several topics lists them all under it.
    QTreeWidgetItem* wizard = index->findItems(QStringLiteral("wizard"), Qt::MatchExactly).value(0);
    QVERIFY(wizard);
    QCOMPARE(wizard->childCount(), 2);
    Q_EMIT index->itemClicked(wizard->child(1), 0);
    QCOMPARE(window->currentPage(), QStringLiteral("wizards.htm"));

    // A keyword of exactly one topic opens it at once.
    QVERIFY(Help::SearchKeyword(helpFile(), QStringLiteral("audit form")));
    QCOMPARE(window->currentPage(), QStringLiteral("audit.htm"));
}

void tst_Help::findListsTopicsHoldingAllWords()
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
    QVERIFY(titles().contains(QStringLiteral("Play / Record Sound")));
    QVERIFY(titles().contains(QStringLiteral("Files Pagewheel uses")));

    QCOMPARE(window->showFind(QStringLiteral("tempRec.wav zebra")), 0);

    window->showFind(QStringLiteral("hardinfo"));
    found->setCurrentRow(0);
    Q_EMIT found->itemClicked(found->item(0));
    QCOMPARE(window->currentPage(), QStringLiteral("about.htm"));
}

void tst_Help::backAndForwardRetraceThePages()
{
    QVERIFY(Help::ShowTopic(helpFile(), HelpTopics::frmMain));
    QVERIFY(Help::ShowTopic(helpFile(), HelpTopics::frmListEdit));
    HelpWindow* window = Help::window();
    auto* back = child<QPushButton>(window, "cmdBack");
    auto* forward = child<QPushButton>(window, "cmdForward");
    QVERIFY(back->isEnabled());
    QVERIFY(!forward->isEnabled());
    QTest::mouseClick(back, Qt::LeftButton);
    QCOMPARE(window->currentPage(), QStringLiteral("main.htm"));
    QVERIFY(forward->isEnabled());
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
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, browser->cursorRect(link).center());
    QCOMPARE(window->currentPage(), QStringLiteral("slideedit.htm"));
    QCOMPARE(window->currentTitle(), QStringLiteral("Add / Edit Slide"));
    QTest::mouseClick(back, Qt::LeftButton);
    QCOMPARE(window->currentPage(), QStringLiteral("listedit.htm"));
}

void tst_Help::unknownContextShowsTheContentsWithANote()
{
    QVERIFY(Help::ShowTopic(helpFile(), 9999));
    HelpWindow* window = Help::window();
    QCOMPARE(window->currentPage(), QStringLiteral("index.htm"));
    QVERIFY(child<QLabel>(window, "lblStatus")->text().contains(QLatin1String("9999")));
    // The note goes with the next page.
    QVERIFY(Help::ShowTopic(helpFile(), HelpTopics::frmTip));
    QVERIFY(child<QLabel>(window, "lblStatus")->text().isEmpty());
}

void tst_Help::winHelpCommands()
{
    QVERIFY(Help::WinHelp(helpFile(), Help::HELP_HELPONHELP, 4));
    HelpWindow* window = Help::window();
    QCOMPARE(window->currentPage(), QStringLiteral("usinghelp.htm"));
    QVERIFY(Help::WinHelp(helpFile(), Help::HELP_CONTEXT, HelpTopics::Bookmarks));
    QCOMPARE(window->currentPage(), QStringLiteral("bookmarks.htm"));
    QVERIFY(Help::WinHelp(helpFile(), Help::HELP_KEY, 0));
    auto* index = child<QTreeWidget>(window, "treIndex");
    QCOMPARE(child<QTabWidget>(window, "tabHelp")->currentWidget(), index->parentWidget());
    QVERIFY(Help::WinHelp(helpFile(), Help::HELP_FINDER, 11));
    QCOMPARE(window->currentPage(), QStringLiteral("index.htm"));
    QCOMPARE(child<QTabWidget>(window, "tabHelp")->currentWidget(),
             child<QTreeWidget>(window, "treContents"));
    QVERIFY(!Help::WinHelp(helpFile(), 12345));
    QVERIFY(Help::WinHelp(helpFile(), Help::HELP_QUIT));
    QVERIFY(!Help::window());
}

void tst_Help::missingPagesTellTheUser()
{
    ScriptedPrompts prompts;
    QTemporaryDir program;
    const QString file = program.filePath(QStringLiteral("Pagewheel.hlp"));
    QVERIFY(!Help::ShowTopic(file, HelpTopics::frmMain));
    QVERIFY(!Help::window());
    QCOMPARE(prompts.shown().size(), 1);
    const Prompts::Request box = prompts.shown().first();
    QCOMPARE(box.buttons, Prompts::vbOKOnly + Prompts::vbExclamation);
    QVERIFY2(box.text.startsWith(QLatin1String("The help pages of Pagewheel cannot be found.")),
             qPrintable(box.text));
    QVERIFY2(box.text.contains(program.filePath(QStringLiteral("help"))), qPrintable(box.text));

    // A help folder without its map.
    QVERIFY(QDir(program.path()).mkdir(QStringLiteral("help")));
    QVERIFY(!Help::ShowContents(file));
    QCOMPARE(prompts.shown().size(), 2);
    QVERIFY2(prompts.shown().last().text.contains(QLatin1String("topics.txt")),
             qPrintable(prompts.shown().last().text));
    QVERIFY(!Help::window());
}

void tst_Help::f1OnAMessageBoxOpensItsTopic()
{
    MessageBoxPrompts real;
    Prompts::Backend* previous = Prompts::backend();
    Prompts::setBackend(&real);

    QString shownPage;
    bool helpAboveBox = false;
    onMessageBox([&](QMessageBox* box) {
        // The key goes where the keyboard is: a button of the box.
        QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, Qt::Key_F1);
        HelpWindow* help = Help::window();
        shownPage = help ? help->currentPage() : QString();
        // The help window can be used although the box is modal.
        helpAboveBox = help && QApplication::activeModalWidget() == help;
        box->button(QMessageBox::Ok)->click();
    });
    const int answer =
        Prompts::MsgBox(QStringLiteral("Do you want to overwrite this file?"),
                        Prompts::vbOKCancel + Prompts::vbExclamation, QStringLiteral("Save File"),
                        helpFile(), HelpTopics::Bookmarks);
    Prompts::setBackend(previous);

    QCOMPARE(answer, Prompts::vbOK);
    QCOMPARE(shownPage, QStringLiteral("bookmarks.htm"));
    QVERIFY(helpAboveBox);
    // With the box gone, the help window is an ordinary window again, so
    // that it blocks no other window.
    HelpWindow* help = Help::window();
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->windowModality(), Qt::ApplicationModal);
    QVERIFY(Help::ShowTopic(helpFile(), HelpTopics::frmMain));
    QCOMPARE(help->windowModality(), Qt::NonModal);
    QVERIFY(help->isVisible());
    QVERIFY(!QApplication::activeModalWidget());
}

void tst_Help::f1OnAMessageBoxWithoutContextDoesNothing()
{
    MessageBoxPrompts real;
    Prompts::Backend* previous = Prompts::backend();
    Prompts::setBackend(&real);
    bool helpShown = true;
    onMessageBox([&](QMessageBox* box) {
        QTest::keyClick(box, Qt::Key_F1);
        helpShown = Help::window() != nullptr;
        box->button(QMessageBox::Ok)->click();
    });
    Prompts::MsgBox(QStringLiteral("Done."), Prompts::vbOKOnly, QString(), helpFile(), 0);
    Prompts::setBackend(previous);
    QVERIFY(!helpShown);
}

void tst_Help::f1InsideAWindowWithAHelpContext()
{
    QDialog dialog;
    auto* field = new QLineEdit(&dialog);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(field);
    Help::setHelpContext(&dialog, helpFile(), HelpTopics::frmSlideEdit);
    QCOMPARE(dialog.property("HelpContextID").toInt(), HelpTopics::frmSlideEdit);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // The key reaches the field first and passes up to the window.
    QTest::keyClick(field, Qt::Key_F1);
    QVERIFY(Help::window());
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

QTEST_MAIN(tst_Help)
#include "tst_Help.moc"
