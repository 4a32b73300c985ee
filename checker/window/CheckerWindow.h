#pragma once

#include "CheckerMonitor.h"
#include "DesktopNotice.h"
#include "DialogUnits.h"
#include "HistoryDialog.h"
#include "HistoryGraphs.h"
#include "InfoPanel.h"
#include "ThreadedPassRunner.h"
#include "WindowServices.h"

#include <QDialog>
#include <QIcon>
#include <QPointer>

#include <memory>
#include <vector>

class CVersion;
class QAction;
class QLabel;
class QPushButton;
class QToolBar;

namespace vorn::checker {

class CAttributeListView;
class CDiskButton;
class CDiskButtonRow;
class CCheckerTray;
class CSelfTestWindow;

// The checker's main window: the toolbar with the commands and one button
// per disk, the information panel and the attribute list of the chosen disk,
// and the life in the notification area. The monitor (checker/core) runs
// the disks; the window shows the snapshots it hands over and never reads
// a disk itself.
class CCheckerDlg : public QDialog, public CCheckerView {
    Q_OBJECT

public:
    struct Setup {
        diskpass::PassOptions options;
        CCheckerSession::Environment session;
        QString startDir; // the shipped files: Template/, the manual
        WindowServices services = DefaultWindowServices();
        diskpass::CDiskPassRunner* runner =
            nullptr; // not owned; none: a thread of the window's own
        bool trayAvailable = true;
        QString trayTip = QStringLiteral("Drivewatch Vuda");
        const CVersion* version = nullptr; // for the about box; none: no box
        QString historyPath = QString();   // the history store; empty: none kept
        std::function<void(const QString&)> historyNotice = nullptr; // from a pass's thread
        // Where the history's graphs are loaded; none: Qt's thread pool.
        diskpass::CHistoryGraphs::Worker historyWorker = nullptr;
        // The self-tests' timers (one per disk) and clock; none: Qt timers.
        std::function<std::unique_ptr<diskpass::CRefreshTimer>()> selfTestTimer;
        diskpass::PassClock selfTestClock = diskpass::SystemClock();
    };

    explicit CCheckerDlg(Setup setup, QWidget* parent = nullptr);
    ~CCheckerDlg() override;

    // The start: prepares the fade, shows the window (not with "-Vuda"
    // while a notification area exists) and has the monitor scan the disks;
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
    // The detail dialog of a row of the list.
    void OpenDetail(int row);
    // The history of the shown disk, with series (SeriesCodes.h) picked;
    // 0 for the temperature.
    void OpenHistory(int series = 0);
    CHistoryDlg* HistoryDialog() const { return m_history; }
    // The self-test dialog of the shown disk.
    void OpenSelfTest();
    // Asks whether the disks as they are become the accepted state.
    void AskAcceptAlerts();
    // They become it (the button of a notification on the bus); while a
    // pass runs, after it.
    void AcceptAlerts();

    // State, for the tests and the accessibility check.
    const CCheckerMonitor& Monitor() const { return m_monitor; }
    const CInfoPanel& Panel() const { return *m_panel; }
    CAttributeListView* List() const { return m_list; }
    QToolBar* ToolBar() const { return m_toolBar; }
    CDiskButton* DiskButton(int index) const;
    CDiskButtonRow* DiskRow() const { return m_diskRow; }
    QLabel* Logo() const { return m_logo; }
    QAction* RefreshAction() const { return m_refresh; }
    QAction* SaveAction() const { return m_save; }
    QPushButton* CloseButton() const { return m_close; }
    QPushButton* MinimizeButton() const { return m_minimize; }
    CCheckerTray* Tray() const { return m_tray.get(); }
    CSelfTestWindow* SelfTests() const { return m_selfTests; }
    const CDesktopNotice& Notice() const { return m_notice; }
    bool IsTimerRunning() const { return m_monitor.IsTimerRunning(); }
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
    // What the monitor shows and asks.
    void Show(const CheckerSnapshot& snapshot) override;
    void SetBusy(bool busy) override;
    void Notify(const QString& title, const QString& text) override;
    bool AskYesNo(const QString& question) override;
    void Inform(const QString& message) override;
    QString PickFolder(const QString& prompt) override;

    void PressStar();
    void QuitByKey();
    void BuildToolBar();
    void FitToolBar();
    // Tab runs through the commands, the shown disk, "*", the list and the
    // two buttons, in the order they stand on the screen.
    void ChainFocus();
    void PlaceOnScreen();
    void AddDiskButton(int index);
    void ApplyLayout();
    void Teardown();
    diskpass::CDiskPassRunner* Runner();

    Setup m_setup;
    diskpass::CQtRefreshTimer m_timer;
    std::unique_ptr<diskpass::CThreadedPassRunner> m_ownRunner;
    CCheckerMonitor m_monitor;
    CDialogUnits m_units;
    QIcon m_icon;
    bool m_busy = false;
    // Locking the commands during a pass takes the focus from a locked
    // control; it comes back there afterwards.
    QPointer<QWidget> m_focusBeforeBusy;
    bool m_starWanted = false;
    bool m_quitting = false;
    bool m_tornDown = false;

    QToolBar* m_toolBar = nullptr;
    QAction* m_refresh = nullptr;
    QAction* m_save = nullptr;
    CDiskButtonRow* m_diskRow = nullptr;
    QPointer<CHistoryDlg> m_history; // one at a time, its own window
    std::unique_ptr<CInfoPanel> m_panel;
    CAttributeListView* m_list = nullptr;
    QPushButton* m_close = nullptr;
    QPushButton* m_minimize = nullptr;
    QLabel* m_logo = nullptr;
    std::unique_ptr<CCheckerTray> m_tray;
    CSelfTestWindow* m_selfTests = nullptr; // a child
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

} // namespace vorn::checker
