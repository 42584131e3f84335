// A throw-away home folder for one test run. Wendra keeps its database under
// the XDG data folder and its settings under the XDG config folder; pointing
// HOME and both XDG variables at a temporary directory means no test can read
// or damage the data of the person running the suite.
#pragma once

#include <QString>
#include <QTemporaryDir>

class TestHome
{
public:
    TestHome();
    ~TestHome();
    TestHome(const TestHome &) = delete;
    TestHome &operator=(const TestHome &) = delete;

    QString path() const { return dir_.path(); }
    QString dataPath() const { return dir_.path() + QStringLiteral("/.local/share"); }
    QString configPath() const { return dir_.path() + QStringLiteral("/.config"); }

private:
    QTemporaryDir dir_;
    QByteArray oldHome_, oldData_, oldConfig_, oldRuntime_;
};

// main() for a widget test: the home is swapped before QApplication exists.
#define WENDRA_QTEST_MAIN(TestObject)                                                              \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        TestHome home;                                                                             \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

// main() for a test of plain code that needs only QtCore.
#define WENDRA_QTEST_CORE_MAIN(TestObject)                                                         \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        TestHome home;                                                                             \
        QCoreApplication app(argc, argv);                                                          \
        TestObject tc;                                                                             \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
