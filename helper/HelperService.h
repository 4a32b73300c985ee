#pragma once

#include "RequestHandler.h"
#include "RequestQuota.h"

#include <QByteArray>
#include <QDBusContext>
#include <QObject>

#include <functional>

namespace vorn::diskhelper {

// The helper's object on the bus. Each request opens its disk, runs one
// command and closes it. While polkit thinks about one caller (a password
// prompt may take minutes) others are served; a RequestQuota bounds the
// requests that wait, in all and per caller, and the rest are told the
// helper is busy, so no caller can make the helper hold more, nor take every
// place there is.
class HelperService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.vorn.DiskHelper1")

public:
    // busy(true) when a request arrives and nothing else was waiting,
    // busy(false) when the last waiting request is answered; the idle timer
    // hangs on it.
    HelperService(Authorizer& authorizer, DiskAccess& disks, std::function<void(bool)> busy);

public slots:
    void CheckDisk(const QString& disk);
    QByteArray Execute(const QString& disk, const QByteArray& request);

private:
    using Start = std::function<void(HandlerDone)>;
    void serve(const Start& start, bool withReply);
    void refuse(const char* errorName, const QString& message);

    Authorizer& m_authorizer;
    DiskAccess& m_disks;
    std::function<void(bool)> m_busy;
    RequestQuota m_quota;
};

} // namespace vorn::diskhelper
