#pragma once

#include <cstdint>
#include "platform/files.h"
