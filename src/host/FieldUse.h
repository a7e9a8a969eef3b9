#pragma once

#include <qorOrvaneUI/runtime/Recordset.h>

#include <QString>

#include <map>
#include <set>

namespace orvane::host {

// Which of the host's fields and queries the library used while a test ran,
// so the test can hold the library to the documented field contract. Off
// until start(); then every record set the host hands out reports its field
// look-ups under the record's kind ("order", "line", "shop", ...), and every
// query and filter text the library hands the host is kept.
namespace fielduse {

void start();
bool recording();
// `rs` itself when not recording; otherwise a handle that notes its look-ups.
Recordset watch(const Recordset &rs, const QString &record);
void noteQuery(const QString &text);
void noteField(const QString &record, const QString &name);
// Record kind -> field names, as the library spelled them.
std::map<QString, std::set<QString>> fields();
std::set<QString> queries();

} // namespace fielduse

} // namespace orvane::host
