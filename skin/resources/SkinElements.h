// The skin elements: one object per part of a skin (a frame border, the push-button
// picture, the caption strip, a caption button, ...), each holding its picture and the
// settings the painters cut it with. Every element owns its bitmaps.
#pragma once

#include <cstdint>
#include <string>

#include "skin/resources/Bitmap.h"
#include "skin/resources/SkinTypes.h"

namespace quorin {

// A colour field that the skin did not give.
constexpr TColor clNoSkinColor = -1;
// A caption text colour that the skin did not give.
constexpr TColor clNoTitleColor = 0x1FFFFFFF;

class TDataSkinObject {
public:
    explicit TDataSkinObject(std::string name) : Name(std::move(name)) {}
    virtual ~TDataSkinObject() = default;
    TDataSkinObject(const TDataSkinObject&) = delete;
    TDataSkinObject& operator=(const TDataSkinObject&) = delete;

    TMargins Margins;   // widths of the fixed borders of the picture
    TBitmap Map;        // the picture; several frames side by side
    int32_t Trans = 0;  // non-zero: magenta pixels are transparent
    int32_t Tile = 0;   // 0 stretch, 1 tile the middle parts
    std::string Name;   // section name, or a fixed name for derived elements
    int32_t Frame = 0;  // number of frames in the picture
    int32_t Style = 0;  // element variant, read by the painters
    TColor NormalColor = clNoSkinColor;
    TColor OverColor = clNoSkinColor;
    TColor DownColor = clNoSkinColor;
    TColor NormalColor2 = clNoSkinColor;
    TColor OverColor2 = clNoSkinColor;
    TColor DownColor2 = clNoSkinColor;
};

// An element that is there and has a picture to draw.
inline bool HasPicture(const TDataSkinObject* e) { return e && !e->Map.Empty(); }
// The number of frames side by side in an element's picture: one where the skin gives none.
inline int FrameCount(const TDataSkinObject* e) { return e && e->Frame > 0 ? e->Frame : 1; }

class TDataSkinBorder : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;
    TBitmap Map2;  // second picture (tab pane border, mirrored combo button, up-down glyphs)
};

class TDataSkinButton : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;
    TBitmap CheckMap;
    TBitmap RadioMap;
    int32_t RadioFrame = 0;
    int32_t CheckFrame = 0;
    bool HasNormalColor2 = false;
    bool HasOverColor2 = false;
    bool HasDownColor2 = false;
};

class TDataSkinTitle : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;
    int32_t Alignment = 0;  // caption text alignment
    int32_t BackMode = 0;   // caption text background mode
    int32_t FontHeight = 14;
    int32_t BackLeft = 0;   // left part of the text background
    int32_t BackRight = 0;  // right part of the text background
    TColor ActiveColor = clNoTitleColor;
    TColor InactiveColor = clNoTitleColor;
};

class TDataSkinSysButton : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;
    int32_t Action = 0;  // 0 close, 1 maximize, 2 minimize, 3/11 window icon, ...
    int32_t Align = 0;   // how XCoord and YCoord place the button
    int32_t XCoord = 0;
    int32_t YCoord = 0;
    int32_t CombineOp = -1;
    int32_t Visibility = 0;
    int32_t Visibility1 = 0;  // second visibility condition
};

class TDataSkinBoxLabel : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;
    int32_t BGLeftShift = 0;
    int32_t BGRightShift = 0;
    int32_t BGAlignment = 0;
};

}  // namespace quorin
