#include "platform/large_pages.h"

// Large pages need a user right that a plug-in cannot count on; ordinary pages are used.
void AdviseLargePages(void*, std::size_t) {}
