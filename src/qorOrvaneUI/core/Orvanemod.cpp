#include "core/Orvanemod.h"

#include "VbError.h"

using namespace Qt::StringLiterals;

namespace Orvanemod {

// --- authorization kinds --------------------------------------------------------



// --- loss and damage codes ------------------------------------------------------



} // namespace Orvanemod
