#pragma once

// Symbols that the device layer exports to the other modules.
#define VORNPLATFORM_API __attribute__((visibility("default")))
