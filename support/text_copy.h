// Heap copies of texts, freed by their owners with delete[].
#pragma once

// A new copy of text; null for a null text.
char* NewTextCopy(const char* text);
