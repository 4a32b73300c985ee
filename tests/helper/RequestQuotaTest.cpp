#include "RequestQuota.h"

#include <gtest/gtest.h>

namespace {

using vorn::diskhelper::RequestQuota;

// Callers that park requests (at a password prompt nobody answers) use up
// their own share and no more: the others keep their places.
TEST(RequestQuotaTest, OneCallerFillsItsOwnShareAndNeverTheOthers) {
    RequestQuota quota({6, 3, 2});
    const QString a1 = QStringLiteral(":1.1"), a2 = QStringLiteral(":1.2");
    EXPECT_TRUE(quota.take(a1, 1000));
    EXPECT_TRUE(quota.take(a1, 1000));
    EXPECT_FALSE(quota.take(a1, 1000)) << "one connection past its share";
    EXPECT_TRUE(quota.take(a2, 1000));
    EXPECT_FALSE(quota.take(QStringLiteral(":1.3"), 1000)) << "one user past its share";
    // Another user still gets in, up to the total.
    EXPECT_TRUE(quota.take(QStringLiteral(":1.4"), 1001));
    EXPECT_TRUE(quota.take(QStringLiteral(":1.4"), 1001));
    EXPECT_TRUE(quota.take(QStringLiteral(":1.5"), 1002));
    EXPECT_EQ(quota.pending(), 6);
    EXPECT_FALSE(quota.take(QStringLiteral(":1.6"), 1003)) << "past the total";

    // An answer frees exactly the place it held.
    quota.give(a1, 1000);
    EXPECT_TRUE(quota.take(a1, 1000));
    quota.give(QStringLiteral(":1.9"), 4242); // nothing was taken for it
    EXPECT_EQ(quota.pending(), 6);
}

} // namespace
