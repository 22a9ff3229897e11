// Opening addresses through the shell: COM first, as Windows asks of
// ShellExecuteW's callers.

#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace WinTesting;

// On a thread of its own that has made no window: under Wine the first
// window of a thread joins it to COM, which would hide a missing join.
TEST(ShellTest, TheCallerJoinsASingleThreadedApartmentOnceAndLeavesItAtTheEnd)
{
    std::thread([] {
        ASSERT_FALSE(InSingleThreadedApartment());
        {
            ShellCalls shell;
            OpenWithShell(nullptr, L"https://example.invalid/one");
            OpenWithShell(nullptr, L"mailto:someone@example.invalid");
            ASSERT_EQ(shell.calls().size(), 2u);
            EXPECT_EQ(shell.calls()[0].Target, L"https://example.invalid/one");
            EXPECT_EQ(shell.calls()[1].Target, L"mailto:someone@example.invalid");
            for (const auto& call : shell.calls())
                EXPECT_TRUE(call.InApartment);
            // Once: a single leave ends it, as the program's end does.
        }
        EXPECT_FALSE(InSingleThreadedApartment());
    }).join();
}

} // namespace
