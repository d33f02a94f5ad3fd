#include "controls/PropertyBag.h"

QVariant PropertyBag::ReadProperty(const QString &name, const QVariant &defaultValue) const
{
    auto it = m_items.constFind(name.toLower());
    return it == m_items.constEnd() ? defaultValue : it->value;
}

void PropertyBag::WriteProperty(const QString &name, const QVariant &value, const QVariant &defaultValue)
{
    const QString key = name.toLower();
    if (defaultValue.isValid() && value == defaultValue) {
        remove(name);
        return;
    }
    if (!m_items.contains(key)) m_order.append(key);
    m_items.insert(key, Entry{name, value});
}

bool PropertyBag::contains(const QString &name) const { return m_items.contains(name.toLower()); }

void PropertyBag::remove(const QString &name)
{
    const QString key = name.toLower();
    m_items.remove(key);
    m_order.removeAll(key);
}

QStringList PropertyBag::keys() const
{
    QStringList r;
    for (const QString &k : m_order) r << m_items.value(k).name;
    return r;
}

void PropertyBag::clear()
{
    m_items.clear();
    m_order.clear();
}
