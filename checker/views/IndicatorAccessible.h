
namespace vorn::checker {

#pragma once

// Makes the indicators known to assistive technology: the disk square as a
// button named by its tooltip with a press action, the two text boxes as
// static text named by what they show. Every indicator calls this when it is
// created; only the first call installs anything.
void InstallIndicatorAccessibility();

} // namespace vorn::checker
