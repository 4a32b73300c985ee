#include "WindowServices.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

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
    services.pickFolder = [](const QString& prompt) {
        return QFileDialog::getExistingDirectory(nullptr, prompt);
    };
    services.openExternal = [](const QString& fileOrUrl) {
        return QDesktopServices::openUrl(QUrl(fileOrUrl));
    };
    services.runModal = [](QDialog& dialog) { dialog.exec(); };
    services.driveIcon = [] { return QIcon::fromTheme(QStringLiteral("drive-harddisk")); };
    return services;
}
