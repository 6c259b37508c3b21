#pragma once

// The polling interval: the "Refresh" setting in seconds, 0 for "as fast as the database answers";
// a negative stored value counts as the default.
namespace RefreshInterval {
inline constexpr int kDefaultSeconds = 60;
constexpr int seconds(int stored)
{
    return stored < 0 ? kDefaultSeconds : stored;
}
} // namespace RefreshInterval
