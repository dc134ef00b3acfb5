// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Help.h"
#include "platform/HelpTopics.h"
#include "platform/HelpWindow.h"
#include "platform/MessageBoxPrompts.h"
#include "platform/ScriptedPrompts.h"

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

    void mapGivesEveryWindowsNumberOnePage();
    void everyTopicOpensItsPageWithItsTitle();
    void linksInEveryPageResolve();
    void keywordIndexPageListsEveryKeyword();
    void contentsListEveryTopicInItsBook();
    void keywordSearchFindsTopics();
    void findListsTopicsHoldingAllWords();
    void backAndForwardRetraceThePages();
    void winHelpCommands();
    void missingPagesTellTheUser();
    void f1OnAMessageBoxOpensItsTopic();
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
        // The help's name once, then the page's own title when it has another.
        const QString name = QStringLiteral("Pagewheel Help");
        const QString pageTitle = child<QTextBrowser>(window, "brwTopic")->documentTitle();
        QCOMPARE(window->windowTitle(),
                 pageTitle == name ? name : name + QStringLiteral(" - ") + pageTitle);
        // More than a heading: the page says something.
        auto* browser = child<QTextBrowser>(window, "brwTopic");
        QVERIFY2(browser->toPlainText().size() > topic.title.size() + 100, qPrintable(topic.page));
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

void tst_Help::contentsListEveryTopicInItsBook()
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

void tst_Help::keywordSearchFindsTopics()
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
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, browser->cursorRect(link).center());
    QCOMPARE(window->currentPage(), QStringLiteral("slideedit.htm"));
    QTest::mouseClick(back, Qt::LeftButton);
    QCOMPARE(window->currentPage(), QStringLiteral("listedit.htm"));
}

void tst_Help::winHelpCommands()
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

void tst_Help::missingPagesTellTheUser()
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

void tst_Help::f1OnAMessageBoxOpensItsTopic()
{
    MessageBoxPrompts real;
    Prompts::Backend* previous = Prompts::backend();
    Prompts::setBackend(&real);

    QString shownPage;
    bool helpAboveBox = false;
    onMessageBox([&](QMessageBox* box) {
        QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, Qt::Key_F1);
        HelpWindow* help = Help::window();
        shownPage = help ? help->currentPage() : QString();
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
    // Once the box is gone the help window stops being modal.
    QVERIFY(Help::ShowTopic(helpFile(), HelpTopics::frmMain));
    QCOMPARE(Help::window()->windowModality(), Qt::NonModal);
}

void tst_Help::f1InsideAWindowWithAHelpContext()
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

QTEST_MAIN(tst_Help)
#include "tst_Help.moc"
