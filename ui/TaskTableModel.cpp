#include "TaskTableModel.h"

#include "InternalError.h"
#include "Item.h"
#include "MyCell.h"
#include "TaskRoles.h"
#include "TaskRows.h"
#include "TaskSummary.h"

#include <QGuiApplication>
#include <QMimeData>
#include <QScreen>
#include <algorithm>
#include <utility>

TaskTableModel::TaskTableModel(TaskRows *rows, std::function<QString()> viewTitle,
                               QObject *parent)
    : QAbstractTableModel(parent)
    , rows_(rows)
    , viewTitle_(std::move(viewTitle))
{
    // The rest of a view read in part joins below the rows shown, so the
    // selection, the scroll position and an open editor stay where they are.
    rows_->setArrival([this](int first, int last, const std::function<void()> &change) {
        if (first < 0) {
            beginResetModel();
            change();
            endResetModel();
        } else if (first > last) {
            change();
        } else {
            beginInsertRows(QModelIndex(), first, last);
            change();
            endInsertRows();
        }
    });
}

void TaskTableModel::reloadData(bool readable)
{
    beginResetModel();
    readFailed_ = !readable;
    pendingFailure_.clear();
    endResetModel();
}

void TaskTableModel::moveRowBefore(int sourceRow, int destinationRow)
{
    rows_->readRest();
    // Qt refuses a move onto the row itself or just below it: nothing moves.
    if (!beginMoveRows(QModelIndex(), sourceRow, sourceRow, QModelIndex(), destinationRow))
        return;
    rows_->move(sourceRow, sourceRow < destinationRow ? destinationRow - 1 : destinationRow);
    endMoveRows();
}

int TaskTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows_->shownCount();
}

int TaskTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

Item *TaskTableModel::itemAt(int row) const
{
    return rows_->record(row);
}

QVariant TaskTableModel::data(const QModelIndex &index, int role) const
{
    Item *item = itemAt(index.row());
    if (!item)
        return {};
    // Drawing never throws: a row that cannot be read draws as such, and
    // the controller tells the user once.
    if (readFailed_ && !item->hydrated())
        return role == Qt::DisplayRole && index.column() == firstColumn ? unreadableText()
                                                                         : QVariant();
    try {
        return rowData(*item, index.column(), role);
    } catch (const InternalError &error) {
        readFailed_ = true;
        pendingFailure_ = error.description();
        emit const_cast<TaskTableModel *>(this)->readFailed();
        return role == Qt::DisplayRole && index.column() == firstColumn ? unreadableText()
                                                                         : QVariant();
    }
}

int TaskTableModel::rowsOnAScreen()
{
    int tallest = 0;
    for (const QScreen *screen : QGuiApplication::screens())
        tallest = std::max(tallest, screen->availableGeometry().height());
    return tallest / MyCell::RowHeight + 1;
}

QString TaskTableModel::takeReadFailure()
{
    return std::exchange(pendingFailure_, QString());
}

QString TaskTableModel::unreadableText()
{
    return tr("(this task cannot be read from the database)");
}

QVariant TaskTableModel::rowData(Item &item, int column, int role) const
{
    if (column == checkOffColumn) {
        if (role == Qt::CheckStateRole)
            return TaskSummary::checkBoxIsOn(viewTitle_()) ? Qt::Checked : Qt::Unchecked;
        if (role == Qt::AccessibleTextRole)
            return tr("Check off %1").arg(item.action());
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return item.action();
    case SubTextRole:
        item.hydrate();
        return TaskSummary::summaryText(viewTitle_(), item);
    default:
        return {};
    }
}

bool TaskTableModel::setData(const QModelIndex &index, const QVariant &, int role)
{
    // The box never changes by itself: checking off is a command that
    // changes the task and reloads the view.
    if (index.column() != checkOffColumn || role != Qt::CheckStateRole || !itemAt(index.row()))
        return false;
    emit checkOffClicked(index.row());
    return false;
}

Qt::ItemFlags TaskTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    if (index.column() == checkOffColumn)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant TaskTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    // What a screen reader says for the columns.
    return section == checkOffColumn ? tr("Done") : tr("Task");
}

QStringList TaskTableModel::mimeTypes() const
{
    return {QString::fromLatin1(dragType)};
}

QMimeData *TaskTableModel::mimeData(const QModelIndexList &indexes) const
{
    QList<int> rows;
    for (const QModelIndex &index : indexes)
        if (!rows.contains(index.row()))
            rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    QByteArrayList numbers;
    for (int row : rows)
        numbers << QByteArray::number(row);
    auto *data = new QMimeData;
    data->setData(QString::fromLatin1(dragType), numbers.join(','));
    return data;
}

QList<int> TaskTableModel::draggedRows(const QMimeData *data)
{
    QList<int> rows;
    if (!data || !data->hasFormat(QString::fromLatin1(dragType)))
        return rows;
    // The payload is plain text ("0,3,4"), so a damaged one is simply
    // refused: every number must read and no row may be negative.
    for (const QByteArray &number : data->data(QString::fromLatin1(dragType)).split(',')) {
        bool ok = false;
        const int row = number.toInt(&ok);
        if (!ok || row < 0)
            return {};
        rows.append(row);
    }
    return rows;
}

Qt::DropActions TaskTableModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

bool TaskTableModel::canDropMimeData(const QMimeData *data, Qt::DropAction, int, int,
                                     const QModelIndex &) const
{
    return data && data->hasFormat(QString::fromLatin1(dragType));
}

bool TaskTableModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int,
                                  const QModelIndex &parent)
{
    if (action == Qt::IgnoreAction)
        return true;
    const QList<int> rows = draggedRows(data);
    if (rows.isEmpty())
        return false;
    // Between rows Qt gives the row; on a row, the row is the parent's; on
    // the empty space below the last row, neither.
    int destination = row < 0 && parent.isValid() ? parent.row() : row;
    if (destination < 0) {
        // Below the whole view's last row. Called from Qt's drop handling,
        // so a failure to read the rest is told the way a drawn row's is.
        try {
            rows_->readRest();
        } catch (const InternalError &error) {
            pendingFailure_ = error.description();
            emit readFailed();
            return false;
        }
        destination = rowCount();
    }
    emit rowDropped(rows.first(), destination);
    // The controller has rewritten the order itself; Qt must not also
    // remove the dragged rows as it would after an ordinary move.
    return false;
}
