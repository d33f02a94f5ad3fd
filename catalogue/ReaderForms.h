#pragma once
// Registers the reader, reader-category and deposit windows by class name.
void RegisterReaderForms();
