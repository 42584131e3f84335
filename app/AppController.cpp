#include "AppController.h"

#include "AppIdentity.h"
#include "DatabaseFile.h"
#include "HelpPages.h"
#include "InternalError.h"
#include "ManualOrder.h"
#include "MyApplication.h"
#include "MyCell.h"
#include "PrintDocument.h"
#include "RowColors.h"
#include "ShortcutsWindow.h"
#include "TaskTableModel.h"
#include "ViewQuery.h"
#include "WhenShown.h"
#include "WindowSizer.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <limits>
#include <sqlite3.h>

AppController *AppController::myInstance = nullptr;

AppController::AppController(QObject *parent)
    : QObject(parent)
{
    buildWindows();
    buildMenus();
    connectCommands();
    // A second launch of Wendra, like the hot key, asks for the window.
    if (auto *application = qobject_cast<MyApplication *>(QCoreApplication::instance()))
        connect(application, &MyApplication::keyboardAlert, this, command(&AppController::popUp));
}

AppController::~AppController()
{
    if (myInstance == this)
        myInstance = nullptr;
    // The sheets and panels are children of the main window and go with it;
    // the two pop-up views have no parent until a pop-up holds them.
    delete calendarPop;
    delete recWindow;
    delete mainWindow;
    mainWindow = nullptr;
    rows_.setKeys({}, nullptr);
    categories_.clear();
    if (database_) {
        // The connection cannot close while statements are prepared on it.
        applicationWillTerminate();
        sqlite3_close(database_);
    }
}

AppController *AppController::sharedInstance()
{
    return myInstance;
}

void AppController::buildWindows()
{
    mainWindow = new QMainWindow;
    Ui::MainWindow::setupUi(mainWindow);
    mainWindow->installEventFilter(this);

    bigEditWindow = new QDialog(mainWindow);
    bigEditWindow->setWindowModality(Qt::WindowModal);
    Ui::TaskSheet::setupUi(bigEditWindow);

    calendarPop = new QWidget;
    Ui::CalendarPop::setupUi(calendarPop);

    editListsWindow = new QDialog(mainWindow);
    editListsWindow->setWindowModality(Qt::WindowModal);
    Ui::ListSheet::setupUi(editListsWindow);

    recWindow = new QWidget;
    Ui::RecWindow::setupUi(recWindow);

    prefsPanel = new QDialog(mainWindow);
    Ui::PrefsPanel::setupUi(prefsPanel);

    initWindow = new QDialog(mainWindow);
    Ui::InitWindow::setupUi(initWindow);

    jumpToCatMenu = new QMenu(mainWindow);
    jumpToCat->setMenu(jumpToCatMenu);
    popUpMenu = new QMenu(mainWindow);
    moveToCat->setMenu(popUpMenu);

    // A title or note from another program may be longer than a line edit's
    // usual limit; loading it into an editor must not cut it short.
    for (QWidget *window : {static_cast<QWidget *>(mainWindow), calendarPop, recWindow})
        for (QLineEdit *field : window->findChildren<QLineEdit *>())
            field->setMaxLength(std::numeric_limits<int>::max());

    // The dialogs are owned by the main window through their parent.
    bigEditWindow->setObjectName(QStringLiteral("bigEditWindow"));
    editListsWindow->setObjectName(QStringLiteral("editListsWindow"));
    prefsPanel->setObjectName(QStringLiteral("prefsPanel"));
    initWindow->setObjectName(QStringLiteral("initWindow"));
    sizer_ = std::make_unique<WindowSizer>(mainWindow, windowResizeButton, contentArea,
                                           tableScrollView, editWindow);
    calendarPop->setObjectName(QStringLiteral("calendarPop"));
    recWindow->setObjectName(QStringLiteral("recWindow"));
    mainWindow->setObjectName(QStringLiteral("mainWindow"));
}

void AppController::buildMenus()
{
    QMenu *fileMenu = mainWindow->menuBar()->addMenu(tr("&File"));
    fileMenu->addAction(tr("New Task..."), QKeySequence::New, this, command(&AppController::newTask));
    fileMenu->addAction(tr("New List..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N), this,
                        command(&AppController::newList));
    fileMenu->addAction(tr("Rename List..."), this, command(&AppController::editList));
    fileMenu->addAction(tr("Delete List"), this, command(&AppController::deleteList));
    fileMenu->addSeparator();
    fileMenu->addAction(tr("Archive Completed Tasks..."), this,
                        command(&AppController::archiveCompletedTasks));
    fileMenu->addAction(tr("Clear Completed Tasks"), this, command(&AppController::clearCompletedTasks));
    fileMenu->addSeparator();
    fileMenu->addAction(tr("Print Preview..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), this,
                        command(&AppController::printPreview));
    fileMenu->addAction(tr("Print..."), QKeySequence::Print, this,
                        command(&AppController::printDocument));
    fileMenu->addSeparator();
    // The Linux and macOS keys, on every platform: some platforms bind
    // Close to Ctrl+F4 or nothing to Quit.
    fileMenu->addAction(tr("Close Window"), QKeySequence(Qt::CTRL | Qt::Key_W), mainWindow,
                        &QWidget::close);
    fileMenu->addSeparator();
    QAction *quit = fileMenu->addAction(tr("Quit Wendra"), QKeySequence(Qt::CTRL | Qt::Key_Q),
                                        QCoreApplication::instance(), &QCoreApplication::quit);
    quit->setMenuRole(QAction::QuitRole);

    QMenu *taskMenu = mainWindow->menuBar()->addMenu(tr("&Task"));
    taskMenu->addAction(tr("Edit Task..."), QKeySequence(Qt::CTRL | Qt::Key_E), this,
                        command(&AppController::doubleClickInTable));
    taskMenu->addAction(tr("Edit in Panel"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), this,
                        command(&AppController::switchToEditView));
    taskMenu->addAction(tr("Check Off"), QKeySequence(Qt::CTRL | Qt::Key_K), this,
                        command(&AppController::completeTask));
    taskMenu->addAction(tr("Move to List..."), QKeySequence(Qt::CTRL | Qt::Key_M), this,
                        command(&AppController::moveActionToList));
    taskMenu->addAction(tr("Delete Task"), this, command(&AppController::deleteAction))
        ->setShortcuts({QKeySequence::Delete, QKeySequence(Qt::CTRL | Qt::Key_Backspace)});

    QMenu *viewMenu = mainWindow->menuBar()->addMenu(tr("&View"));
    viewMenu->addAction(tr("All Tasks"), QKeySequence(Qt::CTRL | Qt::Key_1), this,
                        command(&AppController::showAllTasks));
    viewMenu->addAction(tr("Today"), QKeySequence(Qt::CTRL | Qt::Key_2), this,
                        command(&AppController::showTodayTasks));
    viewMenu->addAction(tr("Completed"), QKeySequence(Qt::CTRL | Qt::Key_3), this,
                        command(&AppController::showCompletedTasks));
    viewMenu->addSeparator();
    viewMenu->addAction(tr("Previous List"), QKeySequence(Qt::CTRL | Qt::Key_PageUp), this,
                        command(&AppController::previousCategory));
    viewMenu->addAction(tr("Next List"), QKeySequence(Qt::CTRL | Qt::Key_PageDown), this,
                        command(&AppController::nextCategory));
    viewMenu->addAction(tr("Jump to List..."), QKeySequence(Qt::CTRL | Qt::Key_J), this,
                        command(&AppController::jumpToCatNow));
    viewMenu->addSeparator();
    QMenu *sortMenu = viewMenu->addMenu(tr("Sort By"));
    const struct
    {
        const char *title;
        int tag;
    } orders[] = {{"Manual Order", 0}, {"Title", 1}, {"Due Date", 2}, {"Importance", 3}};
    for (const auto &order : orders) {
        QAction *action = sortMenu->addAction(tr(order.title), this, command(&AppController::sortBy));
        action->setProperty("tag", order.tag);
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key(Qt::Key_0 + order.tag)));
    }
    viewMenu->addAction(tr("Show Completed Tasks"), this, command(&AppController::toggleShowCompleted));

    QMenu *helpMenu = mainWindow->menuBar()->addMenu(tr("&Help"));
    helpMenu->addAction(tr("Wendra Help"), QKeySequence::HelpContents, this,
                        command(&AppController::showHelp));
    helpMenu->addAction(tr("Keyboard Shortcuts"), QKeySequence(Qt::CTRL | Qt::Key_Slash), this,
                        command(&AppController::showShortcuts));
    helpMenu->addAction(tr("Contact Us"), this, command(&AppController::ContactUs));
    helpMenu->addSeparator();
    helpMenu->addAction(tr("About Wendra"), this, command(&AppController::showAbout))
        ->setMenuRole(QAction::AboutRole);
}

void AppController::connectCommands()
{
    connect(initStart, &QPushButton::clicked, this, command(&AppController::closeInitWindow));
    connect(initWindow, &QDialog::rejected, this, command(&AppController::closeInitWindow));
    connect(previousCategoryBut, &QToolButton::clicked, this, command(&AppController::previousCategory));
    connect(nextCategoryBut, &QToolButton::clicked, this, command(&AppController::nextCategory));
    connect(windowResizeButton, &QToolButton::clicked, this, command(&AppController::windowsResize));
    // The menu is built afresh each time it opens, so it always shows the
    // lists as they are now.
    connect(jumpToCatMenu, &QMenu::aboutToShow, this, command(&AppController::rebuildJumpMenu));
    connect(jumpToCatMenu, &QMenu::triggered, this, command(&AppController::jumpToCatNowOK));
    connectEditingCommands();
    connectTaskCommands();
    connectCalendarCommands();
}

QString AppController::pathForDBFile() const
{
    return DatabaseFile::pathForDBFile();
}

void AppController::createEditableCopyOfDatabaseIfNeeded()
{
    createdDatabase_ = !QFileInfo::exists(pathForDBFile());
    DatabaseFile::createEditableCopyOfDatabaseIfNeeded(templatePath_);
}

void AppController::initializeDatabase()
{
    rows_.setKeys({}, nullptr);
    setCategories({});
    database_ = DatabaseFile::open(pathForDBFile());

    std::vector<Category> categories;
    for (int key : ViewQuery::categoryKeysByName(database_))
        categories.emplace_back(key, database_);
    setCategories(std::move(categories));

    // With no list at all there is nothing to show; the window still comes
    // up, empty, and the user can make a list.
    const QString firstList = currentCategoryName();
    if (firstList.isNull())
        return;
    // A screenful for the first frame; a long list is read whole right after
    // it, or before, when a command needs it sooner.
    const int screenful = TaskTableModel::rowsOnAScreen();
    rows_.setFirstKeys(ViewQuery::openTaskKeysOfList(database_, firstList, screenful), database_,
                       [this, firstList] {
                           return ViewQuery::openTaskKeysOfList(database_, firstList);
                       });
}

std::vector<Item> AppController::items()
{
    std::vector<Item> items;
    items.reserve(size_t(rows_.size()));
    for (int key : rows_.keys())
        items.push_back(Item::deferred(key, database_));
    return items;
}

QString AppController::currentCategoryName() const
{
    if (selectedCat_ < 0 || size_t(selectedCat_) >= categories_.size())
        return QString();
    return categories_[size_t(selectedCat_)].name();
}

void AppController::awakeFromNib()
{
    createEditableCopyOfDatabaseIfNeeded();
    selectedCat_ = 0;
    initializeDatabase();
    editing_ = false;
    setUpTable();
    selectedCatName->setText(currentCategoryName());
    if (auto *application = qobject_cast<MyApplication *>(QCoreApplication::instance()))
        application->registerHotKey();
    myInstance = this;
    showCompleted_ = false;
    // The edit panel lies over the table and slides in only while editing.
    placeEditPanel();
    sizer_->restoreFrame();
    mainWindow->show();
    if (createdDatabase_)
        initWindow->show();
    taskField->setFocus();
    reloadTable();
    // Over a large calendar folder the import takes a while: the first list
    // is on screen before it starts.
    WhenShown::call(mainWindow, command(&AppController::importCalendarAtStartup));
    // The rest of a long first list, once the first frame is drawn; an
    // import that runs sooner reads it itself, as it counts the rows.
    WhenShown::call(mainWindow, command(&AppController::readRestOfView));
}

void AppController::readRestOfView()
{
    rows_.readRest();
}

void AppController::setUpTable()
{
    tableModel_ = new TaskTableModel(&rows_, [this] { return selectedCatName->text(); }, this);
    // Row heights first: set once the first list's rows exist, they would
    // be set row by row, a hundred thousand times for a long list.
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(35);
    table->setModel(tableModel_);
    table->setItemDelegateForColumn(TaskTableModel::firstColumn, new MyCell(table));
    table->horizontalHeader()->setSectionResizeMode(TaskTableModel::checkOffColumn,
                                                    QHeaderView::Fixed);
    table->horizontalHeader()->resizeSection(TaskTableModel::checkOffColumn, 26);
    table->horizontalHeader()->setSectionResizeMode(TaskTableModel::firstColumn,
                                                    QHeaderView::Stretch);
    RowColors::applyAlternatingRowColors(*table);
    connect(tableModel_, &TaskTableModel::checkOffClicked, this, command(&AppController::checkOffRow));
    // Queued: the alert must not open in the middle of painting the table.
    connect(tableModel_, &TaskTableModel::readFailed, this, &AppController::rowsUnreadable,
            Qt::QueuedConnection);
    // Rows are reordered by dragging them inside the table.
    table->setDragEnabled(true);
    table->setAcceptDrops(true);
    table->setDropIndicatorShown(true);
    table->setDragDropMode(QAbstractItemView::DragDrop);
    table->setDefaultDropAction(Qt::MoveAction);
    connect(tableModel_, &TaskTableModel::rowDropped, this, command(&AppController::acceptDrop));
    // A right click anywhere in the table offers the commands on the selected tasks.
    auto *moveItems = new QMenu(table);
    moveItems->addAction(tr("Move to List..."), this, command(&AppController::moveActionToList));
    moveItems->addAction(tr("Delete"), this, command(&AppController::deleteAction));
    table->setMoveItems(moveItems);
}

void AppController::commandFailed(const std::exception &error)
{
    const auto *internal = dynamic_cast<const InternalError *>(&error);
    const QString description =
        internal ? internal->description() : QString::fromLocal8Bit(error.what());
    qCritical("Wendra: a command failed%s%s: %s", internal ? " in " : "",
              internal ? qPrintable(internal->where()) : "", qPrintable(description));
    reportDatabaseFailure(tr("The change was not saved."), description);
    // The rows on screen may hold changes that were never written: show the
    // view as the file has it once the user has read the alert (a lock may
    // be gone by then). When even that cannot be read, the rows say so until
    // the next command reads them again.
    try {
        reloadView();
    } catch (const std::exception &) {
        rows_.forgetRecords();
        tableModel_->reloadData(false);
    }
}

void AppController::rowsUnreadable()
{
    if (const QString description = tableModel_->takeReadFailure(); !description.isNull())
        reportDatabaseFailure(tr("Some tasks cannot be shown."), description);
}

void AppController::reportDatabaseFailure(const QString &what, const QString &description)
{
    // One alert at a time: a failure found while one is open (the table
    // redrawn behind it) is the same problem.
    if (failureAlertOpen_)
        return;
    failureAlertOpen_ = true;
    QMessageBox alert(QMessageBox::Warning, QStringLiteral("Error"),
                      tr("%1\n\n%2\n\nDatabase file: %3").arg(what, description, pathForDBFile()),
                      QMessageBox::NoButton, mainWindow);
    alert.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    alert.exec();
    failureAlertOpen_ = false;
}

int AppController::selectedRow() const
{
    const QModelIndexList rows = table->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return -1;
    const int current = table->currentIndex().row();
    for (const QModelIndex &row : rows)
        if (row.row() == current)
            return current;
    return rows.last().row();
}

void AppController::reloadTable()
{
    tableModel_->reloadData();
}

void AppController::loadTasksForCategory(const QString &viewName)
{
    // Real local day starts: a day on which the clock changes is 23 or 25
    // hours long, and "Today" must still end where the next day begins.
    const auto [dayStart, dayEnd] = ViewQuery::dayBounds(QDate::currentDate());
    // The rows are replaced only once the new ones are read: a query that
    // fails leaves the view as it was rather than empty.
    rows_.setKeys(ViewQuery::taskKeys(database_, viewName, sortBy_, dayStart, dayEnd), database_);
}

void AppController::reloadLists()
{
    std::vector<Category> categories;
    for (int key : ViewQuery::categoryKeys(database_))
        categories.emplace_back(key, database_);
    setCategories(std::move(categories));
}

void AppController::showView(const QString &viewName)
{
    selectedCatName->setText(viewName);
    loadTasksForCategory(viewName);
    reloadTable();
}

void AppController::showAllTasks()
{
    showView(QString::fromLatin1(ViewQuery::allTasks));
}

void AppController::showTodayTasks()
{
    showView(QString::fromLatin1(ViewQuery::today));
}

void AppController::showCompletedTasks()
{
    showView(QString::fromLatin1(ViewQuery::completed));
}

void AppController::selectCategory(int index)
{
    selectedCat_ = index;
    showView(currentCategoryName());
    sizer_->setCompactTitle(compactTitle());
}

void AppController::nextCategory()
{
    if (editing_ || size_t(selectedCat_) + 1 >= categories_.size())
        return;
    selectCategory(selectedCat_ + 1);
}

void AppController::previousCategory()
{
    // Also guards against an index left past the end by a deleted list.
    if (editing_ || selectedCat_ <= 0 || size_t(selectedCat_) > categories_.size())
        return;
    selectCategory(selectedCat_ - 1);
}

void AppController::rebuildJumpMenu()
{
    jumpToCatMenu->clear();
    for (size_t index = 0; index < categories_.size(); ++index) {
        QString title = categories_[index].name();
        // An ampersand in a list name is text, not a keyboard mnemonic.
        QAction *action = jumpToCatMenu->addAction(title.replace(QLatin1Char('&'), "&&"));
        action->setData(int(index));
    }
    jumpToCatMenu->addSeparator();
    for (const char *view : {ViewQuery::allTasks, ViewQuery::today, ViewQuery::completed})
        jumpToCatMenu->addAction(QString::fromLatin1(view))->setData(-1);
}

void AppController::jumpToCatNow()
{
    jumpToCat->showMenu();
}

void AppController::jumpToCatNowOK(QAction *picked)
{
    if (!picked)
        return;
    const int index = picked->data().toInt();
    const bool isList = index >= 0 && size_t(index) < categories_.size();
    const QString title = isList ? categories_[size_t(index)].name()
                                 : picked->text().replace(QLatin1String("&&"), "&");
    selectedCatName->setText(title);
    loadTasksForCategory(title);
    // A list that carries a built-in view's name shows that view and, like
    // the view itself, leaves the current list where it was.
    if (isList && !ViewQuery::isBuiltInView(title))
        selectedCat_ = index;
    reloadTable();
}

void AppController::sortBy()
{
    const QVariant tag = sender() ? sender()->property("tag") : QVariant();
    bool ok = false;
    const int order = tag.toInt(&ok);
    if (ok && order >= 0 && order <= 3)
        sortBy_ = order;
    // The order applies to the view on screen, also to "All Tasks".
    loadTasksForCategory(selectedCatName->text());
    reloadTable();
}

void AppController::toggleShowCompleted()
{
    showCompleted_ = !showCompleted_;
    loadTasksForCategory(selectedCatName->text());
    reloadTable();
}

void AppController::applicationWillTerminate()
{
    if (mainWindow)
        sizer_->expandAtQuit(editing_);
    Item::finalizeStatements();
    Category::finalizeStatements();
    ManualOrder::finalizeStatements();
}

void AppController::popUp()
{
    mainWindow->show();
    mainWindow->raise();
    mainWindow->activateWindow();
}

bool AppController::windowIsSmall() const
{
    return sizer_->windowIsSmall();
}

int AppController::mainWindowHeight() const
{
    return sizer_->mainWindowHeight();
}

QString AppController::compactTitle() const
{
    return WindowSizer::compactTitle(selectedCatName->text(), currentCategoryName());
}

void AppController::windowsResize()
{
    sizer_->windowsResize(editing_, compactTitle());
}

bool AppController::windowShouldClose()
{
    // Wendra lives on with its window hidden; the hot key or a second
    // launch brings it back.
    mainWindow->hide();
    return false;
}

bool AppController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mainWindow && event->type() == QEvent::Close) {
        if (!windowShouldClose())
            event->ignore();
        return true;
    }
    if (watched == mainWindow && event->type() == QEvent::Resize)
        sizer_->windowWillResize(sizer_->frame().size(), editing_);
    return QObject::eventFilter(watched, event);
}

void AppController::closeInitWindow()
{
    taskField->setFocus();
    initWindow->hide();
}

QUrl AppController::siteBase()
{
    return QUrl::fromLocalFile(HelpPages::folder(QCoreApplication::applicationDirPath()));
}

void AppController::showHelp()
{
    QDesktopServices::openUrl(QUrl(siteBase().toString() + QStringLiteral("/doc/doc.html")));
}

void AppController::ContactUs()
{
    QDesktopServices::openUrl(QUrl(siteBase().toString() + QStringLiteral("/support.html")));
}

void AppController::showShortcuts()
{
    ShortcutsWindow::showFor(*mainWindow->menuBar(), mainWindow);
}

void AppController::showAbout()
{
    QMessageBox::about(mainWindow, tr("About Wendra"), AppIdentity::aboutText());
}

void AppController::printDocument()
{
    PrintDocument::printWithDialog(items(), int(categories_.size()), mainWindow);
}

void AppController::printPreview()
{
    PrintDocument::printPreview(items(), int(categories_.size()), mainWindow);
}
