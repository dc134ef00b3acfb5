// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>

#include <vector>

class colURLs;

/// One row of the list editor: a slide as the editor shows and edits it.
struct ListEditRow
{
    /// The row's icon, which is its skip flag.
    enum class Icon
    {
        None,
        Skipped,
        Shown
    };
    qint32 number = 0; ///< shown as "0000"; a moved row keeps its old one
    QString slide;
    QString sound;
    QString pause; ///< as typed; the show takes its leading number
    qint16 shown = 0;
    double last = 0;
    Icon icon = Icon::Shown;
};

/// The list editor's working copy of a show: six columns, one row per
/// slide. The show itself changes only through SaveList.
class ListEditModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        Number,
        Slide,
        Sound,
        Pause,
        Shown,
        Last,
        ColumnCount
    };

    explicit ListEditModel(QObject* parent = nullptr);

    /// The images of the two icons (skipped, shown).
    void setIcons(const QIcon& skipped, const QIcon& shown);

    /// Appends one row per slide of the show.
    void LoadList(const colURLs& show);
    void clear();
    /// Writes the rows into the show in the order shown: in place when the
    /// count is the same (times shown and last visit stay by position),
    /// else the show is rebuilt from the rows.
    void SaveList(colURLs& show) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const ListEditRow& row(int position) const { return m_rows[std::size_t(position)]; }
    /// Replaces the slide, sound, pause and icon of a row (0-based).
    void setRowValues(int position, const QString& slide, const QString& sound,
                      const QString& pause, bool skipped);
    /// Replaces a row's sound file (0-based), as the sound dialog's OK does.
    void setSound(int position, const QString& sound);
    /// A cell's text as the list shows it.
    QString text(int position, int column) const;

    /// Inserts an empty row without an icon, numbered position + 1.
    void insertBlank(int position);
    void removeAt(int position);
    /// Numbers the rows from position (0-based) to the end one higher and
    /// empties their "Shown" and "Last" cells; sorting goes off.
    void renumberFrom(int position);
    /// Inserts a copy of the row (number, icon, slide, sound, pause) below it.
    void copyRow(int position);
    /// Toggles the skip icon of each row.
    void toggleSkip(const QList<int>& positions);
    /// Moves a row to another position (its place before the move);
    /// sorting goes off. False when nothing moved.
    bool moveRowTo(int from, int to);
    /// Appends a row per file, numbered by the new row count.
    void appendFiles(const QStringList& paths);

    /// Sorts by a column's text; while sorting is on, appended rows take
    /// their place in the order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    bool sortingOn() const { return m_sortingOn; }
    void setSortingOff() { m_sortingOn = false; }
    /// Re-sorts when sorting is on (after rows were appended).
    void keepSorted();

    /// Whether the rows changed since they were loaded.
    bool edited() const { return m_edited; }
    void setEdited(bool edited) { m_edited = edited; }

    /// The numeric value of a pause cell: its leading number (empty is 0),
    /// in 32 bits so large pauses survive.
    static qint32 pauseValue(const QString& text);
    /// The formats of the list: "0000", "###" and "hh:nn:ss".
    static QString formatNumber(qint32 number);
    static QString formatCount(qint32 count);
    static QString formatTime(double automationDate);

    // Rows are dragged within the list; files are dropped onto it.
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

Q_SIGNALS:
    /// Files from outside were dropped and appended.
    void filesDropped(const QStringList& paths);
    /// A row was dragged to another place.
    void rowMoved(int to);

private:
    void changed() { m_edited = true; }

    std::vector<ListEditRow> m_rows;
    QIcon m_skipped;
    QIcon m_shown;
    bool m_sortingOn = false;
    int m_sortColumn = Number;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_edited = false;
};
