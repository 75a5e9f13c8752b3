#include "guard/guardedCall.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

void writeThroughNull(void*) {
    volatile int* volatile p = nullptr;
    *p = 1;
}
void raiseCustom(void*) { RaiseException(0xE0001234, EXCEPTION_NONCONTINUABLE, 0, nullptr); }
void addOne(void* context) { ++*static_cast<int*>(context); }
void nested(void* context) {
    *static_cast<DWORD*>(context) = guardedCall(writeThroughNull, nullptr);
}

}  // namespace

TEST(GuardedCall, ContainsFaultsAndReportsTheirCode) {
    for (int i = 0; i < 200; ++i) ASSERT_EQ(EXCEPTION_ACCESS_VIOLATION, guardedCall(writeThroughNull, nullptr));
    EXPECT_EQ(0xE0001234u, guardedCall(raiseCustom, nullptr));
    int n = 0;
    EXPECT_EQ(0u, guardedCall(addOne, &n));
    EXPECT_EQ(1, n);
}

TEST(GuardedCall, InnerGuardsKeepOuterOnesWorking) {
    DWORD inner = 0;
    EXPECT_EQ(0u, guardedCall(nested, &inner));
    EXPECT_EQ(EXCEPTION_ACCESS_VIOLATION, inner);
    EXPECT_EQ(EXCEPTION_ACCESS_VIOLATION, guardedCall(writeThroughNull, nullptr));
    // C++ exceptions still work after faults were contained.
    EXPECT_THROW(throw std::runtime_error("x"), std::runtime_error);
}
