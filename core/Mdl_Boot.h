#pragma once
// The program's start procedure.
// Returns false when another copy is running (the process should end at once).
bool Main();
