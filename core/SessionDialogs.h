#pragma once
// Registers the lock screen, change of user, password retrieval and about box by class name.
void RegisterSessionDialogs();
