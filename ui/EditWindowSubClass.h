// The background of the edit panel that slides over the task table: a flat
// light grey, so the panel reads as a sheet over the rows.
#pragma once

#include <QWidget>

class EditWindowSubClass : public QWidget
{
    Q_OBJECT

public:
    explicit EditWindowSubClass(QWidget *parent = nullptr);

    static QColor background() { return QColor::fromRgbF(0.85f, 0.85f, 0.85f); }

protected:
    void paintEvent(QPaintEvent *event) override;
};
