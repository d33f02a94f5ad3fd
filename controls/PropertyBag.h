#pragma once
// The saved properties of a control: values under names matched without
// regard to case. Reading a missing key gives the caller's default; writing a
// value equal to its default leaves the key out.
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

class PropertyBag {
public:
    QVariant ReadProperty(const QString &name, const QVariant &defaultValue = {}) const;
    void WriteProperty(const QString &name, const QVariant &value, const QVariant &defaultValue = {});

    bool contains(const QString &name) const;
    void remove(const QString &name);
    // The keys in the order they were first written, as spelt then.
    QStringList keys() const;
    int count() const { return int(m_order.size()); }
    void clear();

private:
    struct Entry {
        QString name;
        QVariant value;
    };
    QMap<QString, Entry> m_items;  // by lower-case key
    QStringList m_order;           // lower-case keys, in writing order
};
