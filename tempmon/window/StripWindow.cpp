#include "StripWindow.h"

#include "PopupMenu.h"
#include "Smoothly.h"
#include "StripAccessible.h"
#include "StripPainter.h"
#include "Translation.h"
#include "Version.h"
#include "WinTypes.h"

#include <QAccessible>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
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
                                  Cm_Tr("HeatgaugeNotice",
                                        "ディスクの今の状態を基準にして、"
                                        "同じ変化は知らせないようにしますか？")) ==
            QMessageBox::Yes)
            m_monitor->AcceptAlerts();
    });
    // Where the notification goes over the bus it has a button instead,
    // and pressing it is the yes.
    m_notice.SetAction(QStringLiteral("accept"), Cm_Tr("HeatgaugeNotice", "今の状態を基準にする"));
    connect(&m_notice, &CDesktopNotice::actionInvoked, this, [this] { m_monitor->AcceptAlerts(); });
    setWindowTitle(QStringLiteral("HeatgaugeMini"));
    setWindowIcon(ProgramIcon());
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The strip is a gauge, not a place to type: it never takes the focus
    // from the window the user works in, and its tips show all the same.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_AlwaysShowToolTips);
    // Yet it takes the focus when the user clicks it or its tray icon, so
    // that its menu can be reached without a mouse (the menu key or
    // Shift+F10) and the arrow keys walk its cells.
    setFocusPolicy(Qt::StrongFocus);
    InstallStripAccessibility();
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
    m_picture = PaintStrip(m_readings, scale, devicePixelRatioF(), m_monitor->Columns());
    m_tray.Show(m_readings, scale, m_monitor->Settings().oneTrayIcon != 0);
    update();
}

void CStripWindow::ShowAbout() {
    ShowHeatgaugeAbout(this);
}

void CStripWindow::Activate() {
    raise();
    activateWindow();
    setFocus(Qt::OtherFocusReason);
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
    const int cell =
        strip::CellAt(help->pos().x(), help->pos().y(), CellCount(), m_monitor->Columns());
    if (cell < 0) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    const WinRect c = strip::Cell(cell, m_monitor->Columns());
    QToolTip::showText(help->globalPos(), ReadingTip(m_readings[cell]), this,
                       QRect(c.left, c.top, c.Width(), c.Height()), 5000);
    return true;
}

void CStripWindow::paintEvent(QPaintEvent*) {
    // Moved to a screen of another scale: the picture is painted anew
    // there rather than stretched.
    if (!qFuzzyCompare(m_picture.devicePixelRatio(), devicePixelRatioF()))
        m_picture = PaintStrip(m_readings, m_monitor->Settings().Scale(), devicePixelRatioF(),
                               m_monitor->Columns());
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.drawImage(0, 0, m_picture);
    if (hasFocus() && m_focusCell < CellCount()) {
        // Black and white dashes read on every ball colour and on the grey
        // box alike.
        const QRectF cell = QRectF(CellRect(m_focusCell)).adjusted(2.5, 2.5, -2.5, -2.5);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, 1));
        p.drawRect(cell);
        p.setPen(QPen(Qt::black, 1, Qt::DashLine));
        p.drawRect(cell);
    }
}

QRect CStripWindow::CellRect(int index) const {
    const WinRect c = strip::Cell(index, m_monitor->Columns());
    return QRect(c.left, c.top, c.Width(), c.Height());
}

void CStripWindow::MoveFocusCell(int index) {
    if (index < 0 || index >= CellCount() || index == m_focusCell)
        return;
    m_focusCell = index;
    update();
    if (QAccessible::isActive()) {
        if (QAccessibleInterface* strip = QAccessible::queryAccessibleInterface(this)) {
            QAccessibleEvent focus(strip->child(index), QAccessible::Focus);
            QAccessible::updateAccessibility(&focus);
        }
    }
}

void CStripWindow::keyPressEvent(QKeyEvent* event) {
    const bool menuKey = event->key() == Qt::Key_Menu ||
                         (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (menuKey) {
        // Under the focused cell, where a pointer would have opened it.
        const QRect cell = CellCount() > 0 ? CellRect(m_focusCell) : rect();
        OpenMenu(mapToGlobal(cell.bottomLeft() + QPoint(0, 1)));
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left:
        MoveFocusCell(m_focusCell - 1);
        return;
    case Qt::Key_Right:
        MoveFocusCell(m_focusCell + 1);
        return;
    case Qt::Key_Up:
        if (m_monitor->Columns() > 0)
            MoveFocusCell(m_focusCell - m_monitor->Columns());
        return;
    case Qt::Key_Down:
        if (m_monitor->Columns() > 0)
            MoveFocusCell(m_focusCell + m_monitor->Columns());
        return;
    case Qt::Key_Home:
        MoveFocusCell(0);
        return;
    case Qt::Key_End:
        MoveFocusCell(CellCount() - 1);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CStripWindow::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void CStripWindow::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
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
        const int cell =
            strip::CellAt(event->position().toPoint().x(), event->position().toPoint().y(),
                          CellCount(), m_monitor->Columns());
        if (cell >= 0)
            MoveFocusCell(cell);
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

std::unique_ptr<QDialog> MakeHeatgaugeAbout(QWidget* parent) {
    CVersion version;
    version.ReadResourceInformation(nullptr);
    auto box = std::make_unique<QDialog>(parent);
    box->setWindowTitle(Cm_Tr("HeatgaugeAbout", "バージョン情報"));
    QFont font = HeatgaugeFont(12);
    font.setBold(false);
    font.setPointSize(9);
    box->setFont(font);
    auto* grid = new QGridLayout(box.get());
    auto* icon = new QLabel(box.get());
    icon->setPixmap(ProgramIcon().pixmap(32, 32));
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(new QLabel(version.GetAppInternalName() + QStringLiteral(" Version ") +
                                   version.GetAppDllVersion(),
                               box.get()),
                    0, 1);
    grid->addWidget(new QLabel(version.GetAppCopyright(), box.get()), 1, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, box.get());
    QObject::connect(buttons, &QDialogButtonBox::accepted, box.get(), &QDialog::accept);
    grid->addWidget(buttons, 0, 2, 2, 1, Qt::AlignTop);
    return box;
}

void ShowHeatgaugeAbout(QWidget* parent) {
    MakeHeatgaugeAbout(parent)->exec();
}
