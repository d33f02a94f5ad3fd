#pragma once
// An action that must not go ahead: its text is shown ("x", "错误") and nothing
// is written. Thrown inside an ado::Transaction it leaves the scope like any
// failure, so whatever was written before the check is rolled back.
//
// It is not a std::exception on purpose: a handler for failures does not take
// a refusal for one; the window catches it first and may react otherwise
// (forget the reader it had found, read its list again).
#include <QString>

struct Refusal {
    QString text;
};
