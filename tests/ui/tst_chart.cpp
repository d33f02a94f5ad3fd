// The bar chart: rows, labels and values written through the current cell.
#include "ui/Chart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QTest>

namespace {
QBarSeries *seriesOf(vb::Chart &c)
{
    const auto all = c.chartView()->chart()->series();
    return all.isEmpty() ? nullptr : qobject_cast<QBarSeries *>(all.first());
}
QBarCategoryAxis *categoriesOf(vb::Chart &c)
{
    const auto axes = c.chartView()->chart()->axes(Qt::Horizontal);
    return axes.isEmpty() ? nullptr : qobject_cast<QBarCategoryAxis *>(axes.first());
}
// Fills rows 1..n as the statistics window does: empty label and "0" first.
void fill(vb::Chart &c, int rows, const QList<QPair<QString, QString>> &records)
{
    c.setRowCount(rows);
    c.setColumnCount(1);
    for (int i = 1; i <= records.size(); ++i) {
        c.setRow(i);
        c.setRowLabel("");
        c.setRowLabel(records[i - 1].first);
        c.setData("0");
        c.setData(records[i - 1].second);
    }
    c.Refresh();
}
}  // namespace

class TestChart : public QObject {
    Q_OBJECT

private slots:
    void cellsThroughTheCurrentRow()
    {
        vb::Chart c;
        fill(c, 5, {{"甲出版社", "7"}, {"乙出版社", "3"}});
        QCOMPARE(c.RowCount(), 5);
        QCOMPARE(c.ColumnCount(), 1);
        QCOMPARE(c.Row(), 2);
        QCOMPARE(c.RowLabel(), QString("乙出版社"));
        QCOMPARE(c.Data(), QString("3"));
        QCOMPARE(c.value(1), 7.0);
        QCOMPARE(c.rowLabel(1), QString("甲出版社"));
        QCOMPARE(c.value(5), 0.0);
        // Text that is no number counts as 0; amounts keep their fraction.
        c.setRow(3);
        c.setData("abc");
        QCOMPARE(c.value(3), 0.0);
        c.setData("12.50");
        QCOMPARE(c.Data(), QString("12.5"));
        // A row outside the chart is not made current.
        c.setRow(6);
        QCOMPARE(c.Row(), 3);
    }

    void rowsBeyondTheRecordsKeepTheirValues()
    {
        vb::Chart c;
        fill(c, 5, {{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"e", "5"}});
        fill(c, 5, {{"x", "9"}});
        QCOMPARE(c.rowLabel(1), QString("x"));
        QCOMPARE(c.value(1), 9.0);
        QCOMPARE(c.rowLabel(4), QString("d"));
        QCOMPARE(c.value(4), 4.0);
    }

    void drawsOneBarPerRow()
    {
        vb::Chart c;
        c.setTitleText("读者借书总数排行");
        // Ten rows, most without a record: empty labels must not merge into one bar.
        fill(c, 10, {{"R001", "5"}, {"R002", "4"}});
        QBarSeries *s = seriesOf(c);
        QVERIFY(s);
        QCOMPARE(s->count(), 1);
        QCOMPARE(s->barSets().first()->count(), 10);
        QCOMPARE(s->barSets().first()->at(0), 5.0);
        QCOMPARE(s->barSets().first()->at(9), 0.0);
        QBarCategoryAxis *x = categoriesOf(c);
        QVERIFY(x);
        QCOMPARE(x->count(), 10);
        QCOMPARE(x->at(1), QString("R002"));
        QCOMPARE(x->at(2).trimmed().remove(QChar(0x200B)), QString());
        QCOMPARE(c.chartView()->chart()->title(), QString("读者借书总数排行"));
        QCOMPARE(c.TitleText(), QString("读者借书总数排行"));

        // Redrawing with fewer rows replaces the bars.
        fill(c, 5, {});
        QCOMPARE(seriesOf(c)->barSets().first()->count(), 5);
        c.resize(400, 300);
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        QVERIFY(!c.grab().isNull());
    }
};

QTEST_MAIN(TestChart)
#include "tst_chart.moc"
