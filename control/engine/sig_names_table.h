// Rows of the generated SIG name table.
#pragma once

#include "sig_names.h"

namespace vornik::detail {

struct SigRow {
    SigKind kind;
    const char* uuid;  // 36-character form
    const char* name;
};

extern const SigRow kSigRows[];
extern const int kSigRowCount;

}  // namespace vornik::detail
