// Bluetooth SIG assigned-number names of GATT services, characteristics and
// descriptors, keyed by the full 36-character UUID form.
#pragma once

#include <string>

#include "uuid.h"

namespace vornik {

enum class SigKind { Service, Characteristic, Descriptor };

// The SIG name, or empty when the UUID has none in that table.
std::string SigName(SigKind kind, const Uuid& uuid);
std::string SigName(SigKind kind, const std::string& formattedUuid);

// Number of rows of a table (the generated data is checked against this).
int SigTableSize(SigKind kind);

}  // namespace vornik
