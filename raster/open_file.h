#pragma once

#include <cstdio>

// Opens a file for binary reading by a UTF-8 path; null when it cannot be opened.
FILE* OpenFileForReading(const char* utf8Path);
