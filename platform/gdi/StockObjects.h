// The stock objects of GetStockObject and the system-colour brushes, made once per process.
#pragma once

#include <windows.h>

namespace gdi {

// The stock object of a GetStockObject index, or NULL for an index without one.
HGDIOBJ stockObject(int index);

}  // namespace gdi
