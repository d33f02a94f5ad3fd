// Texts the windows put in a place fit there: numbers of full length in the
// lists, the chart's bar labels, the title editor's tip, the field names of a
// sort box, and the database panel of the status bar (elided there, never
// running into the date). Each is measured with the font it is drawn in.
#include "catalogue/BookFixture.h"
#include "catalogue/BookForms.h"
#include "catalogue/Frm_BookInfo.h"
#include "catalogue/Frm_BookStore.h"
#include "catalogue/Frm_ReaderDoc.h"
#include "catalogue/ReaderForms.h"
#include "circulation/CirculationForms.h"
#include "circulation/Frm_ReturnBook.h"
#include "circulation/Frm_Statistics.h"
#include "core/ChildFormSwitch.h"
#include "core/Frm_Welcome.h"

#include <QChartView>
#include <QFontMetrics>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QTableView>
#include <QtTest>

using namespace bookfix;

namespace {

const QString kIsbn = QStringLiteral("9787020002207");
const QString kIsbn2 = QStringLiteral("9787020002208");
const QString kLoanNo = QStringLiteral("261207091750001");
const QString kIdCard = QStringLiteral("11010519900307123X");
const QString kEntered = QStringLiteral("2024-01-02 11:00:00");

// Why the text of a grid cell does not fit its column ("" when it fits): the
// item view draws a cell's text inside a margin on either side.
QString gridCellMisfit(vb::Grid &g, int row, int col)
{
    QTableView *v = g.view();
    const QString text = g.TextMatrix(row, col);
    const int margin = v->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, v) + 1;
    const int room = v->horizontalHeader()->sectionSize(col) - 2 * margin;
    const int need = QFontMetrics(v->font()).horizontalAdvance(text);
    if (need <= room) return QString();
    return QStringLiteral("\"%1\" needs %2 px, column %3 leaves %4").arg(text).arg(need).arg(col).arg(room);
}

int rowHolding(vb::Grid &g, int col, const QString &text)
{
    for (int r = 1; r < g.Rows(); ++r)
        if (g.TextMatrix(r, col) == text) return r;
    return -1;
}

}  // namespace

class TestTextFit : public QObject {
    Q_OBJECT

    std::unique_ptr<SharedDb> m_db;
    std::unique_ptr<AnswerQueue> m_msg;

    void checkCell(vb::Grid &g, int col, const QString &text)
    {
        const int row = rowHolding(g, col, text);
        QVERIFY2(row >= 1, qPrintable(text));
        const QString misfit = gridCellMisfit(g, row, col);
        QVERIFY2(misfit.isEmpty(), qPrintable(misfit));
    }

private slots:
    void initTestCase()
    {
        RegisterBookForms();
        RegisterReaderForms();
        RegisterCirculationForms();
    }

    void init()
    {
        m_db = std::make_unique<SharedDb>();
        QVERIFY(m_db->isOpen());
        fillBooks();
        addTitle(kIsbn, QStringLiteral("红楼梦"));
        addTitle(kIsbn2, QStringLiteral("红楼梦（下）"));
        exec(QStringLiteral("INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES ('D001',%1,%2,'admin')")
                 .arg(SQLQuote(kIsbn), SQLQuote(kEntered)));
        addCopy(QStringLiteral("D002"), kIsbn2);
        addCopy(QStringLiteral("D003"), kIsbn2);
        exec(QStringLiteral("INSERT 图书借阅 VALUES(%1,'D001','R001','2024-03-01','2024-03-31',Null,'0','admin',Null)")
                 .arg(SQLQuote(kLoanNo)));
        exec(QStringLiteral("INSERT 图书借阅 VALUES('240302000000001','D002','R002','2024-03-02','2024-04-01',"
                            "'2024-03-05','1','admin','admin')"));
        exec(QStringLiteral("INSERT 图书借阅 VALUES('240302000000002','D003','R002','2024-03-02','2024-04-01',"
                            "'2024-03-05','1','admin','admin')"));
        exec(QStringLiteral("UPDATE 图书库存 SET 状态 = '借出' WHERE 图书编号 = 'D001'"));
        exec(QStringLiteral("UPDATE 读者档案 SET 身份证号码 = %1 WHERE 读者编号 = 'R001'").arg(SQLQuote(kIdCard)));
        m_msg = std::make_unique<AnswerQueue>();
        // The smallest main window: the lists keep their columns, the chart
        // gets the least room.
        Frm_Main &m = showMain();
        m.resize(900, 600);
        QCoreApplication::processEvents();
    }

    void cleanup()
    {
        if (CurForm && CurForm.data() != &vb::Default<Frm_Welcome>()) CloseChildForm(CurForm.data());
        m_msg.reset();
        m_db.reset();
    }

    // Thirteen-digit ISBNs, the fifteen-digit loan number, the date and time a
    // copy was entered and an eighteen-character ID-card number, each in its
    // column of the lists.
    void fullNumbersFitTheirColumns()
    {
        Frm_BookInfo &titles = vb::Default<Frm_BookInfo>();
        showChild(titles);
        checkCell(*titles.Grid_ShowData.get(), 2, kIsbn);
        CloseChildForm(&titles);

        Frm_ReturnBook &returning = vb::Default<Frm_ReturnBook>();
        showChild(returning);
        checkCell(*returning.Grid_ShowData.get(), 0, kLoanNo);
        checkCell(*returning.Grid_ShowData.get(), 3, kIsbn);
        CloseChildForm(&returning);

        Frm_BookStore &copies = vb::Default<Frm_BookStore>();
        showChild(copies);
        checkCell(*copies.Grid_ShowData.get(), 3, kIsbn);
        checkCell(*copies.Grid_ShowData.get(), 4, kEntered);
        CloseChildForm(&copies);

        Frm_ReaderDoc &readers = vb::Default<Frm_ReaderDoc>();
        showChild(readers);
        checkCell(*readers.Grid_ShowData.get(), 11, kIdCard);
        CloseChildForm(&readers);
    }

    // Two ISBNs that share their first eleven digits are both shown whole
    // under their bars of 借阅次数.
    void chartLabelsAreShownWhole()
    {
        Frm_Statistics &stats = vb::Default<Frm_Statistics>();
        showChild(stats);
        stats.Cmd_Borrow_Click();
        stats.Txt_From->setText(QStringLiteral("2024-01-01"));
        stats.Txt_To->setText(QStringLiteral("2024-12-31"));
        stats.Cmd_OK_Click();
        vb::Chart *chart = stats.Chart_Brw.get();
        QCOMPARE(chart->rowLabel(1), kIsbn2);
        QCOMPARE(chart->rowLabel(2), kIsbn);
        QCoreApplication::processEvents();
        chart->chartView()->grab();  // lays the chart out
        QStringList shown;
        for (QGraphicsItem *item : chart->chartView()->scene()->items())
            if (auto *t = dynamic_cast<QGraphicsTextItem *>(item)) shown << t->toPlainText();
        for (const QString &isbn : {kIsbn, kIsbn2})
            QVERIFY2(shown.contains(isbn), qPrintable(shown.join(QStringLiteral(" | "))));
        CloseChildForm(&stats);
    }

    // The tip of the title editor is read to its end inside its box.
    void titleEditorTipFitsItsBox()
    {
        Frm_BookAdd &ed = vb::Default<Frm_BookAdd>();
        ed.Mode = QStringLiteral("ADD_Book");
        ed.BookISBN.clear();
        ed.Load();
        vb::Label *tip = ed.Lbl_Tip.get();
        QVERIFY(tip->Caption().endsWith(QStringLiteral("否则为添加新书模式。")));
        QCOMPARE(tip->Width(), 1095);
        QCOMPARE(tip->Height(), 1575);
        const QRect need =
            QFontMetrics(tip->font()).boundingRect(QRect(0, 0, tip->width(), 100000), Qt::TextWordWrap, tip->Caption());
        QVERIFY2(need.width() <= tip->width() && need.height() <= tip->height(),
                 qPrintable(QStringLiteral("%1 x %2 px needed, %3 x %4 px given")
                                .arg(need.width())
                                .arg(need.height())
                                .arg(tip->width())
                                .arg(tip->height())));
        ed.Unload();
    }

    // Every field name a sort box offers shows whole in the box once chosen,
    // in every list that sorts.
    void sortBoxesShowTheirLongestFieldName()
    {
        const auto check = [](ChildListForm &w, FCombo *box) {
            showChild(w);
            QVERIFY(box->ListCount() > 0);
            for (int i = 0; i < box->ListCount(); ++i) {
                box->setListIndex(i);
                QLabel *shown = box->label();
                const int need = QFontMetrics(shown->font()).horizontalAdvance(box->Text());
                QVERIFY2(need <= shown->width(), qPrintable(QStringLiteral("%1: \"%2\" needs %3 px, the box shows %4")
                                                                .arg(w.ClassName(), box->Text())
                                                                .arg(need)
                                                                .arg(shown->width())));
            }
            CloseChildForm(&w);
        };
        check(vb::Default<Frm_BookInfo>(), vb::Default<Frm_BookInfo>().Cmb_Sort_1.get());
        check(vb::Default<Frm_BookStore>(), vb::Default<Frm_BookStore>().Cmb_Sort_1.get());
        check(vb::Default<Frm_ReaderDoc>(), vb::Default<Frm_ReaderDoc>().Cmb_Sort_1.get());
    }

    // A database given as a long absolute path is elided in its panel and
    // never runs into the date.
    void statusBarDatabasePanelElidesALongPath()
    {
        const QString saved = SQLDB;
        const QString path = QStringLiteral("/home/library/desk-1/databases/lending-and-returning/library-2024.db");
        vb::Default<Frm_Main>().Unload();
        SQLDB = path;  // as a login sets it before the main window opens
        Frm_Main &m = showMain();
        vb::Label *db = m.Lbl_SBarSQLDB.get();
        QCOMPARE(db->Caption(), path);
        const int panelEnd = m.Shp_SBarSub2->Left() + m.Shp_SBarSub2->Width();
        QVERIFY2(db->Left() + db->Width() <= panelEnd,
                 qPrintable(
                     QStringLiteral("ends at %1 twips, its panel at %2").arg(db->Left() + db->Width()).arg(panelEnd)));
        QVERIFY(db->Left() + db->Width() <= m.Lbl_SBarDate->Left());
        const QString shown = db->text();
        QVERIFY2(shown.contains(QChar(0x2026)), qPrintable(shown));
        QVERIFY(shown.endsWith(QStringLiteral("library-2024.db")));
        QVERIFY(QFontMetrics(db->font()).horizontalAdvance(shown) <= db->width());
        // A short name is shown as it is.
        m.Unload();
        SQLDB = QStringLiteral("Library");
        showMain();
        QCOMPARE(vb::Default<Frm_Main>().Lbl_SBarSQLDB->text(), QStringLiteral("Library"));
        vb::Default<Frm_Main>().Unload();
        SQLDB = saved;
    }
};

QTEST_MAIN(TestTextFit)
#include "tst_textfit.moc"
