#pragma once

// Symbols that the item library exports to the other modules.
#define VORNFOLDER_API __attribute__((visibility("default")))
