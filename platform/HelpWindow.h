// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Help.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;
class QUrl;

/// The help window: a page viewer with Back and Forward beside three tabs,
/// Contents (the topics by book), Index (the keywords) and Find (the
/// topics whose text holds the words typed).
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    /// The topics to show; the tabs are built anew when they change.
    void setCatalog(const Help::Catalog& catalog);
    const Help::Catalog& catalog() const { return m_catalog; }

    /// The contents page and the Contents tab.
    void showContents();
    /// Shows the topic of a context number; false (with the contents page
    /// and a note) when the map has no such number.
    bool showTopic(int context);
    /// The Index tab with the text typed into its keyword field. True when
    /// the text is exactly a keyword of one topic, which is then shown.
    bool showIndex(const QString& keyword);
    /// The Find tab with the words typed into its field; returns the
    /// number of topics found.
    int showFind(const QString& words);

    /// The page shown: its file name inside the help folder.
    QString currentPage() const;
    /// The title of the page shown.
    QString currentTitle() const;

    /// Shows the window, raised and active; while a modal box or dialog is
    /// open the window becomes modal itself, else that box would block it.
    void present();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void buildControls();
    QWidget* buildIndexTab();
    QWidget* buildFindTab();
    void connectControls();
    void buildContents();
    void buildIndex();
    void showPage(const QString& page);
    void pageChanged(const QUrl& source);
    void topicActivated(QTreeWidgetItem* item);
    void keywordTyped(const QString& text);
    void displayKeyword();
    void findTyped(const QString& text);
    void foundActivated();
    const QString& pageText(const Help::Topic& topic);

    Help::Catalog m_catalog;
    QPointer<QWidget> m_blockingWidget;  ///< the modal box the window is shown above
    QHash<QString, QString> m_pageTexts; ///< plain text of each page, read on first Find

    QPushButton* m_helpTopics = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_forward = nullptr;
    QTabWidget* m_tabs = nullptr;
    QTreeWidget* m_contents = nullptr;
    QLineEdit* m_keyword = nullptr;
    QTreeWidget* m_index = nullptr;
    QPushButton* m_display = nullptr;
    QLineEdit* m_find = nullptr;
    QListWidget* m_found = nullptr;
    QLabel* m_foundCount = nullptr;
    QTextBrowser* m_page = nullptr;
    QLabel* m_status = nullptr;
};
