// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/frmDirList.h"

#include "editors/BusyProgress.h"
#include "editors/FolderFiles.h"
#include "editors/SlideText.h"
#include "platform/Help.h"
#include "platform/HelpTopics.h"
#include "platform/Prompts.h"
#include "settings/COptions.h"
#include "show/colURLs.h"
#include "startup/modFileTools.h"
#include "startup/modMain.h"
#include "startup/modToolTips.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStorageInfo>
#include <QStringListModel>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr const char* TxtFindDir = "txtFindDir";

void setTag(QWidget* widget, const QString& tag)
{
    widget->setProperty("Tag", tag);
}

/// The folder without its final separator, so two spellings compare equal.
QString comparable(const QString& folder)
{
    QString text = FolderFiles::cleanFolder(folder);
    while (text.size() > 1 && text.endsWith(QLatin1Char('/')))
        text.chop(1);
    return text;
}

} // namespace

frmDirList::frmDirList(colURLs* show, COptions& options, QWidget* parent)
    : QDialog(parent), m_show(show), m_options(options)
{
    setObjectName(QStringLiteral("frmDirList"));
    setWindowTitle(QStringLiteral("Make Show from Directory"));
    buildControls();
    Help::setHelpContext(this, modMain::HelpFile(), HelpTopics::frmDirList);
    m_folder = QDir::homePath();
}

void frmDirList::buildControls()
{
    m_drvList = new QComboBox(this);
    m_drvList->setObjectName(QStringLiteral("drvList"));
    m_drvList->addItems(places());
    setTag(m_drvList, QStringLiteral("Choose the place to start from."));
    auto* drvLabel = new QLabel(QStringLiteral("&Drive"), this);
    drvLabel->setBuddy(m_drvList);

    m_dirList = new QListWidget(this);
    m_dirList->setObjectName(QStringLiteral("dirList"));
    m_dirList->setAccessibleName(QStringLiteral("Folders"));
    setTag(m_dirList, QStringLiteral("Double click a folder to open it."));

    m_txtDir = new QLineEdit(this);
    m_txtDir->setObjectName(QStringLiteral("txtDir"));
    setTag(m_txtDir, QStringLiteral("The directory to use."));
    auto* dirLabel = new QLabel(QStringLiteral("&Path"), this);
    dirLabel->setBuddy(m_txtDir);

    m_cmdUp = new QToolButton(this);
    m_cmdUp->setObjectName(QStringLiteral("cmdUp"));
    m_cmdUp->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
    m_cmdUp->setAccessibleName(QStringLiteral("Move up one level"));
    m_cmdUp->setToolTip(QStringLiteral("Move up one level"));
    setTag(m_cmdUp, QStringLiteral("Move up one level"));

    m_files = new QStringListModel(this);
    m_fileList = new QListView(this);
    m_fileList->setObjectName(QStringLiteral("fileList"));
    m_fileList->setAccessibleName(QStringLiteral("Files"));
    m_fileList->setModel(m_files);
    m_fileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_fileList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_fileList->setUniformItemSizes(true);
    setTag(m_fileList, QStringLiteral("Select the files for the show."));

    m_txtPattern = new QLineEdit(QStringLiteral("*.*"), this);
    m_txtPattern->setObjectName(QStringLiteral("txtPattern"));
    setTag(m_txtPattern, QStringLiteral("The files the list shows, e.g. *.htm;*.jpg"));
    auto* patternLabel = new QLabel(QStringLiteral("Filter"), this);
    patternLabel->setBuddy(m_txtPattern);

    m_optAll = new QRadioButton(QStringLiteral("&All Files"), this);
    m_optAll->setObjectName(QStringLiteral("optAllFiles0"));
    setTag(m_optAll, QStringLiteral("Make a slide of every file in the directory."));
    m_optSelected = new QRadioButton(QStringLiteral("&Selected Files"), this);
    m_optSelected->setObjectName(QStringLiteral("optAllFiles1"));
    setTag(m_optSelected, QStringLiteral("Make a slide of each selected file."));

    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdHelp = new QPushButton(QStringLiteral("&Help"), this);
    m_cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    setTag(m_cmdOK, QStringLiteral("Use the chosen directory."));
    setTag(m_cmdCancel, QStringLiteral("Close without a change."));
    setTag(m_cmdHelp, QStringLiteral("Help on this window."));

    m_pnlStatus = new QStatusBar(this);
    m_pnlStatus->setObjectName(QStringLiteral("pnlStatus"));
    m_pnlStatus->setSizeGripEnabled(false);

    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(m_txtDir, 1);
    pathRow->addWidget(m_cmdUp);
    auto* patternRow = new QHBoxLayout;
    patternRow->addWidget(patternLabel);
    patternRow->addWidget(m_txtPattern, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);
    buttons->addWidget(m_cmdHelp);
    buttons->addSpacing(12);
    buttons->addWidget(m_optAll);
    buttons->addWidget(m_optSelected);
    buttons->addStretch(1);

    auto* grid = new QGridLayout;
    grid->addWidget(drvLabel, 0, 0);
    grid->addWidget(m_drvList, 1, 0);
    grid->addWidget(dirLabel, 2, 0);
    grid->addLayout(pathRow, 3, 0);
    grid->addWidget(m_dirList, 4, 0);
    grid->addWidget(m_fileList, 0, 1, 5, 1);
    grid->addLayout(patternRow, 5, 1);
    grid->addLayout(buttons, 0, 2, 6, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(4, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addWidget(m_pnlStatus);
    resize(620, 400);

    connect(m_drvList, &QComboBox::activated, this, &frmDirList::drvList_Change);
    connect(m_dirList, &QListWidget::itemActivated, this, &frmDirList::dirList_Activated);
    connect(m_cmdUp, &QToolButton::clicked, this, &frmDirList::cmdUp_Click);
    connect(m_txtPattern, &QLineEdit::textEdited, this, &frmDirList::txtPattern_Change);
    connect(m_txtDir, &QLineEdit::editingFinished, this, &frmDirList::txtDir_EditingFinished);
    connect(m_fileList, &QListView::clicked, this, &frmDirList::fileList_Click);
    connect(m_optAll, &QRadioButton::toggled, this, &frmDirList::applySelectionMode);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmDirList::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmDirList::reject);
    connect(m_cmdHelp, &QPushButton::clicked, this, &frmDirList::cmdHelp_Click);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { showTagOf(now); });
}

QStringList frmDirList::places()
{
    QStringList result{QDir::homePath(), QDir::rootPath()};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const QString root = volume.rootPath();
        // System mounts are no place a user starts from.
        if (root.startsWith(QStringLiteral("/proc")) || root.startsWith(QStringLiteral("/sys")) ||
            root.startsWith(QStringLiteral("/dev")) || root.startsWith(QStringLiteral("/run/")) ||
            root.startsWith(QStringLiteral("/boot")) || root.startsWith(QStringLiteral("/snap")))
            continue;
        if (!result.contains(root))
            result.append(root);
    }
    return result;
}

void frmDirList::setPicker(QObject* caller)
{
    m_caller = caller;
    setWindowTitle(caller ? QStringLiteral("Choose Directory")
                          : QStringLiteral("Make Show from Directory"));
}

void frmDirList::setStartFolder(const QString& folder)
{
    const QString clean = comparable(folder);
    if (!clean.isEmpty() && QFileInfo(clean).isDir())
        m_folder = QDir(clean).absolutePath();
    if (m_loaded)
        setFolder(m_folder);
}

void frmDirList::showEvent(QShowEvent* event)
{
    if (!m_loaded)
        Form_Load();
    QDialog::showEvent(event);
}

void frmDirList::Form_Load()
{
    m_loaded = true;
    if (m_options.ToolTips)
        modMain::ToolTipsOn(this);
    // In picker mode "All Files" hides the file list: only the folder counts.
    if (m_caller)
        m_optAll->setChecked(true);
    else
        m_optSelected->setChecked(true);
    applySelectionMode();
    setFolder(m_folder);
}

void frmDirList::setFolder(const QString& folder)
{
    m_folder = folder;
    m_txtDir->setText(folder);
    fillFolderList();
    fillFileList();
}

void frmDirList::fillFolderList()
{
    m_dirList->clear();
    QStringList names =
        QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    m_dirList->addItems(names);
}

void frmDirList::fillFileList()
{
    QStringList names;
    {
        BusyProgress busy(this, QStringLiteral("Reading the directory..."));
        FolderFiles::forEach(m_folder, FolderFiles::nameFilters(m_txtPattern->text()),
                             [&names, &busy](const QString& name) {
                                 names.append(name);
                                 return busy.step(names.size());
                             });
    }
    names.sort(Qt::CaseInsensitive);
    m_files->setStringList(names);
    // A folder just chosen comes with all its files selected.
    if (m_optSelected->isChecked())
        m_fileList->selectAll();
}

void frmDirList::applySelectionMode()
{
    m_fileList->setVisible(m_optSelected->isChecked());
    m_txtPattern->setEnabled(m_optSelected->isChecked());
}

void frmDirList::drvList_Change(int index)
{
    if (index >= 0)
        setFolder(m_drvList->itemText(index));
}

void frmDirList::dirList_Activated(QListWidgetItem* item)
{
    if (item)
        setFolder(QDir(m_folder).absoluteFilePath(item->text()));
}

void frmDirList::cmdUp_Click()
{
    QDir folder(m_folder);
    if (folder.cdUp())
        setFolder(folder.absolutePath());
}

void frmDirList::txtPattern_Change()
{
    fillFileList();
}

void frmDirList::txtDir_EditingFinished()
{
    // A typed folder that exists moves the lists along with it.
    const QString typed = comparable(m_txtDir->text());
    if (typed.isEmpty() || typed == comparable(m_folder) || !QFileInfo(typed).isDir())
        return;
    const QString text = m_txtDir->text();
    m_folder = QDir(typed).absolutePath();
    fillFolderList();
    fillFileList();
    m_txtDir->setText(text);
}

void frmDirList::fileList_Click()
{
    if (m_txtDir->text().isEmpty())
        m_txtDir->setText(m_folder);
}

void frmDirList::cmdOK_Click()
{
    const QString typed = m_txtDir->text().trimmed();
    if (typed.isEmpty()) {
        Prompts::MsgBox(QStringLiteral("No directory selected."),
                        Prompts::vbOKOnly + Prompts::vbExclamation, QStringLiteral("Field Error"));
        modMain::debugLog(QStringLiteral("DIRLIST: No Directory selected."));
        m_dirList->setFocus();
        return;
    }
    const QString folder = FolderFiles::withFinalSeparator(FolderFiles::cleanFolder(typed));
    if (!modFileTools::CheckDirectory(FolderFiles::cleanFolder(typed))) {
        Prompts::MsgBox(QStringLiteral("Directory ") + typed +
                            QStringLiteral("\r\ndoes not exist."),
                        Prompts::vbOKOnly + Prompts::vbExclamation);
        modMain::debugLog(QStringLiteral("Directory does not exist."));
        return;
    }
    if (m_caller) {
        // A folder that is not there is of no use to the caller.
        if (!QFileInfo(comparable(folder)).isDir()) {
            Prompts::MsgBox(QStringLiteral("Directory ") + typed +
                                QStringLiteral("\r\ndoes not exist."),
                            Prompts::vbOKOnly + Prompts::vbExclamation);
            modMain::debugLog(QStringLiteral("Directory does not exist."));
            return;
        }
        m_caller->setProperty(TxtFindDir, folder);
        m_caller = nullptr;
        accept();
        return;
    }
    qint32 added = 0;
    if (m_show) {
        added = m_optAll->isChecked() ? addAllFiles(folder) : addSelectedFiles(folder);
        if (added < 0) // cancelled: the show stays empty and the window open
            return;
    }
    if (added > 0) {
        m_show->Changed = true;
        accept();
        return;
    }
    Prompts::MsgBox(QStringLiteral("Directory ") + typed +
                        QStringLiteral("\r\nhas no files selected or does not exist."),
                    Prompts::vbOKOnly + Prompts::vbExclamation);
    modMain::debugLog(QStringLiteral("Directory is empty  or does not exist."));
}

qint32 frmDirList::addAllFiles(const QString& folder)
{
    qint32 added = 0;
    QStringList refused;
    bool whole = true;
    {
        BusyProgress busy(this, QStringLiteral("Making the show..."));
        whole = FolderFiles::forEach(folder, {}, [&](const QString& name) {
            if (added == 0 && refused.isEmpty())
                modMain::debugLog(QStringLiteral("path: ") + folder + QStringLiteral("  Files:") +
                                  name);
            const QString path = folder + name;
            if (SlideText::storable(path)) {
                m_show->Add(path, QString(), 0, false);
                ++added;
            } else {
                refused.append(path);
            }
            return busy.step(added);
        });
    }
    if (!whole) {
        m_show->EraseAll();
        return -1;
    }
    SlideText::reportRefused(refused);
    return added;
}

qint32 frmDirList::addSelectedFiles(const QString& folder)
{
    // A typed folder the lists do not show yet: its files as the list
    // would offer them, all selected.
    if (comparable(folder) != comparable(m_folder)) {
        if (!QFileInfo(comparable(folder)).isDir())
            return 0;
        m_folder = QDir(comparable(folder)).absolutePath();
        fillFolderList();
        fillFileList();
    }
    QModelIndexList rows = m_fileList->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    const QStringList names = m_files->stringList();
    QStringList paths;
    paths.reserve(rows.size());
    for (const QModelIndex& row : rows)
        paths.append(folder + names.at(row.row()));
    paths = SlideText::acceptFiles(paths);
    for (const QString& path : paths)
        m_show->Add(path, QString(), 0, false);
    return qint32(paths.size());
}

void frmDirList::reject()
{
    if (!m_caller && m_show)
        m_show->Changed = false;
    m_caller = nullptr;
    QDialog::reject();
}

void frmDirList::cmdHelp_Click()
{
    Help::ShowTopic(modMain::HelpFile(), HelpTopics::frmDirList);
}

void frmDirList::showTagOf(QWidget* focused)
{
    if (!focused || !isAncestorOf(focused))
        return;
    const QString tag = focused->property("Tag").toString();
    if (!tag.isEmpty())
        m_pnlStatus->showMessage(tag);
}
