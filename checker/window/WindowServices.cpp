#include "WindowServices.h"

#include "CItemData.h"
#include "CItemID.h"
#include "SelectedFolder.h"
#include "Smoothly.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileIconProvider>
#include <QMessageBox>
#include <QUrl>

namespace vorn::checker {

namespace {

const QString kCaption = QStringLiteral("Drivewatch Vuda");

} // namespace

WindowServices DefaultWindowServices() {
    WindowServices services;
    services.askYesNo = [](QWidget* parent, const QString& text) {
        QMessageBox box(QMessageBox::Warning, kCaption, text, QMessageBox::Yes | QMessageBox::No,
                        parent);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes;
    };
    services.inform = [](QWidget* parent, const QString& text) {
        QMessageBox box(QMessageBox::Warning, kCaption, text, QMessageBox::Ok, parent);
        box.exec();
    };
    services.pickFolder = [](const QString& prompt) { return Cm_SelectedFolder(nullptr, prompt); };
    services.openExternal = [](const QString& fileOrUrl) {
        return QDesktopServices::openUrl(QUrl(fileOrUrl));
    };
    services.runModal = [](QDialog& dialog) { dialog.exec(); };
    services.createSmoothly = [](QWidget* window, bool show) { Cm_CreateSmoothly(window, show); };
    services.showSmoothly = [](QWidget* window, bool show, int step, int percent) {
        Cm_ShowSmoothly(window, show, step, percent);
    };
    services.destroySmoothly = [] { Cm_DestroySmoothly(); };
    services.driveIcon = [] {
        // Every disk shows the icon of the root folder's drive.
        CItemID shell;
        shell.SetIconProvider(std::make_unique<QFileIconProvider>());
        const std::unique_ptr<CItemData> root = shell.GetItemIDList(u"/");
        return root ? root->GetSystemIcon() : QIcon();
    };
    return services;
}

} // namespace vorn::checker
