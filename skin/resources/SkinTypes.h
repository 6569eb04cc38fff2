// Enumerations and small value types shared by the skin data component and the
// painters: the kinds of control that can be skinned, the behaviour switches, the scope
// of a skin, the kinds of control container, and the sets built from them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/Color.h"
#include "skin/resources/Rect.h"

namespace quorin {

// Numbers of the platform's system colours that the skin's colour table falls back to.
enum TSystemColorIndex : int {
    scScrollbar = 0,
    scMenu = 4,
    scMenuText = 7,
    scWindowText = 8,
    scCaptionText = 9,
    scHighlight = 13,
    scHighlightText = 14,
    scBtnFace = 15,
    scBtnShadow = 16,
    scBtnText = 18,
    scInactiveCaptionText = 19,
    scBtnHighlight = 20,
    sc3DDkShadow = 21,
};

enum TSkinControlType : uint8_t {
    xcMainMenu,
    xcPopupMenu,
    xcMenuItem,
    xcToolbar,
    xcControlbar,
    xcCombo,
    xcCheckBox,
    xcRadioButton,
    xcProgress,
    xcScrollbar,
    xcEdit,
    xcButton,
    xcBitBtn,
    xcSpeedButton,
    xcSpin,
    xcPanel,
    xcGroupBox,
    xcStatusBar,
    xcTab,
    xcTrackBar,
    xcSystemMenu,
    xcFastReport,
};
constexpr int TSkinControlTypeCount = 22;

enum TSkinOption : uint8_t {
    xoMDIScrollbar,
    xoMenuMerge,
    xoTransparent,
    xoPreview,
    xoParentBackGround,
    xoNoFocusRect,
    xoToolbarBK,
    xoMDIChildBorder,
    xoMenuBG,
};
constexpr int TSkinOptionCount = 9;

enum TSkinFormType : uint8_t { sfMainform, sfOnlyThisForm, sfDialog, sfDLL };
constexpr int TSkinFormTypeCount = 4;

enum TWinContainer : uint8_t {
    xccForm,
    xccFrame,
    xccToolbar,
    xccCoolbar,
    xccControlbar,
    xccPanel,
    xccScrollBox,
    xccGroupBox,
    xccTabSheet,
    xccPageScroller,
};
constexpr int TWinContainerCount = 10;

// A set of enumeration values stored as bits, the way the stored layout and the
// platform-independent code see it (bit n = ordinal n).
template <typename E, typename Word>
class TSkinSet {
public:
    constexpr TSkinSet() = default;
    constexpr TSkinSet(std::initializer_list<E> members) {
        for (E e : members) Include(e);
    }
    static constexpr TSkinSet FromBits(Word bits) {
        TSkinSet s;
        s.bits_ = bits;
        return s;
    }
    constexpr Word Bits() const { return bits_; }
    constexpr bool Contains(E e) const { return (bits_ >> static_cast<unsigned>(e)) & 1u; }
    constexpr void Include(E e) { bits_ = static_cast<Word>(bits_ | (Word(1) << static_cast<unsigned>(e))); }
    constexpr void Exclude(E e) { bits_ = static_cast<Word>(bits_ & ~(Word(1) << static_cast<unsigned>(e))); }
    friend constexpr bool operator==(TSkinSet, TSkinSet) = default;

private:
    Word bits_ = 0;
};

using TSkinControls = TSkinSet<TSkinControlType, uint32_t>;
using TSkinOptions = TSkinSet<TSkinOption, uint16_t>;
using TWinContainers = TSkinSet<TWinContainer, uint16_t>;

// Identifier texts of the enumerations, as the stored layout writes them.
std::string_view SkinControlTypeName(TSkinControlType v);
std::string_view SkinOptionName(TSkinOption v);
std::string_view SkinFormTypeName(TSkinFormType v);
std::string_view WinContainerName(TWinContainer v);
// The value whose identifier is the text (exact case), if any.
std::optional<TSkinControlType> SkinControlTypeFromName(std::string_view name);
std::optional<TSkinOption> SkinOptionFromName(std::string_view name);
std::optional<TSkinFormType> SkinFormTypeFromName(std::string_view name);
// All identifiers in ordinal order, as the framework's property tables take them.
std::vector<std::string> SkinControlTypeNames();
std::vector<std::string> SkinOptionNames();
std::vector<std::string> SkinFormTypeNames();

}  // namespace quorin
