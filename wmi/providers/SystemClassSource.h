#pragma once

#include "../VornWmiExport.h"
#include "../WmiObject.h"
#include "SystemRoots.h"

#include "SimMachine.h"

#include <memory>

namespace vorn::wmi {

// The classes of the running Linux system. When a simulated machine is
// selected, the disks, their volumes and the system's version come from it.
class VORNWMI_API SystemClassSource : public ClassSource {
public:
    explicit SystemClassSource(SystemRoots roots) : m_roots(std::move(roots)) {}

    QStringList classNames() const override;
    std::optional<std::vector<WmiObject>> instances(const QString& className) const override;

private:
    SystemRoots m_roots;
};

} // namespace vorn::wmi
