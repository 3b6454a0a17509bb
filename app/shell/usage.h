// The command line of the program as --help prints it.
#pragma once

#include <QString>

namespace qc {

QString UsageText();

} // namespace qc
