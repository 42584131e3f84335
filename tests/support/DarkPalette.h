// A desktop's dark colour scheme as the Fusion style shows it: light text
// on dark window and base colours. For the checks and pictures of how
// Wendra looks in the dark.
#pragma once

#include <QPalette>
#include <QStyle>

inline QPalette darkPalette(const QStyle &fusion)
{
    QPalette dark = fusion.standardPalette();
    dark.setColor(QPalette::Window, QColor(53, 53, 53));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor(42, 42, 42));
    dark.setColor(QPalette::AlternateBase, QColor(66, 66, 66));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Button, QColor(53, 53, 53));
    dark.setColor(QPalette::ButtonText, Qt::white);
    dark.setColor(QPalette::ToolTipBase, QColor(53, 53, 53));
    dark.setColor(QPalette::ToolTipText, Qt::white);
    dark.setColor(QPalette::PlaceholderText, QColor(160, 160, 160));
    return dark;
}
