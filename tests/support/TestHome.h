// A throw-away home folder for one test run. Wendra keeps its database under
// the XDG data folder and its settings under the XDG config folder; pointing
// HOME and both XDG variables at a temporary directory means no test can read
// or damage the data of the person running the suite.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <iterator>

class TestHome
{
public:
    TestHome();
    ~TestHome();

    QString path() const { return dir_.path(); }
    QString dataPath() const { return dir_.path() + QStringLiteral("/.local/share"); }
    QString configPath() const { return dir_.path() + QStringLiteral("/.config"); }

private:
    // Set in this order to the home, data, config and runtime folders; restored on destruction,
    // since a test may nest a home of its own inside the one its main() made.
    static constexpr const char *Variables[] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME",
                                                "XDG_RUNTIME_DIR"};
    QTemporaryDir dir_;
    QByteArray old_[std::size(Variables)];
};

// Runs a test object in a fresh home, swapped before the application object exists.
template <class Application, class TestObject> int runInTestHome(int argc, char **argv)
{
    TestHome home;
    Application app(argc, argv);
    QCoreApplication::setAttribute(Qt::AA_Use96Dpi, true);
    TestObject tc;
    return QTest::qExec(&tc, argc, argv);
}

// main() for a widget test, and for a test of plain code that needs only QtCore.
#define WENDRA_QTEST_MAIN(TestObject)                                                              \
    int main(int argc, char **argv) { return runInTestHome<QApplication, TestObject>(argc, argv); }
#define WENDRA_QTEST_CORE_MAIN(TestObject)                                                         \
    int main(int argc, char **argv) { return runInTestHome<QCoreApplication, TestObject>(argc, argv); }
