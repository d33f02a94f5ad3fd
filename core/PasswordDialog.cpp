#include "core/PasswordDialog.h"

#include "core/DialogConventions.h"
#include "ui/Twips.h"

PasswordDialog::PasswordDialog(const QString &className, Qt::WindowFlags flags, const QString &caption)
    : vb::Form(className)
{
    setWindowFlags(flags);
    setCaption(caption);
    setBackColor(vb::kWhite);
    setFixedSize(vb::toPx(5400), vb::toPx(2880));
}

PasswordDialog::~PasswordDialog() = default;

void PasswordDialog::CreateHeader(const QString &note)
{
    QWidget *c = client();
    auto *bar = new vb::PictureBox(c, QStringLiteral("Pic_TitleBar"));
    bar->setBorderStyle(0);
    bar->setBackColor(vb::kWhite);
    bar->setFocusPolicy(Qt::NoFocus);
    bar->Move(0, 0, 5400, 900);
    Pic_TitleBar = bar;
    Lbl_TBarTitle = DialogLabel(bar, QStringLiteral("Lbl_TBarTitle"), QString(), 360, 165, vb::kNavy);
    Lbl_TBarTitle->setFontBold(true);
    Lbl_TBarTitle->setFontSize(10.5);
    Lbl_TBarText = DialogLabel(bar, QStringLiteral("Lbl_TBarText"), note, 600, 540, vb::kGrey);

    auto *line = new vb::LineControl(c, QStringLiteral("Line_TBarSplit"));
    line->setBorderColor(vb::kLightGrey);
    line->setLine(0, 900, 5400, 900);
    Line_TBarSplit = line;

    Lbl_UID = DialogLabel(c, QStringLiteral("Lbl_UID"), QStringLiteral("用户名"), 960, 1290);
}

FTextBox *PasswordDialog::CreatePasswordRow()
{
    QWidget *c = client();
    Lbl_Password = DialogLabel(c, QStringLiteral("Lbl_Password"), QStringLiteral("密    码"), 960, 1770);
    auto *pwd = new FTextBox(c, QStringLiteral("Txt_Password"));
    pwd->Move(1920, 1740, 2880, FTextBox::FixedHeight);
    pwd->setPasswordChar(QStringLiteral("*"));
    pwd->setAutoSelAll(true);
    pwd->setText(PasswordPlaceholder());
    Txt_Password = pwd;
    return pwd;
}

XButton *PasswordDialog::CreateSubmitButton(const QString &name, const QString &caption)
{
    return DialogButton(client(), name, caption, 3600, 2280);
}

void PasswordDialog::LoadHeader()
{
    LayeredDialog(this);
    Lbl_TBarTitle->setCaption(Caption());
}
