#pragma once

#include "Recordset.h"

#include <QString>

// The library's fixed code tables, built as record sets for the views that
// list or look them up.
namespace Orvanemod {

// --- authorization kinds --------------------------------------------------------



// --- loss and damage codes ------------------------------------------------------

// Causes of loss a shop may report, with the extra (subrogation) details each
// asks for: LossCode, Description, subreq, subdatafield, subnamefield, subExpl,
// subnamereq. A new table on every call.
orvane::Recordset CauseOfLoss();
// Appends one cause to `table`, cutting the texts to their fields' sizes.
void AddLossrecords(qint64 lossCode, const QString &description, bool subreq,
                    const QString &subdatafield, const QString &subnamefield,
                    const QString &subExpl, bool subnamereq, orvane::Recordset &table);
// The glass openings of a vehicle: OpeningType (code), Opening (text).
orvane::Recordset OpeningType();
// An empty set for the damage lines of a loss notice.
orvane::Recordset DamageInformationRS();

} // namespace Orvanemod
