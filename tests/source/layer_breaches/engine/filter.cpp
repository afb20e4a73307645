#include "framework/chunk.h"
#  include "tools/report.h"
