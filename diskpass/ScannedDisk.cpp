#include "ScannedDisk.h"

#include "Translation.h"

namespace vorn::diskpass {

VORN_IMPLEMENT_DYNCREATE(CScannedDisk, CHdd)

QString UsbSmartLine(const CScannedDisk& disk) {
    const QString& bridge = disk.m_strUsbBridge;
    switch (disk.m_usbSmart) {
    case UsbSmart::Read:
        return QString();
    case UsbSmart::PassesNothing:
        return Cm_Tr("ScannedDisk", "USB変換アダプタ %1 はS.M.A.R.T.を通しません").arg(bridge);
    case UsbSmart::UnknownSilent:
        return Cm_Tr("ScannedDisk", "未知のUSB変換アダプタ %1 はS.M.A.R.T.の問い合わせに答えません")
            .arg(bridge);
    case UsbSmart::TunnelSilent:
        return Cm_Tr("ScannedDisk", "USB変換アダプタ %1 はNVMeの問い合わせに答えません")
            .arg(bridge);
    case UsbSmart::NoIdentify:
        return Cm_Tr("ScannedDisk", "USB変換アダプタ %1 から識別情報を読めません").arg(bridge);
    case UsbSmart::NoHealthLog:
        return Cm_Tr("ScannedDisk", "USB変換アダプタ %1 からNVMeの健康情報を読めません")
            .arg(bridge);
    case UsbSmart::Off:
        return Cm_Tr("ScannedDisk", "S.M.A.R.T.が無効か、対応していません");
    }
    return QString();
}

} // namespace vorn::diskpass
