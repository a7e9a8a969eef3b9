#pragma once

#include "Recordset.h"

#include <QString>

// The library's fixed code tables, built as record sets for the views that
// list or look them up.
namespace Orvanemod {

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



} // namespace Orvanemod
