// Completing, deleting, moving and archiving tasks; creating, renaming and
// deleting lists; the manual order set by drag and drop.
#include "AppController.h"

void AppController::connectTaskCommands() {}
void AppController::completeTask() {}
void AppController::deleteAction() {}
void AppController::moveActionToList() {}
void AppController::moveActionToListOK(QAction *) {}
void AppController::archiveCompletedTasks() {}
void AppController::clearCompletedTasks() {}
void AppController::newList() {}
void AppController::editList() {}
void AppController::editListOK() {}
void AppController::editListCancel() {}
void AppController::deleteList() {}
bool AppController::acceptDrop(int, int) { return false; }
