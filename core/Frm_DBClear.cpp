#include "core/Frm_DBClear.h"

#include "core/DialogConventions.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "core/Refusal.h"
#include "db/Engine.h"
#include "db/Transaction.h"
#include "ui/Runtime.h"

#include <exception>

namespace {

constexpr int DialogWidth = 7200, DialogHeight = 6060;
constexpr int FrameLeft = 240, FrameTop = 720, FrameWidth = 6720, FrameHeight = 3840;
constexpr int ItemLeft = 240, ItemWidth = 2400, ItemTop = 360, ItemStep = 420;
constexpr int NoteLeft = 2760, NoteWidth = 3840;

const QString kPowerAcc = QStringLiteral("修改账户权限");
const QString kPowerBorrow = QStringLiteral("办理借书权限");
const QString kPowerReturn = QStringLiteral("办理还书权限");
const QString kPowerStore = QStringLiteral("修改库存权限");
const QString kPowerReader = QStringLiteral("修改读者权限");

bool ticked(vb::CheckBox *c) { return c && c->Value() == vb::vbChecked; }

}  // namespace

Frm_DBClear::Frm_DBClear() : vb::Form(QStringLiteral("Frm_DBClear"))
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setCaption(QStringLiteral("清理数据库"));
    setWidth(DialogWidth);
    setHeight(DialogHeight);
}

void Frm_DBClear::CreateControls()
{
    QWidget *c = client();
    // A thin outline: the dialog has no window frame, only its own title bar.
    auto *border = new vb::Shape(c, QStringLiteral("Shp_Border"));
    border->setBorderColor(vb::kGrey);
    border->setAttribute(Qt::WA_TransparentForMouseEvents);
    border->Move(0, 0, DialogWidth, DialogHeight);

    const DialogTitleBarParts bar = DialogTitleBar(this, 480, [this] { Cmd_Close_Click(); });
    Pic_TitleBar = bar.Pic_TitleBar;
    Lbl_TBarText = bar.Lbl_TBarText;
    Cmd_TBarClose = bar.Cmd_TBarClose;

    CreateItemList();

    auto *tip = new vb::Label(c, QStringLiteral("Lbl_Tip"), QStringLiteral("注意：灰色项代表您没有权限进行该操作"));
    tip->setBackStyle(vb::vbTransparent);
    tip->setForeColor(vb::kGrey);
    tip->Move(FrameLeft, FrameTop + FrameHeight + 150, FrameWidth, 255);
    Lbl_Tip = tip;

    const int buttonTop = DialogHeight - 375 - 300;
    auto button = [c](const QString &name, const QString &caption, int left, int top) {
        auto *b = new XButton(c, name);
        b->Move(left, top, 1200, 375);
        b->setCaption(caption);
        b->setStyleColor(vb::kFrameGrey);
        b->setIfDraw(true);
        return b;
    };
    Cmd_Clear = button(QStringLiteral("Cmd_Clear"), QStringLiteral("清理"), FrameLeft + FrameWidth - 2520, buttonTop);
    Cmd_Close = button(QStringLiteral("Cmd_Close"), QStringLiteral("关闭"), FrameLeft + FrameWidth - 1200, buttonTop);

    connect(Chk_Acc_Standby.peek(), &vb::CheckBox::Click, this, &Frm_DBClear::Chk_Acc_Standby_Click);
    connect(Chk_Reader_Standby.peek(), &vb::CheckBox::Click, this, &Frm_DBClear::Chk_Reader_Standby_Click);
    connect(Chk_Brw_All.peek(), &vb::CheckBox::Click, this, &Frm_DBClear::Chk_Brw_All_Click);
    connect(Chk_Book_Damag.peek(), &vb::CheckBox::Click, this, &Frm_DBClear::Chk_Book_Damag_Click);
    connect(Chk_Brw_Return.peek(), &vb::CheckBox::Click, this, &Frm_DBClear::Chk_Brw_Return_Click);
    connect(Cmd_Clear.peek(), &XButton::Click, this, &Frm_DBClear::Cmd_Clear_Click);
    connect(Cmd_Close.peek(), &XButton::Click, this, &Frm_DBClear::Cmd_Close_Click);
}

// The clean-up items, one row each; an item's warning (red) shows while it is ticked.
void Frm_DBClear::CreateItemList()
{
    auto *frame = new vb::Frame(client(), QStringLiteral("Frame_ItemList"), QStringLiteral("清理项目"));
    frame->Move(FrameLeft, FrameTop, FrameWidth, FrameHeight);
    Frame_ItemList = frame;

    int row = 0;
    const auto item = [&](const QString &name, const QString &caption) {
        auto *chk = new vb::CheckBox(frame, name, caption);
        chk->Move(ItemLeft, ItemTop + row * ItemStep, ItemWidth, 255);
        chk->setAutoFillBackground(false);  // the frame's own shade shows through
        return chk;
    };
    const auto note = [&](const QString &name, const QString &caption) {
        auto *l = new vb::Label(frame, name, caption);
        l->setBackStyle(vb::vbTransparent);
        l->setForeColor(vb::kRed);
        l->Move(NoteLeft, ItemTop + row * ItemStep + 15, NoteWidth, 255);
        l->setVisible(false);
        return l;
    };

    Chk_Acc_Login = item(QStringLiteral("Chk_Acc_Login"), QStringLiteral("所有账户登录信息"));
    ++row;
    Chk_Acc_Standby = item(QStringLiteral("Chk_Acc_Standby"), QStringLiteral("状态为停用的账户"));
    Lbl_Acc_Standby = note(QStringLiteral("Lbl_Acc_Standby"), QStringLiteral("该操作将删除相应账户的所有相关记录"));
    ++row;
    Chk_Brw_Return = item(QStringLiteral("Chk_Brw_Return"), QStringLiteral("已还借书记录"));
    CreateReturnDateRange(frame, ItemTop + row * ItemStep - 23);
    ++row;
    Chk_Brw_All = item(QStringLiteral("Chk_Brw_All"), QStringLiteral("全部借书记录"));
    Lbl_Brw_All = note(QStringLiteral("Lbl_Brw_All"), QStringLiteral("该操作将删除相应的可能存在的图书损坏记录"));
    ++row;
    Chk_Book_Damag = item(QStringLiteral("Chk_Book_Damag"), QStringLiteral("所有图书损坏记录"));
    ++row;
    Chk_Book_NoStore = item(QStringLiteral("Chk_Book_NoStore"), QStringLiteral("无库存的图书档案"));
    ++row;
    Chk_Reader_Dep = item(QStringLiteral("Chk_Reader_Dep"), QStringLiteral("所有读者充值记录"));
    ++row;
    Chk_Reader_Standby = item(QStringLiteral("Chk_Reader_Standby"), QStringLiteral("状态为停用的读者"));
    Lbl_Reader_Standby =
        note(QStringLiteral("Lbl_Reader_Standby"), QStringLiteral("该操作将删除相应读者的所有相关记录"));
}

// The return dates of the returned-loans item ("从 ... 到 ..."), shown while it is ticked.
void Frm_DBClear::CreateReturnDateRange(vb::Frame *frame, int top)
{
    auto dateLabel = [&](const QString &name, const QString &caption, int left) {
        auto *l = new vb::Label(frame, name, caption);
        l->setBackStyle(vb::vbTransparent);
        l->Move(left, top + 38, 240, 255);
        l->setVisible(false);
        return l;
    };
    auto dateBox = [&](const QString &name, int left) {
        auto *t = new FTextBox(frame, name);
        t->Move(left, top, 1560, FTextBox::FixedHeight);
        t->setAutoSelAll(true);
        t->setVisible(false);
        return t;
    };
    Lbl_From = dateLabel(QStringLiteral("Lbl_From"), QStringLiteral("从"), NoteLeft);
    Txt_From = dateBox(QStringLiteral("Txt_From"), NoteLeft + 270);
    Lbl_To = dateLabel(QStringLiteral("Lbl_To"), QStringLiteral("到"), NoteLeft + 1950);
    Txt_To = dateBox(QStringLiteral("Txt_To"), NoteLeft + 2220);
}

void Frm_DBClear::Form_Load()
{
    SetDialogTitle(this, Lbl_TBarText.get());
    DisableByPower();
}

void Frm_DBClear::DisableItem(vb::CheckBox *item)
{
    if (item) item->setEnabled(false);
}

void Frm_DBClear::DisableByPower()
{
    if (!CheckUserPower(kPowerAcc)) {
        DisableItem(Chk_Acc_Login.get());
        DisableItem(Chk_Acc_Standby.get());
    }
    if (!CheckUserPower(kPowerBorrow) || !CheckUserPower(kPowerReturn)) {
        DisableItem(Chk_Brw_Return.get());
        DisableItem(Chk_Brw_All.get());
        DisableItem(Chk_Book_Damag.get());
    }
    if (!CheckUserPower(kPowerStore)) DisableItem(Chk_Book_NoStore.get());
    if (!CheckUserPower(kPowerReader)) {
        DisableItem(Chk_Reader_Dep.get());
        DisableItem(Chk_Reader_Standby.get());
    }
}

// ---------------------------------------------------------------- boxes

void Frm_DBClear::Chk_Acc_Standby_Click() { Lbl_Acc_Standby->setVisible(ticked(Chk_Acc_Standby.get())); }

void Frm_DBClear::Chk_Reader_Standby_Click() { Lbl_Reader_Standby->setVisible(ticked(Chk_Reader_Standby.get())); }

void Frm_DBClear::Chk_Brw_All_Click()
{
    Lbl_Brw_All->setVisible(ticked(Chk_Brw_All.get()));
    // All loans take their damage records with them.
    Chk_Book_Damag->setValue(Chk_Brw_All->Value());
}

void Frm_DBClear::Chk_Book_Damag_Click()
{
    if (ticked(Chk_Brw_All.get())) Chk_Book_Damag->setValue(vb::vbChecked);
}

void Frm_DBClear::Chk_Brw_Return_Click()
{
    const bool on = ticked(Chk_Brw_Return.get());
    Lbl_From->setVisible(on);
    Lbl_To->setVisible(on);
    Txt_From->setVisible(on);
    Txt_To->setVisible(on);
}

// ---------------------------------------------------------------- the run

bool Frm_DBClear::ExecClearSQL(const QString &statement, QString *why)
{
    try {
        SQLConn().Execute(statement);
        return true;
    } catch (const ado::Error &e) {
        if (why) *why = e.Description();
        return false;
    } catch (const std::exception &e) {
        if (why) *why = QString::fromStdString(e.what());
        return false;
    }
}

Frm_DBClear::ClearResult Frm_DBClear::ExecClearItem(const ClearItem &item, QString &why)
{
    const ado::CommandTimeoutScope longer(SQLConn(), ado::kCleanUpCommandTimeout);
    try {
        ado::Transaction trans(SQLConn());
        // An option that checks for open loans reads one state of the
        // database, its check and its deletes alike: a loan lent at another
        // desk after the check is neither seen nor deleted, and a row another
        // desk changes meanwhile fails the option (it is listed) rather than
        // being deleted under that desk. One without a check deletes the rows
        // as they are at each statement, and waits for a row a desk is
        // writing instead of failing: the returned loans go while desks lend,
        // their copies' counts changing under the clean-up.
        if (!item.openLoans.isEmpty()) {
            SQLConn().engine()->readOneSnapshot();
            ado::Recordset rs;
            rs.Open(QStringLiteral("SELECT 图书借阅编号 FROM 图书借阅 WHERE 是否已还 = 0 AND (") + item.openLoans
                        + QStringLiteral(")"),
                    SQLConn(), ado::adOpenKeyset, ado::adLockReadOnly);
            if (!rs.EOF_()) return ClearResult::Refused;
        }
        for (const QString &sql : item.statements)
            if (!ExecClearSQL(sql, &why)) return ClearResult::Failed;  // what the option did so far is rolled back
        trans.Commit();
        return ClearResult::Done;
    } catch (const ado::Error &e) {
        why = e.Description();
        return ClearResult::Failed;
    } catch (const std::exception &e) {
        why = QString::fromStdString(e.what());
        return ClearResult::Failed;
    }
}

void Frm_DBClear::Cmd_Clear_Click()
{
    // Grouped by the permission each group needs, in this order. Every
    // permission and date is read before anything is deleted.
    m_lastRun.clear();
    m_lastFailed.clear();
    QList<ClearItem> items;
    try {
        items << AccountClearSQL();
        items << LoanClearSQL();
        items << BookClearSQL();
        items << ReaderClearSQL();
    } catch (const Refusal &r) {
        ShowNotice(r.text, QStringLiteral("提示"));
        return;
    }

    if (items.isEmpty()) {
        ShowNotice(QStringLiteral("请选择需要清理的项目！"), QStringLiteral("提示"));
        return;
    }

    QStringList done, notDone;
    const auto notDoneBecause = [&notDone](const QString &caption, const QString &why) {
        notDone << QStringLiteral("[ ") + caption + QStringLiteral(" ] ") + why;
    };
    for (const ClearItem &item : std::as_const(items)) {
        if (!item.notRun.isEmpty()) {
            notDoneBecause(item.caption, QStringLiteral("未清理：") + item.notRun);
            continue;
        }
        if (!item.tickedFor.isEmpty() && !done.contains(item.tickedFor)) {
            notDoneBecause(item.caption,
                           QStringLiteral("随 [ ") + item.tickedFor + QStringLiteral(" ] 选中，该项未完成，未清理！"));
            continue;
        }
        m_lastRun << item.statements;
        QString why;
        const ClearResult result = ExecClearItem(item, why);
        // An option that was not done has none of its statements done.
        if (result != ClearResult::Done) m_lastFailed << item.statements;
        if (result == ClearResult::Done)
            done << item.caption;
        else if (result == ClearResult::Refused)
            notDoneBecause(item.caption, QStringLiteral("涉及尚未归还的图书，不能清理！"));
        else
            notDoneBecause(item.caption, QStringLiteral("未清理：") + why);
    }

    if (!notDone.isEmpty()) {
        QString text = m_lastFailed.isEmpty() ? QStringLiteral("清理操作未全部完成，以下项目未清理：")
                                              : QStringLiteral("清理操作未全部完成，以下SQL语句操作失败：");
        text += QStringLiteral("\r\n");
        for (const QString &sql : std::as_const(m_lastFailed))
            text += QStringLiteral("    ") + sql + QStringLiteral("\r\n");
        for (const QString &why : std::as_const(notDone)) text += why + QStringLiteral("\r\n");
        ShowMsgBox(text, QStringLiteral("x"), QStringLiteral("提示"));
    } else {
        ShowNotice(QStringLiteral("所选项目清理成功！"), QStringLiteral("提示"));
    }
}

namespace {

// A group's permissions, each asked of the database now.
struct PowerAnswer {
    bool granted = true;
    bool unread = false;  // one could not be read: `why` is the database's description
    QString why;
};

PowerAnswer askPower(std::initializer_list<QString> powers)
{
    for (const QString &p : powers)
        if (!CheckUserPower(p)) return {false, !CheckReadError().isEmpty(), PowerRefusedText()};
    return {};
}

// The ticked options of a group the clerk may not clean now, each not run, and why.
QList<Frm_DBClear::ClearItem> notPermitted(const PowerAnswer &power, std::initializer_list<vb::CheckBox *> boxes)
{
    QList<Frm_DBClear::ClearItem> items;
    for (vb::CheckBox *b : boxes)
        if (ticked(b) && (power.unread || b->isEnabled()))
            items << Frm_DBClear::ClearItem{b->Caption(), {}, {}, {}, power.why};
    return items;
}

// A return date of the clean-up: an empty box is the default (2000-01-01, or
// today); any other text that is no date refuses the run, which would
// otherwise delete a wider range than the one typed.
QString cleanUpDate(FTextBox *box, const QString &name, const QString &empty)
{
    const QString typed = vb::Trim(box->Text());
    if (typed.isEmpty()) return empty;
    if (!IsSQLDate(box->Text()))
        throw Refusal{QStringLiteral("“") + name + QStringLiteral("”日期“") + typed
                      + QStringLiteral("”无法识别，请输入正确的日期（如 2000-01-01），未清理任何项目！")};
    return typed;
}

}  // namespace

// The login log, and the disabled accounts with every record they handled.
QList<Frm_DBClear::ClearItem> Frm_DBClear::AccountClearSQL()
{
    const PowerAnswer power = askPower({kPowerAcc});
    if (!power.granted) return notPermitted(power, {Chk_Acc_Login.get(), Chk_Acc_Standby.get()});
    QList<ClearItem> items;
    const QString disabledAccounts = QStringLiteral("(SELECT 用户名 FROM 账户 WHERE 状态 = '停用')");
    const QString loansOfDisabledAccounts =
        QStringLiteral("(SELECT 图书借阅编号 FROM 图书借阅 WHERE 借书经手人 IN ") + disabledAccounts
        + QStringLiteral(" UNION SELECT 图书借阅编号 FROM 图书借阅 WHERE 还书经手人 IN ") + disabledAccounts
        + QStringLiteral(")");
    if (ticked(Chk_Acc_Login.get()))
        items << ClearItem{Chk_Acc_Login->Caption(), {QStringLiteral("DELETE FROM 账户登录")}, {}};
    if (ticked(Chk_Acc_Standby.get())) {
        // A book lent by a disabled account, or a lent copy it put into stock.
        const QString openLoans = QStringLiteral("借书经手人 IN ") + disabledAccounts
                                  + QStringLiteral(" OR 图书编号 IN (SELECT 图书编号 FROM 图书库存 WHERE 经手人 IN ")
                                  + disabledAccounts + QStringLiteral(")");
        items << ClearItem{Chk_Acc_Standby->Caption(),
                           {QStringLiteral("DELETE FROM 图书损坏 WHERE 图书借阅编号 IN ") + loansOfDisabledAccounts,
                            QStringLiteral("DELETE FROM 图书借阅 WHERE 图书借阅编号 IN ") + loansOfDisabledAccounts,
                            QStringLiteral("DELETE FROM 图书库存 WHERE 经手人 IN ") + disabledAccounts,
                            QStringLiteral("DELETE FROM 充值记录 WHERE 经手人 IN ") + disabledAccounts,
                            QStringLiteral("DELETE FROM 账户登录 WHERE 用户名 IN ") + disabledAccounts,
                            QStringLiteral("DELETE FROM 账户 WHERE 状态 = '停用'")},
                           openLoans};
    }
    return items;
}

// Returned loans between the two dates, all loans, the damage records.
QList<Frm_DBClear::ClearItem> Frm_DBClear::LoanClearSQL()
{
    const PowerAnswer power = askPower({kPowerBorrow, kPowerReturn});
    if (!power.granted) return notPermitted(power, {Chk_Brw_Return.get(), Chk_Brw_All.get(), Chk_Book_Damag.get()});
    QList<ClearItem> items;
    if (ticked(Chk_Brw_Return.get())) {
        const QString from = cleanUpDate(Txt_From.get(), Lbl_From->Caption(), QStringLiteral("2000-01-01"));
        const QString to =
            cleanUpDate(Txt_To.get(), Lbl_To->Caption(), vb::Format(vb::Date(), QStringLiteral("yyyy-mm-dd")));
        // Both boxes are read before a default is written into an empty one.
        Txt_From->setText(vb::Trim(Txt_From->Text()).isEmpty() ? from : Txt_From->Text());
        Txt_To->setText(vb::Trim(Txt_To->Text()).isEmpty() ? to : Txt_To->Text());
        const QString returned = QStringLiteral("是否已还 = 1 AND (实际还书日期 BETWEEN ") + SQLQuote(from)
                                 + QStringLiteral(" AND ") + SQLQuote(to) + QStringLiteral(")");
        items << ClearItem{Chk_Brw_Return->Caption(),
                           {QStringLiteral("DELETE FROM 图书损坏 WHERE 图书借阅编号 IN (SELECT 图书借阅编号 FROM "
                                           "图书借阅 WHERE ")
                                + returned + QStringLiteral(")"),
                            QStringLiteral("DELETE FROM 图书借阅 WHERE ") + returned},
                           {}};
    }
    if (ticked(Chk_Brw_All.get()))
        items << ClearItem{Chk_Brw_All->Caption(),
                           {QStringLiteral("DELETE FROM 图书损坏"), QStringLiteral("DELETE FROM 图书借阅")},
                           QStringLiteral("是否已还 = 0")};
    // Ticked with all loans, the damage records go with them or stay with them.
    if (ticked(Chk_Book_Damag.get()))
        items << ClearItem{Chk_Book_Damag->Caption(),
                           {QStringLiteral("DELETE FROM 图书损坏")},
                           {},
                           ticked(Chk_Brw_All.get()) ? Chk_Brw_All->Caption() : QString()};
    return items;
}

// Titles of which no copy is left.
QList<Frm_DBClear::ClearItem> Frm_DBClear::BookClearSQL()
{
    const PowerAnswer power = askPower({kPowerStore});
    if (!power.granted) return notPermitted(power, {Chk_Book_NoStore.get()});
    QList<ClearItem> items;
    if (ticked(Chk_Book_NoStore.get()))
        items << ClearItem{Chk_Book_NoStore->Caption(),
                           {QStringLiteral("DELETE FROM 图书档案 WHERE ISBN IN (SELECT 图书档案.ISBN FROM 图书档案, "
                                           "图书库存 WHERE 图书档案.ISBN *= "
                                           "图书库存.ISBN GROUP BY 图书档案.ISBN HAVING COUNT(图书库存.ISBN) = 0)")},
                           {}};
    return items;
}

// The deposits, and the disabled readers with all their records.
QList<Frm_DBClear::ClearItem> Frm_DBClear::ReaderClearSQL()
{
    const PowerAnswer power = askPower({kPowerReader});
    if (!power.granted) return notPermitted(power, {Chk_Reader_Dep.get(), Chk_Reader_Standby.get()});
    QList<ClearItem> items;
    const QString disabledReaders = QStringLiteral("(SELECT 读者编号 FROM 读者档案 WHERE 状态 = '停用')");
    if (ticked(Chk_Reader_Dep.get()))
        items << ClearItem{Chk_Reader_Dep->Caption(), {QStringLiteral("DELETE FROM 充值记录")}, {}};
    if (ticked(Chk_Reader_Standby.get()))
        items << ClearItem{Chk_Reader_Standby->Caption(),
                           {QStringLiteral("DELETE FROM 图书损坏 WHERE 图书借阅编号 IN (SELECT 图书借阅编号 FROM "
                                           "图书借阅 WHERE 读者编号 IN ")
                                + disabledReaders + QStringLiteral(")"),
                            QStringLiteral("DELETE FROM 图书借阅 WHERE 读者编号 IN ") + disabledReaders,
                            QStringLiteral("DELETE FROM 充值记录 WHERE 读者编号 IN ") + disabledReaders,
                            QStringLiteral("DELETE FROM 读者档案 WHERE 状态 = '停用'")},
                           QStringLiteral("读者编号 IN ") + disabledReaders};
    return items;
}

void Frm_DBClear::Cmd_Close_Click() { Unload(); }
