#include "TestHome.h"

#include <QDir>
#include <QFile>

TestHome::TestHome()
{
    if (!dir_.isValid())
        qFatal("cannot create a temporary home folder");
    const QString runtime = dir_.path() + QStringLiteral("/run");
    const QString values[] = {dir_.path(), dataPath(), configPath(), runtime};
    for (int i = 0; i < int(std::size(Variables)); ++i) {
        old_[i] = qgetenv(Variables[i]);
        QDir().mkpath(values[i]);
        qputenv(Variables[i], values[i].toUtf8());
    }
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TestHome::~TestHome()
{
    for (int i = 0; i < int(std::size(Variables)); ++i) {
        if (old_[i].isNull())
            qunsetenv(Variables[i]);
        else
            qputenv(Variables[i], old_[i]);
    }
}
