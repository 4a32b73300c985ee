#pragma once

#include "RequestHandler.h"

#include <QDBusConnection>
#include <QObject>

namespace vorn::diskhelper {

// polkit's CheckAuthorization for the caller as a system-bus-name subject;
// polkit resolves the name to its process and session itself, so a caller
// cannot pass off another process's identity. No answer, an error or any
// reply that is not a plain yes counts as no.
// Answers arrive on the event loop; answers still pending when the object
// goes are dropped with it.
class PolkitAuthorizer : public QObject, public Authorizer {
    Q_OBJECT

public:
    explicit PolkitAuthorizer(QDBusConnection bus) : m_bus(std::move(bus)) {}
    void authorize(const QString& action, const QString& callerBusName,
                   std::function<void(bool)> done) override;

private:
    QDBusConnection m_bus;
};

} // namespace vorn::diskhelper
