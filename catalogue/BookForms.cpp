#include "catalogue/BookForms.h"

#include "catalogue/Frm_BookInfo.h"
#include "catalogue/Frm_BookStore.h"
#include "core/ChildFormSwitch.h"
#include "core/Mdl_SQLConnection.h"

void RegisterBookForms()
{
    RegisterChildForm(QStringLiteral("Frm_BookInfo"), [] { return &vb::Default<Frm_BookInfo>(); });
    RegisterChildForm(QStringLiteral("Frm_BookStore"), [] { return &vb::Default<Frm_BookStore>(); });
}

bool CopiesOnLoan(const QString &where)
{
    // Inside the transaction that deletes them, the copies are locked first,
    // in the order a lending locks copies: a desk lending one of them
    // meanwhile holds it until its loan is in (and seen here), or finds it gone.
    if (SQLConn().InTransaction()) {
        ado::Recordset locked;
        locked.Open(QStringLiteral("SELECT 图书编号 FROM 图书库存 WITH (UPDLOCK) WHERE ") + where
                        + QStringLiteral(" ORDER BY 图书编号"),
                    SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
    }
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT 图书编号 FROM 图书库存 WHERE ") + where
                + QStringLiteral(
                    " AND (状态 = '借出' OR 图书编号 IN (SELECT 图书编号 FROM 图书借阅 WHERE 是否已还 = '0'))"),
            SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
    return !rs.EOF_();
}
