#pragma once

#include "RequestHandler.h"

#include <QDBusConnection>

namespace vorn::diskhelper {

// polkit's CheckAuthorization for the caller as a system-bus-name subject;
// polkit resolves the name to its process and session itself, so a caller
// cannot pass off another process's identity. No answer, an error or any
// reply that is not a plain yes counts as no.
class PolkitAuthorizer : public Authorizer {
public:
    explicit PolkitAuthorizer(QDBusConnection bus) : m_bus(std::move(bus)) {}
    bool authorize(const QString& action, const QString& callerBusName) override;

private:
    QDBusConnection m_bus;
};

} // namespace vorn::diskhelper
