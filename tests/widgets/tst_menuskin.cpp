#include "testsupport.h"
#include "widgets/imagelist.h"
#include "widgets/menuskin/menuitem.h"
#include "widgets/menuskin/menuitemdrawing.h"
#include "widgets/menuskin/menuskin.h"
#include "widgets/menuskin/ownerdrawmenustyle.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

using namespace corvane;

namespace {

const QColor red(255, 0, 0);

// A 16 x 16 picture, transparent but for its top-left pixel, so the pixel
// shows exactly where the icon lands.
QPixmap markerPicture()
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    image.setPixel(0, 0, red.rgb());
    return QPixmap::fromImage(image);
}

// An item handler of the form's own, standing for a draw event set by hand.
class OwnHandler : public MenuItemHandler
{
public:
    using MenuItemHandler::MenuItemHandler;
    void measureItem(QAction *, int &, int &) override {}
    void drawItem(QAction *, QPainter &, const QRect &, bool) override {}
};

struct Form
{
    Form()
    {
        images->add(markerPicture());
        skin->setMenuImages(popup, images);
        open = popup->addAction(QStringLiteral("&Open"));
        images->assign(open, 0);
        popup->addSeparator();
        plain = popup->addAction(QStringLiteral("Plain"));
        skin->setActive(true);
    }

    QColor pixelOf(QAction *item, bool selected, QPoint offset)
    {
        QImage canvas(200, 40, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        QPainter painter(&canvas);
        skin->drawItem(item, painter, itemRect, selected);
        painter.end();
        return canvas.pixelColor(itemRect.topLeft() + offset);
    }

    QImage draw(QAction *item, bool selected)
    {
        QImage canvas(200, 40, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        QPainter painter(&canvas);
        skin->drawItem(item, painter, itemRect, selected);
        return canvas;
    }

    QWidget form;
    ImageList *images = new ImageList(&form);
    QMenu *popup = new QMenu(&form);
    QAction *open = nullptr;
    QAction *plain = nullptr;
    MenuSkin *skin = new MenuSkin(&form);
    const QRect itemRect{10, 5, 150, 22};
};

QColor working(QColor (*op)(const SkinColor &, int), SystemColor c, int n)
{
    return op(c, n);
}

bool contains(const QImage &image, const QRect &area, const QColor &colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixelColor(x, y) == colour)
                return true;
        }
    }
    return false;
}

} // namespace

class TestMenuSkin : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Button, QColor(236, 233, 216));
        palette.setColor(QPalette::Window, QColor(236, 233, 216));
        palette.setColor(QPalette::Highlight, QColor(49, 106, 197));
        palette.setColor(QPalette::Dark, QColor(172, 168, 153));
        palette.setColor(QPalette::WindowText, Qt::black);
        QApplication::setPalette(palette);
        QApplication::setPalette(palette, "QMenu");
        QFont font = QApplication::font();
        font.setPixelSize(12);
        font.setStyleStrategy(QFont::NoAntialias);
        QApplication::setFont(font, "QMenu");
    }

    void idleIconIsFadedAtThreeThreeAndSelectedIconIsLiftedWithShadow()
    {
        Form f;
        const QColor iconBack = working(blendToWhite, SystemColor::BtnFace, 16);
        // Idle: faded by dimLevel 30 (255 * 0.3 = 76.5 -> 76), at (L + 3, T + 3).
        QCOMPARE(f.pixelOf(f.open, false, {3, 3}), QColor(255, 76, 76));
        QCOMPARE(f.pixelOf(f.open, false, {2, 2}), iconBack);
        QCOMPARE(f.pixelOf(f.open, false, {4, 4}), iconBack);

        const QColor select = blendToWhite(SystemColor::Highlight, 68);
        QCOMPARE(f.pixelOf(f.open, true, {2, 2}), red);
        QCOMPARE(f.pixelOf(f.open, true, {4, 4}), shadeDown(select, 50));
        QCOMPARE(f.pixelOf(f.open, true, {3, 3}), select);
        // The highlight: a one-pixel border from T + 1 to B - 1, filled inside.
        QCOMPARE(f.pixelOf(f.open, true, {80, 1}), SkinColor(SystemColor::Highlight).resolved());
        QCOMPARE(f.pixelOf(f.open, true, {80, 21}), SkinColor(SystemColor::Highlight).resolved());
        QCOMPARE(f.pixelOf(f.open, true, {80, 0}), working(blendToWhite, SystemColor::BtnFace, 86));
    }

    void disabledItemIsGrayedWithoutHighlight()
    {
        Form f;
        f.open->setEnabled(false);
        // Gray (85 + 10 = 95) then faded by 40 (95 + 64), never lifted.
        QCOMPARE(f.pixelOf(f.open, true, {3, 3}), QColor(159, 159, 159));
        const QColor menuColour = working(blendToWhite, SystemColor::BtnFace, 86);
        QCOMPARE(f.pixelOf(f.open, true, {140, 2}), menuColour);
        const QImage image = f.draw(f.open, true);
        const QRect text = f.itemRect.adjusted(24, 0, 0, 0);
        QVERIFY(contains(image, text, working(blendToWhite, SystemColor::BtnShadow, 10)));
        QVERIFY(!contains(image, text, Qt::black));
        QVERIFY(!contains(image, text, blendToWhite(SystemColor::Highlight, 68)));
    }

    void imageIndexesWithoutAnImageGiveABlankPicture()
    {
        Form f;
        const QColor iconBack = working(blendToWhite, SystemColor::BtnFace, 16);
        for (const int index : {7, -5}) {
            f.images->assign(f.open, index);
            QCOMPARE(f.pixelOf(f.open, false, {3, 3}), iconBack);
            int width = 0;
            int height = 0;
            f.skin->measureItem(f.open, width, height);
            QVERIFY(width > 24);
        }
    }

    void ampersandTakesNoWidthAndSizesAreOnlyRaised()
    {
        Form f;
        const QFontMetrics metrics(f.skin->font());
        int width = 0;
        int height = 0;
        f.skin->measureItem(f.open, width, height);
        // Caption + 5 + the icon column (the 16-pixel picture counts as iconWidth).
        QCOMPARE(width, metrics.horizontalAdvance(QStringLiteral("Open")) + 5 + 24);
        const int textHeight = metrics.height();
        QCOMPARE(height, std::max(textHeight + roundHalfEven(3 * textHeight, 4), 16 + 6));

        int wide = 1000;
        int tall = 100;
        f.skin->measureItem(f.open, wide, tall);
        QCOMPARE(wide, 1000);
        QCOMPARE(tall, 100);

        QAction *separator = f.popup->actions().at(1);
        int sw = 0;
        int sh = 30;
        f.skin->measureItem(separator, sw, sh);
        QCOMPARE(sh, 4);

        f.skin->setActive(false);
        int idle = 7;
        f.skin->measureItem(f.open, idle, idle);
        QCOMPARE(idle, 7);
    }

    void shortcutReservesRoomBesideTheCaption()
    {
        Form f;
        f.plain->setText(QStringLiteral("Plain\tCtrl+P"));
        const QFontMetrics metrics(f.skin->font());
        int width = 0;
        int height = 0;
        f.skin->measureItem(f.plain, width, height);
        QCOMPARE(width, metrics.horizontalAdvance(QStringLiteral("PlainCtrl+PWWW")) + 5 + 24);
    }

    void hooksSkipTaggedItemsAndMainMenusAndKeepOwnHandlers()
    {
        Form f;
        f.skin->setActive(false);
        auto *bar = new QMenuBar(&f.form);
        QMenu *file = bar->addMenu(QStringLiteral("File"));
        QAction *exit = file->addAction(QStringLiteral("Exit"));
        QAction *tagged = file->addAction(QStringLiteral("Tagged"));
        f.skin->keepOwnLook(tagged);
        OwnHandler own;
        menuitem::setDrawEvent(f.plain, &own);

        QWidget other;
        auto *taggedBar = new QMenuBar(&other);
        QAction *untouched = taggedBar->addMenu(QStringLiteral("Menu"))->addAction(QStringLiteral("Item"));
        MenuSkin otherSkin(&other);
        otherSkin.keepOwnLook(taggedBar);
        otherSkin.setActive(true);
        QVERIFY(!OwnerDrawMenuStyle::isOwnerDraw(taggedBar));
        QVERIFY(!menuitem::drawEvent(untouched));

        f.skin->setActive(true);
        QVERIFY(OwnerDrawMenuStyle::isOwnerDraw(bar));
        QVERIFY(OwnerDrawMenuStyle::isOwnerDraw(file));
        QVERIFY(OwnerDrawMenuStyle::isOwnerDraw(f.popup));
        QCOMPARE(menuitem::drawEvent(exit), f.skin);
        QCOMPARE(menuitem::measureEvent(file->menuAction()), f.skin);
        QVERIFY(!menuitem::drawEvent(tagged));
        QCOMPARE(menuitem::drawEvent(f.plain), &own);
        QCOMPARE(menuitem::measureEvent(f.plain), f.skin);

        f.skin->setActive(false);
        QVERIFY(!OwnerDrawMenuStyle::isOwnerDraw(bar));
        QVERIFY(!menuitem::drawEvent(exit));
        QVERIFY(!menuitem::measureEvent(f.plain));
        QCOMPARE(menuitem::drawEvent(f.plain), &own);

        f.skin->setOverrideOwnerDraw(true);
        f.skin->setActive(true);
        QCOMPARE(menuitem::drawEvent(f.plain), f.skin);
        f.skin->setSkinControls(AllSkinControls & ~SkinControls(SkinControl::PopupMenu));
        QVERIFY(!OwnerDrawMenuStyle::isOwnerDraw(f.popup));
        QVERIFY(OwnerDrawMenuStyle::isOwnerDraw(bar));
    }

    void menuWidgetDrawsHookedItemsFlatAndTaggedItemsItsOwnWay()
    {
        Form f;
        f.skin->keepOwnLook(f.plain);
        f.skin->setActive(false);
        f.skin->setActive(true);
        f.popup->resize(f.popup->sizeHint());
        const QColor menuColour = working(blendToWhite, SystemColor::BtnFace, 86);
        const QColor iconBack = working(blendToWhite, SystemColor::BtnFace, 16);

        const QImage shot = f.popup->grab().toImage();
        const QRect open = f.popup->actionGeometry(f.open);
        const QRect plain = f.popup->actionGeometry(f.plain);
        const QFontMetrics metrics(f.skin->font());
        QCOMPARE(open.height(), std::max(metrics.height() + roundHalfEven(3 * metrics.height(), 4), 22));
        // The drawn caption (icon column, 3 pixels, a blank, the text) fits the item.
        QVERIFY(open.width() >= 24 + 3 + metrics.horizontalAdvance(QStringLiteral(" Open")));
        QCOMPARE(shot.pixelColor(open.left() + 1, open.center().y()), iconBack);
        QCOMPARE(shot.pixelColor(open.right() - 2, open.center().y()), menuColour);
        QCOMPARE(shot.pixelColor(open.left() + 3, open.top() + 3), QColor(255, 76, 76));
        QVERIFY(shot.pixelColor(plain.right() - 2, plain.center().y()) != menuColour);
        QVERIFY(shot.pixelColor(plain.left() + 1, plain.center().y()) != iconBack);

        f.skin->setActive(false);
        f.popup->resize(f.popup->sizeHint());
        const QImage own = f.popup->grab().toImage();
        const QRect ownOpen = f.popup->actionGeometry(f.open);
        QVERIFY(own.pixelColor(ownOpen.left() + 1, ownOpen.center().y()) != iconBack);
    }

    void flatMenuFramesThePopupWithAShadow()
    {
        Form f;
        f.skin->setFlatMenu(true);
        f.popup->resize(f.popup->sizeHint());
        const QImage shot = f.popup->grab().toImage();
        const int right = shot.width() - 1;
        const int bottom = shot.height() - 1;
        QCOMPARE(shot.pixelColor(0, bottom / 2), shadeDown(SystemColor::BtnFace, 90));
        QCOMPARE(shot.pixelColor(right, bottom / 2), shadeDown(SystemColor::BtnFace, 76));
        QCOMPARE(shot.pixelColor(right / 2, bottom), shadeDown(SystemColor::BtnFace, 76));
        QCOMPARE(shot.pixelColor(right, 0), SkinColor(SystemColor::BtnFace).resolved());
        QCOMPARE(shot.pixelColor(0, bottom), SkinColor(SystemColor::BtnFace).resolved());
        QCOMPARE(shot.pixelColor(1, bottom / 2), working(blendToWhite, SystemColor::BtnFace, 16));
    }

    void systemColourChangesShowAtTheNextDrawing()
    {
        Form f;
        const QPalette saved = QApplication::palette();
        QPalette changed = saved;
        changed.setColor(QPalette::Highlight, QColor(200, 0, 0));
        QApplication::setPalette(changed);
        const QColor fill = f.pixelOf(f.plain, true, {80, 5});
        QApplication::setPalette(saved);
        QCOMPARE(fill, blendToWhite(QColor(200, 0, 0), 68));
        QCOMPARE(f.pixelOf(f.plain, true, {80, 5}), blendToWhite(SystemColor::Highlight, 68));

        const QFont savedFont = QApplication::font("QMenu");
        QFont larger = savedFont;
        larger.setPixelSize(20);
        QApplication::setFont(larger, "QMenu");
        f.pixelOf(f.plain, false, {0, 0});
        QApplication::setFont(savedFont, "QMenu");
        QCOMPARE(f.skin->font().pixelSize(), 20);
    }

    void drawingAnItemHooksItemsAddedBesideIt()
    {
        Form f;
        QAction *late = f.popup->addAction(QStringLiteral("Late"));
        QVERIFY(!menuitem::drawEvent(late));
        f.pixelOf(f.plain, false, {0, 0});
        QCOMPARE(menuitem::drawEvent(late), f.skin);
    }

    void shallowDevicesLeaveIconsUnfadedAndUseTheNarrowBarShadow()
    {
        SkinLook look;
        look.font = QApplication::font("QMenu");
        look.colors = computeWorkingColors(SkinColors(), true, false);
        QImage picture(16, 16, QImage::Format_RGB32);
        picture.fill(Qt::white);
        picture.setPixel(0, 0, red.rgb());

        QImage canvas(100, 30, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        QPainter painter(&canvas);
        MenuItemView item;
        item.caption = QStringLiteral("Item");
        item.picture = picture;
        drawMenuItem(painter, QRect(0, 0, 100, 22), item, look);
        QCOMPARE(canvas.pixelColor(3, 3), red);

        MenuItemView bar;
        bar.caption = QStringLiteral("Bar");
        bar.bar = true;
        bar.selected = true;
        canvas.fill(Qt::black);
        drawMenuItem(painter, QRect(0, 0, 60, 20), bar, look);
        painter.end();
        const QColor barColour = SkinColor(SystemColor::BtnFace).resolved();
        QCOMPARE(canvas.pixelColor(59, 10), shadeDown(barColour, 70));
        QCOMPARE(canvas.pixelColor(58, 10), shadeDown(barColour, 70));
        QCOMPARE(canvas.pixelColor(59, 1), barColour);
        QCOMPARE(canvas.pixelColor(57, 10), look.colors.selectBorderColor);
        QCOMPARE(canvas.pixelColor(0, 0), look.colors.selectBorderColor);
    }

    void deepBarHighlightIsOpenBelowWithShadowAtTheRight()
    {
        SkinLook look;
        look.font = QApplication::font("QMenu");
        look.colors = computeWorkingColors(SkinColors(), true, true);
        MenuItemView bar;
        bar.caption = QStringLiteral("Bar");
        bar.bar = true;
        bar.selected = true;
        QImage canvas(60, 30, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        QPainter painter(&canvas);
        drawMenuItem(painter, QRect(0, 0, 60, 20), bar, look);
        painter.end();
        const QColor menuBar = look.colors.menuBarColor;
        // The item is one pixel taller than given: B = 21.
        QCOMPARE(canvas.pixelColor(0, 20), look.colors.selectBorderColor);
        QCOMPARE(canvas.pixelColor(30, 0), look.colors.selectBorderColor);
        QCOMPARE(canvas.pixelColor(52, 20), look.colors.selectBorderColor);
        QCOMPARE(canvas.pixelColor(30, 20), look.colors.selectColor);
        QCOMPARE(canvas.pixelColor(59, 15), shadeDown(menuBar, 10));
        QCOMPARE(canvas.pixelColor(54, 15), shadeDown(menuBar, 100));
        QCOMPARE(canvas.pixelColor(59, 1), menuBar);
    }

    void gradientRisesQuicklyAcrossTheIconColumn()
    {
        Form f;
        f.skin->setGradient(true);
        const QColor iconBack = working(blendToWhite, SystemColor::BtnFace, 16);
        // Step 1 at the left edge, 3 more per stripe inside the column, then 1.
        QCOMPARE(f.pixelOf(f.plain, false, {0, 10}), blendToWhite(iconBack, 1));
        QCOMPARE(f.pixelOf(f.plain, false, {1, 10}), blendToWhite(iconBack, 4));
        QCOMPARE(f.pixelOf(f.plain, false, {28, 10}), blendToWhite(iconBack, 85));
        QCOMPARE(f.pixelOf(f.plain, false, {29, 10}), blendToWhite(iconBack, 86));
        QCOMPARE(f.pixelOf(f.plain, false, {140, 10}), blendToWhite(iconBack, 96));
    }

    void autoDetectHooksItemsAddedLater()
    {
        Form f;
        f.skin->setAutoDetect(true);
        QAction *late = f.popup->addAction(QStringLiteral("Late"));
        QVERIFY(!menuitem::drawEvent(late));
        QCoreApplication::processEvents();
        QCOMPARE(menuitem::drawEvent(late), f.skin);

        auto *newMenu = new QMenu(&f.form);
        QAction *inNewMenu = newMenu->addAction(QStringLiteral("New"));
        QCoreApplication::processEvents();
        QCOMPARE(menuitem::drawEvent(inNewMenu), f.skin);

        f.skin->setAutoDetect(false);
        QAction *unseen = f.popup->addAction(QStringLiteral("Unseen"));
        QCoreApplication::processEvents();
        QVERIFY(!menuitem::drawEvent(unseen));
    }

    void destroyingTheSkinGivesMenusBackTheirOwnDrawing()
    {
        Form f;
        delete f.skin;
        QVERIFY(!OwnerDrawMenuStyle::isOwnerDraw(f.popup));
        QVERIFY(!menuitem::drawEvent(f.open));
        f.skin = nullptr;
    }

    void barCaptionStaysInsideItsHighlight()
    {
        Form f;
        auto *bar = new QMenuBar(&f.form);
        for (const char *caption : {"[文件]", "[客户资料]", "[来电资料]", "[关于]"})
            bar->addMenu(QString::fromUtf8(caption))->addAction(QStringLiteral("Item"));
        f.skin->setActive(false);
        f.skin->setActive(true);
        f.form.resize(400, 100);
        f.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.form));
        const SkinLook look = f.skin->look(bar);
        const QList<QAction *> items = bar->actions();
        for (QAction *top : items) {
            // The selected item drawn in the rectangle the bar gives it, with its
            // caption and without: the caption's pixels are where they differ.
            const QRect rect(QPoint(0, 0), bar->actionGeometry(top).size());
            MenuItemView item;
            item.caption = top->text();
            item.bar = true;
            item.selected = true;
            MenuItemView blank = item;
            blank.caption.clear();
            QImage withCaption(rect.size(), QImage::Format_RGB32);
            QImage without(rect.size(), QImage::Format_RGB32);
            for (auto [image, view] : {std::pair{&withCaption, &item}, std::pair{&without, &blank}}) {
                QPainter painter(image);
                drawMenuItem(painter, rect, *view, look);
            }
            // Inside the highlight: right of its left edge, left of its right
            // edge and the shadow beyond it (the last 8 pixels), below its top.
            int inked = 0;
            for (int y = 0; y < rect.height(); ++y) {
                for (int x = 0; x < rect.width(); ++x) {
                    if (withCaption.pixel(x, y) == without.pixel(x, y))
                        continue;
                    ++inked;
                    QVERIFY2(
                        x >= 1 && x < rect.width() - 9 && y >= 1,
                        qPrintable(top->text() +
                                   QStringLiteral(" at %1,%2 of %3 wide").arg(x).arg(y).arg(rect.width())));
                }
            }
            QVERIFY(inked > 0);
        }
        bar->setActiveAction(items.at(1));
        QMenu *dropDown = items.at(1)->menu();
        QVERIFY(QTest::qWaitForWindowExposed(dropDown));
        test::saveScreenshot(bar, QStringLiteral("menuskin-bar-caption.png"));

        // The drop-down menu has a one-pixel frame, and its icon column runs
        // right up to the frame, top to bottom.
        const QImage menu = dropDown->grab().toImage();
        test::saveScreenshot(dropDown, QStringLiteral("menuskin-drop-down-frame.png"));
        const QColor frame = f.skin->look(dropDown).colors.popupFrameColor;
        const int right = menu.width() - 1;
        const int bottom = menu.height() - 1;
        for (QPoint p :
             {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom), QPoint(right, bottom), QPoint(right / 2, 0),
              QPoint(0, bottom / 2), QPoint(right, bottom / 2), QPoint(right / 2, bottom)})
            QCOMPARE(menu.pixelColor(p), frame);
        dropDown->setActiveAction(nullptr);
        const QImage idle = dropDown->grab().toImage();
        for (int y = 1; y < bottom; ++y)
            QCOMPARE(idle.pixelColor(1, y), look.colors.iconBackColor);
        dropDown->hide();
    }

    void barItemIsHighlightedWhenChosenByKeyboardNotByPointer()
    {
        Form f;
        auto *bar = new QMenuBar(&f.form);
        QAction *file = bar->addMenu(QStringLiteral("[File]"))->menuAction();
        file->menu()->addAction(QStringLiteral("Item"));
        f.skin->setActive(false);
        f.skin->setActive(true);
        f.form.resize(300, 100);
        f.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.form));
        const QRect item = bar->actionGeometry(file);
        const QColor highlight = SkinColor(SystemColor::Highlight).resolved();
        const auto corner = [&] { return bar->grab().toImage().pixelColor(item.topLeft()); };

        const auto pointerAt = [bar](QPoint at) {
            QMouseEvent move(QEvent::MouseMove, at, bar->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
            QCoreApplication::sendEvent(bar, &move);
        };
        pointerAt(item.center());
        QCOMPARE(bar->activeAction(), file);
        QVERIFY(corner() != highlight);
        pointerAt(QPoint(250, item.center().y()));

        QTest::keyPress(&f.form, Qt::Key_Alt, Qt::AltModifier);
        QTest::keyRelease(&f.form, Qt::Key_Alt);
        QCOMPARE(bar->activeAction(), file);
        QCOMPARE(corner(), highlight);
        test::saveScreenshot(bar, QStringLiteral("menuskin-bar-keyboard.png"));
    }

    void sampleMenuScreenshot()
    {
        Form f;
        QPixmap disc(16, 16);
        disc.fill(Qt::transparent);
        QPainter painter(&disc);
        painter.setBrush(QColor(30, 140, 60));
        painter.drawEllipse(1, 1, 13, 13);
        painter.end();
        const int discIndex = f.images->add(disc);
        auto *bar = new QMenuBar(&f.form);
        f.skin->setMenuImages(bar, f.images);
        QMenu *file = bar->addMenu(QStringLiteral("[File]"));
        f.images->assign(file->addAction(QStringLiteral("Settings")), discIndex);
        QAction *checked = file->addAction(QStringLiteral("Checked"));
        checked->setCheckable(true);
        checked->setChecked(true);
        QAction *disabled = file->addAction(QStringLiteral("Disabled"));
        f.images->assign(disabled, discIndex);
        disabled->setEnabled(false);
        file->addSeparator();
        f.images->assign(file->addAction(QStringLiteral("E&xit\tCtrl+Q")), discIndex);
        f.skin->setActive(false);
        f.skin->setActive(true);
        f.popup->popup(QPoint(20, 20));
        QVERIFY(QTest::qWaitForWindowExposed(f.popup));
        f.popup->setActiveAction(f.open);
        test::saveScreenshot(f.popup, QStringLiteral("menuskin-popup.png"));
        f.popup->hide();
        bar->addMenu(QStringLiteral("[Help]"))->addAction(QStringLiteral("Help"));
        f.form.resize(300, 120);
        f.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.form));
        bar->setActiveAction(file->menuAction());
        QVERIFY(QTest::qWaitForWindowExposed(file));
        file->setActiveAction(file->actions().constFirst());
        test::saveScreenshot(file, QStringLiteral("menuskin-file-menu.png"));
        test::saveScreenshot(bar, QStringLiteral("menuskin-menu-bar.png"));
        // The open bar item: its box is open at the bottom, with a shadow at its right.
        const QImage barShot = bar->grab().toImage();
        const QRect open = bar->actionGeometry(file->menuAction());
        QCOMPARE(barShot.pixelColor(open.left(), open.top()), SkinColor(SystemColor::Highlight).resolved());
        QCOMPARE(barShot.pixelColor(open.right(), open.bottom()), shadeDown(SystemColor::BtnFace, 10));
        file->hide();
    }
};

QTEST_MAIN(TestMenuSkin)
#include "tst_menuskin.moc"
