#include "LineMonitorEntry.h"

#include <algorithm>

void LineMonitorEntry::append(const std::uint8_t *data, std::size_t count, std::int64_t us)
{
    if (count == 0)
        return;
    if (bytes.empty())
        atUs = us;
    if (times.empty() || times.back().second != us)
        times.emplace_back(static_cast<std::uint32_t>(bytes.size()), us);
    bytes.insert(bytes.end(), data, data + count);
}

std::int64_t LineMonitorEntry::timeOf(std::size_t byte) const
{
    const auto run = std::upper_bound(times.begin(), times.end(), byte,
                                      [](std::size_t b, const auto &r) { return b < r.first; });
    return run == times.begin() ? atUs : std::prev(run)->second;
}

LineMonitorEntry LineMonitorEntry::takeAfter(std::int64_t us)
{
    LineMonitorEntry later;
    later.kind = kind;
    const auto run = std::find_if(times.begin(), times.end(), [us](const auto &r) { return r.second > us; });
    if (run == times.end())
        return later;
    const std::uint32_t cut = run->first;
    later.atUs = run->second;
    later.bytes.assign(bytes.begin() + cut, bytes.end());
    for (auto r = run; r != times.end(); ++r)
        later.times.emplace_back(r->first - cut, r->second);
    bytes.resize(cut);
    times.erase(run, times.end());
    return later;
}
