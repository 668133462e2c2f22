#include "ui/BarSizes.h"

#include "platform/Profile.h"

#include <algorithm>

namespace tarnwell {

namespace {

struct ValueNames {
    const char* cx;
    const char* cy;
    BarSize SizingBarSizes::*size;
};

constexpr ValueNames kValues[] = {
    {"sizeHorzCX", "sizeHorzCY", &SizingBarSizes::horz},
    {"sizeVertCX", "sizeVertCY", &SizingBarSizes::vert},
    {"sizeFloatCX", "sizeFloatCY", &SizingBarSizes::floating},
};

}  // namespace

BarSize ClampBarSize(BarSize size, BarSize min, BarSize max) {
    return {std::max(std::min(size.cx, max.cx), min.cx), std::max(std::min(size.cy, max.cy), min.cy)};
}

BarSize& SizingBarSizes::For(BarSide side) {
    switch (side) {
    case BarSide::Top:
    case BarSide::Bottom: return horz;
    case BarSide::Left:
    case BarSide::Right: return vert;
    case BarSide::Floating: break;
    }
    return floating;
}

BarSize SizingBarSizes::For(BarSide side) const { return const_cast<SizingBarSizes*>(this)->For(side); }

std::string SizingBarSizes::Section(const std::string& base, int barId) {
    return base + "-SCBar-" + std::to_string(barId);
}

void SizingBarSizes::Load(const Profile& profile, const std::string& section, BarSize limit) {
    for (const ValueNames& v : kValues) {
        BarSize& size = this->*v.size;
        const BarSize read{profile.GetInt(section, v.cx, size.cx), profile.GetInt(section, v.cy, size.cy)};
        size = ClampBarSize(read, minimum, limit);
    }
}

void SizingBarSizes::Save(Profile& profile, const std::string& section) const {
    for (const ValueNames& v : kValues) {
        profile.WriteInt(section, v.cx, (this->*v.size).cx);
        profile.WriteInt(section, v.cy, (this->*v.size).cy);
    }
}

}  // namespace tarnwell
