#include "CheckerWindow.h"

#include "AboutBox.h"
#include "AttributeDetailDialog.h"
#include "AttributeList.h"
#include "CDiskButton.h"
#include "CExToolBar24.h"
#include "CheckerCommands.h"
#include "CheckerTray.h"
#include "DiskButtonRow.h"
#include "HistoryDialog.h"
#include "SelfTestWindow.h"
#include "SeriesCodes.h"
#include "ShippedFiles.h"
#include "Translation.h"
#include "WindowPlacement.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
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

// Marked here, translated where shown: the catalogue is installed after
// the program's statics are made.
constexpr const char* kQuitQuestion =
    QT_TRANSLATE_NOOP("CheckerWindow", "「Drivewatch Vuda」を終了します。よろしいですか？");
constexpr const char* kNoManual = QT_TRANSLATE_NOOP("CheckerWindow", "ヘルプファイルがありません");
constexpr const char* kNoViewer =
    QT_TRANSLATE_NOOP("CheckerWindow", "ヘルプファイルを開くプログラムがありません。"
                                       "ウェブブラウザーをインストールしてください。\n%1");
constexpr const char* kNoDisk =
    QT_TRANSLATE_NOOP("CheckerWindow", "ディスクが見つかりませんでした");
constexpr const char* kSmartOff =
    QT_TRANSLATE_NOOP("CheckerWindow", "S.M.A.R.T. が無効のため、属性はありません");
constexpr const char* kNoAttributes =
    QT_TRANSLATE_NOOP("CheckerWindow", "このディスクは S.M.A.R.T. の属性を返しませんでした");
// The button of a notification on the bus, where no balloon can be clicked:
// pressing it is the yes to the monitor's question whether to accept.
const QString kAcceptAction = QStringLiteral("accept");
constexpr const char* kAcceptLabel = QT_TRANSLATE_NOOP("CheckerWindow", "今の状態を基準にする");

QString Text(const char* source) {
    return Cm_Tr("CheckerWindow", source);
}

// The panel's S.M.A.R.T. field as checker/core words a disk that has it
// switched off, in either language. The word is checker/core's: it stands
// in that room's catalogue, under that room's context.
bool SaysSmartOff(const QString& field) {
    static const char* const kOff = "無効";
    return field == QString::fromUtf8(kOff) || field == Cm_Tr("PanelText", kOff);
}

// The page behind the support command: the manual's own support section.
const QString kSupportAnchor = QStringLiteral("#support");

constexpr int kFadeStepFirst = 5;
constexpr int kFadeStep = 10;

} // namespace

CCheckerDlg::CCheckerDlg(Setup setup, QWidget* parent)
    : QDialog(parent), m_setup(std::move(setup)),
      m_monitor(m_setup.options, {m_setup.session, m_setup.startDir, &m_timer, Runner(),
                                  m_setup.historyPath, m_setup.historyNotice}),
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
    m_list->setAccessibleName(Cm_Tr("CheckerWindow", "SMART属性"));
    m_list->setGeometry(m_units.Rect(7, 97, 417, 176));
    m_list->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    connect(m_list, &CAttributeListView::rowActivated, this, &CCheckerDlg::OpenDetail);

    m_close = new QPushButton(Cm_Tr("CheckerWindow", "閉じる"), this);
    m_close->setGeometry(m_units.X(7), m_units.Y(278), ButtonWidth(*m_close, m_units.X(50)),
                         m_units.Y(14));
    connect(m_close, &QPushButton::clicked, this, &CCheckerDlg::ConfirmQuit);
    m_minimize = new QPushButton(Cm_Tr("CheckerWindow", "最小化"), this);
    // Kept to the list's right edge however wide its caption makes it.
    const int minimizeWidth = ButtonWidth(*m_minimize, m_units.X(50));
    m_minimize->setGeometry(m_units.X(424) - minimizeWidth, m_units.Y(278), minimizeWidth,
                            m_units.Y(14));
    connect(m_minimize, &QPushButton::clicked, this, &CCheckerDlg::HideToTray);
    for (QPushButton* button : {m_close, m_minimize, m_panel->StarButton()})
        button->setAutoDefault(false);

    m_logo = new QLabel(this);
    m_logo->setObjectName(QStringLiteral("logo"));
    m_logo->setPixmap(QPixmap(QStringLiteral(":/drivewatch/logo.png")));
    m_logo->setScaledContents(true);
    m_logo->setAccessibleName(QStringLiteral("Drivewatch Vuda"));
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
    m_notice.SetAction(kAcceptAction, Text(kAcceptLabel));
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
    FitToolBar();
    ChainFocus();
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
    connect(AddHistoryAction(toolBar), &QAction::triggered, this, [this] { OpenHistory(); });
    for (QAction* action : toolBar->actions()) {
        if (QWidget* button = toolBar->widgetForAction(action); button && !action->isSeparator())
            button->setFocusPolicy(Qt::TabFocus);
    }
    m_diskRow = new CDiskButtonRow(this);
}

void CCheckerDlg::FitToolBar() {
    // The toolbar spans the top up to the logo; the disks take the room
    // between its commands and the logo, and scroll when it is too small.
    // The toolbar holds the commands only, so its hint is their width, also
    // with a command added later.
    const int logo = m_logo ? m_logo->x() : m_units.X(326);
    const int commands = m_toolBar->sizeHint().width();
    const int height = m_toolBar->sizeHint().height();
    m_toolBar->setGeometry(0, 0, std::max(commands, logo), height);
    m_diskRow->setGeometry(commands, 0, std::max(0, logo - commands), height);
    m_diskRow->raise();
}

void CCheckerDlg::ChainFocus() {
    QList<QWidget*> chain;
    for (QAction* action : m_toolBar->actions()) {
        QWidget* button = m_toolBar->widgetForAction(action);
        if (button && !action->isSeparator())
            chain << button;
    }
    for (int k = 0; k < m_diskRow->Count(); ++k)
        chain << m_diskRow->Button(k);
    chain << m_panel->StarButton() << m_list << m_close << m_minimize;
    for (int k = 1; k < chain.size(); ++k)
        setTabOrder(chain[k - 1], chain[k]);
}

void CCheckerDlg::PlaceOnScreen() {
    const QScreen* where = screen();
    if (!where)
        return;
    const QRect placed =
        PlaceWithin(size(), AssumedFrame(fontMetrics().height()), where->availableGeometry());
    setGeometry(placed);
}

void CCheckerDlg::Start() {
    const bool hidden = m_setup.options.m_bOptMini && m_tray->Available();
    PlaceOnScreen();
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
    auto* button = new CDiskButton(std::nullopt, icon);
    button->setObjectName(QStringLiteral("disk%1").arg(index));
    connect(button, &CDiskButton::clicked, this, [this, index] { SelectDisk(index); });
    m_diskRow->Add(button);
}

CDiskButton* CCheckerDlg::DiskButton(int index) const {
    return m_diskRow->Button(index);
}

void CCheckerDlg::Show(const CheckerSnapshot& snapshot) {
    // The squares come with the scan's disks.
    if (std::size_t(m_diskRow->Count()) < snapshot.disks.size()) {
        for (std::size_t k = std::size_t(m_diskRow->Count()); k < snapshot.disks.size(); ++k)
            AddDiskButton(int(k));
        FitToolBar();
        ChainFocus();
    }
    for (std::size_t k = 0; k < snapshot.disks.size(); ++k) {
        CDiskButton* button = m_diskRow->Button(int(k));
        button->SetValues(snapshot.disks[k].button);
        button->SetState(snapshot.disks[k].state);
        button->setToolTip(snapshot.disks[k].tip);
    }
    m_diskRow->SetCurrent(snapshot.shown);
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
    if (!shown) {
        m_list->SetEmptyText(QString());
        // While the scan runs an empty panel is no news yet.
        m_panel->ShowMessage(snapshot.disks.empty() && !m_busy ? Text(kNoDisk) : QString());
        return;
    }
    m_list->SetEmptyText(
        Text(SaysSmartOff(shown->panel[PanelField::Smart]) ? kSmartOff : kNoAttributes));
    m_panel->ShowMessage(QString());
    m_panel->Show(shown->panel, shown->state);
    m_starWanted = shown->panel.starEnabled;
    if (m_busy)
        m_panel->StarButton()->setEnabled(false);
    update();
}

void CCheckerDlg::SetBusy(bool busy) {
    m_busy = busy;
    if (busy && focusWidget())
        m_focusBeforeBusy = focusWidget();
    m_toolBar->setEnabled(!busy);
    m_diskRow->setEnabled(!busy);
    if (!busy && m_focusBeforeBusy) {
        if (!focusWidget() || focusWidget() != m_focusBeforeBusy)
            m_focusBeforeBusy->setFocus(Qt::OtherFocusReason);
        m_focusBeforeBusy = nullptr;
    }
    if (!busy && m_diskRow->Count() == 0)
        m_panel->ShowMessage(Text(kNoDisk));
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
    const int id = figures->id;
    dialog.SetHistory([this, id, &dialog] {
        dialog.accept();
        OpenHistory(history::series::kAttributeRaw + id);
    });
    m_setup.services.runModal(dialog);
}

void CCheckerDlg::OpenHistory(int series) {
    const DiskSnapshot* shown = m_monitor.Snapshot().Shown();
    if (!shown)
        return;
    delete m_history; // the graph is always of the disk shown now
    CHistoryDlg::Setup setup{m_setup.historyPath,
                             m_setup.historyWorker ? m_setup.historyWorker
                                                   : diskpass::ThreadPoolWorker(),
                             [clock = m_setup.session.now] { return clock() * 1000; }};
    m_history = new CHistoryDlg(std::move(setup), *shown, series, this);
    m_history->setAttribute(Qt::WA_DeleteOnClose);
    m_history->show();
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
    const QString path = ManualPath(m_setup.startDir, Cm_InterfaceLanguage());
    if (!QFileInfo(path).isFile())
        m_setup.services.inform(this, Text(kNoManual));
    else if (!m_setup.services.openExternal(QUrl::fromLocalFile(path).toString()))
        m_setup.services.inform(this, Text(kNoViewer).arg(path));
}

void CCheckerDlg::OpenSupportPage() {
    const QString path = ManualPath(m_setup.startDir, Cm_InterfaceLanguage());
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
    if (!m_setup.services.askYesNo(this, Text(kQuitQuestion)))
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
    // F1 and the commands' keys reach here from whichever control has the
    // focus, as none of them uses these keys.
    const auto command = [event]() -> void (CCheckerDlg::*)() {
        const int key = event->key();
        const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
        if (event->matches(QKeySequence::HelpContents))
            return &CCheckerDlg::OpenManual;
        if (event->matches(QKeySequence::Refresh) ||
            (key == Qt::Key_R && mods == Qt::ControlModifier))
            return &CCheckerDlg::Refresh;
        if (event->matches(QKeySequence::Save))
            return &CCheckerDlg::SaveReports;
        if (key == Qt::Key_Asterisk)
            return &CCheckerDlg::PressStar;
        if (key == Qt::Key_Q && mods == Qt::ControlModifier)
            return &CCheckerDlg::QuitByKey;
        if (key == Qt::Key_M && mods == Qt::ControlModifier)
            return &CCheckerDlg::HideToTray;
        return nullptr;
    }();
    if (command) {
        event->accept();
        (this->*command)();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CCheckerDlg::PressStar() {
    // As the button: nothing while it is greyed.
    if (m_panel->StarButton()->isEnabled())
        m_panel->StarButton()->click();
}

void CCheckerDlg::QuitByKey() {
    ConfirmQuit();
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
    m_panel->FitMessage();
    m_logo->move(w - m_margins.logoRight, m_logo->y());
    FitToolBar();
}

void CCheckerDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // Minimising by the window manager hides into the notification area,
    // as the minimise button does; the window comes back in its normal state.
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
