#pragma once
// One child window at a time inside the main window.
#include <QString>
#include <functional>

namespace vb {
class Form;
}
class XButton;

// Working windows live in layers above core; each layer registers its windows
// by class name so that the main window can reach their default instances.
void RegisterChildForm(const QString &className, std::function<vb::Form *()> defaultInstance);
vb::Form *ChildForm(const QString &className);  // null when no such window is registered

// Makes target the current child (unloading the previous one) and highlights
// navButton, or no button when it is null. Choosing the current child again does nothing.
void ChildFormSwitch(vb::Form *target, XButton *navButton);
// A child's title-bar close: unload it and return to the home page.
void CloseChildForm(vb::Form *child);
