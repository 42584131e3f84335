// The task table. Rows are tasks of the view on screen; the controller's
// model supplies them.
#pragma once

#include <QTableView>

class MyTableView : public QTableView
{
    Q_OBJECT

public:
    explicit MyTableView(QWidget *parent = nullptr);
};
