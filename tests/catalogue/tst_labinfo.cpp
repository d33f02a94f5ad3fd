// The library-information window: loading the one row, the fine switch, the
// logo stored as the picture file's bytes and shown through Temp/Logo.bmp, the
// default logo when that cannot be done, and the save with its permission.
#include "catalogue/Frm_LabInfo.h"
#include "catalogue/LibraryForms.h"
#include "circulation/CirculationFixture.h"
#include "core/ChildFormSwitch.h"
#include "core/Frm_Main.h"
#include "core/Frm_Welcome.h"
#include "support/TestSupport.h"
#include "ui/Intrinsics.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QtTest>

using namespace circfix;

class TestLabInfo : public QObject {
    Q_OBJECT

    std::unique_ptr<SharedDb> m_db;
    std::unique_ptr<MsgRecorder> m_msg;
    std::unique_ptr<QTemporaryDir> m_app;    // the program's folder
    std::unique_ptr<QTemporaryDir> m_files;  // pictures the user picks
    QStringList m_asked;                     // what the file dialog was asked with
    QString m_pick;                          // the file dialog's answer ("" = cancel)

    Frm_LabInfo &w() { return vb::Default<Frm_LabInfo>(); }
    QString tempDir() const { return AppPath + QStringLiteral("Temp"); }

    void open()
    {
        showMain();
        ChildFormSwitch(&w(), nullptr);
        QCoreApplication::processEvents();
    }
    // A picture file of one colour.
    QString picture(const QString &name, const QColor &colour, int width, int height, const char *format)
    {
        QImage img(width, height, QImage::Format_RGB32);
        img.fill(colour);
        const QString path = m_files->filePath(name);
        if (!img.save(path, format)) qWarning("cannot write %s", qPrintable(path));
        return path;
    }
    static QByteArray fileBytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QByteArray storedLogo()
    {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT 徽标 FROM 图书馆信息"), SQLConn());
        return rs.Fields(0).toByteArray();
    }
    static void storeLogo(const QByteArray &bytes)
    {
        ado::Recordset rs;
        rs.Open(QStringLiteral("select * from 图书馆信息"), SQLConn(), ado::adOpenDynamic, ado::adLockOptimistic);
        rs.SetField(QStringLiteral("徽标"), bytes);
        rs.Update();
    }
    // The colour in the middle of the shown logo.
    QColor logoCentre()
    {
        const QImage img = w().Pic_Logo->Picture().toImage();
        return img.isNull() ? QColor() : img.pixelColor(img.width() / 2, img.height() / 2);
    }
    static bool near(const QColor &a, const QColor &b)
    {
        return a.isValid() && qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40
               && qAbs(a.blue() - b.blue()) < 40;
    }
    bool showsDefaultLogo()
    {
        const QImage shown = w().Pic_Logo->Picture().toImage();
        const QImage expected = Frm_LabInfo::FitLogo(vb::LoadPicture(Frm_LabInfo::DefaultLogoPath())).toImage();
        return !expected.isNull() && shown == expected;
    }

private slots:
    void initTestCase()
    {
        RegisterLibraryForms();
        vb::CommonDialog::setHook([this](const vb::CommonDialog &d, bool save) {
            m_asked = {d.DialogTitle, d.Filter, d.FileName, save ? QStringLiteral("save") : QStringLiteral("open")};
            return m_pick;
        });
    }
    void cleanupTestCase() { vb::CommonDialog::setHook(nullptr); }

    void init()
    {
        m_app = std::make_unique<QTemporaryDir>();
        m_files = std::make_unique<QTemporaryDir>();
        QVERIFY(m_app->isValid() && m_files->isValid());
        AppPath = m_app->path() + QStringLiteral("/");
        QVERIFY(QDir().mkpath(AppPath + QStringLiteral("Images/Picture")));
        QVERIFY(QFile::copy(testsupport::resourcesDir() + QStringLiteral("Images/Picture/LabLogo.jpg"),
                            AppPath + QStringLiteral("Images/Picture/LabLogo.jpg")));
        m_db = std::make_unique<SharedDb>();
        QVERIFY(m_db->isOpen());
        CurUID = QStringLiteral("admin");
        m_msg = std::make_unique<MsgRecorder>();
        m_pick.clear();
        m_asked.clear();
    }
    // Closes the window as its close button does (the home page becomes current).
    void close()
    {
        if (w().IsLoaded()) CloseChildForm(&w());
    }
    void cleanup()
    {
        close();
        m_msg.reset();
        m_db.reset();
    }

    void opensWithTheStoredValuesAndTheDefaultLogo()
    {
        exec(QStringLiteral(
            "UPDATE 图书馆信息 SET 联系电话 = '010-1234', 租金功能 = 1, 超期罚金功能 = 0, 每日超期罚金 = 0.25"));
        open();
        QCOMPARE(CurForm.data(), static_cast<vb::Form *>(&w()));
        QCOMPARE(w().Lbl_TBarText->Caption(), QStringLiteral("图书馆信息设置"));
        QCOMPARE(w().Txt_LabName->Text(), QStringLiteral("城市图书馆"));
        QCOMPARE(w().Txt_Charger->Text(), QStringLiteral("系统管理员"));
        QCOMPARE(w().Txt_Tel->Text(), QStringLiteral("010-1234"));
        QCOMPARE(w().Cmb_IsRent->ListCount(), 2);
        QCOMPARE(w().Cmb_IsRent->List(0), QStringLiteral("是"));
        QCOMPARE(w().Cmb_IsRent->Text(), QStringLiteral("是"));
        QCOMPARE(w().Cmb_IsFine->Text(), QStringLiteral("否"));
        QCOMPARE(w().Txt_Fine->Text(), QStringLiteral("0.25"));
        QVERIFY(!w().Txt_Fine->Enabled());  // fines are off
        QVERIFY(showsDefaultLogo());        // no logo stored
        QVERIFY(!QFileInfo::exists(tempDir()));
    }

    void fineSwitchEnablesTheDailyFine()
    {
        open();
        w().Cmb_IsFine->setListIndex(0);
        QVERIFY(w().Txt_Fine->Enabled());
        w().Cmb_IsFine->setListIndex(1);
        QVERIFY(!w().Txt_Fine->Enabled());
    }

    void hoverOutlinesTheLogo()
    {
        open();
        const auto moveOver = [](QWidget *target, const QPoint &p) {
            QMouseEvent e(QEvent::MouseMove, QPointF(p), QPointF(target->mapToGlobal(p)), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
            QApplication::sendEvent(target, &e);
        };
        QVERIFY(!w().Shp_LogoBorder->isVisible());
        moveOver(w().Pic_Logo.get(), QPoint(10, 10));
        QVERIFY(w().Shp_LogoBorder->isVisible());
        moveOver(w().Frame_ShowData.get(), QPoint(5, 40));
        QVERIFY(!w().Shp_LogoBorder->isVisible());
    }

    // The chosen file's bytes are stored whole and the next opening shows them
    // through Temp/Logo.bmp (a JPG under a .bmp name), leaving no Temp behind.
    void chosenLogoIsStoredAndShownNextTime()
    {
        const QString jpg = picture(QStringLiteral("red.jpg"), Qt::red, 120, 120, "JPG");
        open();
        m_pick = jpg;
        w().Pic_Logo_Click();
        QCOMPARE(m_asked.value(0), QStringLiteral("选择图像"));
        QCOMPARE(m_asked.value(1), QStringLiteral("BMP格式 (*.bmp)|*.bmp|JPG格式 (*.jpg)|*.jpg|GIF格式 (*.gif)|*.gif|"
                                                  "所有格式 (*.*)|*.*"));
        QCOMPARE(m_asked.value(2), QString());
        QCOMPARE(m_asked.value(3), QStringLiteral("open"));
        QVERIFY(near(logoCentre(), Qt::red));
        QVERIFY(QFile::exists(jpg));

        w().Txt_LabName->setText(QStringLiteral("  东区图书馆"));
        w().Cmd_Save_Click();
        QVERIFY(m_msg->msgs.isEmpty());
        QVERIFY(!w().IsLoaded());  // a save closes the window and shows the home page
        QCOMPARE(CurForm.data(), static_cast<vb::Form *>(&vb::Default<Frm_Welcome>()));
        QCOMPARE(storedLogo(), fileBytes(jpg));
        QCOMPARE(scalar(QStringLiteral("SELECT 图书馆名称 FROM 图书馆信息")), QStringLiteral("  东区图书馆"));

        open();
        QVERIFY(near(logoCentre(), Qt::red));
        QCOMPARE(w().Pic_Logo->Picture().size(), QSize(120, 120));
        QVERIFY(!QFileInfo::exists(tempDir()));

        // Saving again without choosing a picture keeps the stored logo.
        w().Cmd_Save_Click();
        QCOMPARE(storedLogo(), fileBytes(jpg));
    }

    void largeLogosShrinkToTheBox()
    {
        const QString bmp = picture(QStringLiteral("wide.bmp"), Qt::blue, 300, 200, "BMP");
        storeLogo(fileBytes(bmp));
        open();
        QCOMPARE(w().Pic_Logo->Picture().size(), QSize(150, 100));
        QVERIFY(near(logoCentre(), Qt::blue));
        QVERIFY(!QFileInfo::exists(tempDir()));
    }

    void cancellingTheChoiceKeepsPictureAndPath()
    {
        const QString bmp = picture(QStringLiteral("green.bmp"), Qt::green, 64, 64, "BMP");
        open();
        m_pick = bmp;
        w().Pic_Logo_Click();
        QVERIFY(near(logoCentre(), Qt::green));
        m_pick.clear();  // cancel
        w().Pic_Logo_Click();
        QVERIFY(near(logoCentre(), Qt::green));
        // A file that is no picture changes nothing either.
        QFile text(m_files->filePath(QStringLiteral("notes.txt")));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("no picture");
        text.close();
        m_pick = text.fileName();
        w().Pic_Logo_Click();
        QVERIFY(near(logoCentre(), Qt::green));
        w().Cmd_Save_Click();
        QCOMPARE(storedLogo(), fileBytes(bmp));
    }

    // An existing Temp folder: the default logo, the folder and its files untouched.
    void existingTempFolderShowsTheDefaultLogo()
    {
        storeLogo(fileBytes(picture(QStringLiteral("red.jpg"), Qt::red, 50, 50, "JPG")));
        QVERIFY(QDir().mkdir(tempDir()));
        QFile keep(tempDir() + QStringLiteral("/keep.txt"));
        QVERIFY(keep.open(QIODevice::WriteOnly));
        keep.write("mine");
        keep.close();
        open();
        QVERIFY(showsDefaultLogo());
        QVERIFY(QFile::exists(tempDir() + QStringLiteral("/keep.txt")));
        QVERIFY(!QFile::exists(tempDir() + QStringLiteral("/Logo.bmp")));
        close();
        QVERIFY(QDir(tempDir()).removeRecursively());
        open();
        QVERIFY(near(logoCentre(), Qt::red));
    }

    // Stored bytes that are no picture: the default logo, and no Temp folder left
    // behind to hide a good logo at later openings.
    void unreadableLogoLeavesNoTempFolder()
    {
        storeLogo(QByteArray("\x00\x01garbage", 9));
        open();
        QVERIFY(showsDefaultLogo());
        QVERIFY(!QFileInfo::exists(tempDir()));
        close();
        storeLogo(fileBytes(picture(QStringLiteral("blue.bmp"), Qt::blue, 40, 40, "BMP")));
        open();
        QVERIFY(near(logoCentre(), Qt::blue));
    }

    void saveWritesEveryValue()
    {
        open();
        w().Txt_Charger->setText(QStringLiteral("王馆长"));
        w().Txt_Tel->setText(QStringLiteral("021-555"));
        w().Txt_Address->setText(QStringLiteral("人民路 1 号"));
        w().Txt_Zipcode->setText(QStringLiteral("200000"));
        w().Cmb_IsRent->setListIndex(0);
        w().Cmb_IsFine->setListIndex(0);
        w().Txt_Fine->setText(QStringLiteral("0.5"));
        w().Cmd_Save_Click();
        QVERIFY(m_msg->msgs.isEmpty());
        const QString sel = QStringLiteral("SELECT 负责人, 联系电话, 地址, 邮编, 租金功能, 超期罚金功能, "
                                           "CONVERT(varchar(10),每日超期罚金,0) FROM 图书馆信息");
        QCOMPARE(
            m_db->db.rows(sel).value(0),
            QStringList({QStringLiteral("王馆长"), QStringLiteral("021-555"), QStringLiteral("人民路 1 号"),
                         QStringLiteral("200000"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("0.50")}));
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM 图书馆信息")), 1);

        open();
        w().Cmb_IsRent->setListIndex(1);
        w().Cmb_IsFine->setListIndex(1);
        w().Cmd_Save_Click();
        QCOMPARE(scalar(QStringLiteral("SELECT 租金功能 FROM 图书馆信息")), QStringLiteral("0"));
        QCOMPARE(scalar(QStringLiteral("SELECT 超期罚金功能 FROM 图书馆信息")), QStringLiteral("0"));
    }

    // The tool bar keeps the name it read until it is filled again.
    void toolBarShowsTheNewNameOnItsNextFilling()
    {
        Frm_Main &m = showMain();
        m.InitToolBar();
        QCOMPARE(m.Lbl_TBarLabName->Caption(), QStringLiteral("城市图书馆"));
        m.Menu_DataMag_LabDoc_Click();
        QCOMPARE(CurForm.data(), static_cast<vb::Form *>(&w()));
        w().Txt_LabName->setText(QStringLiteral("滨江图书馆"));
        w().Cmd_Save_Click();
        QCOMPARE(m.Lbl_TBarLabName->Caption(), QStringLiteral("城市图书馆"));
        m.InitToolBar();
        QCOMPARE(m.Lbl_TBarLabName->Caption(), QStringLiteral("滨江图书馆"));
    }

    void saveWithoutThePermissionIsRefused()
    {
        exec(QStringLiteral("UPDATE 账户类型 SET 修改图书馆信息权限 = 0"));
        open();
        QCOMPARE(CurForm.data(), static_cast<vb::Form *>(&w()));
        QVERIFY(w().Txt_LabName->isVisible());  // the window opens for everybody
        w().Txt_LabName->setText(QStringLiteral("改不了"));
        w().Cmd_Save_Click();
        QCOMPARE(m_msg->last(), QStringLiteral("您没有权限完成当前操作！"));
        QCOMPARE(m_msg->lastIcon(), QStringLiteral("x"));
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QVERIFY(w().IsLoaded());
        QCOMPARE(w().Txt_LabName->Text(), QStringLiteral("改不了"));
        QCOMPARE(scalar(QStringLiteral("SELECT 图书馆名称 FROM 图书馆信息")), QStringLiteral("城市图书馆"));
    }

    void failedSaveKeepsTheWindowAndTheRow()
    {
        open();
        w().Txt_LabName->setText(QStringLiteral("新名字"));
        w().Txt_Fine->setText(QStringLiteral("abc"));
        w().Cmd_Save_Click();
        QCOMPARE(m_msg->msgs.size(), 1);
        QCOMPARE(m_msg->lastTitle(), QStringLiteral("错误"));
        QVERIFY(!m_msg->last().isEmpty());
        QVERIFY(w().IsLoaded());
        QCOMPARE(w().Txt_Fine->Text(), QStringLiteral("abc"));
        QCOMPARE(scalar(QStringLiteral("SELECT 图书馆名称 FROM 图书馆信息")), QStringLiteral("城市图书馆"));

        // A chosen file removed before the save: reported, nothing written.
        m_msg->clear();
        const QString gone = picture(QStringLiteral("gone.bmp"), Qt::red, 10, 10, "BMP");
        m_pick = gone;
        w().Pic_Logo_Click();
        QVERIFY(QFile::remove(gone));
        w().Txt_Fine->setText(QStringLiteral("1"));
        w().Cmd_Save_Click();
        QCOMPARE(m_msg->msgs.size(), 1);
        QVERIFY(w().IsLoaded());
        QVERIFY(storedLogo().isEmpty());
        QCOMPARE(scalar(QStringLiteral("SELECT 图书馆名称 FROM 图书馆信息")), QStringLiteral("城市图书馆"));
    }

    // The recordset writes a binary value with every byte value and reads it back.
    void binaryValuesRoundTripThroughTheRecordset()
    {
        QByteArray all;
        for (int rep = 0; rep < 40; ++rep)
            for (int b = 0; b < 256; ++b) all.append(char(b));
        storeLogo(all);
        QCOMPARE(storedLogo(), all);
        ado::Recordset rs;
        rs.Open(QStringLiteral("select * from 图书馆信息"), SQLConn(), ado::adOpenDynamic, ado::adLockOptimistic);
        rs.SetField(QStringLiteral("徽标"), QByteArray());
        rs.Update();
        QCOMPARE(rs.Fields(QStringLiteral("徽标")).toByteArray(), QByteArray());
    }
};

QTEST_MAIN(TestLabInfo)
#include "tst_labinfo.moc"
