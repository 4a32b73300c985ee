#include "HelperLifetime.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using vorn::diskhelper::HelperLifetime;

// Steps: E the idle clock runs out, D the event loop reaches what was put
// behind the delivered requests, B a request arrives with nothing waiting,
// F the last waiting request is answered. The hooks the helper called come
// back as one letter each: s(tart clock), x (stop clock), r(elease name),
// q(uit).
std::string Calls(const std::string& steps) {
    std::string calls;
    std::vector<std::function<void()>> deferred;
    HelperLifetime lifetime({
        [&] { calls += 's'; },
        [&] { calls += 'x'; },
        [&] { calls += 'r'; },
        [&](std::function<void()> then) { deferred.push_back(std::move(then)); },
        [&] { calls += 'q'; },
    });
    lifetime.start();
    for (char step : steps) {
        switch (step) {
        case 'E':
            lifetime.idleClockElapsed();
            break;
        case 'D': {
            auto pending = std::move(deferred);
            deferred.clear();
            for (auto& then : pending)
                then();
            break;
        }
        case 'B':
            lifetime.busyChanged(true);
            break;
        case 'F':
            lifetime.busyChanged(false);
            break;
        }
    }
    return calls;
}

TEST(HelperLifetime, LeavesOnlyWhenNoRequestThatReachedItWaits) {
    const struct {
        const char* steps;
        const char* calls;
    } cases[] = {
        // Served, then idle: the clock restarts after each answer.
        {"BFBF", "sxsxs"},
        {"ED", "srq"},
        // A request routed here just before the name went is answered
        // before the helper ends, and the clock does not start again.
        {"EBDF", "srxq"},
        {"EBFD", "srxq"},
        // A request at a password prompt keeps the helper; a late clock
        // tick then changes nothing.
        {"BEF", "sxs"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.steps);
        EXPECT_EQ(Calls(c.steps), c.calls);
    }
}

} // namespace
