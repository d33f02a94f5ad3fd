#pragma once
// Reader categories "读者类别管理": each category's name, loan period in days
// and loan limit, listed from the smallest limit up and edited in the frame
// above the list. A category that some reader still has is not deleted.
#include "core/PanelEditForm.h"

class Frm_ReaderType : public PanelEditForm {
    Q_OBJECT
public:
    Frm_ReaderType();

    // The key filter of the three boxes: a typed "." is dropped.
    void Txt_KeyPress(int Index, int &KeyAscii);
    // True when some reader has the category.
    bool IsReaderTypeUsed(const QString &name);

protected:
    void CreateControls() override;
    QString GatePower() const override { return QStringLiteral("修改读者权限"); }
    void ResetQuery() override { ResetReaderTypeSQL(); }
    void InitGrid() override { InitReaderTypeGrid(); }
    void HideCtrls() override { HideReaderTypeCtrls(); }
    void ShowCtrls() override { ShowReaderTypeCtrls(); }

    QString PanelTable() const override { return QStringLiteral("读者类别"); }
    QStringList PanelColumns() const override;
    QString AddCaption() const override { return QStringLiteral("添加新类别"); }
    QString ModifyCaption() const override { return QStringLiteral("修改类别"); }
    bool RequiredBoxesFilled() override;
    bool ValuesAccepted() override;
    bool IsKeyUsed(const QString &key) override { return IsReaderTypeUsed(key); }
    QString InUseText(const QString &key) const override;
    QString DeleteQuestion(const QString &key) const override;
    QString DeleteTitle() const override { return QStringLiteral("删除读者类别"); }

private:
    void HideReaderTypeCtrls() { PanelEditForm::HideCtrls(); }
    void ShowReaderTypeCtrls() { PanelEditForm::ShowCtrls(); }
    void InitReaderTypeGrid();
    void ResetReaderTypeSQL();
};
