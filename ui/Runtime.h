#pragma once
// Run-time functions the windows use on texts, numbers, dates and times, with
// the semantics of the original language (Val, Format, IsDate, Trim ...), and
// the program's clock, which tests can fix.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

namespace vb {

// The leading number of a text: blanks, tabs and line feeds anywhere are
// skipped; "12abc" -> 12, "" -> 0, "1e2" -> 100, "-3.5x" -> -3.5.
double Val(const QString &text);

// Dates and times with format strings: yyyy yy mm m dd d, y for the day of the
// year (date), hh h nn n ss s (time), AM/PM for a 12-hour clock with the marker
// in the case written; "mm"/"m" right after an hour or right before a second is
// the minute. Anything else is copied; text in double quotes and a character
// after "\" are literal. An empty format gives "yyyy-m-d h:nn:ss" (a date alone
// "yyyy-m-d", a time alone "h:nn:ss").
QString Format(const QDateTime &value, const QString &fmt);
QString Format(const QDate &value, const QString &fmt);
QString Format(const QTime &value, const QString &fmt);
// Numbers with "0" / "#" digit places, an optional "." with decimals and "," for
// thousands ("000" -> 007, "0.00" -> 12.50); halves round away from zero. Text
// around the digit places is kept, and a "%" in it multiplies by 100; only the
// part before a ";" counts. An empty format gives the plain number text.
QString Format(double value, const QString &fmt);
// A text: a date text is formatted as a date, a number text as a number;
// anything else is returned unchanged.
QString Format(const QString &value, const QString &fmt);

// Whether a text is a date or time as the windows accept one: "2024-3-5",
// "2024/03/05", "2024.3.5", "2024年3月5日", "2024-03-05 10:00:00", "10:00",
// "3/5/2024" (month first when the year comes last). Impossible dates fail.
bool IsDate(const QString &text);
// The date a text stands for; an invalid QDateTime when it is none.
QDateTime ToDate(const QString &text);
// CDate: like ToDate but a text that is no date throws std::runtime_error ("类型不匹配").
QDateTime CDate(const QString &text);

// Every Unicode blank around the text (QChar::isSpace: spaces, U+3000, tabs,
// line breaks, no-break spaces); blanks inside stay.
QString Trim(const QString &s);
QString LTrim(const QString &s);
QString RTrim(const QString &s);

// Character functions, counted in characters.
QString Left(const QString &s, int n);
int Len(const QString &s);
QString UCase(const QString &s);

// Date arithmetic: interval "yyyy", "q", "m", "d" (or "y", "w"), "ww", "h", "n",
// "s"; any other throws std::invalid_argument.
QDateTime DateAdd(const QString &interval, long long number, const QDateTime &when);
QDate DateAdd(const QString &interval, long long number, const QDate &when);

// The clock: Now, Date (today) and Time. While a test clock is set, they give
// that moment (it does not advance).
QDateTime Now();
QDate Date();
QTime Time();
void SetTestClock(const QDateTime &moment);
void ClearTestClock();

}  // namespace vb
