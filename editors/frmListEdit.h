// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class COptions;
class EditorHost;
class ListEditModel;
class QAction;
class QMenu;
class QPushButton;
class QTableView;
class QToolBar;
class colURLs;
class frmSlideEdit;

/// The show list editor: the whole show as a table, one row per slide,
/// to add, insert, copy, delete, skip, reorder, sort, drop files onto,
/// edit in the slide editor, view and play. The rows are a working copy:
/// the show changes only by OK or Save, and Cancel throws the rows away.
class frmListEdit : public QDialog
{
    Q_OBJECT

public:
    /// host: the main window's open, save and view (nullptr: none).
    frmListEdit(colURLs& show, COptions& options, EditorHost* host, QWidget* parent = nullptr);
    ~frmListEdit() override;

    /// The main window's current slide (1-based), highlighted on opening.
    qint16 nCurrentSlide = 0;

    ListEditModel& model() { return *m_model; }
    QTableView* list() const { return m_list; }
    /// The slide editor it opens (tests answer it).
    frmSlideEdit& slideEditor();

    // The operations of the toolbar and the popup menu.
    void Open();
    void Save();
    void Edit();
    void Add();
    void Copy();
    void Insert();
    void Skip();
    void Delete();
    void View();
    void Play();

    /// Plays the sound of a row (0-based).
    void PlayRowSound(int position);

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    void setCaption();
    void LoadList();
    /// The highlighted row (0-based), or -1.
    int currentRow() const;
    void selectRow(int position);
    void AddRowAndEdit(int position);
    void openSlideEditor(int position, bool newSlide);
    void cmdOK_Click();
    void header_Click(int column);
    void filesDropped(const QStringList& paths);
    void saveLayout();

    colURLs& m_show;
    COptions& m_options;
    EditorHost* m_host;
    ListEditModel* m_model = nullptr;
    frmSlideEdit* m_slideEditor = nullptr;
    bool m_changedAtOpen = false;
    bool m_loaded = false;
    bool m_activated = false;
    int m_copies = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    QPoint m_dropPoint;

    QToolBar* m_tbToolBar = nullptr;
    QTableView* m_list = nullptr;
    QMenu* m_mnuSlideMain = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QPushButton* m_cmdHelp = nullptr;
};
