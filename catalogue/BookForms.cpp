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
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT 图书编号 FROM 图书库存 WHERE ") + where
                + QStringLiteral(
                    " AND (状态 = '借出' OR 图书编号 IN (SELECT 图书编号 FROM 图书借阅 WHERE 是否已还 = '0'))"),
            SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
    return !rs.EOF_();
}
