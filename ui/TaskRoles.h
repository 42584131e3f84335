// Roles of the task table model beyond Qt's own. The first line of a row is
// Qt::DisplayRole (the task's text); the summary under it travels in its own
// role so that MyCell can draw both from the index alone.
#pragma once

#include <Qt>

enum TaskRole
{
    SubTextRole = Qt::UserRole + 1,
};
