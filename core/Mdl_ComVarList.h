#pragma once
// Session values of one run, shared by every window, and the message helpers.
#include <QPointer>
#include <QString>
#include <exception>

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

// The kinds of message the windows show, over ShowMsgBox:
// a question ("?"): true unless the answer is Cancel (a dialog closed without
// an answer counts as Cancel);
bool AskQuestion(const QString &Msg, const QString &Title);
// a failure ("x", "错误");
void ShowErrorText(const QString &Msg);
// a notice or caution ("!") with OK alone.
void ShowNotice(const QString &Msg, const QString &Title);

// A caught error as the user reads it: Description() of a database error,
// what() as UTF-8 of any other.
QString ErrorText(const std::exception &e);
// Shows a caught error as a failure ("x", "错误", ErrorText).
void ShowError(const std::exception &e);

// A red tip scrolling into the main window's status bar; "" hides it.
void ShowSBarTip(const QString &TipText);

#include <functional>
// Test seam: while set, ShowMsgBox hands each message to the hook instead of
// showing the dialog, and returns the hook's answer.
using MsgBoxHook = std::function<int(const QString &Msg, const QString &Icon, const QString &Title)>;
void SetMsgBoxHook(MsgBoxHook hook);
