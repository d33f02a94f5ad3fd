#pragma once
// What must hold of a library's data whatever happened to it (a desk killed
// in mid-lending, two desks at once, a failed statement): checked by
// `librarydb check` and by the tests.
//
//  - a copy is 借出 exactly when it has an open loan (是否已还 = 0);
//  - no copy has two open loans;
//  - each reader's 当前借书数量 and 未还书总数 equal the reader's open loans;
//  - every open loan names an existing copy, of an existing title, and an
//    existing reader (a returned loan may outlive them: deleting them leaves
//    their history); the returning window counts its list on this;
//  - no two deposits share a 充值编号;
//  - the engine's own check of its storage finds nothing.
#include "db/Ado.h"

#include <QStringList>

// One line a violation, naming what is wrong; empty when everything holds.
QStringList CheckInvariants(ado::Connection &conn);
