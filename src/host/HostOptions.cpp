#include "host/HostOptions.h"

#include "host/IniFile.h"
#include <qorOrvaneUI/external/IDataCommand.h>
#include <qorOrvaneUI/runtime/VbError.h>

using namespace Qt::StringLiterals;

namespace orvane::host {

HostOptions::HostOptions(QString daskIni, DataCommandMaker makeDataCommand)
    : daskIni_(std::move(daskIni)), makeDataCommand_(std::move(makeDataCommand))
{
}

QString HostOptions::readinistring(const QString &section, const QString &key,
                                   const QString &file) const
{
    return IniFile(file).read(section, key);
}

void HostOptions::writeinistring(const QString &section, const QString &key, const QString &value,
                                 const QString &file)
{
    IniFile(file).write(section, key, value);
}

QString HostOptions::dask_ini() const
{
    return daskIni_;
}

std::shared_ptr<orvane::ext::IDataCommand> HostOptions::dcobject() const
{
    if (!command_ && makeDataCommand_)
        command_ = makeDataCommand_();
    if (!command_)
        throw VbError(err::ObjectVariableNotSet, u"qorHost.Options.dcobject"_s,
                      u"The shop has no database connection set up."_s);
    return command_;
}

} // namespace orvane::host
