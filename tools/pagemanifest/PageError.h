// The one error of the page tools: what is wrong, and where: a line of the page, or of
// one of the parts the page was assembled from.
#pragma once

#include <stdexcept>
#include <string>

namespace kesto::pages {

class PageError : public std::runtime_error {
public:
    PageError(int line, const std::string& message) : std::runtime_error(message), m_line(line) {}
    PageError(std::string file, int line, const std::string& message)
        : std::runtime_error(message), m_file(std::move(file)), m_line(line)
    {
    }

    // The file the line is in; empty for the page being read itself.
    const std::string& file() const { return m_file; }
    // 1-based line of that text where the problem was found.
    int line() const { return m_line; }

private:
    std::string m_file;
    int m_line;
};

} // namespace kesto::pages
