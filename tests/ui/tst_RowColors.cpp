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
        QTest::newRow("light") << false;
        QTest::newRow("dark") << true;
    }

    // Titles and what the style draws with the text colour (check marks) at 7:1, the smaller
    // summary line at 4.5:1, on even (Base) and odd (AlternateBase) rows.
    void inkKeepsContrast()
    {
        QFETCH(bool, dark);
        QCOMPARE(RowColors::contrastRatio(Qt::white, Qt::black), 21.0);
        QTableView table;
        table.setStyle(fusion_.get());
        table.setPalette(dark ? darkPalette(*fusion_) : fusion_->standardPalette());
        RowColors::applyAlternatingRowColors(table);
        for (const QPalette::ColorRole row : {QPalette::Base, QPalette::AlternateBase}) {
            const QColor background = table.palette().color(row);
            QCOMPARE_GE(RowColors::contrastRatio(RowColors::rowTextColor(), background), 7.0);
            QCOMPARE_GE(RowColors::contrastRatio(table.palette().color(QPalette::Text), background), 7.0);
            QCOMPARE_GE(RowColors::contrastRatio(RowColors::summaryTextColor(), background), 4.5);
        }
    }
};

WENDRA_QTEST_MAIN(TestRowColors)
#include "tst_RowColors.moc"
