#pragma once

#include "CheckerSession.h"
#include "DesktopNotice.h"
#include "DialogUnits.h"
#include "DiskWorker.h"
#include "InfoPanel.h"
#include "WindowServices.h"

#include <QDialog>
#include <QIcon>
#include <QTimer>

#include <memory>
#include <vector>

class CAttributeListView;
class CDiskButton;
class CCheckerTray;
class CHddSmartDisp;
class CVersion;
class QAction;
class QLabel;
class QPushButton;
class QToolBar;

// The checker's main window: the toolbar with the commands and one button
// per disk, the information panel and the attribute list of the chosen disk,
// and the life in the notification area. What it shows comes from the
// session (checker/core); every pass over the disks runs on the disk worker.
class CCheckerDlg : public QDialog {
    Q_OBJECT

public:
    struct Setup {
        PassOptions options;
        CCheckerSession::Environment session;
        QString startDir; // the shipped files: Template/, the manual
        WindowServices services = DefaultWindowServices();
        CDiskWorker::Mode workerMode = CDiskWorker::Mode::Threaded;
        bool trayAvailable = true;
        QString trayTip = QStringLiteral("Drivewatch Vuda");
        const CVersion* version = nullptr; // for the about box; none: no box
    };

    static constexpr const char* kManualFile = "DrivewatchMini.html";

    explicit CCheckerDlg(Setup setup, QWidget* parent = nullptr);
    ~CCheckerDlg() override;

    // The start: prepares the fade, shows the window (not with "-Vuda"
    // while a notification area exists) and scans the disks on the worker;
    // the disk buttons, the first disk and the measurement follow the scan.
    void Start();

    // The commands of the toolbar, the buttons and the popup menu.
    void Refresh();
    void SaveReports();
    void ShowAbout();
    void OpenManual();
    void OpenSupportPage();
    void OpenMain();
    void HideToTray();
    // Asks whether to quit; on Yes fades out, removes the icon, tears down
    // and leaves the event loop. Returns the answer.
    bool ConfirmQuit();
    void SelectDisk(int index);
    void AskRestartMeasurement();
    void TimerPass();
    void OpenDetail(const CHddSmartDisp* record);
    // Asks whether the disks as they are become the accepted state.
    void AskAcceptAlerts();
    // They become it (the button of a notification on the bus); while a
    // pass runs, after it.
    void AcceptAlerts();

    // State, for the tests and the accessibility check.
    const CCheckerSession& Session() const { return m_session; }
    const CDisk* CurrentDisk() const { return m_pCurDisk; }
    const CInfoPanel& Panel() const { return *m_panel; }
    CAttributeListView* List() const { return m_list; }
    QToolBar* ToolBar() const { return m_toolBar; }
    CDiskButton* DiskButton(int index) const;
    QAction* RefreshAction() const { return m_refresh; }
    QAction* SaveAction() const { return m_save; }
    QPushButton* CloseButton() const { return m_close; }
    QPushButton* MinimizeButton() const { return m_minimize; }
    CCheckerTray* Tray() const { return m_tray.get(); }
    const CDiskWorker& Worker() const { return m_worker; }
    const CDesktopNotice& Notice() const { return m_notice; }
    bool IsTimerRunning() const { return m_timer.isActive(); }
    bool IsTornDown() const { return m_tornDown; }

signals:
    // The window has given up its disks and files; the program may end.
    void finished();

protected:
    void reject() override; // Escape
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildToolBar();
    void FitToolBar();
    void AfterScan();
    void AddDiskButton(CDisk* disk, int index);
    void FillList(CDisk* disk);
    void ShowInfo();
    void StartMeasurement(bool reset);
    void SetBusy(bool busy);
    void ApplyLayout();
    void Teardown();
    // After a pass: the tips say which disks sleep, and what got worse is told.
    void AfterPass(const std::vector<CCheckerSession::Notice>& notices);
    QString DiskTip(const CDisk* disk) const;

    Setup m_setup;
    CCheckerSession m_session;
    CDiskWorker m_worker;
    CDialogUnits m_units;
    QIcon m_icon;
    CDisk* m_pCurDisk = nullptr;
    QTimer m_timer;
    bool m_starWanted = false;
    bool m_quitting = false;
    bool m_tornDown = false;
    bool m_acceptPending = false;

    QToolBar* m_toolBar = nullptr;
    QAction* m_refresh = nullptr;
    QAction* m_save = nullptr;
    std::vector<CDiskButton*> m_diskButtons;
    std::unique_ptr<CInfoPanel> m_panel;
    CAttributeListView* m_list = nullptr;
    QPushButton* m_close = nullptr;
    QPushButton* m_minimize = nullptr;
    QLabel* m_logo = nullptr;
    std::unique_ptr<CCheckerTray> m_tray;
    CDesktopNotice m_notice{QStringLiteral("Drivewatch Vuda")};

    // Distances to the right and bottom edges, taken from the first layout.
    struct Margins {
        int listRight = 0, listBottom = 0;
        int minimizeRight = 0, minimizeBottom = 0;
        int closeBottom = 0;
        int panelRight = 0;
        int logoRight = 0;
    } m_margins;
};
