#pragma once
// Registers the titles and copies windows by class name.
void RegisterBookForms();
