#include "Smoothly.h"

#include "OsInfo.h"

#include <QGuiApplication>
#include <QThread>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <vector>

#ifdef VORN_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace {

// Set on a window that a fade-out hid for want of a compositor, so that the
// next fade-in shows it again but a window hidden for other reasons stays
// hidden.
constexpr char kHiddenByFade[] = "vornHiddenByFade";

#ifdef VORN_HAVE_XCB
xcb_connection_t* X11Connection() {
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

bool X11Composited(QWidget* window) {
    xcb_connection_t* connection = X11Connection();
    if (!connection)
        return false;
    // The screen is the index of the window's root among the server's roots.
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(
        connection, xcb_query_tree(connection, static_cast<xcb_window_t>(window->winId())),
        nullptr);
    if (!tree)
        return false;
    const xcb_window_t root = tree->root;
    std::free(tree);
    int screen = 0;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (; it.rem && it.data->root != root; xcb_screen_next(&it))
        ++screen;
    if (!it.rem)
        return false;

    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, static_cast<uint16_t>(name.size()), name.data()),
        nullptr);
    if (!atom)
        return false;
    const xcb_atom_t selection = atom->atom;
    std::free(atom);
    if (selection == XCB_ATOM_NONE)
        return false;
    xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, selection), nullptr);
    if (!owner)
        return false;
    const bool owned = owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    return owned;
}
#endif

bool RealComposited(QWidget* window) {
#ifdef VORN_HAVE_XCB
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        return X11Composited(window);
#endif
    (void)window;
    return false;
}

void RealSetAlpha(QWidget* window, int alpha) {
    window->setWindowOpacity(alpha / 255.0);
    // The opacity travels as a window property; requests wait in the
    // client's buffer until the event loop runs, which it does not during a
    // fade. A round trip sends the step and returns once the server has
    // applied it, so the compositor sees it before the pause begins.
#ifdef VORN_HAVE_XCB
    if (xcb_connection_t* connection = X11Connection())
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
#endif
}

struct Smoothly {
    CmSmoothlyDriver driver;
    bool layered = false;
};

Smoothly& State() {
    static Smoothly state;
    return state;
}

CmSmoothlyDriver WithDefaults(CmSmoothlyDriver driver) {
    if (!driver.osKind)
        driver.osKind = [] { return COsInfo().GetKind(); };
    if (!driver.composited)
        driver.composited = RealComposited;
    if (!driver.setAlpha)
        driver.setAlpha = RealSetAlpha;
    if (!driver.delay)
        driver.delay = [](int ms) { QThread::msleep(static_cast<unsigned long>(std::max(ms, 0))); };
    return driver;
}

const CmSmoothlyDriver& Driver() {
    Smoothly& state = State();
    if (!state.driver.setAlpha)
        state.driver = WithDefaults({});
    return state.driver;
}

// The accumulator holds 100 times the alpha, so that steps of 255 x step
// add up without rounding until the division. It is kept in 64 bits and the
// alpha capped at 255: percentages beyond 100 must not wrap the alpha.
int AlphaOf(long long accumulator) {
    return static_cast<int>(std::clamp(accumulator / 100, 0LL, 255LL));
}

// A step of 0 or less would never reach the end: such a fade jumps there.
std::vector<int> FadeInAlphas(int step, int percent) {
    if (percent < 0)
        return {};
    if (step <= 0)
        return {AlphaOf(std::min(255LL * percent, 25500LL))};
    std::vector<int> alphas;
    long long elapsed = 0;
    long long accumulator = 0;
    do {
        if (elapsed > percent)
            break;
        alphas.push_back(AlphaOf(accumulator));
        elapsed += step;
        accumulator += 255LL * step;
    } while (accumulator <= 25500);
    return alphas;
}

std::vector<int> FadeOutAlphas(int step, int percent) {
    if (percent < 0)
        return {};
    if (step <= 0)
        return {0};
    std::vector<int> alphas;
    long long remaining = percent;
    long long accumulator = 255LL * percent;
    do {
        alphas.push_back(AlphaOf(accumulator));
        remaining -= step;
        accumulator -= 255LL * step;
    } while (remaining >= 0);
    return alphas;
}

} // namespace

void Cm_SetSmoothlyDriver(CmSmoothlyDriver driver) {
    State() = Smoothly{WithDefaults(std::move(driver)), false};
}

int Cm_CreateSmoothly(QWidget* window, int show) {
    const CmSmoothlyDriver& driver = Driver();
    const int kind = driver.osKind();
    if (kind > 9)
        return kind;
    State().layered = true;
    if (!window)
        return 0;
    driver.setAlpha(window, 0);
    const bool wasVisible = window->isVisible();
    if (show)
        window->showNormal();
    else
        window->hide();
    return wasVisible ? 1 : 0;
}

void Cm_ShowSmoothly(QWidget* window, int show, int step, int percent) {
    if (!State().layered || !window)
        return;
    const CmSmoothlyDriver& driver = Driver();
    if (!show && (!window->isVisible() || window->isMinimized()))
        return;
    const std::vector<int> alphas =
        show ? FadeInAlphas(step, percent) : FadeOutAlphas(step, percent);
    if (alphas.empty())
        return;

    if (show && window->property(kHiddenByFade).toBool()) {
        window->setProperty(kHiddenByFade, QVariant());
        window->show();
    }
    if (driver.composited(window)) {
        for (const int alpha : alphas) {
            driver.setAlpha(window, alpha);
            driver.delay(step);
        }
        return;
    }
    driver.setAlpha(window, alphas.back());
    if (!show) {
        window->hide();
        window->setProperty(kHiddenByFade, true);
    }
}

int Cm_DestroySmoothly() {
    return State().layered ? 1 : 0;
}
