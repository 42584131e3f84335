#include "TaskTableModel.h"

#include "Item.h"
#include "TaskRoles.h"
#include "TaskSummary.h"

TaskTableModel::TaskTableModel(std::vector<Item> *items, std::function<QString()> viewTitle,
                               QObject *parent)
    : QAbstractTableModel(parent)
    , items_(items)
    , viewTitle_(std::move(viewTitle))
{
}

void TaskTableModel::reloadData()
{
    beginResetModel();
    endResetModel();
}

int TaskTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(items_->size());
}

int TaskTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

Item *TaskTableModel::itemAt(int row) const
{
    if (row < 0 || size_t(row) >= items_->size())
        return nullptr;
    return &(*items_)[size_t(row)];
}

QVariant TaskTableModel::data(const QModelIndex &index, int role) const
{
    Item *item = itemAt(index.row());
    if (!item)
        return {};
    if (index.column() == checkOffColumn) {
        if (role == Qt::CheckStateRole)
            return TaskSummary::checkBoxIsOn(viewTitle_()) ? Qt::Checked : Qt::Unchecked;
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return item->action();
    case SubTextRole:
        item->hydrate();
        return TaskSummary::summaryText(viewTitle_(), *item);
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
    return section == checkOffColumn ? QStringLiteral("checkOffColumn")
                                     : QStringLiteral("firstColumn");
}
