// Result of an engine step: 0 or an error code, with the text the host sees.
// The type is shared with the platform interface.
#pragma once

#include "platform/platform_types.h"
