#pragma once
// The saved properties of a control: values under names matched without
// regard to case. Reading a missing key gives the caller's default; writing a
// value equal to its default leaves the key out.
#include <QMap>
#include <QString>
#include <QVariant>

class PropertyBag {
public:
    QVariant ReadProperty(const QString &name, const QVariant &defaultValue = {}) const;
    void WriteProperty(const QString &name, const QVariant &value, const QVariant &defaultValue = {});

    bool contains(const QString &name) const;
    void remove(const QString &name);

private:
    QMap<QString, QVariant> m_items;  // by lower-case name
};
