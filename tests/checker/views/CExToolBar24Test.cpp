#include "CExToolBar24.h"
#include "CheckerCommands.h"

#include <QAction>
#include <QDir>
#include <QPainter>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace vorn::checker;

namespace {

constexpr COLORREF kMagentaRef = MakeColorRef(255, 0, 255);
constexpr QRgb kMagenta = 0xFFFF00FF;

class ToolbarTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(toolbar.LoadToolBar(), TRUE);
        toolbar.SetButtonImageSize(32, 32);
        ASSERT_EQ(toolbar.LoadButtonImages(CExToolBar24::DefaultBitmap(), kMagentaRef), TRUE);
        toolbar.AddCommand(ID_SUPPORT_WEB);
        toolbar.AddCommand(ID_SELF_TEST);
    }

    QToolButton* Button(int id) {
        return qobject_cast<QToolButton*>(toolbar.widgetForAction(toolbar.action(id)));
    }

    // The button as painted, and where its picture sits in it.
    QImage Render(int id, QPoint* iconOrigin) {
        QToolButton* button = Button(id);
        const QImage shot = button->grab().toImage().convertToFormat(QImage::Format_RGB32);
        *iconOrigin = QPoint((shot.width() - 32) / 2, (shot.height() - 32) / 2);
        return shot;
    }

    CExToolBar24 toolbar;
};

// Whether the picture drawn at origin in shot is image, seen over pixels
// that image does not leave transparent.
bool ShowsImage(const QImage& shot, QPoint origin, const QImage& image) {
    int compared = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb want = image.pixel(x, y);
            if (qAlpha(want) != 255)
                continue;
            ++compared;
            if ((shot.pixel(origin + QPoint(x, y)) & 0xFFFFFF) != (want & 0xFFFFFF))
                return false;
        }
    }
    return compared > 100;
}

} // namespace

TEST_F(ToolbarTest, CommandsCarryTheirDescriptionsAndSize) {
    const int ids[] = {ID_SMART_UPDATE, ID_FILE_SAVE_AS, ID_APP_ABOUT, ID_HELP_MANUAL};
    const char16_t* tips[] = {u"SMART情報の更新", u"HDD情報のファイル保存", u"バージョン情報の表示",
                              u"操作説明書の表示"};
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(toolbar.action(ids[i])) << ids[i];
        EXPECT_EQ(toolbar.action(ids[i])->toolTip(), QString::fromUtf16(tips[i]));
        EXPECT_EQ(toolbar.action(ids[i])->text(), QString::fromUtf16(tips[i]));
        EXPECT_EQ(Button(ids[i])->size(), QSize(39, 38));
    }
    // The support tip is shown whole; the button's name is its short line.
    EXPECT_EQ(toolbar.action(ID_SUPPORT_WEB)->toolTip(),
              QString::fromUtf16(
                  u"プログラムに関するサポート情報のWeb表示します\nサポート情報のWeb表示"));
    EXPECT_EQ(toolbar.action(ID_SUPPORT_WEB)->text(), QString::fromUtf16(u"サポート情報のWeb表示"));

    // The self-test button is named by its short line and shows the last
    // picture of the bitmap.
    EXPECT_EQ(toolbar.action(ID_SELF_TEST)->text(), QString::fromUtf16(u"セルフテスト"));
    QPoint origin;
    const QImage selfTest = Render(ID_SELF_TEST, &origin);
    EXPECT_TRUE(ShowsImage(selfTest, origin, toolbar.Image(QIcon::Normal, 5).toImage()));

    EXPECT_FALSE(toolbar.AddCommand(ID_SUPPORT_WEB));
    EXPECT_FALSE(toolbar.AddCommand(33000));
    EXPECT_FALSE(toolbar.action(ID_APP_EXIT));
    EXPECT_EQ(toolbar.LoadToolBar(), FALSE);
}

TEST_F(ToolbarTest, MagentaStaysAndIsTransparentInAllThreeLists) {
    const QImage* bitmaps[] = {&toolbar.HotBitmap(), &toolbar.NormalBitmap(),
                               &toolbar.DisabledBitmap()};
    for (const QImage* bitmap : bitmaps) {
        ASSERT_EQ(bitmap->size(), QSize(192, 32));
        EXPECT_EQ(bitmap->pixel(0, 0), kMagenta);
        EXPECT_EQ(bitmap->pixel(191, 31), kMagenta);
    }
    for (QIcon::Mode mode : {QIcon::Normal, QIcon::Active, QIcon::Disabled}) {
        for (int index = 0; index < 6; ++index) {
            const QImage image = toolbar.Image(mode, index).toImage();
            ASSERT_EQ(image.size(), QSize(32, 32)) << mode << index;
            EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << mode << index;
            EXPECT_EQ(qAlpha(image.pixel(16, 26)), 255) << mode << index;
        }
    }
    EXPECT_TRUE(toolbar.Image(QIcon::Normal, 6).isNull());

    // Hot is the picture itself, normal a little lighter, disabled grey.
    const QPoint inAbout(72, 16);
    const QRgb hot = toolbar.HotBitmap().pixel(inAbout);
    const QRgb normal = toolbar.NormalBitmap().pixel(inAbout);
    const QRgb disabled = toolbar.DisabledBitmap().pixel(inAbout);
    EXPECT_GT(qGray(normal), qGray(hot));
    EXPECT_TRUE(qRed(disabled) == qGreen(disabled) && qGreen(disabled) == qBlue(disabled));
}

TEST_F(ToolbarTest, ButtonsPaintOurOwnPicturesAndSeparatorsAreEtched) {
    toolbar.show();
    QPoint origin;

    const QImage normal = Render(ID_APP_ABOUT, &origin);
    EXPECT_TRUE(ShowsImage(normal, origin, toolbar.Image(QIcon::Normal, 2).toImage()));

    Button(ID_APP_ABOUT)->setAttribute(Qt::WA_UnderMouse, true);
    const QImage hot = Render(ID_APP_ABOUT, &origin);
    EXPECT_TRUE(ShowsImage(hot, origin, toolbar.Image(QIcon::Active, 2).toImage()));
    Button(ID_APP_ABOUT)->setAttribute(Qt::WA_UnderMouse, false);

    toolbar.action(ID_APP_ABOUT)->setEnabled(false);
    const QImage disabled = Render(ID_APP_ABOUT, &origin);
    EXPECT_TRUE(ShowsImage(disabled, origin, toolbar.Image(QIcon::Disabled, 2).toImage()));

    // The separator after the standard commands: 8 wide, an etched pair of
    // columns in its middle.
    QWidget* separator = nullptr;
    for (QAction* entry : toolbar.actions()) {
        if (entry->isSeparator())
            separator = toolbar.widgetForAction(entry);
    }
    ASSERT_TRUE(separator);
    EXPECT_EQ(separator->width(), 8);
    const QImage bar = toolbar.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int y = separator->y() + separator->height() / 2;
    const QRgb shadow = toolbar.palette().color(QPalette::Dark).rgb();
    const QRgb light = toolbar.palette().color(QPalette::Light).rgb();
    EXPECT_EQ(bar.pixel(separator->x() + 3, y), shadow);
    EXPECT_EQ(bar.pixel(separator->x() + 4, y), light);
    EXPECT_EQ(bar.pixel(separator->x() + 4, separator->y()), light);
    EXPECT_EQ(bar.pixel(separator->x() + 3, separator->y() + separator->height() - 1), light);

    // VORN_DOC_IMAGES=<folder> keeps the three states as a picture for the docs.
    const QString docs = qEnvironmentVariable("VORN_DOC_IMAGES");
    if (!docs.isEmpty()) {
        QImage sheet(bar.width(), bar.height() * 3, QImage::Format_RGB32);
        QPainter painter(&sheet);
        for (QAction* entry : toolbar.actions())
            entry->setEnabled(true);
        painter.drawImage(0, 0, toolbar.grab().toImage());
        for (QAction* entry : toolbar.actions()) {
            if (QWidget* button = toolbar.widgetForAction(entry))
                button->setAttribute(Qt::WA_UnderMouse, !entry->isSeparator());
        }
        painter.drawImage(0, bar.height(), toolbar.grab().toImage());
        for (QAction* entry : toolbar.actions()) {
            entry->setEnabled(false);
            if (QWidget* button = toolbar.widgetForAction(entry))
                button->setAttribute(Qt::WA_UnderMouse, false);
        }
        painter.drawImage(0, 2 * bar.height(), toolbar.grab().toImage());
        painter.end();
        EXPECT_TRUE(sheet.save(QDir(docs).filePath("toolbar.png")));
    }
}
