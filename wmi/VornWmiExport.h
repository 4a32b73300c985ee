#pragma once

// Symbols that the system query library exports to the other modules.
#define VORNWMI_API __attribute__((visibility("default")))
