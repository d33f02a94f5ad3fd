#pragma once
// Registers the circulation windows (lending, returning) with the child-window switch.
void RegisterCirculationForms();
