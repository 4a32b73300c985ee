#include "UniqueFd.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <utility>

namespace {

bool isOpen(int fd) {
    return ::fcntl(fd, F_GETFD) != -1 || errno != EBADF;
}

int openNull() {
    return ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

} // namespace

// Ownership moves without a leak or a second close: a descriptor number
// closed twice may by then belong to some other file of the process.
TEST(UniqueFd, ClosesExactlyOnceWhereverOwnershipGoes) {
    const int first = openNull();
    const int second = openNull();
    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    {
        vorn::UniqueFd a(first);
        vorn::UniqueFd b(second);
        a = std::move(b); // closes first, takes second
        EXPECT_FALSE(isOpen(first));
        EXPECT_EQ(a.get(), second);
        EXPECT_FALSE(b.valid());
        vorn::UniqueFd c(std::move(a));
        EXPECT_FALSE(a.valid());
        EXPECT_EQ(c.get(), second);
    }
    EXPECT_FALSE(isOpen(second));

    vorn::UniqueFd kept(openNull());
    const int handed = kept.release();
    EXPECT_TRUE(isOpen(handed));
    EXPECT_EQ(kept.reset(), 0); // owns nothing any more
    EXPECT_TRUE(isOpen(handed));
    vorn::UniqueFd again(handed);
    EXPECT_EQ(again.reset(), 0);
    EXPECT_FALSE(isOpen(handed));
}
