// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HelpWindow.h"

#include "platform/HelpTopics.h"
#include "platform/Prompts.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int ContextRole = Qt::UserRole;

// The pages are plain HTML; their look comes from here, so that they read
// the same in a web browser and need no style sheet of their own.
const char* const PageStyle = R"(
h1 { color: #0f2540; font-size: 19pt; }
h2 { color: #15616d; font-size: 14pt; }
h3 { color: #15616d; font-size: 11pt; }
a { color: #15616d; }
code, kbd { font-family: monospace; }
p.related { margin-top: 18px; }
)";

QString helpTitle()
{
    return Prompts::applicationTitle() + QStringLiteral(" Help");
}

// A page's file name, whether the browser holds its address as a local
// file or as a name relative to the help folder.
QString pageName(const QUrl& source)
{
    return QFileInfo(source.isLocalFile() ? source.toLocalFile() : source.path()).fileName();
}

QTreeWidgetItem* topicItem(const Help::Topic& topic, const QIcon& icon)
{
    auto* item = new QTreeWidgetItem(QStringList(topic.title));
    item->setData(0, ContextRole, topic.context);
    item->setIcon(0, icon);
    // A long title is cut to fit the pane; the tip shows it whole.
    item->setToolTip(0, topic.title);
    return item;
}

} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(helpTitle());
    // An open help window must not keep the program running.
    setAttribute(Qt::WA_QuitOnClose, false);
    buildControls();
    connectControls();
    resize(960, 640);
}

void HelpWindow::buildControls()
{
    m_helpTopics = new QPushButton(QStringLiteral("Help &Topics"), this);
    m_helpTopics->setObjectName(QStringLiteral("cmdHelpTopics"));
    m_back = new QPushButton(QStringLiteral("&Back"), this);
    m_back->setObjectName(QStringLiteral("cmdBack"));
    m_back->setEnabled(false);
    m_forward = new QPushButton(QStringLiteral("&Forward"), this);
    m_forward->setObjectName(QStringLiteral("cmdForward"));
    m_forward->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_helpTopics);
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addStretch();

    m_contents = new QTreeWidget(this);
    m_contents->setObjectName(QStringLiteral("treContents"));
    m_contents->setHeaderHidden(true);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabHelp"));
    m_tabs->addTab(m_contents, QStringLiteral("&Contents"));
    m_tabs->addTab(buildIndexTab(), QStringLiteral("&Index"));
    m_tabs->addTab(buildFindTab(), QStringLiteral("Fi&nd"));

    m_page = new QTextBrowser(this);
    m_page->setObjectName(QStringLiteral("brwTopic"));
    m_page->setOpenExternalLinks(true);
    m_page->document()->setDefaultStyleSheet(QLatin1String(PageStyle));

    auto* splitter = new QSplitter(this);
    splitter->addWidget(m_tabs);
    splitter->addWidget(m_page);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({330, 630});

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);
    layout->addWidget(m_status);
}

QWidget* HelpWindow::buildIndexTab()
{
    auto* tab = new QWidget(this);
    m_keyword = new QLineEdit(tab);
    m_keyword->setObjectName(QStringLiteral("txtKeyword"));
    m_keyword->setClearButtonEnabled(true);
    m_index = new QTreeWidget(tab);
    m_index->setObjectName(QStringLiteral("treIndex"));
    m_index->setHeaderHidden(true);
    m_display = new QPushButton(QStringLiteral("&Display"), tab);
    m_display->setObjectName(QStringLiteral("cmdDisplay"));
    auto* keywordLabel = new QLabel(QStringLiteral("Type the first &letters of a word:"), tab);
    keywordLabel->setBuddy(m_keyword);

    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(keywordLabel);
    layout->addWidget(m_keyword);
    layout->addWidget(new QLabel(QStringLiteral("Choose an entry to show its topic:"), tab));
    layout->addWidget(m_index, 1);
    layout->addWidget(m_display, 0, Qt::AlignRight);
    return tab;
}

QWidget* HelpWindow::buildFindTab()
{
    auto* tab = new QWidget(this);
    m_find = new QLineEdit(tab);
    m_find->setObjectName(QStringLiteral("txtFind"));
    m_find->setClearButtonEnabled(true);
    m_found = new QListWidget(tab);
    m_found->setObjectName(QStringLiteral("lstFound"));
    m_foundCount = new QLabel(tab);
    m_foundCount->setObjectName(QStringLiteral("lblFound"));
    m_foundCount->setWordWrap(true);
    auto* findLabel = new QLabel(QStringLiteral("T&ype the words to look for:"), tab);
    findLabel->setBuddy(m_find);

    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(findLabel);
    layout->addWidget(m_find);
    layout->addWidget(m_found, 1);
    layout->addWidget(m_foundCount);
    return tab;
}

void HelpWindow::connectControls()
{
    connect(m_helpTopics, &QPushButton::clicked, this, &HelpWindow::showContents);
    connect(m_back, &QPushButton::clicked, m_page, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_page, &QTextBrowser::forward);
    connect(m_page, &QTextBrowser::backwardAvailable, m_back, &QPushButton::setEnabled);
    connect(m_page, &QTextBrowser::forwardAvailable, m_forward, &QPushButton::setEnabled);
    connect(m_page, &QTextBrowser::sourceChanged, this, &HelpWindow::pageChanged);
    connect(m_contents, &QTreeWidget::itemClicked, this, &HelpWindow::topicActivated);
    connect(m_contents, &QTreeWidget::itemActivated, this, &HelpWindow::topicActivated);
    connect(m_keyword, &QLineEdit::textEdited, this, &HelpWindow::keywordTyped);
    connect(m_keyword, &QLineEdit::returnPressed, this, &HelpWindow::displayKeyword);
    connect(m_display, &QPushButton::clicked, this, &HelpWindow::displayKeyword);
    connect(m_index, &QTreeWidget::itemClicked, this, &HelpWindow::topicActivated);
    connect(m_index, &QTreeWidget::itemActivated, this, &HelpWindow::topicActivated);
    connect(m_find, &QLineEdit::textChanged, this, &HelpWindow::findTyped);
    connect(m_found, &QListWidget::itemClicked, this, &HelpWindow::foundActivated);
    connect(m_found, &QListWidget::itemActivated, this, &HelpWindow::foundActivated);

    new QShortcut(QKeySequence::Back, this, m_page, &QTextBrowser::backward);
    new QShortcut(QKeySequence::Forward, this, m_page, &QTextBrowser::forward);
    // F1 in the help window explains the help window.
    new QShortcut(QKeySequence::HelpContents, this, [this] { showTopic(HelpTopics::UsingHelp); });
}

void HelpWindow::setCatalog(const Help::Catalog& catalog)
{
    if (catalog.folder == m_catalog.folder && catalog.topics == m_catalog.topics)
        return;
    m_catalog = catalog;
    m_pageTexts.clear();
    m_page->setSearchPaths({m_catalog.folder});
    buildContents();
    buildIndex();
    findTyped(m_find->text());
}

void HelpWindow::buildContents()
{
    m_contents->clear();
    const QIcon bookIcon = style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon pageIcon = style()->standardIcon(QStyle::SP_FileIcon);
    QTreeWidgetItem* book = nullptr;
    for (const Help::Topic& topic : m_catalog.topics) {
        QTreeWidgetItem* item = topicItem(topic, pageIcon);
        if (topic.book.isEmpty()) {
            m_contents->addTopLevelItem(item);
            continue;
        }
        if (!book || book->text(0) != topic.book) {
            book = new QTreeWidgetItem(QStringList(topic.book));
            book->setIcon(0, bookIcon);
            m_contents->addTopLevelItem(book);
        }
        book->addChild(item);
    }
    m_contents->expandAll();
}

void HelpWindow::buildIndex()
{
    // Keywords sorted without regard to case; one entry per keyword with
    // every topic that names it.
    QMap<QString, QPair<QString, QList<const Help::Topic*>>> entries;
    for (const Help::Topic& topic : m_catalog.topics) {
        for (const QString& keyword : topic.keywords) {
            auto& entry = entries[keyword.toLower()];
            if (entry.first.isEmpty())
                entry.first = keyword;
            entry.second.append(&topic);
        }
    }
    m_index->clear();
    const QIcon pageIcon = style()->standardIcon(QStyle::SP_FileIcon);
    for (const auto& entry : std::as_const(entries)) {
        const QString& keyword = entry.first;
        const QList<const Help::Topic*>& topics = entry.second;
        auto* item = new QTreeWidgetItem(QStringList(keyword));
        item->setData(0, ContextRole, topics.first()->context);
        if (topics.size() > 1) {
            for (const Help::Topic* topic : topics)
                item->addChild(topicItem(*topic, pageIcon));
        }
        m_index->addTopLevelItem(item);
    }
    m_index->expandAll();
}

void HelpWindow::showContents()
{
    m_tabs->setCurrentWidget(m_contents);
    const Help::Topic* contents = m_catalog.find(HelpTopics::Contents);
    if (!contents && !m_catalog.topics.isEmpty())
        contents = &m_catalog.topics.first();
    if (contents)
        showPage(contents->page);
}

bool HelpWindow::showTopic(int context)
{
    const Help::Topic* topic = m_catalog.find(context);
    if (!topic) {
        showContents();
        m_status->setText(QStringLiteral("There is no help topic number ") +
                          QString::number(context) +
                          QStringLiteral("; the contents are shown instead."));
        return false;
    }
    showPage(topic->page);
    return true;
}

bool HelpWindow::showIndex(const QString& keyword)
{
    m_tabs->setCurrentIndex(m_tabs->indexOf(m_index->parentWidget()));
    m_keyword->setText(keyword);
    keywordTyped(keyword);
    m_keyword->setFocus();
    QTreeWidgetItem* item = m_index->currentItem();
    const bool exact = item && !keyword.isEmpty() && item->childCount() == 0 &&
                       item->text(0).compare(keyword, Qt::CaseInsensitive) == 0;
    if (exact)
        topicActivated(item);
    return exact;
}

int HelpWindow::showFind(const QString& words)
{
    m_tabs->setCurrentIndex(m_tabs->indexOf(m_find->parentWidget()));
    m_find->setText(words);
    findTyped(words);
    m_find->setFocus();
    return m_found->count();
}

QString HelpWindow::currentPage() const
{
    return pageName(m_page->source());
}

QString HelpWindow::currentTitle() const
{
    return m_page->documentTitle();
}

void HelpWindow::present()
{
    QWidget* modal = QApplication::activeModalWidget();
    const bool blocked = modal && modal != this && windowModality() == Qt::NonModal;
    // Modal for a box that has gone since: the window would block the
    // program's other windows for nothing.
    const bool stale = windowModality() != Qt::NonModal && !m_blockingWidget;
    if (blocked || stale) {
        if (isVisible())
            hide();
        if (blocked) {
            // A modal box blocks every window but those above it; the help
            // window joins them while the box is open.
            setWindowModality(Qt::ApplicationModal);
            m_blockingWidget = modal;
        }
    }
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void HelpWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous()) {
        setWindowModality(Qt::NonModal);
        m_blockingWidget = nullptr;
    }
}

void HelpWindow::showPage(const QString& page)
{
    const QString path = m_catalog.folder + page;
    if (!QFileInfo(path).isFile()) {
        m_status->setText(QStringLiteral("The page ") + page +
                          QStringLiteral(" is missing from the help folder."));
        return;
    }
    m_status->clear();
    m_page->setSource(QUrl::fromLocalFile(path));
}

void HelpWindow::pageChanged(const QUrl& source)
{
    // The contents page is titled as the help itself: named once.
    const QString title = m_page->documentTitle();
    setWindowTitle(title.isEmpty() || title == helpTitle()
                       ? helpTitle()
                       : helpTitle() + QStringLiteral(" - ") + title);
    // The contents follow the page, however it was reached.
    const Help::Topic* topic = m_catalog.findPage(pageName(source));
    if (!topic)
        return;
    for (QTreeWidgetItemIterator it(m_contents); *it; ++it) {
        if ((*it)->data(0, ContextRole).toInt() == topic->context) {
            m_contents->setCurrentItem(*it);
            break;
        }
    }
}

void HelpWindow::topicActivated(QTreeWidgetItem* item)
{
    if (!item)
        return;
    const int context = item->data(0, ContextRole).toInt();
    if (context != 0)
        showTopic(context);
}

void HelpWindow::keywordTyped(const QString& text)
{
    // The first keyword that starts with the text, else the first that
    // holds it.
    QTreeWidgetItem* match = nullptr;
    const QString wanted = text.trimmed();
    if (!wanted.isEmpty()) {
        for (int pass = 0; pass < 2 && !match; ++pass) {
            for (int i = 0; i < m_index->topLevelItemCount(); ++i) {
                QTreeWidgetItem* item = m_index->topLevelItem(i);
                const QString keyword = item->text(0);
                if (pass == 0 ? keyword.startsWith(wanted, Qt::CaseInsensitive)
                              : keyword.contains(wanted, Qt::CaseInsensitive)) {
                    match = item;
                    break;
                }
            }
        }
    }
    m_index->setCurrentItem(match);
    if (match)
        m_index->scrollToItem(match, QAbstractItemView::PositionAtTop);
}

void HelpWindow::displayKeyword()
{
    topicActivated(m_index->currentItem());
}

void HelpWindow::findTyped(const QString& text)
{
    m_found->clear();
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty()) {
        m_foundCount->setText(QStringLiteral("Type one or more words to list the topics that hold "
                                             "all of them."));
        return;
    }
    for (const Help::Topic& topic : m_catalog.topics) {
        // The keyword index names every keyword; the Index tab covers it.
        if (topic.context == HelpTopics::KeywordIndex)
            continue;
        const QString haystack = topic.title + QLatin1Char(' ') +
                                 topic.keywords.join(QLatin1Char(' ')) + QLatin1Char(' ') +
                                 pageText(topic);
        const bool all = std::all_of(words.begin(), words.end(), [&haystack](const QString& word) {
            return haystack.contains(word, Qt::CaseInsensitive);
        });
        if (all) {
            auto* item = new QListWidgetItem(topic.title, m_found);
            item->setData(ContextRole, topic.context);
        }
    }
    const int count = m_found->count();
    m_foundCount->setText(count == 1 ? QStringLiteral("1 topic found.")
                                     : QString::number(count) + QStringLiteral(" topics found."));
}

void HelpWindow::foundActivated()
{
    if (QListWidgetItem* item = m_found->currentItem())
        showTopic(item->data(ContextRole).toInt());
}

const QString& HelpWindow::pageText(const Help::Topic& topic)
{
    auto it = m_pageTexts.find(topic.page);
    if (it == m_pageTexts.end()) {
        QFile file(m_catalog.folder + topic.page);
        QString text;
        if (file.open(QIODevice::ReadOnly)) {
            QTextDocument document;
            document.setHtml(QString::fromUtf8(file.readAll()));
            text = document.toPlainText();
        }
        it = m_pageTexts.insert(topic.page, text);
    }
    return it.value();
}
