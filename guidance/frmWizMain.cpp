// SPDX-License-Identifier: GPL-3.0-or-later
#include "guidance/frmWizMain.h"

#include "editors/WindowPlace.h"
#include "guidance/ShowWizards.h"
#include "guidance/WizardHost.h"
#include "platform/Help.h"
#include "platform/HelpTopics.h"
#include "settings/COptions.h"
#include "show/colURLs.h"
#include "startup/modFileTools.h"
#include "startup/modMain.h"
#include "startup/modToolTips.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column
{
    ColumnFile,
    ColumnSlides,
    ColumnDate
};

/// A recent show's row: slides and dates sort by value, not by text.
class ShowItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : ColumnFile;
        if (column == ColumnFile)
            return text(column).compare(other.text(column), Qt::CaseInsensitive) < 0;
        return data(column, Qt::UserRole).toLongLong() <
               other.data(column, Qt::UserRole).toLongLong();
    }
};

QPushButton* button(const QString& caption, const char* name, QWidget* parent)
{
    auto* result = new QPushButton(caption, parent);
    result->setObjectName(QString::fromLatin1(name));
    result->setAutoDefault(false);
    return result;
}

} // namespace

frmWizMain::frmWizMain(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmWizMain"));
    setWindowTitle(QStringLiteral("Wizard Start"));
    setWindowIcon(QApplication::windowIcon());
    buildControls();
    Help::setHelpContext(this, modMain::HelpFile(), HelpTopics::frmWizMain);
}

void frmWizMain::buildControls()
{
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabWizard"));
    m_tabs->setProperty("Tag", QStringLiteral("Choose Recent files opened or New show wizard."));

    auto* recent = new QWidget(m_tabs);
    recent->setObjectName(QStringLiteral("fraRecent"));
    m_list = new QTreeWidget(recent);
    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setAccessibleName(QStringLiteral("Recent shows"));
    m_list->setProperty("Tag",
                        QStringLiteral("Click left column to select a recently opened show."));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels(
        {QStringLiteral("Show file"), QStringLiteral("Slides"), QStringLiteral("Date")});
    m_list->header()->setSectionsClickable(true);
    m_list->header()->setSortIndicatorShown(false);
    m_list->setMinimumSize(440, 140);
    m_lblCurrent = new QLabel(recent);
    m_lblCurrent->setObjectName(QStringLiteral("lblCurrent"));
    auto* current = button(QStringLiteral("&Current"), "cmdCurrent", recent);
    current->setProperty("Tag", QStringLiteral("To select current or most recent show."));
    auto* more = button(QStringLiteral("&More..."), "cmdMore", recent);
    more->setProperty("Tag", QStringLiteral("To find a show file on the computer."));
    auto* recentLayout = new QGridLayout(recent);
    recentLayout->addWidget(m_list, 0, 0, 1, 3);
    recentLayout->addWidget(m_lblCurrent, 1, 0);
    recentLayout->addWidget(current, 1, 1);
    recentLayout->addWidget(more, 1, 2);
    recentLayout->setColumnStretch(0, 1);
    m_tabs->addTab(recent, QStringLiteral("&Recent"));

    auto* fresh = new QWidget(m_tabs);
    fresh->setObjectName(QStringLiteral("fraNew"));
    auto* newShow = button(QStringLiteral("Ne&w Show"), "cmdNewShow", fresh);
    newShow->setProperty("Tag", QStringLiteral("Press to start New Show wizard."));
    auto* newLabel = new QLabel(QStringLiteral("Press to start the new show wizard."), fresh);
    newLabel->setObjectName(QStringLiteral("lblNewShow"));
    auto* newLayout = new QHBoxLayout(fresh);
    newLayout->addWidget(newShow);
    newLayout->addWidget(newLabel, 1);
    m_tabs->addTab(fresh, QStringLiteral("&New"));

    m_chkStartup = new QCheckBox(QStringLiteral("&Show Wizard at Startup"), this);
    m_chkStartup->setObjectName(QStringLiteral("chkStartup"));
    m_chkStartup->setProperty("Tag", QStringLiteral("Check to see this wizard at startup."));
    auto* cancel = button(QStringLiteral("Cancel"), "cmdCancel", this);
    cancel->setProperty("Tag", QStringLiteral("Cancel and discard changes."));
    auto* help = button(QStringLiteral("&Help"), "cmdHelp", this);
    help->setProperty("Tag", QStringLiteral("For on-line help."));

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_chkStartup, 1);
    bottom->addWidget(cancel);
    bottom->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(bottom);

    connect(m_list, &QTreeWidget::itemClicked, this, &frmWizMain::ListView1_ItemClick);
    connect(m_list->header(), &QHeaderView::sectionClicked, this,
            &frmWizMain::ListView1_ColumnClick);
    connect(current, &QPushButton::clicked, this, &frmWizMain::cmdCurrent_Click);
    connect(more, &QPushButton::clicked, this, &frmWizMain::cmdMore_Click);
    connect(newShow, &QPushButton::clicked, this, &frmWizMain::cmdNewShow_Click);
    // Only the user's click counts as a changed choice, not the load.
    connect(m_chkStartup, &QCheckBox::clicked, this, &frmWizMain::chkStartup_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this,
            [] { Help::ShowTopic(modMain::HelpFile(), HelpTopics::frmWizMain); });
}

void frmWizMain::showEvent(QShowEvent* event)
{
    if (!m_loaded)
        Form_Load();
    QDialog::showEvent(event);
}

void frmWizMain::Form_Load()
{
    m_loaded = true;
    if (m_options && m_options->ToolTips)
        modMain::ToolTipsOn(this);
    if (m_options)
        m_chkStartup->setChecked(m_options->DisplayWizard);
    const int width = m_list->viewport()->width();
    m_list->setColumnWidth(ColumnFile, width * 66 / 100);
    m_list->setColumnWidth(ColumnSlides, width / 8);
    m_list->setColumnWidth(ColumnDate, width / 4);
    m_lblCurrent->setText(m_show ? modFileTools::FileFromPath(m_show->TrayFilename) : QString());
    fillList();
    m_tabs->setCurrentIndex(0);
    if (m_withinWizard) {
        // Picking the show a wizard works on: no wizard within the wizard.
        m_tabs->setTabText(1, QString());
        m_tabs->setTabEnabled(1, false);
        m_chkStartup->hide();
    }
    WindowPlace::restore(this, objectName(), false);
}

void frmWizMain::fillList()
{
    m_list->clear();
    if (!m_host)
        return;
    const QIcon icon = QApplication::windowIcon();
    for (const QString& path : m_host->recentShows()) {
        if (path.isEmpty() || modFileTools::FileDate(path) == 0)
            continue;
        const qint16 slides = modFileTools::CountLines(path);
        if (slides <= 0)
            continue;
        const QDateTime date = QFileInfo(path).lastModified();
        auto* item = new ShowItem(m_list);
        item->setText(ColumnFile, path);
        item->setIcon(ColumnFile, icon);
        item->setText(ColumnSlides, QString::number(slides));
        item->setData(ColumnSlides, Qt::UserRole, qlonglong(slides));
        item->setText(ColumnDate, QLocale().toString(date, QLocale::ShortFormat));
        item->setData(ColumnDate, Qt::UserRole, date.toMSecsSinceEpoch());
    }
}

bool frmWizMain::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && !m_activated) {
        m_activated = true;
        move(StartPosition);
    }
    return QDialog::event(event);
}

void frmWizMain::ListView1_ItemClick(QTreeWidgetItem* item)
{
    const QString path = item ? item->text(ColumnFile) : QString();
    modMain::debugLog(QStringLiteral("File :") + path + QStringLiteral(" is clicked."));
    if (path.isEmpty() || !m_host) {
        QApplication::beep();
        return;
    }
    // Unloaded first: opening the show may ask questions of its own.
    accept();
    m_host->openRecentShow(path);
}

void frmWizMain::ListView1_ColumnClick(int column)
{
    m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_list->sortItems(column, m_sortOrder);
}

void frmWizMain::cmdCurrent_Click()
{
    if (!m_lblCurrent->text().isEmpty())
        accept();
}

void frmWizMain::cmdMore_Click()
{
    if (m_host)
        m_host->openShow();
    accept();
}

void frmWizMain::cmdNewShow_Click()
{
    COptions* options = m_options;
    colURLs* show = m_show;
    WizardHost* host = m_host;
    accept();
    if (options && show && host)
        ShowWizards::RunWizards(*options, *show, *host);
}

void frmWizMain::chkStartup_Click(bool checked)
{
    if (m_options)
        m_options->DisplayWizard = checked;
    m_choiceChanged = true;
}

void frmWizMain::done(int result)
{
    if (m_choiceChanged && m_options)
        m_options->Changed = true;
    m_choiceChanged = false;
    WindowPlace::save(this, objectName(), false);
    QDialog::done(result);
}
