#include "StripWindow.h"

#include "PopupMenu.h"
#include "Smoothly.h"
#include "StripPainter.h"
#include "Version.h"
#include "WinTypes.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>
#include <QWindow>

namespace {

// The strip's fades step by 2 % every 2 ms.
constexpr int kFadeStep = 2;

WinRect ToWinRect(const QRect& r) {
    return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

} // namespace

CStripWindow::CStripWindow(CHeatgaugeMonitor* monitor)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), m_monitor(monitor),
      m_menu(std::make_unique<QMenu>()),
      m_tray(m_menu.get(), [monitor] { monitor->TrayClicked(); }),
      m_notice(QStringLiteral("Heatgauge Vuda")) {
    m_notice.SetClicked([this] {
        if (QMessageBox::question(this, QStringLiteral("Heatgauge Vuda"),
                                  QStringLiteral("ディスクの今の状態を基準にして、"
                                                 "同じ変化は知らせないようにしますか？")) ==
            QMessageBox::Yes)
            m_monitor->AcceptAlerts();
    });
    // Where the notification goes over the bus it has a button instead,
    // and pressing it is the yes.
    m_notice.SetAction(QStringLiteral("accept"), QStringLiteral("今の状態を基準にする"));
    connect(&m_notice, &CDesktopNotice::actionInvoked, this, [this] { m_monitor->AcceptAlerts(); });
    setWindowTitle(QStringLiteral("HeatgaugeMini"));
    setWindowIcon(ProgramIcon());
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The strip is a gauge, not a place to type: it never takes the focus
    // from the window the user works in, and its tips show all the same.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_AlwaysShowToolTips);
    connect(m_menu.get(), &QMenu::aboutToShow, this, [this] { Menu(); });
    FollowScreens();
    connect(qApp, &QGuiApplication::screenAdded, this, [this] { FollowScreens(); });
    connect(qApp, &QGuiApplication::screenRemoved, this, [this] { FollowScreens(); });
    connect(qApp, &QGuiApplication::primaryScreenChanged, this, [this] { FollowScreens(); });
}

CStripWindow::~CStripWindow() = default;

// A screen added or taken away changes the work area as much as a panel
// that grows; either way the strip follows.
void CStripWindow::FollowScreens() {
    disconnect(m_screenWatch);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        m_screenWatch = connect(screen, &QScreen::availableGeometryChanged, this,
                                [this] { m_monitor->WorkAreaChanged(WorkArea()); });
    m_monitor->WorkAreaChanged(WorkArea());
}

WinRect CStripWindow::WorkArea() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? ToWinRect(screen->availableGeometry()) : WinRect{0, 0, 640, 480};
}

void CStripWindow::Place(const WinRect& rect) {
    setFixedSize(rect.Width(), rect.Height());
    move(rect.left, rect.top);
}

void CStripWindow::SetFlag(Qt::WindowType flag, bool on) {
    if (testAttribute(Qt::WA_WState_Created) && bool(windowFlags() & flag) == on)
        return;
    const bool shown = isVisible();
    setWindowFlag(flag, on);
    // Changing a window's kind hides it.
    if (shown)
        show();
}

void CStripWindow::SetTopmost(bool topmost) {
    SetFlag(Qt::WindowStaysOnTopHint, topmost);
}

void CStripWindow::SetMouseInput(bool takesInput) {
    SetFlag(Qt::WindowTransparentForInput, !takesInput);
}

void CStripWindow::Fade(bool fadeIn, int percent) {
    if (fadeIn) {
        if (!isVisible())
            Cm_CreateSmoothly(this, TRUE);
        Cm_ShowSmoothly(this, TRUE, kFadeStep, percent);
        return;
    }
    Cm_ShowSmoothly(this, FALSE, kFadeStep, percent);
    // Faded out, the strip also leaves the screen: an invisible window would
    // still take the clicks meant for what lies below it.
    hide();
}

void CStripWindow::ShowReadings(const std::vector<DiskReading>& readings) {
    m_readings = readings;
    const ColourScale scale = m_monitor->Settings().Scale();
    m_picture = PaintStrip(m_readings, scale);
    m_tray.Show(m_readings, scale);
    update();
}

void CStripWindow::ShowAbout() {
    ShowHeatgaugeAbout(this);
}

void CStripWindow::Activate() {
    raise();
    activateWindow();
}

void CStripWindow::Finish(bool fadeOut, int percent) {
    m_tray.Remove();
    if (fadeOut)
        Cm_ShowSmoothly(this, FALSE, kFadeStep, percent);
    Cm_DestroySmoothly();
    hide();
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void CStripWindow::ShowHistory(const vorn::diskpass::GraphQuery& query) {
    if (!m_history)
        m_history = std::make_unique<CTemperatureHistory>(
            m_historyWorker ? m_historyWorker : vorn::diskpass::ThreadPoolWorker());
    m_history->Open(query);
}

void CStripWindow::Notify(const QString& title, const QString& text) {
    m_notice.SetTrayIcon(m_tray.MessageIcon());
    m_notice.Show(title, text);
}

QMenu* CStripWindow::Menu() {
    FillPopupMenu(m_menu.get(), m_monitor->Settings(),
                  [this](int command) { m_monitor->Command(command); });
    return m_menu.get();
}

void CStripWindow::OpenMenu(const QPoint& globalPos) {
    Menu()->popup(globalPos);
}

bool CStripWindow::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const int cell = strip::CellAt(help->pos().x(), help->pos().y(), int(m_readings.size()));
    if (cell < 0) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    const WinRect c = strip::Cell(cell);
    QToolTip::showText(help->globalPos(), ReadingTip(m_readings[cell]), this,
                       QRect(c.left, c.top, c.Width(), c.Height()), 5000);
    return true;
}

void CStripWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.drawImage(0, 0, m_picture);
}

void CStripWindow::mousePressEvent(QMouseEvent* event) {
    // A native Wayland client cannot place itself: there the compositor
    // moves the strip, without snapping.
    if (event->button() == Qt::LeftButton &&
        QGuiApplication::platformName().startsWith(QLatin1String("wayland")) && windowHandle()) {
        windowHandle()->startSystemMove();
        return;
    }
    if (event->button() == Qt::LeftButton) {
        const QPoint at = event->globalPosition().toPoint();
        m_monitor->Press(at.x(), at.y());
    }
}

void CStripWindow::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        const QPoint at = event->globalPosition().toPoint();
        m_monitor->Drag(at.x(), at.y());
    }
}

void CStripWindow::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->globalPosition().toPoint();
    if (event->button() == Qt::LeftButton)
        m_monitor->Release(at.x(), at.y());
    else if (event->button() == Qt::RightButton)
        OpenMenu(at);
}

void ShowHeatgaugeAbout(QWidget* parent) {
    CVersion version;
    version.ReadResourceInformation(nullptr);
    QDialog box(parent);
    box.setWindowTitle(QStringLiteral("バージョン情報"));
    QFont font = HeatgaugeFont(12);
    font.setBold(false);
    font.setPointSize(9);
    box.setFont(font);
    auto* grid = new QGridLayout(&box);
    auto* icon = new QLabel(&box);
    icon->setPixmap(ProgramIcon().pixmap(32, 32));
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(new QLabel(version.GetAppInternalName() + QStringLiteral(" Version ") +
                                   version.GetAppDllVersion(),
                               &box),
                    0, 1);
    grid->addWidget(new QLabel(version.GetAppCopyright(), &box), 1, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    grid->addWidget(buttons, 0, 2, 2, 1, Qt::AlignTop);
    box.exec();
}
