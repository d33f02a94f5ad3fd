#include "ui/Menu.h"

#include "ui/Form.h"

#include <QMenu>
#include <QMenuBar>

namespace vb {

MenuItem::MenuItem(Form *form, const QString &name, const QString &caption) : QObject(form)
{
    setObjectName(name);
    m_menu = form->MenuBar()->addMenu(caption);
    m_menu->setObjectName(name + QStringLiteral("__menu"));
    m_action = m_menu->menuAction();
    m_action->setObjectName(name + QStringLiteral("__action"));
    connect(m_action, &QAction::triggered, this, &MenuItem::onTriggered);
}

MenuItem::MenuItem(MenuItem *parent, const QString &name, const QString &caption, const QKeySequence &shortcut)
    : QObject(parent)
{
    setObjectName(name);
    QMenu *host = parent->menu();
    if (caption == QLatin1String("-")) {
        m_action = host->addSeparator();
    } else {
        m_action = host->addAction(caption);
        m_action->setShortcut(shortcut);
        m_action->setShortcutContext(Qt::WindowShortcut);
    }
    m_action->setObjectName(name + QStringLiteral("__action"));
    connect(m_action, &QAction::triggered, this, &MenuItem::onTriggered);
}

MenuItem::~MenuItem() = default;

QMenu *MenuItem::menu()
{
    if (!m_menu && m_action) {
        m_menu = new QMenu(m_action->text(), qobject_cast<QWidget *>(m_action->parent()));
        m_menu->setObjectName(objectName() + QStringLiteral("__menu"));
        m_action->setMenu(m_menu.data());
    }
    return m_menu;
}

void MenuItem::onTriggered()
{
    if (m_action && m_action->isCheckable() && m_action->isChecked() != m_checked)
        m_action->setChecked(m_checked);  // the handler decides
    emit Click();
}

QString MenuItem::Caption() const { return m_action ? m_action->text() : QString(); }
void MenuItem::setCaption(const QString &c)
{
    if (m_action) m_action->setText(c);
    if (m_menu) m_menu->setTitle(c);
}

void MenuItem::setChecked(bool c)
{
    m_checked = c;
    if (!m_action) return;
    if (c) m_action->setCheckable(true);
    if (m_action->isCheckable()) m_action->setChecked(c);
}

bool MenuItem::Visible() const { return m_action && m_action->isVisible(); }
void MenuItem::setVisible(bool v)
{
    if (m_action) m_action->setVisible(v);
}
bool MenuItem::Enabled() const { return m_action && m_action->isEnabled(); }
void MenuItem::setEnabled(bool e)
{
    if (m_action) m_action->setEnabled(e);
}

}  // namespace vb
