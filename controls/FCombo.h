#pragma once
// FCombo: the flat combo box of every window. A drawn face (frame, text area,
// drop-down button with a small arrow) lies over a real combo box that stays
// behind it and supplies the item list, the current item and the dropped-down
// list. The text shows in an editable text box (`EnabledText` True) or in a
// read-only label (pick-only, `EnabledText` False). A pick-only box takes the
// keyboard itself (by Tab too), marks it with a dotted frame round its text and
// chooses with the arrow keys; Alt+Down or F4 drops its list.
//
// Properties: getter = the design name, setter = "set" + the name; the same
// names are Qt properties for look-up at run time. Events are signals.
#include "ui/Colors.h"
#include "ui/Control.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class PropertyBag;
class FComboFace;

class FCombo : public QWidget, public vb::Control {
    Q_OBJECT
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(long ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(long BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(bool EnabledText READ EnabledText WRITE setEnabledText)
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(int ListCount READ ListCount)
    Q_PROPERTY(int ListIndex READ ListIndex WRITE setListIndex)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    // Shared control members.
    Q_PROPERTY(int Left READ Left WRITE setLeft)
    Q_PROPERTY(int Top READ Top WRITE setTop)
    Q_PROPERTY(int Width READ Width WRITE setWidth)
    Q_PROPERTY(int Height READ Height WRITE setHeight)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(QString ToolTipText READ ToolTipText WRITE setToolTipText)

public:
    static constexpr int MinWidth = 390;  // twips

    explicit FCombo(QWidget *parent = nullptr, const QString &name = QString());
    ~FCombo() override;

    QFont Font() const;
    void setFont(const QFont &f);
    long ForeColor() const { return m_foreColor; }
    void setForeColor(long c);
    long BackColor() const { return m_backColor; }
    void setBackColor(long c);
    bool EnabledText() const { return m_enabledText; }
    void setEnabledText(bool v);
    QString Text() const;
    void setText(const QString &t);
    // List(i): the entry at i ("" outside the list); setList changes it.
    Q_INVOKABLE QString List(int index) const;
    Q_INVOKABLE void setList(int index, const QString &text);
    int ListCount() const;
    int ListIndex() const;
    // A valid index runs the choice (text, label, focus, idle face, Click);
    // an index the list refuses is ignored.
    void setListIndex(int index);
    bool Enabled() const { return isEnabled(); }
    void setEnabled(bool e) override;

    // Methods.
    Q_INVOKABLE void SetF();
    Q_INVOKABLE void SelAll();
    Q_INVOKABLE void AddItem(const QVariant &item, const QVariant &index = QVariant());
    // Entries the box asks for only when they are first needed (the list
    // dropped, a key that chooses, ListCount, List, ListIndex, AddItem ...),
    // then appends after what it holds. A list of every title can sit behind
    // a box nobody opens without being read.
    void AddItemsWhenNeeded(std::function<QStringList()> items);
    // Throws std::out_of_range for an index outside the list.
    Q_INVOKABLE void RemoveItem(int index);
    Q_INVOKABLE void SetIt();
    Q_INVOKABLE void Clear();

    // Saved properties.
    void ReadProperties(const PropertyBag &bag);
    void WriteProperties(PropertyBag &bag) const;

    // Geometry: the height follows the inner combo box; the width is at least 390 twips.
    void setWidth(int twips) override;
    void setHeight(int twips) override;
    void setVisible(bool v) override;

    // Parts, for inspection.
    QComboBox *comboBox() const
    {
        takeDeferredItems();  // whoever looks inside sees every entry
        return m_combo;
    }
    QLineEdit *textBox() const { return m_text; }
    QLabel *label() const { return m_label; }
    QWidget *face() const;
    QImage faceImage() const;
    bool isHovering() const { return m_hover; }

signals:
    void Change();
    void Click();
    void Expand();
    // The host's focus events of the control.
    void GotFocus();
    void LostFocus();
    void PropertyChanged(const QString &name);

protected:
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    friend class FComboFace;
    void layoutParts();
    void syncLabelText();
    void setItHover();
    void drawPressed();
    void comboClick();
    void faceMouseMove(int button, float x, float y);
    void faceMouseDown(int button, float x, float y);
    void faceMouseUp(int button, float x, float y);
    bool faceKeyPress(int key, Qt::KeyboardModifiers mods);
    void updateTextMouseRouting();

    // Appends the entries left for later, once.
    void takeDeferredItems() const;

    QComboBox *m_combo = nullptr;
    mutable std::function<QStringList()> m_deferredItems;
    FComboFace *m_face = nullptr;
    QLineEdit *m_text = nullptr;
    QLabel *m_label = nullptr;
    long m_foreColor = vb::vbWindowText;
    long m_backColor = vb::vbWindowBackground;
    bool m_enabledText = true;
    bool m_hover = false;
    bool m_inClick = false;
    bool m_focusInside = false;
    bool m_layingOut = false;
};
