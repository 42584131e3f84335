// The task table's model: a thin view over the controller's rows. Row N is
// the task of the view's Nth key; its record is read when the row is drawn
// and kept only while the row is among those drawn lately, so a view of many
// thousand tasks holds its keys and a few screens of records.
#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <vector>

class Item;
class TaskRows;

class TaskTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { checkOffColumn = 0, firstColumn = 1 };

    // viewTitle gives the name of the view on screen; the summary line and
    // the check boxes depend on it.
    TaskTableModel(TaskRows *rows, std::function<QString()> viewTitle,
                   QObject *parent = nullptr);

    // Everything changed: the controller replaced its rows. With readable
    // false the file is known to fail: rows not yet read draw as unreadable
    // at once, without another wait for the file and without a report.
    void reloadData(bool readable = true);
    // Moves the row at sourceRow before destinationRow (a row number from
    // before the move), keeping every record as it is: the rows stay drawn
    // and the selection and scroll position follow them.
    void moveRowBefore(int sourceRow, int destinationRow);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Rows are dragged only inside this table, as a list of row numbers
    // under the private type "MyPrivateTableViewDataType".
    static constexpr const char *dragType = "MyPrivateTableViewDataType";
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDropActions() const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;
    // The most rows a window can show at once on the tallest screen: how
    // many rows of a long view to read before its window first appears.
    static int rowsOnAScreen();
    // Why a row could not be drawn, once; null when that is already told or
    // the rows were reloaded since (a report that arrives late is stale).
    QString takeReadFailure();
    // What a row that cannot be read shows instead of its title.
    static QString unreadableText();
    // The rows a drag payload names; empty when it names none.
    static QList<int> draggedRows(const QMimeData *data);

signals:
    // The user clicked the check box of a row.
    void checkOffClicked(int row);
    // Rows were dropped: the first dragged row goes before destinationRow.
    void rowDropped(int sourceRow, int destinationRow);
    // A row could not be read from the database while it was drawn. Sent
    // once until the next reloadData: the rows not yet read then draw as
    // unreadable without waiting for the file again at every repaint. Also
    // sent when a drop could not read the rest of the view.
    void readFailed();

private:
    Item *itemAt(int row) const;
    QVariant rowData(Item &item, int column, int role) const;

    mutable bool readFailed_ = false;
    mutable QString pendingFailure_;

    TaskRows *rows_;
    std::function<QString()> viewTitle_;
};
