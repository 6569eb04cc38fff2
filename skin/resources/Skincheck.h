// Checking a packed skin before it is used, and for its author.
//
// The program asks whether a skin file can be used at all before it replaces the skin in
// force: a file that is missing, not a packed skin, cut short, damaged, without a
// description, without its frame pictures or with absurd picture sizes is refused with a
// reason the operator can read, and the skin in force stays. The skin tool's check goes
// further and lists, one line each, what a skin lacks (and what the program does
// instead) and what it gets wrong: frame counts that do not divide a picture, margins
// larger than the picture, sections and keys the program does not know, and text
// colours too faint against the pictures they are drawn on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "forms/Color.h"

namespace quorin {

// Limits of a usable skin. A frame side or title strip beyond them would leave no room
// for the window; a picture beyond them is no picture a skin needs.
inline constexpr int kMaxSkinFrameSide = 64;
inline constexpr int kMaxSkinTitleHeight = 96;
inline constexpr int kMaxSkinPictureSide = 2048;
// Caption buttons beyond this many are not read (a title bar has room for a few).
inline constexpr int kMaxSkinCaptionButtons = 16;
// Text must stand out from what it is drawn on at least this much (the usual reading
// threshold for body text).
inline constexpr double kMinTextContrast = 4.5;

struct TSkinFinding {
    enum TKind { skError, skNote };
    TKind Kind = skError;
    std::string Text;
};

struct TSkinCheck {
    // The first reason the program cannot use the skin at all; empty when it can.
    std::string Unusable;
    // Everything found, in the order checked (the unusable reason among them).
    std::vector<TSkinFinding> Findings;

    bool Usable() const { return Unusable.empty(); }
    // No errors at all (notes allowed).
    bool Clean() const;
};

// How far the check goes: only what decides whether the program can use the skin, or
// everything a skin author wants to know.
enum class TSkinCheckDepth { Usability, Full };

// Checks a packed skin (as a skin file holds it, or with the stored property's length in
// front) or a skin file. Never throws.
TSkinCheck CheckPackedSkin(const std::vector<uint8_t>& bytes, TSkinCheckDepth depth);
TSkinCheck CheckSkinFile(const std::string& path, TSkinCheckDepth depth);
// The packed skin a check reads in these bytes: without the stored property's length in
// front where it is there. What the program loads after a check passes.
std::vector<uint8_t> PackedSkinOf(const std::vector<uint8_t>& bytes);
// Reads a skin file whole; false with a reason when it cannot be read.
bool ReadSkinFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& reason);

// The contrast ratio of two plain colours, 1 to 21.
double ContrastRatio(TColor a, TColor b);

}  // namespace quorin
