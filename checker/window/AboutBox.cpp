#include "AboutBox.h"

#include "DialogUnits.h"
#include "Translation.h"
#include "Version.h"

#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace vorn::checker {

CAboutBox::CAboutBox(const CVersion& version, const QIcon& icon, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(Cm_Tr("AboutBox", "VornDisk Vuda のバージョン情報"));
    setFont(CheckerDialogFont());
    const CDialogUnits units(font());

    auto* picture = new QLabel(this);
    picture->setPixmap(icon.pixmap(32, 32));
    picture->setGeometry(units.X(11), units.Y(10), 32, 32);

    // The two lines are as wide as the layout has them or as their texts
    // ask; the button and the box's edge follow them.
    auto* versionLine = new QLabel(VersionLine(version), this);
    versionLine->setObjectName(QStringLiteral("version"));
    auto* notice = new QLabel(version.GetAppCopyright(), this);
    notice->setObjectName(QStringLiteral("copyright"));
    const QFontMetrics metrics(font());
    const int textWidth = std::max({units.X(160), CaptionWidth(metrics, versionLine->text()),
                                    CaptionWidth(metrics, notice->text())});
    versionLine->setGeometry(units.X(38), units.Y(10), textWidth, units.Y(8));
    notice->setGeometry(units.X(38), units.Y(25), textWidth, units.Y(8));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    const int okX = std::max(units.X(203), units.X(38) + textWidth + units.X(5));
    const int okWidth = ButtonWidth(*ok, units.X(43));
    ok->setGeometry(okX, units.Y(7), okWidth, units.Y(14));
    setFixedSize(std::max(units.X(253), okX + okWidth + units.X(7)), units.Y(45));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

QString CAboutBox::VersionLine(const CVersion& version) {
    return version.GetAppInternalName() + QStringLiteral(" Version ") + version.GetAppDllVersion();
}

} // namespace vorn::checker
