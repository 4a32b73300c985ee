#pragma once

// Symbols that the disk library exports to the programs.
#define VORNHDD_API __attribute__((visibility("default")))
