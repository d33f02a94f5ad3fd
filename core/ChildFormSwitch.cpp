#include "core/ChildFormSwitch.h"

#include "core/Frm_Main.h"
#include "core/Frm_Welcome.h"
#include "core/Mdl_ComVarList.h"
#include "ui/Form.h"

#include <QHash>

namespace {

QHash<QString, std::function<vb::Form *()>> &registry()
{
    static QHash<QString, std::function<vb::Form *()>> r;
    return r;
}

}  // namespace

void RegisterChildForm(const QString &className, std::function<vb::Form *()> defaultInstance)
{
    registry().insert(className, std::move(defaultInstance));
}

vb::Form *ChildForm(const QString &className)
{
    const auto it = registry().constFind(className);
    if (it == registry().constEnd() || !*it) return nullptr;
    return (*it)();
}

void ChildFormSwitch(vb::Form *target, XButton *navButton)
{
    if (!target) return;
    if (CurForm.data() == target) return;
    if (CurForm) CurForm->Unload();
    target->Show(vb::vbModeless);
    CurForm = target;
    vb::Default<Frm_Main>().SetHighLightCmd(navButton);
}

void CloseChildForm(vb::Form *child)
{
    if (child) child->Unload();
    Frm_Welcome &home = vb::Default<Frm_Welcome>();
    home.Show(vb::vbModeless);
    CurForm = &home;
}
