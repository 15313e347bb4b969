// Whether one recipient address belongs to the organisation's own domains.
#pragma once

class SStringList;

// Inner when some domain occurs, case-sensitively, in the text after the first '@'.
bool IsInnerAddress(const char* address, const SStringList* innerDomains);
