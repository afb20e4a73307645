#include "raster/blit.h"
#include <framework/chunk.h>
