#include "ui/ToolBarLayout.h"

#include <algorithm>
#include <cstdint>
#include <set>

namespace tarnwell {

namespace {

constexpr unsigned char kMagic[4] = {'T', 'W', 'T', 'B'};
constexpr size_t kHeader = 8;  // magic, then the button count

void PutLe(std::vector<unsigned char>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

uint32_t GetLe(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

std::vector<unsigned char> EncodeToolBarLayout(std::span<const int> ids) {
    std::vector<unsigned char> out(std::begin(kMagic), std::end(kMagic));
    PutLe(out, uint32_t(ids.size()));
    for (int id : ids) PutLe(out, uint32_t(id));
    return out;
}

std::optional<std::vector<int>> DecodeToolBarLayout(std::span<const unsigned char> bytes, std::span<const int> known) {
    if (bytes.size() < kHeader || !std::equal(std::begin(kMagic), std::end(kMagic), bytes.begin())) return std::nullopt;
    const uint32_t count = GetLe(bytes.data() + 4);
    if ((bytes.size() - kHeader) % 4 != 0 || (bytes.size() - kHeader) / 4 != count) return std::nullopt;
    std::vector<int> ids;
    std::set<int> seen;
    for (uint32_t i = 0; i < count; ++i) {
        const int id = int(GetLe(bytes.data() + kHeader + 4 * i));
        if (id == 0) {
            ids.push_back(0);
        } else if (std::find(known.begin(), known.end(), id) != known.end() && seen.insert(id).second) {
            ids.push_back(id);
        }
    }
    return ids;
}

}  // namespace tarnwell
