#pragma once
// Menu items of a window's menu bar. A caption keeps its "&" access key; "-" is
// a separator. Checked is set by code only: choosing an item runs Click and
// leaves Checked as it was, for the handler to change.
#include <QAction>
#include <QKeySequence>
#include <QObject>
#include <QPointer>
#include <QString>

class QMenu;

namespace vb {

class Form;

class MenuItem : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool Checked READ Checked WRITE setChecked)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
public:
    // A menu on the window's menu bar.
    MenuItem(Form *form, const QString &name, const QString &caption);
    // An item of a menu (or of an item, which then opens a submenu).
    MenuItem(MenuItem *parent, const QString &name, const QString &caption,
             const QKeySequence &shortcut = QKeySequence());
    ~MenuItem() override;

    QString Caption() const;
    void setCaption(const QString &c);
    bool Checked() const { return m_checked; }
    void setChecked(bool c);
    bool Visible() const;
    void setVisible(bool v);
    bool Enabled() const;
    void setEnabled(bool e);

    QAction *action() const { return m_action; }
    QMenu *menu();  // the submenu of this item (made on first use)

signals:
    void Click();

private:
    void onTriggered();

    QPointer<QAction> m_action;
    QPointer<QMenu> m_menu;
    bool m_checked = false;
};

}  // namespace vb
