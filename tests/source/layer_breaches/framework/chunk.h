#pragma once

#include "platform/files.h"
