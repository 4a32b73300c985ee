#pragma once

// Symbols that the widget layer exports to the programs.
#define VORNCOMWIDGETS_API __attribute__((visibility("default")))
