#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariant>

namespace orvane::sql::detail {

// A value as it must be bound so that the database stores it unchanged. Qt's
// SQLite driver hands text over as UTF-16, and SQLite takes a leading U+FEFF
// for a byte-order mark and drops it, and a leading U+FFFE for a swapped one
// and reads the whole text byte-swapped. One more U+FEFF in front is the mark
// it takes away, and the text after it arrives as it was.
inline QVariant boundValue(const QSqlDatabase &db, const QVariant &value)
{
    if (value.typeId() != QMetaType::QString)
        return value;
    const QString text = value.toString();
    if (text.isEmpty() || (text[0] != QChar(0xFEFF) && text[0] != QChar(0xFFFE)) ||
        db.driverName() != QLatin1String("QSQLITE"))
        return value;
    return QVariant(QChar(0xFEFF) + text);
}

} // namespace orvane::sql::detail
