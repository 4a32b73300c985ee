#include "CExToolBar24.h"

#include "CheckerCommands.h"

#include <QAction>
#include <QActionEvent>
#include <QPainter>
#include <QToolButton>

#include <memory>

namespace vorn::checker {

namespace {

constexpr int kSeparatorWidth = 8;

std::vector<CBitmapFilter*> Chain(const std::vector<std::unique_ptr<CBitmapFilter>>& filters,
                                  COLORREF key) {
    std::vector<CBitmapFilter*> chain;
    for (const auto& filter : filters) {
        filter->SetKeyColor(static_cast<int>(key & 0xFF), static_cast<int>((key >> 8) & 0xFF),
                            static_cast<int>((key >> 16) & 0xFF));
        chain.push_back(filter.get());
    }
    return chain;
}

std::vector<std::unique_ptr<CBitmapFilter>> DisabledChain() {
    std::vector<std::unique_ptr<CBitmapFilter>> filters;
    filters.push_back(std::make_unique<CGrayFilter>());
    for (int i = 0; i < 3; ++i)
        filters.push_back(std::make_unique<CLightnessFilter>(0.08f));
    return filters;
}

std::vector<std::unique_ptr<CBitmapFilter>> NormalChain() {
    std::vector<std::unique_ptr<CBitmapFilter>> filters;
    for (int i = 0; i < 2; ++i)
        filters.push_back(std::make_unique<CLightnessFilter>(0.04f));
    return filters;
}

// An etched frame: the shadow colour on the top and left edges, the
// highlight on the bottom and right ones.
void Draw3dRect(QPainter& painter, const QRect& rect, const QColor& topLeft,
                const QColor& bottomRight) {
    const int x = rect.x(), y = rect.y(), cx = rect.width(), cy = rect.height();
    painter.fillRect(x, y, cx - 1, 1, topLeft);
    painter.fillRect(x, y, 1, cy - 1, topLeft);
    painter.fillRect(x + cx - 1, y, 1, cy, bottomRight);
    painter.fillRect(x, y + cy - 1, cx, 1, bottomRight);
}

} // namespace

CExToolBar24::CExToolBar24(QWidget* parent) : QToolBar(parent) {
    setObjectName(QStringLiteral("CExToolBar24"));
    setMovable(false);
    setFloatable(false);
    setIconSize(m_imageSize);
}

CExToolBar24::~CExToolBar24() = default;

QString CExToolBar24::DefaultBitmap() {
    return QStringLiteral(":/toolbar/Toolbar24.bmp");
}

BOOL CExToolBar24::LoadToolBar() {
    for (int id : kStandardToolbarCommands) {
        if (m_commands.count(id))
            return FALSE;
    }
    for (int id : kStandardToolbarCommands)
        AddCommand(id);
    addSeparator();
    return TRUE;
}

QAction* CExToolBar24::AddCommand(int commandId) {
    const CheckerCommand* command = FindCheckerCommand(commandId);
    if (!command || m_commands.count(commandId))
        return nullptr;
    const QString description = CheckerCommandString(commandId);
    // The tip is the description whole; the text, which also names the
    // button to assistive technology, is its last line, the short name.
    auto* added = new QAction(description.section(u'\n', -1), this);
    added->setToolTip(description);
    added->setData(commandId);
    m_commands[commandId] = added;
    addAction(added);
    SetCommandIcon(added, command->image);
    return added;
}

QAction* CExToolBar24::action(int commandId) const {
    const auto found = m_commands.find(commandId);
    return found == m_commands.end() ? nullptr : found->second;
}

void CExToolBar24::SetButtonImageSize(int cx, int cy) {
    m_imageSize = QSize(cx, cy);
    setIconSize(m_imageSize);
    for (const auto& entry : m_commands)
        SizeButton(entry.second);
}

void CExToolBar24::SizeButton(QAction* command) const {
    if (auto* button = qobject_cast<QToolButton*>(widgetForAction(command)))
        button->setFixedSize(ButtonSize());
}

BOOL CExToolBar24::LoadButtonImages(const QString& path, COLORREF mask) {
    m_bmpHot = QImage(path);
    if (m_bmpHot.isNull())
        return FALSE;
    m_hotImages = CutImageList(m_bmpHot, mask);

    // A chain that fails leaves its bitmap as loaded, which still serves.
    const auto disabled = DisabledChain();
    if (m_bmpDisabled.LoadBitmap(path))
        m_bmpDisabled.ApplyFilters(Chain(disabled, mask));
    m_disabledImages = CutImageList(m_bmpDisabled.Image(), mask);

    const auto normal = NormalChain();
    if (m_bmpNormal.LoadBitmap(path))
        m_bmpNormal.ApplyFilters(Chain(normal, mask));
    m_normalImages = CutImageList(m_bmpNormal.Image(), mask);

    LoadHiDpiImages(HiDpiPath(path), mask);
    for (const auto& entry : m_commands)
        SetCommandIcon(entry.second, FindCheckerCommand(entry.first)->image);
    return TRUE;
}

QString CExToolBar24::HiDpiPath(const QString& path) {
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    if (dot <= slash)
        return path + QStringLiteral("@2x");
    return path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
}

void CExToolBar24::LoadHiDpiImages(const QString& path, COLORREF mask) {
    m_hiDpiImages.clear();
    // A twin of another size would cut pictures out of their places.
    const QImage hot(path);
    if (hot.isNull() || hot.size() != m_bmpHot.size() * 2)
        return;
    const QSize size = m_imageSize * 2;
    m_hiDpiImages[QIcon::Active] = CutImageList(hot, mask, size, 2);
    CFilterBitmap normal;
    if (normal.LoadBitmap(path))
        normal.ApplyFilters(Chain(NormalChain(), mask));
    m_hiDpiImages[QIcon::Normal] = CutImageList(normal.Image(), mask, size, 2);
    CFilterBitmap disabled;
    if (disabled.LoadBitmap(path))
        disabled.ApplyFilters(Chain(DisabledChain(), mask));
    m_hiDpiImages[QIcon::Disabled] = CutImageList(disabled.Image(), mask, size, 2);
}

QPixmap CExToolBar24::HiDpiImage(QIcon::Mode mode, int index) const {
    const auto list = m_hiDpiImages.find(mode == QIcon::Selected ? QIcon::Normal : mode);
    if (list == m_hiDpiImages.end() || index < 0 || index >= int(list->second.size()))
        return QPixmap();
    return list->second[std::size_t(index)];
}

std::vector<QPixmap> CExToolBar24::CutImageList(const QImage& bitmap, COLORREF mask) const {
    return CutImageList(bitmap, mask, m_imageSize, 1);
}

std::vector<QPixmap> CExToolBar24::CutImageList(const QImage& bitmap, COLORREF mask, QSize size,
                                                qreal ratio) const {
    std::vector<QPixmap> images;
    if (bitmap.isNull() || size.isEmpty())
        return images;
    QImage masked = bitmap.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = qRgb(static_cast<int>(mask & 0xFF), static_cast<int>((mask >> 8) & 0xFF),
                          static_cast<int>((mask >> 16) & 0xFF));
    for (int y = 0; y < masked.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x) {
            if ((line[x] & 0x00FFFFFF) == (key & 0x00FFFFFF))
                line[x] = 0;
        }
    }
    for (int x = 0; x + size.width() <= masked.width(); x += size.width()) {
        QPixmap picture = QPixmap::fromImage(masked.copy(QRect(QPoint(x, 0), size)));
        picture.setDevicePixelRatio(ratio);
        images.push_back(picture);
    }
    return images;
}

QPixmap CExToolBar24::Image(QIcon::Mode mode, int index) const {
    const std::vector<QPixmap>& list = mode == QIcon::Active     ? m_hotImages
                                       : mode == QIcon::Disabled ? m_disabledImages
                                                                 : m_normalImages;
    if (index < 0 || index >= static_cast<int>(list.size()))
        return QPixmap();
    return list[static_cast<std::size_t>(index)];
}

void CExToolBar24::SetCommandIcon(QAction* command, int image) const {
    // All three modes are set, so Qt never greys a picture on its own.
    QIcon icon;
    for (QIcon::Mode mode : {QIcon::Normal, QIcon::Active, QIcon::Disabled}) {
        const QPixmap picture = Image(mode, image);
        if (!picture.isNull())
            icon.addPixmap(picture, mode);
        const QPixmap sharp = HiDpiImage(mode, image);
        if (!sharp.isNull())
            icon.addPixmap(sharp, mode);
    }
    command->setIcon(icon);
}

void CExToolBar24::actionEvent(QActionEvent* event) {
    QToolBar::actionEvent(event);
    if (event->type() != QEvent::ActionAdded)
        return;
    QAction* added = event->action();
    QWidget* widget = widgetForAction(added);
    if (!widget)
        return;
    if (added->isSeparator()) {
        widget->setFixedWidth(kSeparatorWidth);
        widget->installEventFilter(this);
    } else if (m_commands.count(added->data().toInt()) &&
               m_commands.at(added->data().toInt()) == added) {
        SizeButton(added);
    }
}

bool CExToolBar24::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::Paint && widget && widget->parentWidget() == this) {
        PaintSeparator(widget);
        return true;
    }
    return QToolBar::eventFilter(watched, event);
}

bool CExToolBar24::PaintsEtchedLine(const QWidget* separator) {
    return separator->width() <= kSeparatorWidth && separator->x() != 0;
}

void CExToolBar24::PaintSeparator(QWidget* separator) const {
    if (!PaintsEtchedLine(separator))
        return;
    QPainter painter(separator);
    const QRect line((separator->width() - 2) / 2, 0, 2, separator->height());
    Draw3dRect(painter, line, palette().color(QPalette::Dark), palette().color(QPalette::Light));
}

} // namespace vorn::checker
