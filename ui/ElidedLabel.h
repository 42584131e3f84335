// A label that shows as much of its text as fits and an ellipsis for the
// rest, and never asks for more width than the window has. The main window's
// title label holds the name of the view on screen, and a list name can be
// any length; text() always returns the whole name.
#pragma once

#include <QLabel>

class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The text as drawn in a given width.
    QString elidedText(int width) const;

protected:
    void paintEvent(QPaintEvent *event) override;
};
