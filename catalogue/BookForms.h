#pragma once
#include <QString>

// Registers the titles and copies windows by class name.
void RegisterBookForms();

// Whether a copy of 图书库存 chosen by `where` (a condition on that table, such
// as "ISBN = '...'") is out on loan: marked "借出" or held by a loan not yet
// returned. Database errors reach the caller.
bool CopiesOnLoan(const QString &where);
