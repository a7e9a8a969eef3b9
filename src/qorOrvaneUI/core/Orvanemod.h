#pragma once

#include <qorOrvaneUI/runtime/Recordset.h>

#include <QString>

// The library's fixed code tables, built as record sets for the views that
// list or look them up.
namespace orvane::Orvanemod {

// --- authorization kinds --------------------------------------------------------

// The kinds of authorization a shop may ask for (Code, Name, Description,
// RTAuth, eAuth), a fresh table on every call, positioned after its last row.
// Labor kinds share code "1" and are named by the part number the invoice
// carries them under. Failures are passed up as "Orvanemod.AuthorizationTypes".
orvane::Recordset AuthorizationTypes();

// Appends one kind to `table`, each text cut to its field's defined size.
// Failures are passed up as "Orvanemod.AddRecords".
void AddRecords(const QString &code, const QString &name, const QString &description, bool rtAuth,
                bool eAuth, orvane::Recordset &table);

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

} // namespace orvane::Orvanemod
