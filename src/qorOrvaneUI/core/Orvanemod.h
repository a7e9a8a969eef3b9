#pragma once

#include "Recordset.h"

#include <QString>

// The library's fixed code tables, built as record sets for the views that
// list or look them up.
namespace Orvanemod {

// --- authorization kinds --------------------------------------------------------



// --- loss and damage codes ------------------------------------------------------



} // namespace Orvanemod
