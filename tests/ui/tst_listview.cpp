// The report list with tick boxes.
#include "ui/ListView.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

class TestListView : public QObject {
    Q_OBJECT

private slots:
    void columnsRowsAndSubItems()
    {
        vb::ListView lv;
        QCOMPARE(lv.ColumnHeaders().Count(), 0);
        lv.ColumnHeaders().Add("图书名称", 3000);
        lv.ColumnHeaders().Add("图书编号", 1800);
        lv.ColumnHeaders().Add("还书日期", 1800);
        QCOMPARE(lv.ColumnHeaders().Count(), 3);
        QCOMPARE(lv.ColumnHeaders().Text(2), QString("图书编号"));
        QCOMPARE(lv.view()->header()->sectionSize(0), 200);
        QCOMPARE(lv.ColumnHeaders().Width(3), 1800);

        vb::ListItem a = lv.ListItems().Add("书一");
        a.setSubItems(1, "B001");
        a.setSubItems(2, "2024-03-15");
        vb::ListItem b = lv.ListItems().Add("书二");
        b.setSubItems(1, "B002");
        QCOMPARE(lv.ListItems().Count(), 2);
        QCOMPARE(b.Index(), 2);
        QCOMPARE(lv.ListItems()(1).Text(), QString("书一"));
        QCOMPARE(lv.ListItems()(1).SubItems(2), QString("2024-03-15"));
        QCOMPARE(lv.ListItems()(2).SubItems(1), QString("B002"));
        QCOMPARE(lv.view()->topLevelItem(0)->text(1), QString("B001"));
        QVERIFY(lv.ListItems()(3).isNull());
        QCOMPARE(lv.ListItems()(3).SubItems(1), QString());  // no row: empty, no crash

        lv.ListItems().Clear();
        QCOMPARE(lv.ListItems().Count(), 0);
        QCOMPARE(lv.ColumnHeaders().Count(), 3);  // clearing rows keeps the columns
    }

    void tickBoxes()
    {
        vb::ListView lv;
        lv.ColumnHeaders().Add("图书名称", 3000);
        QSignalSpy checks(&lv, &vb::ListView::ItemCheck);
        vb::ListItem a = lv.ListItems().Add("书一");
        vb::ListItem b = lv.ListItems().Add("书二");
        vb::ListItem c = lv.ListItems().Add("书三");
        QVERIFY(!a.Checked());
        QVERIFY(lv.view()->topLevelItem(0)->flags() & Qt::ItemIsUserCheckable);
        a.setChecked(true);
        b.setChecked(true);
        c.setChecked(true);
        QCOMPARE(checks.size(), 0);  // ticks set by the program raise nothing

        // The user unticks the middle row.
        lv.view()->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
        QCOMPARE(checks.size(), 1);
        QCOMPARE(checks.at(0).at(0).value<vb::ListItem>().Index(), 2);
        int ticked = 0;
        QList<int> positions;
        for (int i = 1; i <= lv.ListItems().Count(); ++i)
            if (lv.ListItems()(i).Checked()) {
                ++ticked;
                positions << i;
            }
        QCOMPARE(ticked, 2);
        QCOMPARE(positions, (QList<int>{1, 3}));
        // Text changes by the program raise no ItemCheck either.
        c.setSubItems(1, "x");
        QCOMPARE(checks.size(), 1);
    }

    void clickOnTheTickBox()
    {
        vb::ListView lv;
        lv.ColumnHeaders().Add("图书名称", 3000);
        lv.ColumnHeaders().Add("图书编号", 1800);
        lv.ListItems().Add("书一").setChecked(true);
        lv.resize(400, 200);
        lv.show();
        QVERIFY(QTest::qWaitForWindowExposed(&lv));
        QSignalSpy checks(&lv, &vb::ListView::ItemCheck);
        QTreeWidget *t = lv.view();
        const QRect r = t->visualItemRect(t->topLevelItem(0));
        // The tick box sits at the start of the first column.
        for (int x = r.left() + 2; x < r.left() + 30 && checks.isEmpty(); x += 2)
            QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, QPoint(x, r.center().y()));
        QCOMPARE(checks.size(), 1);
        QVERIFY(!lv.ListItems()(1).Checked());
    }
};

QTEST_MAIN(TestListView)
#include "tst_listview.moc"
