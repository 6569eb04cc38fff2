#include "skin/resources/SkinTypes.h"

#include <array>
#include <string>
#include <vector>

namespace quorin {
namespace {

constexpr std::array<std::string_view, TSkinControlTypeCount> kControlNames = {
    "xcMainMenu", "xcPopupMenu",   "xcMenuItem",   "xcToolbar",    "xcControlbar", "xcCombo",
    "xcCheckBox", "xcRadioButton", "xcProgress",   "xcScrollbar",  "xcEdit",       "xcButton",
    "xcBitBtn",   "xcSpeedButton", "xcSpin",       "xcPanel",      "xcGroupBox",   "xcStatusBar",
    "xcTab",      "xcTrackBar",    "xcSystemMenu", "xcFastReport",
};
constexpr std::array<std::string_view, TSkinOptionCount> kOptionNames = {
    "xoMDIScrollbar", "xoMenuMerge", "xoTransparent",    "xoPreview", "xoParentBackGround",
    "xoNoFocusRect",  "xoToolbarBK", "xoMDIChildBorder", "xoMenuBG",
};
constexpr std::array<std::string_view, TSkinFormTypeCount> kFormTypeNames = {
    "sfMainform",
    "sfOnlyThisForm",
    "sfDialog",
    "sfDLL",
};
constexpr std::array<std::string_view, TWinContainerCount> kContainerNames = {
    "xccForm",  "xccFrame",     "xccToolbar",  "xccCoolbar",  "xccControlbar",
    "xccPanel", "xccScrollBox", "xccGroupBox", "xccTabSheet", "xccPageScroller",
};

template <typename E, size_t N>
std::optional<E> Find(const std::array<std::string_view, N>& names, std::string_view name) {
    for (size_t i = 0; i < N; ++i)
        if (names[i] == name) return static_cast<E>(i);
    return std::nullopt;
}

}  // namespace

std::string_view SkinControlTypeName(TSkinControlType v) { return kControlNames.at(v); }
std::string_view SkinOptionName(TSkinOption v) { return kOptionNames.at(v); }
std::string_view SkinFormTypeName(TSkinFormType v) { return kFormTypeNames.at(v); }
std::string_view WinContainerName(TWinContainer v) { return kContainerNames.at(v); }

std::optional<TSkinControlType> SkinControlTypeFromName(std::string_view name) {
    return Find<TSkinControlType>(kControlNames, name);
}
std::optional<TSkinOption> SkinOptionFromName(std::string_view name) { return Find<TSkinOption>(kOptionNames, name); }
std::optional<TSkinFormType> SkinFormTypeFromName(std::string_view name) {
    return Find<TSkinFormType>(kFormTypeNames, name);
}

std::vector<std::string> SkinControlTypeNames() { return {kControlNames.begin(), kControlNames.end()}; }
std::vector<std::string> SkinOptionNames() { return {kOptionNames.begin(), kOptionNames.end()}; }
std::vector<std::string> SkinFormTypeNames() { return {kFormTypeNames.begin(), kFormTypeNames.end()}; }

}  // namespace quorin
