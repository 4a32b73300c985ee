#include "ScannedDisk.h"

namespace vorn::diskpass {

VORN_IMPLEMENT_DYNCREATE(CScannedDisk, CHdd)

QString UsbSmartLine(const CScannedDisk& disk) {
    const QString& bridge = disk.m_strUsbBridge;
    switch (disk.m_usbSmart) {
    case UsbSmart::Read:
        return QString();
    case UsbSmart::PassesNothing:
        return QStringLiteral("USB変換アダプタ %1 はS.M.A.R.T.を通しません").arg(bridge);
    case UsbSmart::UnknownSilent:
        return QStringLiteral("未知のUSB変換アダプタ %1 はS.M.A.R.T.の問い合わせに答えません")
            .arg(bridge);
    case UsbSmart::TunnelSilent:
        return QStringLiteral("USB変換アダプタ %1 はNVMeの問い合わせに答えません").arg(bridge);
    case UsbSmart::NoIdentify:
        return QStringLiteral("USB変換アダプタ %1 から識別情報を読めません").arg(bridge);
    case UsbSmart::NoHealthLog:
        return QStringLiteral("USB変換アダプタ %1 からNVMeの健康情報を読めません").arg(bridge);
    case UsbSmart::Off:
        return QStringLiteral("S.M.A.R.T.が無効か、対応していません");
    }
    return QString();
}

} // namespace vorn::diskpass
