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
        QTest::addColumn<int>("row"); // QPalette::Base (even rows) or AlternateBase (odd rows)
        for (const bool dark : {false, true})
            for (const int row : {QPalette::Base, QPalette::AlternateBase})
                QTest::addRow("%s, %s rows", dark ? "dark" : "light",
                              row == QPalette::Base ? "even" : "odd") << dark << row;
    }

    // Titles and what the style draws with the text colour (check marks) at
    // 7:1, the smaller summary line at 4.5:1.
    void inkKeepsContrast()
    {
        QFETCH(bool, dark);
        QFETCH(int, row);
        QCOMPARE(RowColors::contrastRatio(Qt::white, Qt::black), 21.0);
        QCOMPARE(RowColors::contrastRatio(Qt::darkCyan, Qt::darkCyan), 1.0);
        QTableView table;
        table.setStyle(fusion_.get());
        table.setPalette(dark ? darkPalette(*fusion_) : fusion_->standardPalette());
        RowColors::applyAlternatingRowColors(table);
        const QColor background = table.palette().color(QPalette::ColorRole(row));
        QCOMPARE_GE(RowColors::contrastRatio(RowColors::rowTextColor(), background), 7.0);
        QCOMPARE_GE(RowColors::contrastRatio(table.palette().color(QPalette::Text), background), 7.0);
        QCOMPARE_GE(RowColors::contrastRatio(RowColors::summaryTextColor(), background), 4.5);
    }
};

WENDRA_QTEST_MAIN(TestRowColors)
#include "tst_RowColors.moc"
