// A desktop's dark colour scheme as the Fusion style shows it: light text
// on dark window and base colours.
#pragma once

#include <QPalette>
#include <QStyle>

inline QPalette darkPalette(const QStyle &fusion)
{
    QPalette dark = fusion.standardPalette();
    for (const auto role :
         {QPalette::Window, QPalette::Button, QPalette::Base, QPalette::AlternateBase})
        dark.setColor(role, role == QPalette::Base ? QColor(42, 42, 42) : QColor(58, 58, 58));
    for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        dark.setColor(role, Qt::white);
    return dark;
}
