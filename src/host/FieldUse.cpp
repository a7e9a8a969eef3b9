#include "host/FieldUse.h"

#include <QMutex>

namespace orvane::host::fielduse {

namespace {

struct Log {
    QMutex lock;
    bool on = false;
    std::map<QString, std::set<QString>> fields;
    std::set<QString> queries;
};

Log &log()
{
    static Log l;
    return l;
}

} // namespace

void start()
{
    Log &l = log();
    const QMutexLocker guard(&l.lock);
    l.on = true;
    l.fields.clear();
    l.queries.clear();
}

bool recording()
{
    Log &l = log();
    const QMutexLocker guard(&l.lock);
    return l.on;
}

Recordset watch(const Recordset &rs, const QString &record)
{
    if (!recording())
        return rs;
    return rs.watched([record](const QString &name) { noteField(record, name); });
}

void noteField(const QString &record, const QString &name)
{
    Log &l = log();
    const QMutexLocker guard(&l.lock);
    if (l.on)
        l.fields[record].insert(name);
}

void noteQuery(const QString &text)
{
    Log &l = log();
    const QMutexLocker guard(&l.lock);
    if (l.on)
        l.queries.insert(text);
}

std::map<QString, std::set<QString>> fields()
{
    Log &l = log();
    const QMutexLocker guard(&l.lock);
    return l.fields;
}

std::set<QString> queries()
{
    Log &l = log();
    const QMutexLocker guard(&l.lock);
    return l.queries;
}

} // namespace orvane::host::fielduse
