// The one process-wide App record.
#include "base/app.h"

App app = {};
