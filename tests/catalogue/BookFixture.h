#pragma once
// Test helpers for the titles and copies windows and their editor: the
// circulation data set plus a title without copies, a publisher without
// titles and a copy whose title row is missing; messages answered in turn.
#include "circulation/CirculationFixture.h"

#include "catalogue/Frm_BookAdd.h"
#include "core/ChildListForm.h"
#include "ui/Grid.h"

#include <QComboBox>
#include <QTableView>
#include <QTimer>
#include <functional>
#include <memory>

namespace bookfix {

using namespace circfix;

// Records every message; the answers are taken in turn (1 once they run out).
struct AnswerQueue {
    QList<Msg> msgs;
    QList<int> answers;
    AnswerQueue()
    {
        SetMsgBoxHook([this](const QString &m, const QString &i, const QString &t) {
            msgs.append({m, i, t});
            return answers.isEmpty() ? 1 : answers.takeFirst();
        });
    }
    ~AnswerQueue() { SetMsgBoxHook(nullptr); }
    void clear()
    {
        msgs.clear();
        answers.clear();
    }
    QStringList texts() const
    {
        QStringList t;
        for (const Msg &m : msgs) t << m.text;
        return t;
    }
    QString last() const { return msgs.isEmpty() ? QString() : msgs.last().text; }
};

// The standard data set and the additions of these tests.
inline void fillBooks()
{
    fill();
    exec(QStringLiteral("INSERT 出版社 VALUES ('空出版社','上海','200000')"));
    exec(QStringLiteral("INSERT 图书档案 VALUES ('978-4','无库存之书','作者乙','人民出版社','',12.5,0,'0')"));
    addCopy(QStringLiteral("X001"), QStringLiteral("999-9"));  // its title row is missing
}

inline void setPower(const QString &column, bool granted)
{
    exec(QStringLiteral("UPDATE 账户类型 SET ") + column + QStringLiteral(" = ")
         + (granted ? QStringLiteral("1") : QStringLiteral("0")) + QStringLiteral(" WHERE 账户类型 = '系统管理员'"));
}

// The row of a grid whose column `col` holds `text`, -1 when none.
inline int rowWith(vb::Grid &g, int col, const QString &text)
{
    for (int r = 1; r < g.Rows(); ++r)
        if (g.TextMatrix(r, col) == text) return r;
    return -1;
}

inline QStringList column(vb::Grid &g, int col)
{
    QStringList out;
    for (int r = 1; r < g.Rows(); ++r) out << g.TextMatrix(r, col);
    return out;
}

// What the titles and copies list tests share: the data set of fillBooks, the
// answer queue and the window W shown as the main window's child; rows are
// looked up by their key in column KeyCol. open() and close() are the test's
// init and cleanup.
template <class W, int KeyCol> struct BookListCase {
    std::unique_ptr<SharedDb> m_db;
    std::unique_ptr<AnswerQueue> m_msg;

    W &w() { return vb::Default<W>(); }
    vb::Grid &grid() { return *w().Grid_ShowData.get(); }
    int rowOf(const QString &key) { return rowWith(grid(), KeyCol, key); }
    int copies(const QString &isbn)
    {
        return count(QStringLiteral("SELECT COUNT(*) FROM 图书库存 WHERE ISBN = ") + SQLQuote(isbn));
    }
    void select(const QString &key)
    {
        w().CurRow = rowOf(key);
        QVERIFY(w().CurRow >= 1);
    }
    void open()
    {
        m_db = std::make_unique<SharedDb>();
        QVERIFY(m_db->isOpen());
        fillBooks();
        m_msg = std::make_unique<AnswerQueue>();
        showChild(w());
    }
    void close()
    {
        w().Unload();
        m_msg.reset();
        m_db.reset();
    }
};

// What the editor showed when a list window opened it.
struct EditorSeen {
    bool opened = false;
    QString mode, isbn, caption;
    QObject *caller = nullptr;
};

// Runs `open` (a list action) and, if it shows the title editor modally,
// records its state and closes it again.
inline EditorSeen runEditor(const std::function<void()> &open)
{
    EditorSeen seen;
    Frm_BookAdd &ed = vb::Default<Frm_BookAdd>();
    QTimer::singleShot(0, &ed, [&] {
        if (!ed.IsModalShowing()) return;
        seen.opened = true;
        seen.mode = ed.Mode;
        seen.isbn = ed.BookISBN;
        seen.caption = ed.Lbl_TBarText->Caption();
        seen.caller = ed.CallerForm.data();
        ed.Cmd_GoBack_Click();
    });
    open();
    QCoreApplication::processEvents();
    return seen;
}

}  // namespace bookfix
