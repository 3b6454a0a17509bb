// The error record of the last failed call on this thread, as a host reads
// it through vornik_get_error_info.
#pragma once

#include "automation_error.h"

namespace vornik::surface {

void ClearErrorInfo();
// Records the error and returns its HRESULT.
std::int32_t SetErrorInfo(const AutomationError& error);
std::int32_t SetErrorInfo(std::int32_t hresult, std::string_view description, std::int32_t helpContext = 0);

} // namespace vornik::surface
