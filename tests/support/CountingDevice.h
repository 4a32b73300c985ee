#pragma once

#include "DeviceBackend.h"

// A backend that only counts what reaches it past the device layer's door,
// so a test can show that a refused command never gets that far.
class CountingDevice : public vorn::platform::OpenDevice {
public:
    int ataReached = 0;
    int nvmeReached = 0;
    QString path() const override { return QStringLiteral("counting"); }
    int version(vorn::platform::RequestTarget, BYTE*) override { return 0; }

protected:
    vorn::platform::AtaOutcome executeAllowed(vorn::platform::RequestTarget,
                                              const vorn::platform::AtaCommand&, BYTE*) override {
        ++ataReached;
        return {};
    }
    vorn::platform::NvmeOutcome executeNvmeAllowed(const vorn::platform::NvmeAdminCommand&,
                                                   BYTE*) override {
        ++nvmeReached;
        return {};
    }
};
