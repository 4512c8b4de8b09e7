// Assembles a page from its source and the shared parts it names, so a side menu, a
// channel list or a security form is written once and the window still loads one plain
// file per page. A line that holds nothing but
//     <!--#include NAME key="value" ...-->
// stands for the lines of the part NAME, with every {{key}} in them replaced by its value;
// a key the include does not give is empty. Parts may include parts (forwarding a value as
// key="{{key}}"); a page's own text is copied as written.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kesto::pages {

// Where a line of an assembled page is written: a page or part file and its 1-based line.
struct SourceLine {
    std::string file;
    int line = 0;
};

struct AssembledPage {
    std::string text;
    std::vector<SourceLine> lines; // one entry per line of text
    std::string pageFile;

    // Where line (1-based, as a scan of text reports it) was written; lines the text
    // does not have are given as lines of the page file.
    SourceLine Origin(int line) const;
};

struct PagePart {
    std::string file; // for error messages
    std::string text;
};

// The part called name (letters, digits, '-', '_', '.'), or nullopt when there is none.
using PartReader = std::function<std::optional<PagePart>(const std::string& name)>;

// Throws PageError naming the file and line at fault: a line with "<!--#" that is not one
// well-formed include standing alone, an unknown part, a value for a key the part has no
// {{key}} for, a malformed {{...}}, a part that includes itself or nests deeper than
// eight parts, a part whose last line has no line break, a page above 4 MiB.
AssembledPage AssemblePage(std::string_view source, const std::string& pageFile,
                           const PartReader& readPart);

} // namespace kesto::pages
