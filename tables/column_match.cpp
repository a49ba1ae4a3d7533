#include "tables/column_match.hpp"

#include <unordered_map>

namespace zelvane {

std::vector<std::size_t> MatchColumns(const std::vector<std::string>& from, const std::vector<std::string>& to) {
    // The positions in `to` of each folded label, and how many of them `from` has used so far.
    struct Positions {
        std::vector<std::size_t> at;
        std::size_t used = 0;
    };
    std::unordered_map<std::string, Positions> byLabel;
    for (std::size_t i = 0; i < to.size(); ++i) byLabel[FoldLabel(to[i])].at.push_back(i);

    std::vector<std::size_t> matched;
    matched.reserve(from.size());
    for (const std::string& label : from) {
        const auto found = byLabel.find(FoldLabel(label));
        if (found == byLabel.end() || found->second.used == found->second.at.size()) {
            matched.push_back(kNoColumn);
        } else {
            matched.push_back(found->second.at[found->second.used++]);
        }
    }
    return matched;
}

}  // namespace zelvane
