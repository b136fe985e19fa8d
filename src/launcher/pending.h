// Operations that land with other branches, called here with their final
// signatures; each does nothing until its branch is merged.
#pragma once

// UpdateWorker has landed.
#include "launcher/update_worker.h"
