#pragma once

// Symbols that the common library exports to the other modules.
#define VORNCOM_API __attribute__((visibility("default")))
