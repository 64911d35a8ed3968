// Moved: the path helpers live in Paths.h.
#pragma once

#include "Paths.h"
