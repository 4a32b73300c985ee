#pragma once

#include "CFilterBitmap.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QToolBar>

#include <map>
#include <vector>

class QAction;

namespace vorn::checker {

// The checker's flat toolbar with large true-colour pictures. One bitmap of
// pictures side by side gives three image lists: hot (the mouse is over the
// button) the bitmap itself, normal a slightly lightened copy, disabled a
// grey, strongly lightened one. Pixels of the mask colour are transparent in
// all three. The toolbar also paints its separators as etched lines.
class CExToolBar24 : public QToolBar {
    Q_OBJECT

public:
    explicit CExToolBar24(QWidget* parent = nullptr);
    ~CExToolBar24() override;

    // The standard commands (refresh, save, about, manual) and a separator.
    // FALSE when they are already there.
    BOOL LoadToolBar();
    // Adds the button of a command from the checker's command table: its
    // picture, its description as tooltip and as text. Null for an id the
    // table lacks or one already added.
    QAction* AddCommand(int commandId);
    // The action of a command added before, or null.
    QAction* action(int commandId) const;

    // Pictures of cx by cy; command buttons become (cx + 7) by (cy + 6).
    void SetButtonImageSize(int cx, int cy);
    QSize ButtonImageSize() const { return m_imageSize; }
    QSize ButtonSize() const { return m_imageSize + QSize(7, 6); }

    // Builds the three image lists from the bitmap at path (a file or a
    // ":/" resource) and gives every command button its three pictures.
    // FALSE when the bitmap cannot be read; a failed filter chain leaves
    // that list built from the bitmap as loaded.
    BOOL LoadButtonImages(const QString& path, COLORREF mask);

    // Picture index of the image list of mode (Normal, Active for hot,
    // Disabled); null when there is none.
    QPixmap Image(QIcon::Mode mode, int index) const;
    // The three bitmaps the lists were cut from, before masking.
    const QImage& HotBitmap() const { return m_bmpHot; }
    const QImage& NormalBitmap() const { return m_bmpNormal.Image(); }
    const QImage& DisabledBitmap() const { return m_bmpDisabled.Image(); }

    // The picture bitmap compiled into the program.
    static QString DefaultBitmap();
    // Its twice-as-large twin beside it ("name@2x.bmp"), used on screens
    // with a device pixel ratio above 1; the same picture index.
    static QString HiDpiPath(const QString& path);
    // The picture of index and mode at twice the pixels, with a device pixel
    // ratio of 2; null when there is no such twin.
    QPixmap HiDpiImage(QIcon::Mode mode, int index) const;

protected:
    void actionEvent(QActionEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SizeButton(QAction* action) const;
    void SetCommandIcon(QAction* action, int image) const;
    std::vector<QPixmap> CutImageList(const QImage& bitmap, COLORREF mask) const;
    std::vector<QPixmap> CutImageList(const QImage& bitmap, COLORREF mask, QSize size,
                                      qreal ratio) const;
    void LoadHiDpiImages(const QString& path, COLORREF mask);
    // Whether the separator widget gets its etched line: narrow ones only,
    // and not one that sits at the very start.
    static bool PaintsEtchedLine(const QWidget* separator);
    void PaintSeparator(QWidget* separator) const;

    QSize m_imageSize{16, 15};
    QImage m_bmpHot;
    CFilterBitmap m_bmpDisabled;
    CFilterBitmap m_bmpNormal;
    std::vector<QPixmap> m_hotImages;
    std::vector<QPixmap> m_disabledImages;
    std::vector<QPixmap> m_normalImages;
    std::map<int, QAction*> m_commands;
    // Normal, Active and Disabled at twice the pixels, where a twin exists.
    std::map<QIcon::Mode, std::vector<QPixmap>> m_hiDpiImages;
};

} // namespace vorn::checker
