#include "HeatgaugeDisk.h"

VORN_IMPLEMENT_DYNCREATE(CDisk, CScannedDisk)
