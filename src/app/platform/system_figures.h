#pragma once

#include "app/model/system_overview.h"

namespace brevo::app {

// The machine's memory, the file system of the current directory, and the operating system,
// as they are now.
SystemFigures readSystemFigures();

}  // namespace brevo::app
