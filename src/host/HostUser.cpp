#include "host/HostUser.h"

#include "host/FieldUse.h"

using namespace Qt::StringLiterals;

namespace orvane::host {

HostUser::HostUser(QString first, QString last) : first_(std::move(first)), last_(std::move(last))
{
}

QString HostUser::Item(const QString &name) const
{
    fielduse::noteField(u"user"_s, name);
    if (name.compare(u"First"_s, Qt::CaseInsensitive) == 0)
        return first_;
    if (name.compare(u"Last"_s, Qt::CaseInsensitive) == 0)
        return last_;
    return QString();
}

QString HostUser::fullName() const
{
    return QString(first_ + u' ' + last_).trimmed();
}

} // namespace orvane::host
