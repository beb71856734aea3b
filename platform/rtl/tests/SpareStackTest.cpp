#include "SpareStack.h"
#include "Exceptions.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// A recursion that keeps to the guard: half a kilobyte of frame a level.
int Depth(int n)
{
    volatile char pad[512];
    pad[0] = char(n);
    if (n == 0) return pad[0];
    if (SpareStack::HasRoom()) return Depth(n - 1) + 1;
    int r = 0;
    SpareStack::Run([&] { r = Depth(n - 1) + 1; }, "too deep");
    return r;
}

TEST(SpareStack, RecursionGoesOnPastTheThreadsStack)
{
    // 30,000 levels take more than the 8 MB of a thread's stack
    EXPECT_EQ(Depth(30000), 30000);
    // and the spare stack is free again afterwards
    EXPECT_EQ(Depth(30000), 30000);
}

TEST(SpareStack, RunawayRecursionEndsWithTheError)
{
    try {
        Depth(10000000);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "too deep");
    }
    EXPECT_EQ(Depth(100), 100);
}

TEST(SpareStack, ErrorsPassToTheCaller)
{
    EXPECT_THROW(SpareStack::Run([] { throw EConvertError("inside"); }, "too deep"), EConvertError);
    int ran = 0;
    SpareStack::Run([&] { ++ran; }, "too deep");
    EXPECT_EQ(ran, 1);
}

TEST(SpareStack, EachThreadHasItsOwn)
{
    int a = 0, b = 0;
    std::thread t1([&] { a = Depth(20000); });
    std::thread t2([&] { b = Depth(20000); });
    t1.join();
    t2.join();
    EXPECT_EQ(a, 20000);
    EXPECT_EQ(b, 20000);
}

}  // namespace
