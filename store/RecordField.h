// The setter rule the records share: a field changes, and the record becomes
// dirty, only when the new value differs from the old one. Absent (a null
// text, an invalid date) is a value of its own: absent and empty differ.
#pragma once

#include <QDateTime>
#include <QString>

namespace record {

inline bool same(const QString &a, const QString &b)
{
    return a.isNull() == b.isNull() && a == b;
}

inline bool same(const QDateTime &a, const QDateTime &b)
{
    if (!a.isValid() || !b.isValid())
        return a.isValid() == b.isValid();
    return a.toMSecsSinceEpoch() == b.toMSecsSinceEpoch();
}

template<typename T>
void assign(T &field, const T &value, bool &dirty)
{
    if (same(field, value))
        return;
    field = value;
    dirty = true;
}

} // namespace record
