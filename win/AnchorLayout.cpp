#include "win/AnchorLayout.h"

namespace {

int32_t trunc32(double value) {
    return static_cast<int32_t>(value);
}

struct Axis {
    int32_t* low;
    int32_t* high;
    int32_t change;   // since the last pass
    int32_t growth;   // since initialisation
    int32_t size;     // client size now
    int32_t initial;  // client size after initialisation
    double offsetRatio;
    double sizeRatio;
};

// Returns false when the mode places the control afresh from its registered rectangle.
bool placeAxis(unsigned mode, const Axis& a) {
    int32_t& low = *a.low;
    int32_t& high = *a.high;
    switch (mode) {
        case kStretch:
            high += a.change;
            return true;
        case kMove:
            low += a.change;
            high += a.change;
            return true;
        case kCentre: {
            const int32_t extent = high - low;
            low = trunc32(a.size * a.offsetRatio - extent * 0.5);
            high = low + extent;
            return true;
        }
        case kProportional:
            if (a.initial != 0) {
                low = trunc32(static_cast<double>(low) * a.size / a.initial);
                high = trunc32(static_cast<double>(high) * a.size / a.initial);
            }
            return false;
        case kRatio: {
            const int32_t extent = high - low;
            const int32_t start = low;
            high = trunc32(start + a.offsetRatio * a.growth + extent + a.sizeRatio * a.growth);
            low = start + trunc32(a.offsetRatio * a.growth);
            return false;
        }
        default:
            return true;
    }
}

}  // namespace

uint32_t packAnchor(unsigned mode1, unsigned mode2, unsigned mode3, unsigned mode4, unsigned options) {
    return (mode1 & 0xFu) | (mode2 & 0xFu) << 4 | (mode3 & 0xFu) << 8 | (mode4 & 0xFu) << 12 | (options & 3u) << 16;
}

void addAnchorRecord(std::vector<AnchorRecord>& anchors,
                     int id,
                     uint32_t packed,
                     const LayoutRect& rect,
                     const double (&ratios)[4]) {
    AnchorRecord* target = nullptr;
    for (AnchorRecord& anchor : anchors) {
        if (anchor.id == id) {
            target = &anchor;
            break;
        }
    }
    if (target == nullptr) {
        anchors.emplace_back();
        target = &anchors.back();
    }
    target->id = id;
    target->packed = packed;
    target->rect = rect;
    for (int i = 0; i < 4; ++i)
        target->ratios[i] = ratios[i];
}

AnchorPlacement placeAnchor(const AnchorRecord& anchor,
                            const LayoutRect& last,
                            const LayoutRect& initial,
                            const LayoutRect& now) {
    AnchorPlacement placement;
    LayoutRect& r = placement.rect;
    r = anchor.rect;
    const Axis horizontal{&r.left,     &r.right,        now.width() - last.width(), now.width() - initial.width(),
                          now.width(), initial.width(), anchor.ratios[0],           anchor.ratios[1]};
    const Axis vertical{&r.top,
                        &r.bottom,
                        now.height() - last.height(),
                        now.height() - initial.height(),
                        now.height(),
                        initial.height(),
                        anchor.ratios[2],
                        anchor.ratios[3]};
    const bool keepH = placeAxis(anchor.horizontalMode(), horizontal);
    const bool keepV = placeAxis(anchor.verticalMode(), vertical);
    placement.keep = keepH && keepV;
    return placement;
}
