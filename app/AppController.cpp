#include "AppController.h"

#include "DatabaseFile.h"
#include "InternalError.h"
#include "MyApplication.h"
#include "ViewQuery.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
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
        connect(application, &MyApplication::keyboardAlert, this, &AppController::popUp);
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
    items_.clear();
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

    // The dialogs are owned by the main window through their parent.
    bigEditWindow->setObjectName(QStringLiteral("bigEditWindow"));
    editListsWindow->setObjectName(QStringLiteral("editListsWindow"));
    prefsPanel->setObjectName(QStringLiteral("prefsPanel"));
    initWindow->setObjectName(QStringLiteral("initWindow"));
    calendarPop->setObjectName(QStringLiteral("calendarPop"));
    recWindow->setObjectName(QStringLiteral("recWindow"));
    mainWindow->setObjectName(QStringLiteral("mainWindow"));
}

void AppController::buildMenus()
{
    QMenu *fileMenu = mainWindow->menuBar()->addMenu(tr("&File"));
    fileMenu->addAction(tr("Close Window"), QKeySequence::Close, mainWindow, &QWidget::close);
    fileMenu->addSeparator();
    QAction *quit = fileMenu->addAction(tr("Quit Wendra"), QKeySequence::Quit,
                                        QCoreApplication::instance(), &QCoreApplication::quit);
    quit->setMenuRole(QAction::QuitRole);

    QMenu *helpMenu = mainWindow->menuBar()->addMenu(tr("&Help"));
    helpMenu->addAction(tr("Wendra Help"), QKeySequence::HelpContents, this,
                        &AppController::showHelp);
    helpMenu->addAction(tr("Contact Us"), this, &AppController::ContactUs);
}

void AppController::connectCommands()
{
    connect(initStart, &QPushButton::clicked, this, &AppController::closeInitWindow);
    connect(initWindow, &QDialog::rejected, this, &AppController::closeInitWindow);
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
    setItems({});
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
    std::vector<Item> items;
    const QList<int> keys = ViewQuery::openTaskKeysOfList(database_, firstList);
    items.reserve(size_t(keys.size()));
    for (int key : keys)
        items.push_back(Item::deferred(key, database_));
    setItems(std::move(items));
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
    windowIsSmall_ = true;
    selectedCatName->setText(currentCategoryName());
    myInstance = this;
    showCompleted_ = false;
    // The edit panel lies over the table and slides in only while editing.
    editWindow->hide();
    mainWindow->show();
    if (createdDatabase_)
        initWindow->show();
    taskField->setFocus();
}

void AppController::applicationWillTerminate()
{
    Item::finalizeStatements();
    Category::finalizeStatements();
}

void AppController::popUp()
{
    mainWindow->show();
    mainWindow->raise();
    mainWindow->activateWindow();
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
    return QObject::eventFilter(watched, event);
}

void AppController::closeInitWindow()
{
    taskField->setFocus();
    initWindow->hide();
}

QUrl AppController::siteBase()
{
    // The pages ship with the program: beside the binaries in a build tree,
    // under share/wendra once installed.
    const QString bin = QCoreApplication::applicationDirPath();
    for (const QString &candidate : {bin + QStringLiteral("/../help"),
                                     bin + QStringLiteral("/../share/wendra/help")}) {
        if (QFileInfo::exists(candidate + QStringLiteral("/support.html")))
            return QUrl::fromLocalFile(QDir::cleanPath(candidate));
    }
    return QUrl::fromLocalFile(QDir::cleanPath(bin + QStringLiteral("/../share/wendra/help")));
}

void AppController::showHelp()
{
    QDesktopServices::openUrl(QUrl(siteBase().toString() + QStringLiteral("/doc/doc.html")));
}

void AppController::ContactUs()
{
    QDesktopServices::openUrl(QUrl(siteBase().toString() + QStringLiteral("/support.html")));
}
