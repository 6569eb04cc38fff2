// The real program at 125 and 150 % display scale (see DisplayScaleChecks.h).
#include "DisplayScaleChecks.h"

namespace quorin::gui {
namespace {

TEST(DisplayScale, At125Percent) { RunAtScale(BuiltIn(120, "zh-CN")); }
TEST(DisplayScale, At150PercentBuiltInChinese) { RunAtScale(BuiltIn(144, "zh-CN")); }
TEST(DisplayScale, At150PercentBuiltInEnglish) { RunAtScale(BuiltIn(144, "en")); }
TEST(DisplayScale, At150PercentSlateChinese) { RunAtScale(Slate(144, "zh-CN")); }
TEST(DisplayScale, At150PercentSlateEnglish) { RunAtScale(Slate(144, "en")); }

}  // namespace
}  // namespace quorin::gui
