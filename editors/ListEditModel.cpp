// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/ListEditModel.h"

#include "editors/SlideText.h"
#include "platform/VbConvert.h"
#include "show/colURLs.h"

#include <QDataStream>
#include <QIODevice>
#include <QMimeData>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

const QString RowMimeType = QStringLiteral("application/x-pagewheel-listrow");

const char* const Headers[ListEditModel::ColumnCount] = {"Number", "Slide", "Sound",
                                                         "Pause",  "Shown", "Last"};

ListEditRow::Icon iconOf(bool skipped)
{
    return skipped ? ListEditRow::Icon::Skipped : ListEditRow::Icon::Shown;
}

} // namespace

ListEditModel::ListEditModel(QObject* parent) : QAbstractTableModel(parent)
{
}

void ListEditModel::setIcons(const QIcon& skipped, const QIcon& shown)
{
    m_skipped = skipped;
    m_shown = shown;
}

QString ListEditModel::formatNumber(qint32 number)
{
    return QStringLiteral("%1").arg(number, 4, 10, QLatin1Char('0'));
}

QString ListEditModel::formatCount(qint32 count)
{
    return count == 0 ? QString() : QString::number(count);
}

QString ListEditModel::formatTime(double automationDate)
{
    if (!(automationDate > 0))
        return QString();
    const double fraction = automationDate - std::floor(automationDate);
    const qint64 seconds = qint64(std::llround(fraction * 86400.0)) % 86400;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

qint32 ListEditModel::pauseValue(const QString& text)
{
    // Nearly every cell is empty or a few plain digits: those need no
    // detour through floating point.
    if (text.size() <= 9) {
        qint32 plain = 0;
        bool digitsOnly = true;
        for (const QChar c : text) {
            if (c < u'0' || c > u'9') {
                digitsOnly = false;
                break;
            }
            plain = plain * 10 + (c.unicode() - u'0');
        }
        if (digitsOnly)
            return plain;
    }
    qint32 value = 0;
    if (!VbConvert::toInt32(VbConvert::Val(text), &value))
        return 0;
    return value;
}

void ListEditModel::LoadList(const colURLs& show)
{
    const int first = int(m_rows.size());
    if (show.Count() == 0)
        return;
    beginInsertRows(QModelIndex(), first, first + show.Count() - 1);
    m_rows.reserve(m_rows.size() + std::size_t(show.Count()));
    qint32 number = 0;
    for (const auto& slide : show) {
        ListEditRow& row = m_rows.emplace_back();
        row.number = ++number;
        row.slide = slide->HREF;
        row.sound = slide->SoundFile;
        row.pause = formatCount(slide->PauseTime);
        row.shown = slide->TimesShown;
        row.last = slide->DateLastVisited;
        row.icon = iconOf(slide->SkipField);
    }
    endInsertRows();
}

void ListEditModel::clear()
{
    beginResetModel();
    std::vector<ListEditRow>().swap(m_rows);
    m_sortingOn = false;
    m_edited = false;
    endResetModel();
}

void ListEditModel::SaveList(colURLs& show) const
{
    const qint32 count = qint32(m_rows.size());
    if (count != show.Count()) {
        show.EraseAll();
        for (const ListEditRow& row : m_rows)
            show.Add(row.slide, row.sound, pauseValue(row.pause),
                     row.icon == ListEditRow::Icon::Skipped);
        return;
    }
    qint32 position = 0;
    for (const auto& slide : show) {
        const ListEditRow& row = m_rows[std::size_t(position++)];
        // Rows loaded from the show share its texts: most need no copy.
        if (!row.slide.isSharedWith(slide->HREF))
            slide->HREF = row.slide;
        if (!row.sound.isSharedWith(slide->SoundFile))
            slide->SoundFile = row.sound;
        slide->PauseTime = pauseValue(row.pause);
        slide->SkipField = row.icon == ListEditRow::Icon::Skipped;
    }
}

int ListEditModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ListEditModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString ListEditModel::text(int position, int column) const
{
    const ListEditRow& row = m_rows[std::size_t(position)];
    switch (column) {
    case Number:
        return formatNumber(row.number);
    case Slide:
        return row.slide;
    case Sound:
        return row.sound;
    case Pause:
        return row.pause;
    case Shown:
        return formatCount(row.shown);
    case Last:
        return formatTime(row.last);
    default:
        return QString();
    }
}

QVariant ListEditModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return QVariant();
    const ListEditRow& row = m_rows[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row(), index.column());
    case Qt::DecorationRole:
        if (index.column() != Number || row.icon == ListEditRow::Icon::None)
            return QVariant();
        return row.icon == ListEditRow::Icon::Skipped ? m_skipped : m_shown;
    case Qt::AccessibleDescriptionRole:
        // The icon is the skip flag: a screen reader says it in words.
        if (index.column() == Number && row.icon == ListEditRow::Icon::Skipped)
            return QStringLiteral("Skipped");
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant ListEditModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal && section >= 0 && section < ColumnCount)
        return QString::fromLatin1(Headers[section]);
    if (orientation == Qt::Vertical)
        return section + 1;
    return QVariant();
}

Qt::ItemFlags ListEditModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

void ListEditModel::setRowValues(int position, const QString& slide, const QString& sound,
                                 const QString& pause, bool skipped)
{
    ListEditRow& row = m_rows[std::size_t(position)];
    row.slide = slide;
    row.sound = sound;
    row.pause = pause;
    row.icon = iconOf(skipped);
    changed();
    Q_EMIT dataChanged(index(position, 0), index(position, ColumnCount - 1));
}

void ListEditModel::setSound(int position, const QString& sound)
{
    m_rows[std::size_t(position)].sound = sound;
    changed();
    Q_EMIT dataChanged(index(position, Sound), index(position, Sound));
}

void ListEditModel::insertBlank(int position)
{
    beginInsertRows(QModelIndex(), position, position);
    ListEditRow row;
    row.number = position + 1;
    row.icon = ListEditRow::Icon::None;
    m_rows.insert(m_rows.begin() + position, std::move(row));
    changed();
    endInsertRows();
}

void ListEditModel::removeAt(int position)
{
    if (position < 0 || position >= int(m_rows.size()))
        return;
    beginRemoveRows(QModelIndex(), position, position);
    m_rows.erase(m_rows.begin() + position);
    changed();
    endRemoveRows();
}

void ListEditModel::renumberFrom(int position)
{
    m_sortingOn = false;
    for (int i = int(m_rows.size()) - 1; i >= position; --i) {
        ListEditRow& row = m_rows[std::size_t(i)];
        row.number = i + 2;
        row.shown = 0;
        row.last = 0;
    }
    if (position < int(m_rows.size()))
        Q_EMIT dataChanged(index(position, 0), index(int(m_rows.size()) - 1, ColumnCount - 1));
}

void ListEditModel::copyRow(int position)
{
    renumberFrom(position + 1);
    ListEditRow copy = m_rows[std::size_t(position)];
    copy.shown = 0;
    copy.last = 0;
    beginInsertRows(QModelIndex(), position + 1, position + 1);
    m_rows.insert(m_rows.begin() + position + 1, std::move(copy));
    changed();
    endInsertRows();
}

void ListEditModel::toggleSkip(const QList<int>& positions)
{
    for (const int position : positions) {
        ListEditRow& row = m_rows[std::size_t(position)];
        row.icon = row.icon == ListEditRow::Icon::Shown ? ListEditRow::Icon::Skipped
                                                        : ListEditRow::Icon::Shown;
        changed();
        Q_EMIT dataChanged(index(position, Number), index(position, Number));
    }
}

bool ListEditModel::moveRowTo(int from, int to)
{
    const int count = int(m_rows.size());
    if (from < 0 || from >= count || to < 0 || to >= count || from == to)
        return false;
    m_sortingOn = false;
    // The moved row lands where the drop row stood; its copy keeps the
    // number, icon and the three data cells.
    ListEditRow moved = m_rows[std::size_t(from)];
    moved.shown = 0;
    moved.last = 0;
    const int destination = to > from ? to + 1 : to;
    beginMoveRows(QModelIndex(), from, from, QModelIndex(), destination);
    m_rows.erase(m_rows.begin() + from);
    m_rows.insert(m_rows.begin() + to, std::move(moved));
    changed();
    endMoveRows();
    return true;
}

void ListEditModel::appendFiles(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    const int first = int(m_rows.size());
    beginInsertRows(QModelIndex(), first, first + int(paths.size()) - 1);
    for (const QString& path : paths) {
        ListEditRow& row = m_rows.emplace_back();
        row.number = qint32(m_rows.size());
        row.slide = path;
    }
    changed();
    endInsertRows();
}

void ListEditModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        return;
    m_sortingOn = true;
    m_sortColumn = column;
    m_sortOrder = order;
    keepSorted();
}

void ListEditModel::keepSorted()
{
    if (!m_sortingOn || m_rows.size() < 2)
        return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    // Sort positions by their cell text, then carry the rows along.
    std::vector<int> order(m_rows.size());
    std::vector<QString> keys(m_rows.size());
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        order[i] = int(i);
        keys[i] = text(int(i), m_sortColumn);
    }
    const bool descending = m_sortOrder == Qt::DescendingOrder;
    std::stable_sort(order.begin(), order.end(), [&keys, descending](int a, int b) {
        const int compared =
            QString::compare(keys[std::size_t(a)], keys[std::size_t(b)], Qt::CaseInsensitive);
        return descending ? compared > 0 : compared < 0;
    });
    std::vector<ListEditRow> sorted;
    sorted.reserve(m_rows.size());
    std::vector<int> newPlace(m_rows.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        sorted.push_back(std::move(m_rows[std::size_t(order[i])]));
        newPlace[std::size_t(order[i])] = int(i);
    }
    m_rows.swap(sorted);
    changed();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before)
        after.append(index(newPlace[std::size_t(old.row())], old.column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

Qt::DropActions ListEditModel::supportedDropActions() const
{
    return Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
}

Qt::DropActions ListEditModel::supportedDragActions() const
{
    // The drop moves the row itself: the view must not remove it again.
    return Qt::CopyAction;
}

QStringList ListEditModel::mimeTypes() const
{
    return {RowMimeType, QStringLiteral("text/uri-list")};
}

QMimeData* ListEditModel::mimeData(const QModelIndexList& indexes) const
{
    if (indexes.isEmpty())
        return nullptr;
    auto* data = new QMimeData;
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << quintptr(this) << qint32(indexes.first().row());
    data->setData(RowMimeType, bytes);
    return data;
}

bool ListEditModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int,
                                    const QModelIndex&) const
{
    return data && (data->hasFormat(RowMimeType) || data->hasUrls());
}

bool ListEditModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int,
                                 const QModelIndex& parent)
{
    if (!data || action == Qt::IgnoreAction)
        return false;
    if (data->hasFormat(RowMimeType)) {
        QDataStream stream(data->data(RowMimeType));
        quintptr source = 0;
        qint32 from = -1;
        stream >> source >> from;
        if (source != quintptr(this))
            return false;
        // The row under the pointer; none (below the last row) moves nothing.
        const int to = parent.isValid() ? parent.row() : row;
        if (to < 0 || to >= int(m_rows.size()))
            return false;
        if (m_rows[std::size_t(to)].number == m_rows[std::size_t(from)].number)
            return false;
        if (!moveRowTo(from, to))
            return false;
        Q_EMIT rowMoved(to);
        return true;
    }
    QStringList files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    }
    files = SlideText::acceptFiles(files);
    if (files.isEmpty())
        return false;
    appendFiles(files);
    Q_EMIT filesDropped(files);
    return true;
}
