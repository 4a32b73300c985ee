#pragma once

#include "CheckerDisk.h"
#include "DiskListOf.h"

namespace vorn::checker {

// The checker's disks, which is also the order of the disk buttons and of
// the reports.
class CDiskList : public diskpass::CDiskListOf<CDisk> {};

} // namespace vorn::checker
