// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/frmListEdit.h"

#include "editors/EditorHost.h"
#include "editors/ListEditModel.h"
#include "editors/SlideSound.h"
#include "editors/WindowPlace.h"
#include "editors/frmSlideEdit.h"
#include "platform/Help.h"
#include "platform/HelpTopics.h"
#include "platform/Prompts.h"
#include "settings/COptions.h"
#include "settings/DialogPosition.h"
#include "show/colURLs.h"
#include "startup/modFileTools.h"
#include "startup/modMain.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const QString WindowName = QStringLiteral("frmListEdit");
const QString CrLf = QStringLiteral("\r\n");

/// A small round icon: the row's skip flag.
QIcon dotIcon(const QColor& colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(colour.darker());
    painter.drawEllipse(3, 3, 10, 10);
    return QIcon(pixmap);
}

} // namespace

frmListEdit::frmListEdit(colURLs& show, COptions& options, EditorHost* host, QWidget* parent)
    : QDialog(parent), m_show(show), m_options(options), m_host(host)
{
    setObjectName(WindowName);
    setProperty("Tag", QStringLiteral("Edit slides in collection."));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    m_model = new ListEditModel(this);
    m_model->setIcons(dotIcon(QColor(200, 40, 40)), dotIcon(QColor(40, 160, 60)));
    buildControls();
    Help::setHelpContext(this, modMain::HelpFile(), HelpTopics::frmListEdit);
}

frmListEdit::~frmListEdit() = default;

void frmListEdit::buildControls()
{
    m_tbToolBar = new QToolBar(this);
    m_tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    m_tbToolBar->setAccessibleName(QStringLiteral("Edit slide collection toolbar"));
    m_tbToolBar->setProperty(
        "Tag", QStringLiteral("Edit slide collection toolbar: Open, Save, Add, Copy, Insert, Skip, "
                              "Delete, View, Play."));
    m_tbToolBar->setIconSize(QSize(16, 16));
    struct Key
    {
        const char* key;
        QStyle::StandardPixmap icon;
        const char* tip;
        void (frmListEdit::*action)();
    };
    static const Key Keys[] = {
        {"Open", QStyle::SP_DialogOpenButton, "Open an existing collection.", &frmListEdit::Open},
        {"Save", QStyle::SP_DialogSaveButton, "Save this collection.", &frmListEdit::Save},
        {"Edit", QStyle::SP_FileDialogDetailedView, "Edit the current slide.", &frmListEdit::Edit},
        {"Add", QStyle::SP_FileDialogNewFolder, "Add new slide at end of collection.",
         &frmListEdit::Add},
        {"Copy", QStyle::SP_FileLinkIcon, "Copy the hiighlighted slide.", &frmListEdit::Copy},
        {"Insert", QStyle::SP_ArrowRight, "Insert a new slide above highlighted slide.",
         &frmListEdit::Insert},
        {"Skip", QStyle::SP_MediaSkipForward, "Skip the highlighted slide when running show.",
         &frmListEdit::Skip},
        {"Delete", QStyle::SP_TrashIcon, "Delete the slide from the collection.",
         &frmListEdit::Delete},
        {"View", QStyle::SP_ComputerIcon, "View slide in browser.", &frmListEdit::View},
        {"Play", QStyle::SP_MediaPlay, "Play wave file for slide selected.", &frmListEdit::Play},
    };
    for (const Key& key : Keys) {
        const QString name = QString::fromLatin1(key.key);
        QAction* button = m_tbToolBar->addAction(style()->standardIcon(key.icon), name);
        button->setObjectName(QStringLiteral("tbToolBar") + name);
        button->setProperty("Key", name);
        button->setToolTip(QString::fromLatin1(key.tip));
        connect(button, &QAction::triggered, this, key.action);
    }

    m_list = new QTableView(this);
    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setAccessibleName(QStringLiteral("Slides"));
    m_list->setProperty("Tag", QStringLiteral("Select the slide number (left column) to edit."));
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(false);
    m_list->setWordWrap(false);
    m_list->setFrameShape(QFrame::Box);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->horizontalHeader()->setSectionsClickable(true);
    m_list->horizontalHeader()->setHighlightSections(false);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setDragEnabled(true);
    m_list->setAcceptDrops(true);
    m_list->setDragDropMode(QAbstractItemView::DragDrop);
    m_list->setDragDropOverwriteMode(true);
    m_list->setDropIndicatorShown(true);
    m_list->setDefaultDropAction(Qt::CopyAction);
    m_list->viewport()->installEventFilter(this);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);

    m_mnuSlideMain = new QMenu(this);
    m_mnuSlideMain->setObjectName(QStringLiteral("mnuSlideMain"));
    static const char* const Items[] = {"&Edit",   "&Copy", "&Insert", "&Skip",
                                        "&Delete", "&View", "&Play"};
    static void (frmListEdit::*const ItemActions[])() = {
        &frmListEdit::Edit,   &frmListEdit::Copy, &frmListEdit::Insert, &frmListEdit::Skip,
        &frmListEdit::Delete, &frmListEdit::View, &frmListEdit::Play};
    for (int i = 0; i < 7; ++i) {
        QAction* item = m_mnuSlideMain->addAction(QString::fromLatin1(Items[i]));
        item->setObjectName(QStringLiteral("mnuSlide%1").arg(i + 1));
        connect(item, &QAction::triggered, this, ItemActions[i]);
    }
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        m_mnuSlideMain->popup(m_list->viewport()->mapToGlobal(at));
    });
    connect(m_list, &QAbstractItemView::doubleClicked, this, &frmListEdit::Edit);
    connect(m_list->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &frmListEdit::header_Click);
    connect(m_model, &ListEditModel::filesDropped, this, &frmListEdit::filesDropped);
    connect(m_model, &ListEditModel::rowMoved, this, [this](int to) { selectRow(to); });

    auto* picCommands = new QWidget(this);
    picCommands->setObjectName(QStringLiteral("picCommands"));
    m_cmdOK = new QPushButton(QStringLiteral("OK"), picCommands);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setProperty("Tag", QStringLiteral("Update the current collection with the changes."));
    m_cmdOK->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), picCommands);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel->setProperty(
        "Tag", QStringLiteral("Press to cancel any changes in collection and return."));
    m_cmdHelp = new QPushButton(QStringLiteral("&Help"), picCommands);
    m_cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    m_cmdHelp->setProperty("Tag", QStringLiteral("For on-line help."));
    auto* commands = new QHBoxLayout(picCommands);
    commands->setContentsMargins(0, 0, 0, 0);
    commands->addStretch(1);
    commands->addWidget(m_cmdOK);
    commands->addWidget(m_cmdCancel);
    commands->addWidget(m_cmdHelp);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tbToolBar);
    layout->addWidget(m_list, 1);
    layout->addWidget(picCommands);
    resize(640, 420);

    connect(m_cmdOK, &QPushButton::clicked, this, &frmListEdit::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_cmdHelp, &QPushButton::clicked, this,
            [] { Help::ShowTopic(modMain::HelpFile(), HelpTopics::frmListEdit); });
}

frmSlideEdit& frmListEdit::slideEditor()
{
    if (!m_slideEditor)
        m_slideEditor = new frmSlideEdit(this);
    return *m_slideEditor;
}

void frmListEdit::showEvent(QShowEvent* event)
{
    if (!m_loaded)
        Form_Load();
    QDialog::showEvent(event);
    if (!m_activated) {
        m_activated = true;
        if (nCurrentSlide >= 1 && nCurrentSlide <= m_model->rowCount())
            selectRow(nCurrentSlide - 1);
    }
}

void frmListEdit::Form_Load()
{
    m_loaded = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_changedAtOpen = m_show.Changed;
    if (m_options.ToolTips) {
        for (QWidget* control : {static_cast<QWidget*>(m_cmdOK), static_cast<QWidget*>(m_cmdCancel),
                                 static_cast<QWidget*>(m_cmdHelp), static_cast<QWidget*>(m_list)})
            control->setToolTip(control->property("Tag").toString());
    }
    WindowPlace::restore(this, WindowName, true);
    // The columns' first widths follow the list's width; "Slide" and
    // "Sound" come back as the user left them.
    const int width = std::max(m_list->viewport()->width(), this->width() - 40);
    const int slideWidth = WindowPlace::toPixels(DialogPosition::LoadValue(
        WindowName, QStringLiteral("ListWidth2"), WindowPlace::toTwips(width / 4)));
    const int soundWidth = WindowPlace::toPixels(DialogPosition::LoadValue(
        WindowName, QStringLiteral("ListWidth3"), WindowPlace::toTwips(width / 4)));
    const int widths[ListEditModel::ColumnCount] = {width / 11, slideWidth, soundWidth,
                                                    width / 11, width / 11, width / 9};
    for (int column = 0; column < ListEditModel::ColumnCount; ++column)
        m_list->setColumnWidth(column, widths[column]);
    m_list->horizontalHeader()->setStretchLastSection(false);
    LoadList();
    setCaption();
    QApplication::restoreOverrideCursor();
}

void frmListEdit::setCaption()
{
    setWindowTitle(modFileTools::FileNameNoExt(m_show.TrayFilename, QStringLiteral("txt")));
}

void frmListEdit::LoadList()
{
    m_model->LoadList(m_show);
    m_model->setEdited(false);
}

int frmListEdit::currentRow() const
{
    const QModelIndex current = m_list->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void frmListEdit::selectRow(int position)
{
    m_list->setCurrentIndex(m_model->index(position, 0));
    m_list->selectRow(position);
    m_list->scrollTo(m_model->index(position, 0));
}

void frmListEdit::Open()
{
    if (m_model->edited()) {
        const int answer = Prompts::MsgBox(
            QStringLiteral("Do you want to save changes made to") + CrLf + m_show.TrayFilename +
                CrLf + QStringLiteral("during this session?"),
            Prompts::vbYesNoCancel + Prompts::vbExclamation, QStringLiteral("Save Show Edits?"));
        if (answer == Prompts::vbCancel)
            return;
        if (answer == Prompts::vbYes) {
            Save();
        } else {
            modMain::debugLog(QStringLiteral("Changes not saved"));
            m_show.Changed = m_changedAtOpen;
        }
    }
    m_model->clear();
    if (m_host)
        m_host->do_open_collect();
    m_changedAtOpen = m_show.Changed;
    setCaption();
    LoadList();
}

void frmListEdit::Save()
{
    m_model->SaveList(m_show);
    if (m_host)
        m_host->saveShow();
    else
        m_show.SavetoDisk();
    m_model->setEdited(false);
    m_changedAtOpen = m_show.Changed;
    if (m_host)
        m_host->showEdited();
}

void frmListEdit::Edit()
{
    const int position = currentRow();
    if (position >= 0)
        openSlideEditor(position, false);
}

void frmListEdit::Add()
{
    AddRowAndEdit(m_model->rowCount());
}

void frmListEdit::Insert()
{
    const int position = currentRow();
    if (position < 0)
        return;
    m_model->renumberFrom(position);
    AddRowAndEdit(position);
}

void frmListEdit::AddRowAndEdit(int position)
{
    m_model->insertBlank(position);
    selectRow(position);
    openSlideEditor(position, true);
    m_show.Changed = true;
    // While sorting is on a new row takes its place in the order.
    m_model->keepSorted();
}

void frmListEdit::openSlideEditor(int position, bool newSlide)
{
    frmSlideEdit& editor = slideEditor();
    editor.nSlideIndex = position + 1;
    editor.bNewSlide = newSlide;
    editor.bListMode = true;
    editor.colShow = &m_show;
    editor.oOptions = &m_options;
    editor.list = m_model;
    editor.host = m_host;
    editor.exec();
}

void frmListEdit::Copy()
{
    const int position = currentRow();
    if (position < 0)
        return;
    ++m_copies;
    m_model->copyRow(position);
    m_show.Changed = true;
}

void frmListEdit::Skip()
{
    if (currentRow() < 0)
        return;
    QList<int> rows;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows())
        rows.append(index.row());
    if (rows.isEmpty())
        rows.append(currentRow());
    m_model->toggleSkip(rows);
}

void frmListEdit::Delete()
{
    const int position = currentRow();
    if (position < 0)
        return;
    m_model->removeAt(position);
    m_show.Changed = true;
}

void frmListEdit::View()
{
    const int position = currentRow();
    if (position >= 0 && m_host)
        m_host->viewAddress(m_model->row(position).slide);
}

void frmListEdit::Play()
{
    const int position = currentRow();
    if (position >= 0)
        PlayRowSound(position);
}

void frmListEdit::PlayRowSound(int position)
{
    const ListEditRow& row = m_model->row(position);
    const QString chosen = SlideSound::openDialog(row.sound, m_options, this, position + 1);
    if (chosen.isNull() || position >= m_model->rowCount())
        return;
    m_model->setSound(position, chosen);
}

void frmListEdit::cmdOK_Click()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_model->SaveList(m_show);
    // Sorting, dragging and skipping change the show too: it must be
    // marked, or the new order would be lost without a question.
    if (m_model->edited())
        m_show.Changed = true;
    QApplication::restoreOverrideCursor();
    if (m_show.Changed && m_host)
        m_host->showEdited();
    accept();
}

void frmListEdit::done(int result)
{
    // Cancel leaves the show as it was, its Changed flag included: edits
    // made before the editor opened still call for the save question.
    if (result == QDialog::Rejected)
        m_show.Changed = m_changedAtOpen;
    saveLayout();
    QDialog::done(result);
}

void frmListEdit::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    // The state as the old window numbered it: 0 normal, 1 minimized,
    // 2 maximized.
    const int state = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    modMain::debugLog(QStringLiteral("Edit show resize, window State: ") + QString::number(state));
}

void frmListEdit::saveLayout()
{
    WindowPlace::save(this, WindowName, true);
    const bool minimized = isMinimized();
    const bool maximized = isMaximized() || isFullScreen();
    DialogPosition::SaveValue(WindowName, QStringLiteral("ListWidth2"),
                              WindowPlace::toTwips(m_list->columnWidth(ListEditModel::Slide)),
                              minimized, maximized);
    DialogPosition::SaveValue(WindowName, QStringLiteral("ListWidth3"),
                              WindowPlace::toTwips(m_list->columnWidth(ListEditModel::Sound)),
                              minimized, maximized);
}

void frmListEdit::header_Click(int column)
{
    // Each click flips the order; the first sorts descending.
    m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_model->sort(column, m_sortOrder);
    QApplication::restoreOverrideCursor();
    m_list->horizontalHeader()->setSortIndicatorShown(true);
    m_list->horizontalHeader()->setSortIndicator(column, m_sortOrder);
}

void frmListEdit::filesDropped(const QStringList& paths)
{
    if (modMain::DebugMode && !paths.isEmpty())
        modMain::WriteLog(QStringLiteral("OleDragDrop, Data files:") + paths.first() +
                          QStringLiteral(" X: ") + QString::number(m_dropPoint.x()) +
                          QStringLiteral("  Y: ") + QString::number(m_dropPoint.y()));
    m_show.Changed = true;
    m_model->keepSorted();
}

bool frmListEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::Drop)
        m_dropPoint = static_cast<QDropEvent*>(event)->position().toPoint();
    return QDialog::eventFilter(watched, event);
}
