#include "AboutBox.h"

#include "DialogUnits.h"
#include "Translation.h"
#include "Version.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace vorn::checker {

CAboutBox::CAboutBox(const CVersion& version, const QIcon& icon, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(Cm_Tr("AboutBox", "VornDisk Vuda のバージョン情報"));
    setFont(CheckerDialogFont());
    const CDialogUnits units(font());
    setFixedSize(units.X(253), units.Y(45));

    auto* picture = new QLabel(this);
    picture->setPixmap(icon.pixmap(32, 32));
    picture->setGeometry(units.X(11), units.Y(10), 32, 32);

    auto* versionLine = new QLabel(VersionLine(version), this);
    versionLine->setObjectName(QStringLiteral("version"));
    versionLine->setGeometry(units.Rect(38, 10, 160, 8));
    auto* notice = new QLabel(version.GetAppCopyright(), this);
    notice->setObjectName(QStringLiteral("copyright"));
    notice->setGeometry(units.Rect(38, 25, 160, 8));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(units.Rect(203, 7, 43, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

QString CAboutBox::VersionLine(const CVersion& version) {
    return version.GetAppInternalName() + QStringLiteral(" Version ") + version.GetAppDllVersion();
}

} // namespace vorn::checker
