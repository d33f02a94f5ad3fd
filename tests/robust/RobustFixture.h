#pragma once
// What the proofs that nothing is lost share: the circulation data set made to
// agree with the data's invariants, and a clerk's hands on the windows
// (typing into a box, choosing in a combo box or on a grid's row, closing).
#include "circulation/CirculationFixture.h"

#include "controls/FCombo.h"
#include "controls/FTextBox.h"
#include "core/ChildFormSwitch.h"
#include "core/ChildListForm.h"
#include "ui/Grid.h"

#include <QtTest>

namespace robustfix {

using namespace circfix;

template <class W> W &win() { return vb::Default<W>(); }

// The standard set, with what it holds against the invariants put right: it
// marks B006 lent and R003 holding three books, without a loan.
inline void agreeingFill()
{
    fill();
    exec(QStringLiteral("UPDATE 读者档案 SET 当前借书数量 = 0, 未还书总数 = 0 WHERE 读者编号 = 'R003'"));
    exec(QStringLiteral("UPDATE 图书库存 SET 状态 = '空闲' WHERE 图书编号 = 'B006'"));
}

// A loan returned long ago, handled by `by`.
inline void returnedLoan(const QString &loanNo, const QString &copy, const QString &reader, const QString &by)
{
    exec(QStringLiteral("INSERT 图书借阅 VALUES(%1,%2,%3,'2024-01-01','2024-02-01','2024-01-20','1',%4,%4)")
             .arg(SQLQuote(loanNo), SQLQuote(copy), SQLQuote(reader), SQLQuote(by)));
}

// Typed into a box over what it held, key by key; then Enter.
inline void typeInto(FTextBox *box, const QString &text)
{
    box->setText(QString());
    box->textBox()->setFocus();
    QTest::keyClicks(box->textBox(), text);
}
inline void pressEnter(FTextBox *box) { QTest::keyClick(box->textBox(), Qt::Key_Return); }

// The item of a combo box chosen as from its list (its Click runs).
inline void pick(FCombo *c, const QString &text)
{
    for (int i = 0; i < c->ListCount(); ++i)
        if (c->List(i) == text) {
            c->setListIndex(i);
            return;
        }
    qWarning("no item %s", qPrintable(text));
}

// The row of a list window whose column `col` holds `key` made the current one.
inline void choose(ChildListForm &w, int col, const QString &key)
{
    vb::Grid *g = w.Grid_ShowData.get();
    for (int r = 1; r < g->Rows(); ++r)
        if (g->TextMatrix(r, col) == key) {
            w.CurRow = r;
            return;
        }
}

// A child window closed as its close button does.
inline void closeList(vb::Form &w)
{
    if (w.IsLoaded()) CloseChildForm(&w);
}

}  // namespace robustfix
