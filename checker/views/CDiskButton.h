#pragma once

#include <QIcon>
#include <QWidget>

class CDisk;

// The toolbar's square for one disk: the disk's temperature as a colour from
// cyan to red, its drive icon, the temperature figure in white with a red
// outline, and a bar of the disk's wear along the bottom. It reads the disk
// whenever it paints; the window repaints it after a refresh.
//
// For assistive technology the square is a button named by its tooltip;
// pressing it, by mouse or through accessibility, emits clicked().
class CDiskButton : public QWidget {
    Q_OBJECT

public:
    // The disk is not owned and may be null (a grey square without a
    // figure); the icon may be null.
    explicit CDiskButton(CDisk* disk = nullptr, const QIcon& icon = QIcon(),
                         QWidget* parent = nullptr);

    CDisk* Disk() const { return m_pDisk; }
    void SetDisk(CDisk* disk);
    const QIcon& Icon() const { return m_hIcon; }
    void SetIcon(const QIcon& icon);

    QSize sizeHint() const override;

    // What a press does: emits clicked().
    void Press();

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QIcon m_hIcon;
    CDisk* m_pDisk = nullptr;
};
