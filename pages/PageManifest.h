// The element manifest of the HTML pages: which elements each page offers, of what
// kind, and how many options its select boxes and radio groups have. Generated at
// build time from resources/pages/*.html, so the core knows a page's elements without
// a page engine and the mirror can tell a missing element from an empty one.
#pragma once

#include <span>
#include <string_view>

namespace kesto {

// How an element's value is exchanged (see the binding kinds of the page host):
// Text is the element's value string, Image the src string of an image as the system
// writes it ("./images/#155"), Check 0 or 1, Radio the index of the checked member of
// a radio group (the group's name is its id), Select the selected option's index.
// Button elements are clicked and carry no value; Other elements are clickable page
// elements without a bound value (the single members of a radio group).
enum class ElementKind { Text, Image, Check, Radio, Select, Button, Other };

struct ElementInfo {
    std::string_view id;
    ElementKind kind;
    // Select: number of options; Radio: number of members; all other kinds: 0.
    int optionCount;
};

// The elements of page pageId in document order (a radio group where its first member
// stands); empty for a page id that has no page.
std::span<const ElementInfo> PageElements(int pageId);

} // namespace kesto
