#include "tools/vorelline/terminal.h"

#include <unistd.h>

bool IsTerminal(std::FILE* stream) {
    return stream && isatty(fileno(stream)) == 1;
}
