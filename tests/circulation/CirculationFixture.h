#pragma once
// Test data for the circulation and list-family tests: a temporary database
// with two reader categories, a few readers, titles and copies, the staff
// account "admin" logged in, and every message box answered and recorded.
#include "support/TempDb.h"

#include "core/Frm_Main.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "ui/Colors.h"
#include "ui/Runtime.h"

#include <QApplication>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>
#include <QtTest>

namespace circfix {

// A temporary database opened as the program's shared connection.
struct SharedDb {
    testsupport::TempDb db;
    SharedDb()
    {
        if (SQLConn().State() == ado::adStateOpen) SQLConn().Close();
        OpenSQLConnection(SQLConn(), db.server(), db.uid(), db.pwd(), db.database());
    }
    ~SharedDb()
    {
        if (SQLConn().State() == ado::adStateOpen) SQLConn().Close();
    }
    bool isOpen() const { return SQLConn().State() == ado::adStateOpen; }
    // Runs a statement straight on the engine, beside the program's connection
    // (dropped tables, rows the program would never write ...).
    bool raw(const QString &sql) { return db.raw(sql); }
};

// The main window, shown and active: child windows open inside it, and the
// list windows' record counts reach its status bar.
inline Frm_Main &showMain()
{
    Frm_Main &m = vb::Default<Frm_Main>();
    m.Show();
    QApplication::setActiveWindow(&m);
    if (!QTest::qWaitForWindowActive(&m)) qWarning("main window not active");
    return m;
}

// Shows a child window inside the main window.
inline void showChild(vb::Form &f)
{
    showMain();
    f.Show();
    QCoreApplication::processEvents();
}

// The text of the status-bar tip.
inline QString statusTip() { return vb::Default<Frm_Main>().Lbl_SBarTip->Caption(); }

// Types text (any characters) into a widget, key by key.
inline void typeText(QWidget *w, const QString &text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 128)
            QTest::keyClick(w, ch.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

struct Msg {
    QString text, icon, title;
};

// Records every message; answers with `answer` (1 OK, 2 Cancel).
struct MsgRecorder {
    QList<Msg> msgs;
    int answer = 1;
    MsgRecorder()
    {
        SetMsgBoxHook([this](const QString &m, const QString &i, const QString &t) {
            msgs.append({m, i, t});
            return answer;
        });
    }
    ~MsgRecorder() { SetMsgBoxHook(nullptr); }
    void clear() { msgs.clear(); }
    QString last() const { return msgs.isEmpty() ? QString() : msgs.last().text; }
    QString lastTitle() const { return msgs.isEmpty() ? QString() : msgs.last().title; }
    QString lastIcon() const { return msgs.isEmpty() ? QString() : msgs.last().icon; }
};

inline void exec(const QString &sql) { SQLConn().Execute(sql); }

// One value read by a statement ("" for no row or a null).
inline QString scalar(const QString &sql)
{
    ado::Recordset rs;
    rs.Open(sql, SQLConn());
    if (rs.EOF_()) return QString();
    const QVariant v = rs.Fields(0);
    return v.isNull() ? QString() : v.toString();
}

inline int count(const QString &sql) { return scalar(sql).toInt(); }

inline void addCategory(const QString &name, int days, int limit)
{
    exec(QStringLiteral("INSERT 读者类别 VALUES (%1,%2,%3)")
             .arg(SQLQuote(name), SQLQuote(QString::number(days)), SQLQuote(QString::number(limit))));
}

inline void addReader(const QString &id, const QString &category, const QString &name, int held = 0,
                      const QString &status = QStringLiteral("正常"))
{
    exec(QStringLiteral("INSERT 读者档案 VALUES (%1,%2,%3,1,12.5,'','','','',0,0,0,0,0,'240101','admin',%4)")
             .arg(SQLQuote(id), SQLQuote(category), SQLQuote(name), SQLQuote(status)));
    if (held)
        exec(QStringLiteral(
                 "UPDATE 读者档案 SET 当前借书数量 = %1, 未还书总数 = %1, 总借书数量 = %1 WHERE 读者编号 = %2")
                 .arg(held)
                 .arg(SQLQuote(id)));
}

inline void addTitle(const QString &isbn, const QString &title, bool lendable = true)
{
    exec(QStringLiteral("INSERT 图书档案 VALUES (%1,%2,'作者甲','人民出版社','2020-01-01',30,0.5,%3)")
             .arg(SQLQuote(isbn), SQLQuote(title), lendable ? QStringLiteral("'1'") : QStringLiteral("'0'")));
}

inline void addCopy(const QString &id, const QString &isbn, const QString &status = QString())
{
    exec(QStringLiteral(
             "INSERT 图书库存 (图书编号, ISBN, 入库日期, 经手人) VALUES (%1,%2,'2024-01-01 10:00:00','admin')")
             .arg(SQLQuote(id), SQLQuote(isbn)));
    if (!status.isEmpty())
        exec(QStringLiteral("UPDATE 图书库存 SET 状态 = %1 WHERE 图书编号 = %2").arg(SQLQuote(status), SQLQuote(id)));
}

// An open loan as the lending window writes it.
inline void loanOut(const QString &loanNo, const QString &copy, const QString &reader)
{
    exec(QStringLiteral("INSERT 图书借阅 VALUES(%1,%2,%3,'2024-03-01','2024-03-31', Null, '0', 'admin', Null)")
             .arg(SQLQuote(loanNo), SQLQuote(copy), SQLQuote(reader)));
    exec(QStringLiteral("UPDATE 图书库存 SET 状态 = '借出' WHERE 图书编号 = ") + SQLQuote(copy));
    exec(QStringLiteral("UPDATE 读者档案 SET 当前借书数量 = 当前借书数量 + 1, 未还书总数 = 未还书总数 + 1 WHERE "
                        "读者编号 = ")
         + SQLQuote(reader));
}

// Readers counters by name.
inline int counter(const QString &reader, const QString &column)
{
    return count(QStringLiteral("SELECT ") + column + QStringLiteral(" FROM 读者档案 WHERE 读者编号 = ")
                 + SQLQuote(reader));
}

inline QString copyStatus(const QString &id)
{
    return scalar(QStringLiteral("SELECT 状态 FROM 图书库存 WHERE 图书编号 = ") + SQLQuote(id));
}

// The standard data set.
inline void fill()
{
    CurUID = QStringLiteral("admin");
    exec(QStringLiteral("INSERT 出版社 VALUES ('人民出版社','北京','100000')"));
    addCategory(QStringLiteral("学生"), 30, 5);
    addCategory(QStringLiteral("教师"), 60, 10);
    addReader(QStringLiteral("R001"), QStringLiteral("学生"), QStringLiteral("张三"));
    addReader(QStringLiteral("R002"), QStringLiteral("教师"), QStringLiteral("李四"));
    addReader(QStringLiteral("R003"), QStringLiteral("学生"), QStringLiteral("王五"), 3);
    addReader(QStringLiteral("R004"), QStringLiteral("学生"), QStringLiteral("赵六"), 0, QStringLiteral("停用"));
    addTitle(QStringLiteral("978-1"), QStringLiteral("数据库原理"));
    addTitle(QStringLiteral("978-2"), QStringLiteral("操作系统"));
    addTitle(QStringLiteral("978-3"), QStringLiteral("珍本古籍"), false);
    addCopy(QStringLiteral("B001"), QStringLiteral("978-1"));
    addCopy(QStringLiteral("B002"), QStringLiteral("978-1"), QStringLiteral("空闲"));
    addCopy(QStringLiteral("B003"), QStringLiteral("978-2"));
    addCopy(QStringLiteral("B004"), QStringLiteral("978-2"));
    addCopy(QStringLiteral("B005"), QStringLiteral("978-2"));
    addCopy(QStringLiteral("B006"), QStringLiteral("978-1"), QStringLiteral("借出"));
    addCopy(QStringLiteral("B007"), QStringLiteral("978-3"));
    addCopy(QStringLiteral("C001"), QStringLiteral("978-1"));
}

// A fixed clock: 2024-03-15 10:20:30.
inline QDateTime fixedNow() { return QDateTime(QDate(2024, 3, 15), QTime(10, 20, 30)); }

}  // namespace circfix
