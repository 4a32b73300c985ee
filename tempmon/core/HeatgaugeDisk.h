#pragma once

#include "DiskListOf.h"
#include "ScannedDisk.h"

// The temperature monitor's disk: a scanned disk with its place in the
// strip, which is also the place of its tray icon.
class CDisk : public vorn::diskpass::CScannedDisk {
    VORN_DECLARE_DYNCREATE(CDisk)

public:
    CDisk() = default;

    int m_nListIndex = 0;
};

using CDiskList = vorn::diskpass::CDiskListOf<CDisk>;
