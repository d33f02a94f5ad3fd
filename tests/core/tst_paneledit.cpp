// The panel editor family: idle frame, adding, changing, saving failures that
// keep the entries, in-use refusal and the delete question, through a small
// member over the publishers table.
#include "circulation/CirculationFixture.h"
#include "core/DialogConventions.h"
#include "core/ModalEditForm.h"
#include "core/PanelEditForm.h"

#include <QApplication>
#include <QMouseEvent>
#include <QtTest>

using namespace circfix;

class Frm_TestPanel : public PanelEditForm {
public:
    Frm_TestPanel() : PanelEditForm(QStringLiteral("Frm_TestPanel")) { setCaption(QStringLiteral("出版社信息设置")); }

protected:
    void CreateControls() override
    {
        CreateTitleBar();
        CreatePanelControls({QStringLiteral("出版社名称"), QStringLiteral("地址"), QStringLiteral("邮编")},
                            {QString(), QString(), QString(), QString(), QStringLiteral("双击修改 | Del 删除")});
    }
    QString GatePower() const override { return QStringLiteral("修改图书权限"); }
    void ResetQuery() override
    {
        SQLSelect = QStringLiteral("SELECT *");
        SQLFrom = QStringLiteral("FROM 出版社");
        SQLWhere.clear();
        SQLOrder = QStringLiteral("ORDER BY 出版社名称 ASC");
        ComposeSQL();
    }
    void InitGrid() override
    {
        Grid_ShowData->Clear();
        Grid_ShowData->setColWidth(0, 3000);
    }
    QString PanelTable() const override { return QStringLiteral("出版社"); }
    QStringList PanelColumns() const override
    {
        return {QStringLiteral("出版社名称"), QStringLiteral("地址"), QStringLiteral("邮编")};
    }
    QString AddCaption() const override { return QStringLiteral("添加"); }
    QString ModifyCaption() const override { return QStringLiteral("修改"); }
    bool RequiredBoxesFilled() override
    {
        if (Txt(0)->Text().isEmpty()) {
            ShowMsgBox(QStringLiteral("请填写出版社名称！"), QStringLiteral("!"), QStringLiteral("提示"));
            Txt(0)->SetFocus();
            return false;
        }
        return true;
    }
    bool IsKeyUsed(const QString &key) override
    {
        return RowExists(QStringLiteral("SELECT * FROM 图书档案 WHERE 出版社名称 = ") + SQLQuote(key));
    }
    QString InUseText(const QString &key) const override
    {
        return QStringLiteral("检测到有图书为 [ ") + key + QStringLiteral(" ] 出版，无法删除。");
    }
    QString DeleteQuestion(const QString &key) const override
    {
        return QStringLiteral("确实要删除 [ ") + key + QStringLiteral(" ] 吗？");
    }
    QString DeleteTitle() const override { return QStringLiteral("删除出版社"); }
};

// A record editor over the publishers table, opened by the panel window above.
class Frm_TestEditor : public ModalEditForm {
public:
    Frm_TestEditor() : ModalEditForm(QStringLiteral("Frm_TestEditor")) { }
    QString Key;
    vb::Ctl<FTextBox> Txt_Name{this};
    vb::Ctl<FTextBox> Txt_Post{this};
    DialogTitleBarParts bar;
    bool Save() { return SaveRecord(); }

protected:
    void CreateControls() override
    {
        bar = DialogTitleBar(this);
        Txt_Name = new FTextBox(client(), QStringLiteral("Txt_Name"));
        Txt_Post = new FTextBox(client(), QStringLiteral("Txt_Post"));
        Txt_Name->Move(240, 720, 3000, 300);
        Txt_Post->Move(240, 1200, 3000, 300);
    }
    void Form_Load() override
    {
        setCaption(Mode == QStringLiteral("ADD") ? QStringLiteral("添加出版社") : QStringLiteral("修改出版社"));
        SetDialogTitle(this, bar.Lbl_TBarText);
        if (IsModifyMode()) Txt_Name->setText(Key);
        Txt_Name->setEnabled(!IsModifyMode());
    }
    bool RequiredFieldsFilled() override { return !Txt_Name->Text().isEmpty(); }
    bool InsertRecord(QString &errText) override
    {
        try {
            SQLConn().Execute(QStringLiteral("INSERT 出版社 VALUES (") + SQLQuote(Txt_Name->Text())
                              + QStringLiteral(",'',") + SQLQuote(Txt_Post->Text()) + QStringLiteral(")"));
            return true;
        } catch (const ado::Error &e) {
            errText = e.Description();
            return false;
        }
    }
    bool UpdateRecord(QString &errText) override
    {
        (void)errText;
        SQLConn().Execute(QStringLiteral("UPDATE 出版社 SET 邮编 = ") + SQLQuote(Txt_Post->Text())
                          + QStringLiteral(" WHERE 出版社名称 = ") + SQLQuote(Key));
        return true;
    }
};

class TestPanelEdit : public QObject {
    Q_OBJECT

    std::unique_ptr<SharedDb> m_db;
    std::unique_ptr<MsgRecorder> m_msg;

    Frm_TestPanel &w() { return vb::Default<Frm_TestPanel>(); }
    vb::Grid &grid() { return *w().Grid_ShowData.get(); }
    int publishers() { return count(QStringLiteral("SELECT COUNT(*) FROM 出版社")); }
    void expectIdle()
    {
        QCOMPARE(w().EditMode, QStringLiteral("NULL"));
        QVERIFY(!w().Frame_ShowData->isEnabled());
        QCOMPARE(w().Frame_ShowData->Caption(), QStringLiteral("双击表项更改"));
        for (int i = 0; i < 3; ++i) QCOMPARE(w().Txt(i)->Text(), QString());
        QCOMPARE(w().CurRow, 1);
    }

private slots:
    void init()
    {
        m_db = std::make_unique<SharedDb>();
        QVERIFY(m_db->isOpen());
        fill();
        exec(QStringLiteral("INSERT 出版社 VALUES ('上海出版社','上海','200000')"));
        m_msg = std::make_unique<MsgRecorder>();
        showChild(w());
    }
    void cleanup()
    {
        w().Unload();
        m_msg.reset();
        m_db.reset();
    }

    void opensIdleWithTheList()
    {
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("出版社信息设置"));
        QVERIFY(w().Frame_ShowData->isVisible());
        expectIdle();
        QCOMPARE(grid().Rows(), 3);
        QVERIFY(w().Cmd_Add->isVisible());
    }

    void addingSavesTrimmedValuesAndReturnsToIdle()
    {
        w().Cmd_Add_Click();
        QCOMPARE(w().EditMode, QStringLiteral("ADD"));
        QVERIFY(w().Frame_ShowData->isEnabled());
        QVERIFY(w().Txt(0)->Enabled());
        w().Cmd_Save_Click();  // name missing
        QCOMPARE(m_msg->last(), QStringLiteral("请填写出版社名称！"));
        QCOMPARE(w().EditMode, QStringLiteral("ADD"));
        w().Txt(0)->setText(QStringLiteral("  新华出版社 "));
        w().Txt(1)->setText(QStringLiteral("南京"));
        w().Cmd_Save_Click();
        QCOMPARE(scalar(QStringLiteral("SELECT 地址 FROM 出版社 WHERE 出版社名称 = '新华出版社'")),
                 QStringLiteral("南京"));
        QCOMPARE(grid().Rows(), 4);
        expectIdle();
    }

    void duplicateKeyKeepsTheEntries()
    {
        w().Cmd_Add_Click();
        w().Txt(0)->setText(QStringLiteral("上海出版社"));
        w().Txt(1)->setText(QStringLiteral("别处"));
        m_msg->clear();
        w().Cmd_Save_Click();
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QCOMPARE(w().EditMode, QStringLiteral("ADD"));
        QCOMPARE(w().Txt(1)->Text(), QStringLiteral("别处"));
        QCOMPARE(publishers(), 2);
    }

    void changingARowLocksItsKey()
    {
        const int row = grid().TextMatrix(1, 0) == QStringLiteral("上海出版社") ? 1 : 2;
        w().CurRow = row;
        emit grid().DblClick();
        QCOMPARE(w().EditMode, QStringLiteral("MOD"));
        QCOMPARE(w().Frame_ShowData->Caption(), QStringLiteral("修改"));
        QCOMPARE(w().Txt(0)->Text(), QStringLiteral("上海出版社"));
        QVERIFY(!w().Txt(0)->Enabled());
        w().Txt(2)->setText(QStringLiteral("200001"));
        w().Cmd_Save_Click();
        QCOMPARE(scalar(QStringLiteral("SELECT 邮编 FROM 出版社 WHERE 出版社名称 = '上海出版社'")),
                 QStringLiteral("200001"));
        expectIdle();
        w().Cmd_Cancel_Click();
        expectIdle();
    }

    void deleteRefusedWhileInUseThenAskedAndDone()
    {
        const int used = grid().TextMatrix(1, 0) == QStringLiteral("人民出版社") ? 1 : 2;
        w().CurRow = used;
        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("检测到有图书为 [ 人民出版社 ] 出版，无法删除。"));
        QCOMPARE(publishers(), 2);

        w().CurRow = 3 - used;
        m_msg->clear();
        m_msg->answer = 2;
        w().Cmd_Delete_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("确实要删除 [ 上海出版社 ] 吗？\r\n提示：该操作不撤销！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("?"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("删除出版社"));
        QCOMPARE(publishers(), 2);
        m_msg->answer = 1;
        w().CurRow = grid().TextMatrix(1, 0) == QStringLiteral("上海出版社") ? 1 : 2;
        grid().setFocus();
        w().Cmd_Delete_Click();
        QCOMPARE(publishers(), 1);
        QCOMPARE(grid().Rows(), 2);
        expectIdle();
    }

    // The record editor: a refused permission opens nothing, a failed save keeps
    // the editor and its input and still refreshes the list, a save closes it.
    void modalEditorSavesAndRefreshesItsCaller()
    {
        Frm_TestEditor &ed = vb::Default<Frm_TestEditor>();
        QVERIFY(!ed.IsLoaded());
        auto setKey = [&](const QString &k) { ed.Key = k; };
        QVERIFY(!OpenModalEditor(ed, &w(), QStringLiteral("修改图书权限"), QStringLiteral("MOD"), setKey, QString()));
        QVERIFY(!ed.IsLoaded());  // a modification without a key opens nothing
        exec(QStringLiteral("UPDATE 账户类型 SET 修改图书权限 = 0"));
        QVERIFY(!OpenModalEditor(ed, &w(), QStringLiteral("修改图书权限"), QStringLiteral("ADD"), setKey, QString()));
        QCOMPARE(m_msg->last(), QStringLiteral("您没有权限完成当前操作！"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        exec(QStringLiteral("UPDATE 账户类型 SET 修改图书权限 = 1"));

        // Drive the editor as the opener leaves it, without the modal loop.
        ed.Mode = QStringLiteral("ADD");
        ed.CallerForm = &w();
        ed.Show();
        QCOMPARE(ed.bar.Lbl_TBarText->Caption(), QStringLiteral("添加出版社"));
        m_msg->clear();
        QVERIFY(!ed.Save());
        QCOMPARE(m_msg->last(), QStringLiteral("请输入必要信息！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("!"));

        ed.Txt_Name->setText(QStringLiteral("上海出版社"));  // exists already
        ed.Txt_Post->setText(QStringLiteral("200002"));
        exec(QStringLiteral("INSERT 出版社 VALUES ('新加的','','')"));
        QCOMPARE(grid().Rows(), 3);
        QVERIFY(!ed.Save());
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QVERIFY(ed.IsLoaded());
        QCOMPARE(ed.Txt_Post->Text(), QStringLiteral("200002"));
        QCOMPARE(grid().Rows(), 4);  // the list was refreshed all the same

        ed.Txt_Name->setText(QStringLiteral("东方出版社"));
        QVERIFY(ed.Save());
        QVERIFY(!ed.IsLoaded());
        QCOMPARE(grid().Rows(), 5);

        // The title-bar close saves nothing and refreshes nothing.
        ed.Mode = QStringLiteral("MOD");
        ed.Key = QStringLiteral("东方出版社");
        ed.Show();
        QCOMPARE(ed.Txt_Name->Text(), QStringLiteral("东方出版社"));
        QVERIFY(!ed.Txt_Name->Enabled());
        ed.Txt_Post->setText(QStringLiteral("999999"));
        exec(QStringLiteral("INSERT 出版社 VALUES ('又一家','','')"));
        emit ed.bar.Cmd_TBarClose->Click();
        QVERIFY(!ed.IsLoaded());
        QCOMPARE(grid().Rows(), 5);
        QCOMPARE(scalar(QStringLiteral("SELECT 邮编 FROM 出版社 WHERE 出版社名称 = '东方出版社'")),
                 QStringLiteral("200002"));
    }

    void enterSubmitsAndDotsAreDropped()
    {
        FTextBox box(nullptr, QStringLiteral("Txt_Test"));
        box.show();
        int submitted = 0;
        EnterKeySubmit(&box, [&] { ++submitted; });
        DropDotKeys(&box);
        box.textBox()->setFocus();
        QTest::keyClicks(box.textBox(), QStringLiteral("1.5"));
        QCOMPARE(box.Text(), QStringLiteral("15"));
        QCOMPARE(submitted, 0);
        QTest::keyClick(box.textBox(), Qt::Key_Return);
        QCOMPARE(submitted, 1);

        m_msg->answer = 2;
        QVERIFY(!ConfirmDelete(QStringLiteral("确实要删除吗？"), QStringLiteral("删除")));
        QCOMPARE(m_msg->last(), QStringLiteral("确实要删除吗？\r\n提示：该操作不撤销！"));
        m_msg->answer = 0;  // anything but Cancel goes ahead
        QVERIFY(ConfirmDelete(QStringLiteral("归还？"), QStringLiteral("归还图书"), false));
        QCOMPARE(m_msg->last(), QStringLiteral("归还？"));
    }

    void hoverLooksFollowTheMouse()
    {
        QWidget container;
        container.resize(200, 100);
        vb::Label lbl(&container, QStringLiteral("Lbl_Link"), QStringLiteral("链接"));
        lbl.setGeometry(10, 10, 80, 20);
        HoverByMouseMove(
            &lbl, &container, [&] { lbl.setFontUnderline(true); }, [&] { lbl.setFontUnderline(false); });
        const auto moveOver = [](QWidget *w, const QPoint &p) {
            QMouseEvent e(QEvent::MouseMove, QPointF(p), QPointF(w->mapToGlobal(p)), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
            QApplication::sendEvent(w, &e);
        };
        moveOver(&lbl, QPoint(5, 5));
        QVERIFY(lbl.FontUnderline());
        moveOver(&lbl, QPoint(6, 6));  // every move sets the look again
        QVERIFY(lbl.FontUnderline());
        moveOver(&container, QPoint(150, 80));
        QVERIFY(!lbl.FontUnderline());
    }
};

QTEST_MAIN(TestPanelEdit)
#include "tst_paneledit.moc"
