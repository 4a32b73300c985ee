#include "HeatgaugeDisk.h"

using namespace vorn::diskpass;

VORN_IMPLEMENT_DYNCREATE(CDisk, CScannedDisk)
