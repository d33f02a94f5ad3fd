#include "core/Mdl_SQLConnection.h"
#include "platform/Grid.h"

bool LoadGridData(vb::Grid &, const QString &, QString &ErrText, bool)
{
    ErrText.clear();
    return false;
}
