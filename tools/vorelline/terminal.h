#pragma once

#include <cstdio>

// Whether a stream is an interactive terminal (progress lines are drawn only there).
bool IsTerminal(std::FILE* stream);
