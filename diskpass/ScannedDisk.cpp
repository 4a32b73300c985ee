#include "ScannedDisk.h"

namespace vorn::diskpass {

VORN_IMPLEMENT_DYNCREATE(CScannedDisk, CHdd)

} // namespace vorn::diskpass
