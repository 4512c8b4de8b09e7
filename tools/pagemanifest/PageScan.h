// Reads one page resource into the list of its elements: the controls the core binds
// or handles (inputs, selects, images, buttons and radio groups), with their kinds and
// the texts of their options. Also checks what the page host relies on: unique
// identifiers (compared without regard to case, as a case-insensitive host would),
// named radio groups, closed selects, and the page's own number on its body.
#pragma once

#include "pages/PageManifest.h"

#include <string>
#include <string_view>
#include <vector>

namespace kesto::pages {

struct PageElement {
    std::string id;
    ElementKind kind = ElementKind::Other;
    // Select: the option texts in order (whitespace collapsed); Radio: the members'
    // ids in order (empty strings for members without an id).
    std::vector<std::string> options;
    int line = 0;
};

struct PageDocument {
    int pageId = 0;
    std::vector<PageElement> elements;
};

// Scans the page pageId from its HTML text. Throws PageError (with the line) when the
// page is malformed or breaks one of the rules above.
PageDocument ScanPage(std::string_view html, int pageId);

// The page number a file name stands for ("236.html" -> 236), or 0 when the name is
// not a page resource name (decimal digits without a leading zero, ".html").
int PageIdFromFileName(std::string_view fileName);

// Whitespace runs collapsed to one space, leading and trailing space removed.
std::string CollapseSpace(std::string_view text);

} // namespace kesto::pages
