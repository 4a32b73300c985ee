#pragma once

#include "VornComWidgetsExport.h"

#include <functional>

class QWidget;

// Fading a top-level window in and out by stepping its opacity, blocking the
// caller for step milliseconds per step (no events are handled meanwhile).
//
// Cm_CreateSmoothly prepares a window: fully transparent, then shown (show
// nonzero) or hidden. It returns 1 when the window was visible before, 0
// when not, or the OS kind (COsInfo) when that is above 9, in which case it
// does nothing and every later fade does nothing either.
//
// Cm_ShowSmoothly fades in (show nonzero) from alpha 0 up to percent of full
// opacity, step percent and step milliseconds at a time, or fades out from
// percent down; a fade-out leaves a hidden or minimised window alone. Fades
// do nothing until Cm_CreateSmoothly has prepared the layering once. A fade
// that ends at alpha 0 leaves the window transparent but shown.
//
// Without a compositor an opacity change is not seen, so a fade degrades to
// show and hide: the end alpha is set at once, a fade-out hides the window,
// and the next fade-in shows it again.
//
// Cm_DestroySmoothly releases the layering: 1 when it had been prepared, 0
// otherwise. Fades keep working afterwards, as the layering remains.
VORNCOMWIDGETS_API int Cm_CreateSmoothly(QWidget* window, int show);
VORNCOMWIDGETS_API void Cm_ShowSmoothly(QWidget* window, int show, int step, int percent);
VORNCOMWIDGETS_API int Cm_DestroySmoothly();

// What a fade does to the system, replaceable so that tests watch every
// step without waiting. An empty member takes the real behaviour.
struct CmSmoothlyDriver {
    // The OS kind of COsInfo.
    std::function<int()> osKind;
    // Whether opacity changes of the window can be seen at all. The real
    // one asks the X server whether a compositing manager owns the
    // "_NET_WM_CM_S<screen>" selection of the window's screen, the one way
    // X11 defines for it; every other platform counts as uncomposited.
    std::function<bool(QWidget*)> composited;
    // Sets the window's opacity to alpha / 255 and makes it reach the
    // screen before returning.
    std::function<void(QWidget*, int alpha)> setAlpha;
    // Blocks for the given milliseconds.
    std::function<void(int ms)> delay;
};

// Installs a driver and starts again with the layering not prepared.
VORNCOMWIDGETS_API void Cm_SetSmoothlyDriver(CmSmoothlyDriver driver);
