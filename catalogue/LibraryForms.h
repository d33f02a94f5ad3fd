#pragma once
// Registers the damage-record, publisher and library-information windows by class name.
void RegisterLibraryForms();
