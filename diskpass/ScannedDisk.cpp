#include "ScannedDisk.h"

VORN_IMPLEMENT_DYNCREATE(CScannedDisk, CHdd)
