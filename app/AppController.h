// AppController: the one central object of Wendra. It owns the database
// connection, the array of lists and the array of task rows on screen, builds
// the windows from their Designer files, and is the target of every command.
//
// The generated Ui classes are private bases, so each control is reached by
// its own name (taskField, bigEditWindowAction, recWMonday, ...) and command
// bodies read like what they do.
#pragma once

#include "CalendarSync.h"
#include "Category.h"
#include "Item.h"
#include "TaskRows.h"
#include "ui_CalendarPop.h"
#include "ui_InitWindow.h"
#include "ui_ListSheet.h"
#include "ui_MainWindow.h"
#include "ui_PrefsPanel.h"
#include "ui_RecWindow.h"
#include "ui_TaskSheet.h"

#include <QObject>
#include <QUrl>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QDialog;
class QMainWindow;
class LumAttachedWindow;
class QAction;
class QMenu;
class TaskTableModel;
class WindowSizer;
struct sqlite3;

class AppController : public QObject,
                      private Ui::MainWindow,
                      private Ui::TaskSheet,
                      private Ui::CalendarPop,
                      private Ui::ListSheet,
                      private Ui::RecWindow,
                      private Ui::PrefsPanel,
                      private Ui::InitWindow
{
    Q_OBJECT

public:
    // Builds the windows and subscribes popUp to the keyboard alert; nothing
    // touches the database until awakeFromNib.
    explicit AppController(QObject *parent = nullptr);
    ~AppController() override;

    // Start-up: database file, lists and first list, table, windows. Raises
    // InternalError when the database cannot be created or opened.
    void awakeFromNib();
    // Shutdown: finalises the records' class-wide statements.
    void applicationWillTerminate();

    static AppController *sharedInstance();

    QString pathForDBFile() const;
    void createEditableCopyOfDatabaseIfNeeded();
    void initializeDatabase();

    // Where the template database comes from; tests point it elsewhere.
    void setTemplatePath(const QString &path) { templatePath_ = path; }
    // Where the help and support pages live; one place for both.
    static QUrl siteBase();

    sqlite3 *database() const { return database_; }
    // Records of the rows of the whole view, each read when first asked
    // for; the rest of a view shown in part is read first.
    std::vector<Item> items();
    const std::vector<Category> &categories() const { return categories_; }
    void setCategories(std::vector<Category> categories) { categories_ = std::move(categories); }
    int selectedCat() const { return selectedCat_; }
    // The current list's name; absent when there is no list at all.
    QString currentCategoryName() const;
    // True at full size (see WindowSizer).
    bool windowIsSmall() const;
    int mainWindowHeight() const;
    bool editing() const { return editing_; }

    QMainWindow *mainWindow = nullptr;
    QDialog *bigEditWindow = nullptr;
    QWidget *calendarPop = nullptr;
    QDialog *editListsWindow = nullptr;
    QWidget *recWindow = nullptr;
    QDialog *prefsPanel = nullptr;
    QDialog *initWindow = nullptr;
    QMenu *jumpToCatMenu = nullptr;
    QMenu *popUpMenu = nullptr;

    // Replaces the rows with those of the named view. Does not redraw.
    void loadTasksForCategory(const QString &viewName);
    // Re-reads all lists in table order.
    void reloadLists();
    // The table shows the rows anew ("reloadData").
    void reloadTable();
    int sortOrder() const { return sortBy_; }
    bool showCompleted() const { return showCompleted_; }
    TaskTableModel *tableModel() const { return tableModel_; }
    // The selected row of the table (the last one chosen when several are),
    // or -1 when no row is selected.
    int selectedRow() const;

    // The recurrence editor's controls as a rec code, and back.
    QString createRecCode() const;
    void setRecOptions(const QString &recCode);

    // Moves the task at sourceRow before destinationRow and writes every
    // shown task's manual position. Out-of-range rows change nothing.
    bool acceptDrop(int sourceRow, int destinationRow);
    // Appends the archive of completed tasks to path; says what went wrong
    // in an alert and returns false when nothing could be archived.
    bool archiveCompletedTasksTo(const QString &path);
    // The check box of a row was clicked: that row's task is checked off,
    // whatever is selected and whatever keys are held.
    void checkOffRow(int row);

public slots:
    void showAllTasks();
    void showTodayTasks();
    void showCompletedTasks();
    void nextCategory();
    void previousCategory();
    void jumpToCatNow();
    void jumpToCatNowOK(QAction *picked);
    // The order is the sender's "tag" property (0 manual, 1 title, 2 due
    // date, 3 importance); another tag only reloads.
    void sortBy();
    void toggleShowCompleted();

    // Adding and editing: the entry line, the task sheet, the edit panel,
    // the date and recurrence pop-ups.
    void controlTextDidEndEditing();
    void newTask();
    void newTaskOK();
    void newTaskCancel();
    void doubleClickInTable();
    void switchToEditView();
    void saveEditView();
    void cancelEditView();
    void noDueDate();
    void noDueDate2();
    void popCalendarMain();
    void popCalendarEdit();
    void popCalendarEditOK();
    void showRecWindow();
    void setRecType();
    void recWindowOK();
    void recWindowCancel();

    // Completing, deleting, moving and archiving tasks; lists.
    void completeTask();
    void deleteAction();
    void moveActionToList();
    void moveActionToListOK(QAction *picked);
    void archiveCompletedTasks();
    void clearCompletedTasks();
    void newList();
    void editList();
    void editListOK();
    void editListCancel();
    void deleteList();

    void popUp();
    // The window's size button: full to compact and back.
    void windowsResize();
    void closeInitWindow();
    void showHelp();
    void ContactUs();
    void showShortcuts();
    void showAbout();
    // The view on screen on paper: the print dialog, or a preview first.
    void printDocument();
    void printPreview();

public:
    // The main window's close button hides the application instead.
    bool windowShouldClose();

    // --- Calendar synchronisation (CalendarCommands.cpp) ---
public slots:
    void openPrefs();
    // Another program changed calendar tasks: take the changes over.
    void tasksChanged(const CalendarChanges &changes);
    // Wendra's own saves: link the copies just made to their tasks.
    void tasksChangedFromBellet(const CalendarChanges &changes);

private:
    void connectCalendarCommands();
    // With syncEnabled 1: calendars for the lists, the calendar's tasks
    // taken over, and the store's notifications observed from now on.
    void importCalendarAtStartup();

    CalendarSync calendar_;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A command as Qt calls it. An error the command raises is caught here,
    // before it could unwind through Qt's signal and widget code: the user
    // is told, and the screen is put back in step with the file.
    template<typename Result, typename... Args>
    auto command(Result (AppController::*body)(Args...))
    {
        return [this, body](Args... args) {
            try {
                (this->*body)(args...);
            } catch (const std::exception &error) {
                commandFailed(error);
            }
        };
    }
    void commandFailed(const std::exception &error);
    // A row of the table could not be read while it was drawn.
    void rowsUnreadable();
    // Shows a database failure in one alert naming the file and the problem.
    void reportDatabaseFailure(const QString &what, const QString &description);
    bool failureAlertOpen_ = false;

    void setUpTable();
    // Start-up shows the first screenful of the first list; the rest of a
    // long list follows once the window is on screen.
    void readRestOfView();
    // The compact window's title for the view on screen.
    QString compactTitle() const;
    void rebuildJumpMenu();
    // Shows the named view: label, rows, table.
    void showView(const QString &viewName);
    // Moves to the list at index and shows it (next and previous).
    void selectCategory(int index);
    void buildWindows();
    void buildMenus();
    void connectCommands();

    // --- Adding and editing (TaskEditing.cpp) ---
    void connectEditingCommands();
    bool inCompletedView() const;
    // The task an editor was opened for, as it is in the file now, whatever
    // the view on screen; nothing, after telling the user, when it is gone.
    std::optional<Item> taskBeingEdited(int primaryKey);
    // Inserts a task and writes the fields fill sets, both or neither;
    // returns its key.
    int addTask(const std::function<void(Item &)> &fill);
    void fillListNames(QComboBox *box) const;
    void showDueDate(const Item &task, QDateTimeEdit *picker, QCheckBox *hasDueDate) const;
    void addTaskFromSheet(const QString &recCode);
    void saveSheetToTask(const QString &recCode);
    void writeSheetFields(Item &task, const QString &recCode) const;
    void closeSheet();
    void showError(const QString &message);
    // The alert for the first required recurrence field left empty, or null.
    QString recurrenceError() const;
    struct RecOptions readRecOptions() const;
    void writeRecOptions(const struct RecOptions &options);
    void showRecBox(const struct RecOptions &options);
    void closeRecWindow();
    void openCalendarPop(QAbstractButton *button, const QString &mode, const QDateTimeEdit *picker);
    void closeCalendarPop();
    // A bubble below the centre of button holding view, in front and key.
    LumAttachedWindow *openPopUp(QWidget *view, QAbstractButton *button);
    void closePopUp(QPointer<LumAttachedWindow> &popUp);
    void closeEditView();
    // Slides table and panel to where editing_ wants them; placeEditPanel
    // puts them there at once (start-up, resizes).
    void slideEditPanel();
    void placeEditPanel();

    int sheetTaskKey_ = -1;
    // The task in the edit panel; -1 when nothing is saved from it (none
    // open, or a completed task, which the panel only shows).
    int panelTaskKey_ = -1;
    QPointer<LumAttachedWindow> attachedWindow_;
    QPointer<LumAttachedWindow> recAttachedWindow_;
    QPointer<class QAbstractAnimation> slide_;

    // --- Completing, deleting, moving, lists (TaskCommands.cpp) ---
    void connectTaskCommands();
    // The task of a row, read from the file now so that it can be changed
    // and written; nothing when there is no such row or its task is gone
    // (the view is then reloaded).
    std::optional<Item> taskAt(int row);
    std::optional<Item> selectedTask() { return taskAt(selectedRow()); }
    void completeTaskAt(int row);
    // Loads the view on screen again (the label names it) and redraws.
    void reloadView();
    // Drops a row from the table without reading the view again.
    void removeRow(int row);
    bool askToClearCompleted();
    // Inserts (key -1) or renames a list, reading its row before writing it.
    Category writeList(int key, const QString &name);

    sqlite3 *database_ = nullptr;
    std::vector<Category> categories_;
    TaskRows rows_;
    int selectedCat_ = 0;
    int sortBy_ = 0;
    bool showCompleted_ = false;
    bool editing_ = false;
    bool createdDatabase_ = false;
    QString templatePath_ = QStringLiteral(":/wendra.dbz");
    TaskTableModel *tableModel_ = nullptr;
    std::unique_ptr<WindowSizer> sizer_;

    static AppController *myInstance;
};
