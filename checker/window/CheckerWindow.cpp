#include "CheckerWindow.h"

#include "AboutBox.h"
#include "AttributeDetailDialog.h"
#include "AttributeList.h"
#include "CDiskButton.h"
#include "CExToolBar24.h"
#include "CheckerCommands.h"
#include "CheckerTray.h"
#include "SelfTestWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QToolBar>
#include <QUrl>

#include <utility>

// The icon and logo are compiled into this static library; a program that
// links it must register them before the first window needs them. Qt's
// resource macro declares its initialiser where it stands, so it must stand
// outside any namespace.
static void InitWindowResources() {
    Q_INIT_RESOURCE(DrivewatchMini);
}

using namespace vorn::diskpass;

namespace vorn::checker {

namespace {

const QString kQuitQuestion = QStringLiteral("「Drivewatch Vuda」を終了します。よろしいですか？");
const QString kNoManual = QStringLiteral("ヘルプファイルがありません");
// The button of a notification on the bus, where no balloon can be clicked:
// pressing it is the yes to the monitor's question whether to accept.
const QString kAcceptAction = QStringLiteral("accept");
const QString kAcceptLabel = QStringLiteral("今の状態を基準にする");

// The page behind "サポート情報": the manual's own support section.
const QString kSupportAnchor = QStringLiteral("#support");

constexpr int kFadeStepFirst = 5;
constexpr int kFadeStep = 10;

} // namespace

CCheckerDlg::CCheckerDlg(Setup setup, QWidget* parent)
    : QDialog(parent), m_setup(std::move(setup)),
      m_monitor(m_setup.options, {m_setup.session, m_setup.startDir, &m_timer, Runner()}),
      m_units((setFont(CheckerDialogFont()), font())),
      m_icon((InitWindowResources(), QIcon(QStringLiteral(":/drivewatch/icon.png")))) {
    setWindowTitle(QStringLiteral("Drivewatch Vuda"));
    setWindowIcon(m_icon);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    resize(m_units.X(430), m_units.Y(295));

    BuildToolBar();
    m_panel = std::make_unique<CInfoPanel>(this, m_units);
    m_panel->Background()->lower();
    connect(m_panel->StarButton(), &QPushButton::clicked, this,
            &CCheckerDlg::AskRestartMeasurement);

    m_list = new CAttributeListView(this);
    m_list->setObjectName(QStringLiteral("attributes"));
    m_list->setAccessibleName(QStringLiteral("SMART属性"));
    m_list->setGeometry(m_units.Rect(7, 97, 417, 176));
    m_list->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    connect(m_list, &CAttributeListView::rowActivated, this, &CCheckerDlg::OpenDetail);

    m_close = new QPushButton(QStringLiteral("閉じる"), this);
    m_close->setGeometry(m_units.Rect(7, 278, 50, 14));
    connect(m_close, &QPushButton::clicked, this, &CCheckerDlg::ConfirmQuit);
    m_minimize = new QPushButton(QStringLiteral("最小化"), this);
    m_minimize->setGeometry(m_units.Rect(374, 278, 50, 14));
    connect(m_minimize, &QPushButton::clicked, this, &CCheckerDlg::HideToTray);
    for (QPushButton* button : {m_close, m_minimize, m_panel->StarButton()})
        button->setAutoDefault(false);

    m_logo = new QLabel(this);
    m_logo->setObjectName(QStringLiteral("logo"));
    m_logo->setPixmap(QPixmap(QStringLiteral(":/drivewatch/logo.png")));
    m_logo->setScaledContents(true);
    m_logo->setGeometry(m_units.Rect(326, 3, 98, 25));

    m_tray = std::make_unique<CCheckerTray>(m_icon, m_setup.trayTip, m_setup.trayAvailable);
    connect(m_tray.get(), &CCheckerTray::openMainRequested, this, &CCheckerDlg::OpenMain);
    connect(m_tray.get(), &CCheckerTray::supportRequested, this, &CCheckerDlg::OpenSupportPage);
    connect(m_tray.get(), &CCheckerTray::aboutRequested, this, &CCheckerDlg::ShowAbout);
    connect(m_tray.get(), &CCheckerTray::exitRequested, this, &CCheckerDlg::ConfirmQuit);
    connect(m_tray.get(), &CCheckerTray::selfTestRequested, this, &CCheckerDlg::OpenSelfTest);
    m_selfTests = new CSelfTestWindow(
        {Runner(),
         m_setup.selfTestTimer
             ? m_setup.selfTestTimer
             : [] { return std::unique_ptr<CRefreshTimer>(std::make_unique<CQtRefreshTimer>()); },
         m_setup.selfTestClock},
        this);
    m_notice.SetTrayIcon(m_tray->Icon());
    m_notice.SetClicked([this] { AskAcceptAlerts(); });
    m_notice.SetAction(kAcceptAction, kAcceptLabel);
    connect(&m_notice, &CDesktopNotice::actionInvoked, this, &CCheckerDlg::AcceptAlerts);

    // The distances the layout keeps, from the window's first size.
    const QSize size = this->size();
    m_margins.listRight = size.width() - m_list->geometry().right();
    m_margins.listBottom = size.height() - m_list->geometry().bottom();
    m_margins.minimizeRight = size.width() - m_minimize->x();
    m_margins.minimizeBottom = size.height() - m_minimize->y();
    m_margins.closeBottom = size.height() - m_close->y();
    m_margins.panelRight = size.width() - m_panel->Background()->geometry().right();
    m_margins.logoRight = size.width() - m_logo->x();
}

CCheckerDlg::~CCheckerDlg() {
    Teardown();
}

CDiskPassRunner* CCheckerDlg::Runner() {
    if (m_setup.runner)
        return m_setup.runner;
    // Asked by the checker and the self-tests alike: one runner for both.
    if (!m_ownRunner)
        m_ownRunner = std::make_unique<CThreadedPassRunner>();
    return m_ownRunner.get();
}

void CCheckerDlg::BuildToolBar() {
    auto* toolBar = new CExToolBar24(this);
    m_toolBar = toolBar;
    toolBar->setObjectName(QStringLiteral("toolbar"));
    toolBar->LoadToolBar();
    toolBar->SetButtonImageSize(32, 32);
    // Without its pictures the toolbar still works, by its tips.
    toolBar->LoadButtonImages(CExToolBar24::DefaultBitmap(), 0xFF00FF);
    toolBar->setContentsMargins(12, 4, 2, 4);
    const std::pair<int, void (CCheckerDlg::*)()> commands[] = {
        {ID_SMART_UPDATE, &CCheckerDlg::Refresh},   {ID_FILE_SAVE_AS, &CCheckerDlg::SaveReports},
        {ID_APP_ABOUT, &CCheckerDlg::ShowAbout},    {ID_HELP_MANUAL, &CCheckerDlg::OpenManual},
        {ID_SELF_TEST, &CCheckerDlg::OpenSelfTest},
    };
    toolBar->AddCommand(ID_SELF_TEST);
    for (const auto& [id, slot] : commands) {
        if (QAction* action = toolBar->action(id))
            connect(action, &QAction::triggered, this, slot);
    }
    m_refresh = toolBar->action(ID_SMART_UPDATE);
    m_save = toolBar->action(ID_FILE_SAVE_AS);
    FitToolBar();
}

void CCheckerDlg::FitToolBar() {
    // The toolbar spans the top up to the logo.
    m_toolBar->setGeometry(0, 0, std::max(m_toolBar->sizeHint().width(), m_units.X(326)),
                           m_toolBar->sizeHint().height());
}

void CCheckerDlg::Start() {
    const bool hidden = m_setup.options.m_bOptMini && m_tray->Available();
    if (m_setup.services.createSmoothly)
        m_setup.services.createSmoothly(this, !hidden);
    if (!hidden) {
        show();
        if (m_setup.services.showSmoothly)
            m_setup.services.showSmoothly(this, 1, kFadeStepFirst, 100);
    }
    m_monitor.Start(this);
}

void CCheckerDlg::AddDiskButton(int index) {
    const QIcon icon = m_setup.services.driveIcon ? m_setup.services.driveIcon() : QIcon();
    auto* button = new CDiskButton(std::nullopt, icon, m_toolBar);
    button->setObjectName(QStringLiteral("disk%1").arg(index));
    connect(button, &CDiskButton::clicked, this, [this, index] { SelectDisk(index); });
    m_toolBar->addWidget(button);
    m_diskButtons.push_back(button);
}

CDiskButton* CCheckerDlg::DiskButton(int index) const {
    return index >= 0 && index < int(m_diskButtons.size()) ? m_diskButtons[index] : nullptr;
}

void CCheckerDlg::Show(const CheckerSnapshot& snapshot) {
    // The squares come with the scan's disks.
    if (m_diskButtons.size() < snapshot.disks.size()) {
        for (std::size_t k = m_diskButtons.size(); k < snapshot.disks.size(); ++k)
            AddDiskButton(int(k));
        FitToolBar();
    }
    for (std::size_t k = 0; k < snapshot.disks.size(); ++k) {
        m_diskButtons[k]->SetValues(snapshot.disks[k].button);
        m_diskButtons[k]->SetState(snapshot.disks[k].state);
        m_diskButtons[k]->setToolTip(snapshot.disks[k].tip);
    }
    m_tray->SetTip(TrayTip(m_setup.trayTip, snapshot));
    if (m_selfTests && !snapshot.disks.empty())
        m_selfTests->Attach(m_monitor.Session().Disks());

    const DiskSnapshot* shown = snapshot.Shown();
    QList<AttributeRow> rows;
    if (shown) {
        for (const ListedAttribute& attribute : shown->attributes)
            rows.append(attribute.row);
    }
    m_list->Model()->SetRows(rows);
    if (!shown)
        return;
    m_panel->Show(shown->panel, shown->state);
    m_starWanted = shown->panel.starEnabled;
    if (m_busy)
        m_panel->StarButton()->setEnabled(false);
    update();
}

void CCheckerDlg::SetBusy(bool busy) {
    m_busy = busy;
    m_toolBar->setEnabled(!busy);
    m_panel->StarButton()->setEnabled(!busy && m_starWanted);
    if (busy)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

void CCheckerDlg::Notify(const QString& title, const QString& text) {
    m_notice.Show(title, text);
}

bool CCheckerDlg::AskYesNo(const QString& question) {
    return m_setup.services.askYesNo && m_setup.services.askYesNo(this, question);
}

void CCheckerDlg::Inform(const QString& message) {
    if (m_setup.services.inform)
        m_setup.services.inform(this, message);
}

QString CCheckerDlg::PickFolder(const QString& prompt) {
    return m_setup.services.pickFolder ? m_setup.services.pickFolder(prompt) : QString();
}

void CCheckerDlg::SelectDisk(int index) {
    m_monitor.Select(index);
}

void CCheckerDlg::Refresh() {
    m_monitor.Refresh();
}

void CCheckerDlg::TimerPass() {
    m_monitor.TimerPass();
}

void CCheckerDlg::AskAcceptAlerts() {
    m_monitor.AskAcceptAlerts();
}

void CCheckerDlg::AcceptAlerts() {
    m_monitor.AcceptAlerts();
}

void CCheckerDlg::AskRestartMeasurement() {
    m_monitor.AskRestartMeasurement();
}

void CCheckerDlg::SaveReports() {
    m_monitor.SaveReports();
}

void CCheckerDlg::OpenDetail(int row) {
    const std::optional<AttributeFigures> figures = m_monitor.Detail(row);
    if (!figures)
        return;
    CAttributeDetailDlg dialog(*figures, m_setup.startDir, this);
    m_setup.services.runModal(dialog);
}

void CCheckerDlg::OpenSelfTest() {
    const CheckerSnapshot& snapshot = m_monitor.Snapshot();
    if (const DiskSnapshot* shown = snapshot.Shown(); shown && m_selfTests)
        m_selfTests->Open(snapshot.shown, shown->tip.section(QLatin1Char('\n'), 0, 0));
}

void CCheckerDlg::ShowAbout() {
    if (!m_setup.version)
        return;
    CAboutBox box(*m_setup.version, m_icon, this);
    m_setup.services.runModal(box);
}

void CCheckerDlg::OpenManual() {
    const QString path = QDir(m_setup.startDir).filePath(QString::fromLatin1(kManualFile));
    if (!QFileInfo(path).isFile() ||
        !m_setup.services.openExternal(QUrl::fromLocalFile(path).toString()))
        m_setup.services.inform(this, kNoManual);
}

void CCheckerDlg::OpenSupportPage() {
    const QString path = QDir(m_setup.startDir).filePath(QString::fromLatin1(kManualFile));
    m_setup.services.openExternal(QUrl::fromLocalFile(path).toString() + kSupportAnchor);
}

void CCheckerDlg::OpenMain() {
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    show();
    raise();
    activateWindow();
    if (m_setup.services.showSmoothly)
        m_setup.services.showSmoothly(this, 1, kFadeStep, 100);
}

void CCheckerDlg::HideToTray() {
    if (!m_tray->Available()) {
        // Hidden with no icon, the window could never be reached again.
        showMinimized();
        return;
    }
    if (m_setup.services.showSmoothly)
        m_setup.services.showSmoothly(this, 0, kFadeStep, 100);
    hide();
}

bool CCheckerDlg::ConfirmQuit() {
    if (m_quitting)
        return true;
    if (!m_setup.services.askYesNo(this, kQuitQuestion))
        return false;
    m_quitting = true;
    if (m_setup.services.showSmoothly && isVisible())
        m_setup.services.showSmoothly(this, 0, kFadeStep, 100);
    m_tray->Remove();
    hide();
    Teardown();
    emit finished();
    return true;
}

void CCheckerDlg::Teardown() {
    if (m_tornDown)
        return;
    m_tornDown = true;
    // No self-test command may follow the disks' end.
    delete std::exchange(m_selfTests, nullptr);
    m_monitor.Exit();
    if (m_setup.services.destroySmoothly)
        m_setup.services.destroySmoothly();
}

void CCheckerDlg::reject() {
    ConfirmQuit();
}

void CCheckerDlg::closeEvent(QCloseEvent* event) {
    if (m_quitting || ConfirmQuit())
        event->accept();
    else
        event->ignore();
}

void CCheckerDlg::keyPressEvent(QKeyEvent* event) {
    // Enter is no command of this window; it must not end it.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    // F1 reaches here from whichever control has the focus.
    if (event->matches(QKeySequence::HelpContents)) {
        event->accept();
        OpenManual();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CCheckerDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    ApplyLayout();
}

void CCheckerDlg::ApplyLayout() {
    if (!m_list)
        return;
    const int w = width();
    const int h = height();
    QRect list = m_list->geometry();
    list.setRight(w - m_margins.listRight);
    list.setBottom(h - m_margins.listBottom);
    m_list->setGeometry(list);
    m_minimize->move(w - m_margins.minimizeRight, h - m_margins.minimizeBottom);
    m_close->move(m_close->x(), h - m_margins.closeBottom);
    QRect panel = m_panel->Background()->geometry();
    panel.setRight(w - m_margins.panelRight);
    m_panel->Background()->setGeometry(panel);
    m_logo->move(w - m_margins.logoRight, m_logo->y());
}

void CCheckerDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // Minimising by the window manager hides into the notification area,
    // as "最小化" does; the window comes back in its normal state.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && m_tray->Available() &&
        !m_quitting) {
        QTimer::singleShot(0, this, [this] {
            if (!isMinimized())
                return;
            setWindowState(windowState() & ~Qt::WindowMinimized);
            hide();
        });
    }
}

} // namespace vorn::checker
