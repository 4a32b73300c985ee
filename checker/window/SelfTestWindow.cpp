#include "SelfTestWindow.h"

#include "SelfTestDialog.h"

namespace vorn::checker {

CSelfTestWindow::CSelfTestWindow(CCheckerSelfTests::Environment environment, QWidget* owner)
    : QObject(owner), m_owner(owner),
      m_selfTests(std::move(environment),
                  [this](int index, const diskpass::SelfTestSnapshot& snapshot) {
                      Showing(index, snapshot);
                  }) {}

CSelfTestWindow::~CSelfTestWindow() {
    delete m_dialog;
}

void CSelfTestWindow::Attach(const CDiskList& disks) {
    m_selfTests.Attach(disks);
}

void CSelfTestWindow::Open(int index, const QString& diskName) {
    if (index < 0 || index >= m_selfTests.Count())
        return;
    if (m_dialog && m_index != index) {
        m_dialog->close();
        delete m_dialog;
    }
    m_index = index;
    if (!m_dialog) {
        m_dialog = new CSelfTestDlg(diskName, m_owner);
        m_dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_dialog, &CSelfTestDlg::startRequested, this,
                [this](hdd::SelfTestKind kind) { m_selfTests.Start(m_index, kind); });
        connect(m_dialog, &CSelfTestDlg::abortRequested, this,
                [this] { m_selfTests.Abort(m_index); });
    }
    m_selfTests.Open(index);
    if (const diskpass::SelfTestSnapshot* snapshot = m_selfTests.Snapshot(index))
        m_dialog->Show(*snapshot);
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

void CSelfTestWindow::Showing(int index, const diskpass::SelfTestSnapshot& snapshot) {
    if (m_dialog && index == m_index)
        m_dialog->Show(snapshot);
}

} // namespace vorn::checker
