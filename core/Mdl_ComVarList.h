#pragma once
// Session values of one run, shared by every window, and the two message helpers.
#include <QPointer>
#include <QString>

namespace vb {
class Form;
}

inline QString AppPath;      // the program's folder, always ending in "/"
inline QString AppVersion;   // "major.minor.revision"
inline QString CurUID;       // user name of the staff member logged in, trimmed
inline QString LastLogTime;  // that user's previous login, "yyyy-mm-dd hh:nn:ss"
inline QString SQLServer;
inline QString SQLUID;
inline QString SQLPassword;
inline QString SQLDB;
inline QPointer<vb::Form> CurForm;  // the one child window shown in the main window

// The common message dialog: 1 for OK, 2 for Cancel, 0 otherwise.
// Icon "?" asks (OK and Cancel), "x" is an error, anything else a caution.
int ShowMsgBox(const QString &Msg, const QString &Icon, const QString &Title);

// A red tip scrolling into the main window's status bar; "" hides it.
void ShowSBarTip(const QString &TipText);

#include <functional>
// Test seam: while set, ShowMsgBox hands each message to the hook instead of
// showing the dialog, and returns the hook's answer.
using MsgBoxHook = std::function<int(const QString &Msg, const QString &Icon, const QString &Title)>;
void SetMsgBoxHook(MsgBoxHook hook);
