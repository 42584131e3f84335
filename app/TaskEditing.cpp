// Adding and editing tasks: the entry line, the task sheet, the edit panel
// that slides over the table, and the date and recurrence pop-ups.
#include "AppController.h"

void AppController::connectEditingCommands() {}
void AppController::controlTextDidEndEditing() {}
void AppController::newTask() {}
void AppController::newTaskOK() {}
void AppController::newTaskCancel() {}
void AppController::doubleClickInTable() {}
void AppController::switchToEditView() {}
void AppController::saveEditView() {}
void AppController::cancelEditView() {}
void AppController::noDueDate() {}
void AppController::noDueDate2() {}
void AppController::popCalendarMain() {}
void AppController::popCalendarEdit() {}
void AppController::popCalendarEditOK() {}
void AppController::showRecWindow() {}
void AppController::setRecType() {}
void AppController::recWindowOK() {}
void AppController::recWindowCancel() {}
QString AppController::createRecCode() const { return {}; }
void AppController::setRecOptions(const QString &) {}
