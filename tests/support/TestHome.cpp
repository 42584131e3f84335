#include "TestHome.h"

#include <QDir>
#include <QFile>
#include <cstdlib>

TestHome::TestHome()
    : oldHome_(qgetenv("HOME"))
    , oldData_(qgetenv("XDG_DATA_HOME"))
    , oldConfig_(qgetenv("XDG_CONFIG_HOME"))
    , oldRuntime_(qgetenv("XDG_RUNTIME_DIR"))
{
    if (!dir_.isValid())
        qFatal("cannot create a temporary home folder");
    QDir().mkpath(dataPath());
    QDir().mkpath(configPath());
    qputenv("HOME", dir_.path().toUtf8());
    qputenv("XDG_DATA_HOME", dataPath().toUtf8());
    qputenv("XDG_CONFIG_HOME", configPath().toUtf8());
    QDir().mkpath(dir_.path() + QStringLiteral("/run"));
    QFile::setPermissions(dir_.path() + QStringLiteral("/run"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", (dir_.path() + QStringLiteral("/run")).toUtf8());
}

namespace {
void restore(const char *name, const QByteArray &value)
{
    if (value.isNull())
        qunsetenv(name);
    else
        qputenv(name, value);
}
} // namespace

TestHome::~TestHome()
{
    restore("HOME", oldHome_);
    restore("XDG_DATA_HOME", oldData_);
    restore("XDG_CONFIG_HOME", oldConfig_);
    restore("XDG_RUNTIME_DIR", oldRuntime_);
}
