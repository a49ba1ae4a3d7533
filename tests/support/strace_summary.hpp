#pragma once
// The summary that `strace -c` writes: calls by system call name, and "total" for all of them.

#include <cctype>
#include <cstdlib>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace zelvane::bench {

// Each row "% time, seconds, usecs/call, calls, [errors,] syscall" gives its calls.
inline std::map<std::string, double> StraceSummary(const std::string& text) {
    std::map<std::string, double> calls;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        const std::vector<std::string> w{std::istream_iterator<std::string>(words), {}};
        if (w.size() >= 5 && w[0].find('.') != std::string::npos && std::isdigit(static_cast<unsigned char>(w[0][0])))
            calls[w.back()] = std::strtod(w[3].c_str(), nullptr);
    }
    return calls;
}

}  // namespace zelvane::bench
