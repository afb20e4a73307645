#pragma once

#include <cstddef>

// Asks the system to back a large, not yet touched array with large pages where it can: the
// transform walks the recording buffers with strides of whole pages, and large pages spare it most
// of the address-translation misses. Only a hint; nothing changes when the system declines.
void AdviseLargePages(void* data, std::size_t bytes);
