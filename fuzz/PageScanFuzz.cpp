// Page HTML: the build-time scanner reads any text into a document or a PageError, and the
// assembler any page source (with two fixed parts) into a page or a PageError.
#include "tools/pagemanifest/HtmlScanner.h"
#include "tools/pagemanifest/PageAssembly.h"
#include "tools/pagemanifest/PageError.h"
#include "tools/pagemanifest/PageScan.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view html(reinterpret_cast<const char*>(data), size);
    try {
        kesto::pages::ScanPage(html, 236);
    } catch (const kesto::pages::PageError&) {
    }
    kesto::pages::DecodeEntities(html);
    kesto::pages::CollapseSpace(html);

    static const kesto::pages::PartReader kParts =
        [](const std::string& name) -> std::optional<kesto::pages::PagePart> {
        if (name == "a.html")
            return kesto::pages::PagePart{name,
                                          "<p>{{k}}</p>\n<!--#include b.html k=\"{{k}}\"-->\n"};
        if (name == "b.html")
            return kesto::pages::PagePart{name, "<i id=\"I{{k}}\">\n"};
        return std::nullopt;
    };
    try {
        kesto::pages::AssemblePage(html, "fuzz.html", kParts);
    } catch (const kesto::pages::PageError&) {
    }
    return 0;
}
