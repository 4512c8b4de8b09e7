// Generation of PageManifest.cpp (see ManifestWriter.h).
#include "ManifestWriter.h"

#include "PageError.h"

#include <algorithm>

namespace kesto::pages {

namespace {

const char* KindName(ElementKind kind)
{
    switch (kind) {
    case ElementKind::Text:
        return "Text";
    case ElementKind::Image:
        return "Image";
    case ElementKind::Check:
        return "Check";
    case ElementKind::Radio:
        return "Radio";
    case ElementKind::Select:
        return "Select";
    case ElementKind::Button:
        return "Button";
    case ElementKind::Other:
        return "Other";
    }
    return "Other";
}

int OptionCount(const PageElement& element)
{
    switch (element.kind) {
    case ElementKind::Select:
    case ElementKind::Radio:
        return static_cast<int>(element.options.size());
    case ElementKind::Text:
    case ElementKind::Image:
    case ElementKind::Check:
    case ElementKind::Button:
    case ElementKind::Other:
        return 0;
    }
    return 0;
}

} // namespace

std::string WriteManifestSource(std::vector<PageDocument> pages)
{
    std::sort(pages.begin(), pages.end(),
              [](const PageDocument& a, const PageDocument& b) { return a.pageId < b.pageId; });
    for (std::size_t i = 1; i < pages.size(); ++i)
        if (pages[i].pageId == pages[i - 1].pageId)
            throw PageError(0, "two pages with the id " + std::to_string(pages[i].pageId));

    std::string out;
    out += "// Generated from resources/pages/*.html by kesto_pagemanifest; do not edit.\n";
    out += "#include \"pages/PageManifest.h\"\n\n";
    out += "namespace kesto {\n\nnamespace {\n\n";
    for (const PageDocument& page : pages) {
        if (page.elements.empty())
            continue;
        out += "constexpr ElementInfo kPage" + std::to_string(page.pageId) + "[] = {\n";
        // Identifiers were checked to be [A-Za-z_][A-Za-z0-9_]*, so they need no escaping.
        for (const PageElement& element : page.elements)
            out += "    {\"" + element.id + "\", ElementKind::" + KindName(element.kind) + ", " +
                   std::to_string(OptionCount(element)) + "},\n";
        out += "};\n\n";
    }
    out += "}  // namespace\n\n";
    out += "std::span<const ElementInfo> PageElements(int pageId)\n{\n";
    out += "    switch (pageId) {\n";
    for (const PageDocument& page : pages) {
        if (page.elements.empty())
            continue;
        out += "    case " + std::to_string(page.pageId) + ":\n";
        out += "        return kPage" + std::to_string(page.pageId) + ";\n";
    }
    out += "    default:\n        break;\n    }\n";
    out += "    return {};\n}\n\n}  // namespace kesto\n";
    return out;
}

} // namespace kesto::pages
