// The task rows stay readable under light and dark colour schemes: every ink
// drawn on them keeps its contrast against both row backgrounds.
#include "DarkPalette.h"
#include "RowColors.h"
#include "TestHome.h"

#include <QApplication>
#include <QStyleFactory>
#include <QTableView>
#include <QtTest>

#include <memory>

class TestRowColors : public QObject
{
    Q_OBJECT

    const std::unique_ptr<QStyle> fusion_{QStyleFactory::create(QStringLiteral("Fusion"))};

private slots:
    void inkKeepsContrast_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<int>("background"); // QPalette::Base or AlternateBase
        QTest::addColumn<QString>("ink");    // "title", "summary", or "palette": what the style draws
        QTest::addColumn<double>("minimum");
        for (const bool dark : {false, true}) {
            for (const int background : {int(QPalette::Base), int(QPalette::AlternateBase)}) {
                const QByteArray name = QByteArray(dark ? "dark" : "light")
                    + (background == QPalette::Base ? " even row, " : " odd row, ");
                QTest::newRow(name + "title") << dark << background << "title" << 7.0;
                QTest::newRow(name + "summary") << dark << background << "summary" << 4.5;
                QTest::newRow(name + "style's text") << dark << background << "palette" << 7.0;
            }
        }
    }

    void inkKeepsContrast()
    {
        QFETCH(bool, dark);
        QFETCH(int, background);
        QFETCH(QString, ink);
        QFETCH(double, minimum);
        QTableView table;
        table.setStyle(fusion_.get());
        table.setPalette(dark ? darkPalette(*fusion_) : fusion_->standardPalette());
        RowColors::applyAlternatingRowColors(table);
        const QColor row = table.palette().color(QPalette::ColorRole(background));
        const QColor text = ink == "title" ? RowColors::rowTextColor()
            : ink == "summary"              ? RowColors::summaryTextColor()
                                            : table.palette().color(QPalette::Text);
        const double ratio = RowColors::contrastRatio(text, row);
        QVERIFY2(ratio >= minimum, qPrintable(QStringLiteral("%1 on %2: %3").arg(text.name(), row.name()).arg(ratio)));
    }

    void ratioRunsFromOneToTwentyOne()
    {
        QCOMPARE(RowColors::contrastRatio(Qt::black, Qt::white), 21.0);
        QCOMPARE(RowColors::contrastRatio(Qt::white, Qt::black), 21.0);
        QCOMPARE(RowColors::contrastRatio(QColor(120, 40, 200), QColor(120, 40, 200)), 1.0);
    }
};

WENDRA_QTEST_MAIN(TestRowColors)
#include "tst_RowColors.moc"
