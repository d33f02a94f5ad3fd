#include "controls/PropertyBag.h"

QVariant PropertyBag::ReadProperty(const QString &name, const QVariant &defaultValue) const
{
    return m_items.value(name.toLower(), defaultValue);
}

void PropertyBag::WriteProperty(const QString &name, const QVariant &value, const QVariant &defaultValue)
{
    if (defaultValue.isValid() && value == defaultValue) {
        remove(name);
        return;
    }
    m_items.insert(name.toLower(), value);
}

bool PropertyBag::contains(const QString &name) const { return m_items.contains(name.toLower()); }

void PropertyBag::remove(const QString &name) { m_items.remove(name.toLower()); }
