#include "CDisk.h"

VORN_IMPLEMENT_DYNCREATE(CDisk, CScannedDisk)
