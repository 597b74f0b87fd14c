#pragma once
// The arithmetic of the resizable dialogs: anchor records and where one anchored control goes
// when the dialog's client area changes. Modes, for either axis:
//   0 fixed, 1 stretch (far edge follows the change), 2 move (both edges follow it),
//   3 centre on the offset ratio of the client size, 4 proportional to the initial size,
//   5 ratio (offset and size grow by their ratios of the growth since initialisation),
//   6 to 15 fixed.
// The second mode is the horizontal, the fourth the vertical one; the first and third are
// stored and have no effect.

#include <cstdint>
#include <vector>

struct LayoutRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    bool operator==(const LayoutRect& other) const {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
    bool operator!=(const LayoutRect& other) const { return !(*this == other); }
};

enum AnchorMode : unsigned { kFixed = 0, kStretch = 1, kMove = 2, kCentre = 3, kProportional = 4, kRatio = 5 };

enum AnchorOption : unsigned {
    kClip = 1,     // keep the control out of background erasing
    kRepaint = 2,  // repaint the old and the new area when the control moves
};

struct AnchorRecord {
    int id = 0;
    // Modes in bits 0-3, 4-7, 8-11 and 12-15; options in bits 16 and 17.
    uint32_t packed = 0;
    // In dialog client coordinates: as registered, then as last placed incrementally.
    LayoutRect rect;
    // Horizontal offset, horizontal size, vertical offset, vertical size; -1.0 when unused.
    double ratios[4] = {-1.0, -1.0, -1.0, -1.0};

    unsigned mode(int index) const { return (packed >> (4 * index)) & 0xFu; }
    unsigned horizontalMode() const { return mode(1); }
    unsigned verticalMode() const { return mode(3); }
    bool clips() const { return (packed & (kClip << 16)) != 0; }
    bool repaints() const { return (packed & (kRepaint << 16)) != 0; }
};

uint32_t packAnchor(unsigned mode1, unsigned mode2, unsigned mode3, unsigned mode4, unsigned options);

// Overwrites the anchor of the same control (keeping its place in the order) or appends one.
void addAnchorRecord(std::vector<AnchorRecord>& anchors,
                     int id,
                     uint32_t packed,
                     const LayoutRect& rect,
                     const double (&ratios)[4]);

struct AnchorPlacement {
    LayoutRect rect;
    // True when the new rectangle becomes the anchor's stored one (incremental modes only).
    bool keep = true;
};

// Where the anchored control goes: last = client area at the previous pass, initial = after
// initialisation, now = this pass's. Products and quotients in double, truncated toward zero.
AnchorPlacement placeAnchor(const AnchorRecord& anchor,
                            const LayoutRect& last,
                            const LayoutRect& initial,
                            const LayoutRect& now);
