// The attached pop-up window: attaching to a parent window, its setters' limits, lending the
// content view, and the painted bubble.
#include "LumAttachedWindow.h"
#include "TestHome.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QtTest>

#include <memory>

namespace {

std::unique_ptr<QWidget> makeView(int width, int height)
{
    auto view = std::make_unique<QWidget>();
    view->resize(width, height);
    return view;
}

} // namespace

class TestLumAttachedWindow : public QObject
{
    Q_OBJECT

private slots:
    void attachesBelowPointInParentWindow();
    void shortConstructors();
    void rejectsMissingView();
    void setterLimits_data();
    void setterLimits();
    void smallViewShrinksCornersAndArrow();
    void marginReclampsBorderAndRadius();
    void setPointWithoutSide();
    void lendsTheView();
    void closeActsOnParentWindow();
    void paintsBubble();
    void noArrowLeavesBandTransparent();
};

void TestLumAttachedWindow::attachesBelowPointInParentWindow()
{
    QWidget parent;
    parent.setGeometry(300, 200, 400, 300);
    auto view = makeView(200, 150);
    LumAttachedWindow popUp(view.release(), QPointF(100, 50), &parent, LumSideBottom, 12.0);

    QVERIFY(popUp.isWindow());
    QCOMPARE(popUp.parentWidget(), &parent);
    QVERIFY(popUp.windowFlags().testFlag(Qt::Tool));
    QVERIFY(popUp.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(popUp.testAttribute(Qt::WA_TranslucentBackground));
    // (100, 50) in the parent is (400, 250) on screen.
    QCOMPARE(popUp.geometry(), QRect(400 - 102, 250 + 12, 204, 170));
    QCOMPARE(popUp.view()->geometry(), QRect(2, 18, 200, 150));
    QCOMPARE(popUp.windowBackgroundColor(), QColor::fromRgbF(0.9f, 0.9f, 0.9f, 0.8f));
    QCOMPARE(popUp.borderColor(), QColor(Qt::white));
}

void TestLumAttachedWindow::shortConstructors()
{
    LumAttachedWindow onSide(makeView(100, 100).release(), QPointF(400, 300), LumSideTop);
    QCOMPARE(onSide.side(), LumSideTop);
    QCOMPARE(onSide.distance(), 0.0);
    QCOMPARE(onSide.attachedWindow(), nullptr);
    QCOMPARE(onSide.geometry().bottom() + 1, 300);

    // Near the screen's left edge a centred window would overhang it, so it extends right.
    LumAttachedWindow automatic(makeView(100, 100).release(), QPointF(50, 50), 12.0);
    QCOMPARE(automatic.side(), LumSideBottomRight);
    QCOMPARE(automatic.distance(), 12.0);
}

void TestLumAttachedWindow::rejectsMissingView()
{
    QVERIFY_THROWS_EXCEPTION(
        std::invalid_argument, LumAttachedWindow(nullptr, QPointF(), LumSideBottom));
}

void TestLumAttachedWindow::setterLimits_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<qreal>("value");
    QTest::addColumn<qreal>("stored");
    // A 40 x 40 view with margin 2, corner radius 8 and arrow width 20.
    QTest::newRow("border wider than margin") << "borderWidth" << 5.0 << 2.0;
    QTest::newRow("thin border") << "borderWidth" << 1.0 << 1.0;
    QTest::newRow("negative margin") << "viewMargin" << -3.0 << 0.0;
    QTest::newRow("huge radius") << "cornerRadius" << 100.0 << 12.0;
    QTest::newRow("negative radius") << "cornerRadius" << -4.0 << 0.0;
    QTest::newRow("arrow wider than the edge") << "arrowBaseWidth" << 100.0 << 28.0;
    QTest::newRow("negative arrow width") << "arrowBaseWidth" << -5.0 << 0.0;
    QTest::newRow("negative arrow height") << "arrowHeight" << -5.0 << 0.0;
}

void TestLumAttachedWindow::setterLimits()
{
    QFETCH(QString, property);
    QFETCH(qreal, value);
    QFETCH(qreal, stored);
    LumAttachedWindow w(makeView(40, 40).release(), QPointF(400, 300), LumSideBottom, 12.0);
    using Setter = void (LumAttachedWindow::*)(qreal);
    using Getter = qreal (LumAttachedWindow::*)() const;
    const QHash<QString, std::pair<Setter, Getter>> accessors = {
        {"borderWidth", {&LumAttachedWindow::setBorderWidth, &LumAttachedWindow::borderWidth}},
        {"viewMargin", {&LumAttachedWindow::setViewMargin, &LumAttachedWindow::viewMargin}},
        {"cornerRadius", {&LumAttachedWindow::setCornerRadius, &LumAttachedWindow::cornerRadius}},
        {"arrowBaseWidth",
            {&LumAttachedWindow::setArrowBaseWidth, &LumAttachedWindow::arrowBaseWidth}},
        {"arrowHeight", {&LumAttachedWindow::setArrowHeight, &LumAttachedWindow::arrowHeight}},
    };
    const auto [set, get] = accessors.value(property);
    (w.*set)(value);
    QCOMPARE((w.*get)(), stored);
}

void TestLumAttachedWindow::smallViewShrinksCornersAndArrow()
{
    LumAttachedWindow w(makeView(10, 10).release(), QPointF(400, 300), LumSideBottom, 12.0);
    QCOMPARE(w.cornerRadius(), 0.0);
    QCOMPARE(w.arrowBaseWidth(), 14.0);
}

void TestLumAttachedWindow::marginReclampsBorderAndRadius()
{
    LumAttachedWindow w(makeView(40, 40).release(), QPointF(400, 300), LumSideBottom, 12.0);
    w.setCornerRadius(100);
    QCOMPARE(w.cornerRadius(), 12.0);
    w.setViewMargin(0);
    QCOMPARE(w.cornerRadius(), 10.0);
    QCOMPARE(w.borderWidth(), 0.0);
    QCOMPARE(w.geometry().size(), QSize(40, 56));
}

void TestLumAttachedWindow::setPointWithoutSide()
{
    LumAttachedWindow w(makeView(200, 150).release(), QPointF(400, 300), LumSideBottom, 12.0);
    w.setPoint(QPointF(100, 400), LumSideAutomatic);
    QCOMPARE(w.side(), LumSideAutomatic);
    QCOMPARE(w.geometry(), QRect(100, 400 - 154, 204, 154));
}

void TestLumAttachedWindow::lendsTheView()
{
    QWidget holder;
    auto *view = new QWidget(&holder);
    view->resize(200, 150);
    auto first = std::make_unique<LumAttachedWindow>(view, QPointF(), LumSideBottom, 12.0);
    QCOMPARE(view->parentWidget(), first.get());
    first.reset();
    QCOMPARE(view->parentWidget(), &holder);
    QVERIFY(view->isHidden());

    // A pop-up reopened before the old one goes keeps the view when the old one is destroyed.
    first = std::make_unique<LumAttachedWindow>(view, QPointF(), LumSideBottom, 12.0);
    LumAttachedWindow second(view, QPointF(), LumSideBottom, 12.0);
    first.reset();
    QCOMPARE(view->parentWidget(), &second);

    // Destroying the parent window with its pop-up open leaves nothing dangling.
    auto parent = std::make_unique<QWidget>();
    auto *parentView = new QWidget(parent.get());
    new LumAttachedWindow(parentView, QPointF(10, 10), parent.get(), LumSideBottom, 12.0);
    parent.reset();
}

void TestLumAttachedWindow::closeActsOnParentWindow()
{
    QWidget parent;
    parent.show();
    LumAttachedWindow popUp(
        makeView(50, 50).release(), QPointF(10, 10), &parent, LumSideBottom, 12.0);
    popUp.orderFront();
    QVERIFY(popUp.isVisible());
    popUp.close();
    QVERIFY(!parent.isVisible());
    QVERIFY(!popUp.isVisible());
}

void TestLumAttachedWindow::paintsBubble()
{
    LumAttachedWindow w(makeView(200, 150).release(), QPointF(400, 300), LumSideBottom, 12.0);
    QImage image(w.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    w.paintBubble(painter);
    painter.end();

    const QColor inside = image.pixelColor(102, 90);
    QCOMPARE(inside.alpha(), 204);
    QVERIFY(qAbs(inside.red() - 230) <= 1);
    QCOMPARE(image.pixelColor(1, 90), QColor(Qt::white)); // the 2-pixel border
    QCOMPARE(image.pixelColor(3, 90).alpha(), 204);
    QCOMPARE(image.pixelColor(0, 90).alpha(), 0);
    QVERIFY(image.pixelColor(102, 10).alpha() > 0); // inside the arrow
    QCOMPARE(image.pixelColor(60, 8).alpha(), 0); // beside it
}

void TestLumAttachedWindow::noArrowLeavesBandTransparent()
{
    LumAttachedWindow w(makeView(200, 150).release(), QPointF(400, 300), LumSideBottom, 12.0);
    w.setHasArrow(false);
    QCOMPARE(w.size(), QSize(204, 170));
    QImage image(w.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    w.paintBubble(painter);
    painter.end();
    for (int y = 0; y < 17; ++y)
        QCOMPARE(image.pixelColor(102, y).alpha(), 0);
    QVERIFY(image.pixelColor(102, 17).alpha() > 0);
}

WENDRA_QTEST_MAIN(TestLumAttachedWindow)
#include "tst_LumAttachedWindow.moc"
