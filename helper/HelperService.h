#pragma once

#include "RequestHandler.h"

#include <QByteArray>
#include <QDBusContext>
#include <QObject>

#include <functional>

namespace vorn::diskhelper {

// The helper's object on the bus. Requests are served one at a time on the
// event loop and leave nothing behind: each opens its disk, runs one command
// and closes it, so no caller can make the helper hold more.
class HelperService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.vorn.DiskHelper1")

public:
    // activity is called after every request; the idle timer hangs on it.
    HelperService(Authorizer& authorizer, DiskAccess& disks, std::function<void()> activity);

public slots:
    void CheckDisk(const QString& disk);
    QByteArray Execute(const QString& disk, const QByteArray& request);

private:
    QByteArray answer(const HandlerResult& result);

    Authorizer& m_authorizer;
    DiskAccess& m_disks;
    std::function<void()> m_activity;
};

} // namespace vorn::diskhelper
