// The real program at 200 and 250 % display scale (see DisplayScaleChecks.h).
#include "DisplayScaleChecks.h"

namespace quorin::gui {
namespace {

TEST(DisplayScale, At200PercentBuiltInChinese) { RunAtScale(BuiltIn(192, "zh-CN")); }
TEST(DisplayScale, At200PercentBuiltInEnglish) { RunAtScale(BuiltIn(192, "en")); }
TEST(DisplayScale, At200PercentSlateChinese) { RunAtScale(Slate(192, "zh-CN")); }
TEST(DisplayScale, At200PercentSlateEnglish) { RunAtScale(Slate(192, "en")); }
TEST(DisplayScale, At250Percent) { RunAtScale(Slate(240, "en")); }

}  // namespace
}  // namespace quorin::gui
