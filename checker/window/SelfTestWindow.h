#pragma once

#include "CheckerSelfTests.h"
#include "SelfTestDialog.h"

#include <QObject>
#include <QPointer>

class QWidget;

namespace vorn::checker {

// The main window's self-test side: the disks' monitors, kept as long as
// the window lives, and the one dialog, made when opened and gone when
// closed. A reopened dialog starts from its monitor's latest snapshot.
class CSelfTestWindow : public QObject {
    Q_OBJECT

public:
    CSelfTestWindow(CCheckerSelfTests::Environment environment, QWidget* owner);
    ~CSelfTestWindow() override;

    // The scan's disks, once they are there and no pass runs.
    void Attach(const CDiskList& disks);
    // The dialog of disk index, named by diskName; an open one is brought
    // to the front (and switched to index).
    void Open(int index, const QString& diskName);

    CSelfTestDlg* Dialog() const { return m_dialog; }
    const CCheckerSelfTests& SelfTests() const { return m_selfTests; }

private:
    void Showing(int index, const diskpass::SelfTestSnapshot& snapshot);

    QWidget* m_owner;
    CCheckerSelfTests m_selfTests;
    QPointer<CSelfTestDlg> m_dialog;
    int m_index = -1;
};

} // namespace vorn::checker
