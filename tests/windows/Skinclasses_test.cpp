// Finding the framework control behind a window, as the painters do for the windows
// they are handed.
#include "skin/apply/Skinclasses.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "forms/Forms.h"

namespace quorin {
namespace {

TEST(SkinClasses, FrameworkControlIsFoundFromItsWindow) {
    TForm form(nullptr);
    HWND window = form.Handle();
    ASSERT_TRUE(window);
    EXPECT_EQ(FindControlx(window), &form);
    HWND plain = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(FindControlx(plain), nullptr);
    DestroyWindow(plain);
    EXPECT_EQ(FindControlx(nullptr), nullptr);
}

}  // namespace
}  // namespace quorin
