#include "EditWindowSubClass.h"

#include <QPainter>

EditWindowSubClass::EditWindowSubClass(QWidget *parent)
    : QWidget(parent)
{
}

void EditWindowSubClass::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), background());
}
