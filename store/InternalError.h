// The one exception type of Wendra. A database step that fails cannot be
// finished in a sensible way, so the operation in progress is abandoned and the
// fixed description travels up to where the user command entered; there it is
// caught, shown and logged, and never thrown through Qt's signal code.
#pragma once

#include <QString>
#include <stdexcept>

class InternalError : public std::runtime_error
{
public:
    // where: the operation and class that raised it, e.g. "Item::dehydrate".
    InternalError(const QString &description, const QString &where = QString())
        : std::runtime_error(description.toStdString())
        , description_(description)
        , where_(where)
    {
    }

    const QString &description() const { return description_; }
    const QString &where() const { return where_; }

private:
    QString description_;
    QString where_;
};
