#pragma once

#include <QDialog>

class CVersion;

namespace vorn::checker {

// The version box: the program icon, "<name> Version <version>" and the
// legal notice, both from the program's version record.
class CAboutBox : public QDialog {
    Q_OBJECT

public:
    CAboutBox(const CVersion& version, const QIcon& icon, QWidget* parent = nullptr);

    static QString VersionLine(const CVersion& version);
};

} // namespace vorn::checker
