#pragma once
// The publishers window "出版社信息设置": every publisher (name, address, post
// code) in a grid, edited one row at a time in the frame above it. A publisher
// named by a title cannot be deleted, and its name cannot be changed once saved.
#include "core/PanelEditForm.h"

class Frm_PressInfo : public PanelEditForm {
    Q_OBJECT
public:
    Frm_PressInfo();

    // True when some title names the publisher.
    bool IsPressUsed(const QString &name);

protected:
    void CreateControls() override;
    QString GatePower() const override { return QStringLiteral("修改图书权限"); }
    void ResetQuery() override { ResetPressSQL(); }
    void InitGrid() override { InitPressGrid(); }
    void HideCtrls() override { HidePressCtrls(); }
    void ShowCtrls() override { ShowPressCtrls(); }

    QString PanelTable() const override { return QStringLiteral("出版社"); }
    QStringList PanelColumns() const override;
    QString AddCaption() const override { return QStringLiteral("添加"); }
    QString ModifyCaption() const override { return QStringLiteral("修改"); }
    bool RequiredBoxesFilled() override;
    bool IsKeyUsed(const QString &key) override { return IsPressUsed(key); }
    QString InUseText(const QString &key) const override;
    QString DeleteQuestion(const QString &key) const override;
    QString DeleteTitle() const override { return QStringLiteral("删除出版社"); }
    QString InsertSQL() const override;
    QString UpdateSQL() const override;
    QString DeleteSQL(const QString &key) const override;

private:
    void HidePressCtrls() { PanelEditForm::HideCtrls(); }
    void ShowPressCtrls() { PanelEditForm::ShowCtrls(); }
    void InitPressGrid();
    void ResetPressSQL();
};
