// The sizes a resizable docking bar remembers (one for the top and bottom sides, one for the left
// and right sides, one for floating), their bounds, and how they are kept in the settings.
#pragma once

#include <string>

namespace tarnwell {

class Profile;

struct BarSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const BarSize&, const BarSize&) = default;
};

enum class BarSide { Top, Bottom, Left, Right, Floating };

// Each dimension raised to `min`, then cut to `max`; where the two disagree the minimum wins.
BarSize ClampBarSize(BarSize size, BarSize min, BarSize max);

struct SizingBarSizes {
    static constexpr BarSize kMinimum{20, 20};

    explicit SizingBarSizes(BarSize initial = {200, 200}) : horz(initial), vert(initial), floating(initial) {}

    BarSize horz;      // docked on the top or bottom side
    BarSize vert;      // docked on the left or right side
    BarSize floating;  // in its own floating window
    BarSize minimum = kMinimum;

    BarSize& For(BarSide side);
    BarSize For(BarSide side) const;

    // The section of one bar: "<base>-SCBar-<id>".
    static std::string Section(const std::string& base, int barId);

    // Reads the six values of `section`, each defaulting to the current size. Every size is held
    // between the minimum and `limit` (the frame's client area), so a value written on another
    // screen neither hides the bar nor lets it cover the window.
    void Load(const Profile& profile, const std::string& section, BarSize limit);
    void Save(Profile& profile, const std::string& section) const;
};

}  // namespace tarnwell
