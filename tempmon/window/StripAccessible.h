#pragma once

// Makes the strip readable by screen readers: the strip is a list whose
// items are its cells, each named by its disk and described by its
// temperature and state. Installed once per process; harmless to repeat.
void InstallStripAccessibility();
