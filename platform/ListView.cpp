#include "platform/ListView.h"

#include <QTreeWidget>

namespace vb {

int ListItem::Index() const { return 0; }
QString ListItem::Text() const { return {}; }
void ListItem::setText(const QString &) {}
QString ListItem::SubItems(int) const { return {}; }
void ListItem::setSubItems(int, const QString &) {}
bool ListItem::Checked() const { return false; }
void ListItem::setChecked(bool) {}
bool ListItem::Selected() const { return false; }
void ListItem::setSelected(bool) {}

ListItem ListItemCollection::Add(const QString &) { return {}; }
int ListItemCollection::Count() const { return 0; }
ListItem ListItemCollection::Item(int) const { return {}; }
void ListItemCollection::Remove(int) {}
void ListItemCollection::Clear() {}

void ColumnHeaderCollection::Add(const QString &, int) {}
int ColumnHeaderCollection::Count() const { return 0; }
QString ColumnHeaderCollection::Text(int) const { return {}; }
int ColumnHeaderCollection::Width(int) const { return 0; }
void ColumnHeaderCollection::setWidth(int, int) {}
void ColumnHeaderCollection::Clear() {}

ListView::ListView(QWidget *parent) : QWidget(parent), Control(this), m_tree(new QTreeWidget(this)) {}
ListView::~ListView() = default;
bool ListView::Checkboxes() const { return m_checkboxes; }
void ListView::setCheckboxes(bool on) { m_checkboxes = on; }
bool ListView::GridLines() const { return m_gridLines; }
void ListView::setGridLines(bool on) { m_gridLines = on; }
bool ListView::FullRowSelect() const { return true; }
void ListView::setFullRowSelect(bool) {}
ListItem ListView::SelectedItem() const { return {}; }
void ListView::setToolTipText(const QString &t) { setToolTip(t); }
QTreeWidget *ListView::view() const { return m_tree; }

}  // namespace vb
