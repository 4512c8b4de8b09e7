// The one error of the page tools: what is wrong and on which line of the page.
#pragma once

#include <stdexcept>
#include <string>

namespace kesto::pages {

class PageError : public std::runtime_error {
public:
    PageError(int line, const std::string& message) : std::runtime_error(message), m_line(line) {}

    // 1-based line of the page text where the problem was found.
    int line() const { return m_line; }

private:
    int m_line;
};

} // namespace kesto::pages
