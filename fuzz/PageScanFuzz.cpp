// Page HTML: the build-time scanner reads any text into a document or a PageError.
#include "tools/pagemanifest/HtmlScanner.h"
#include "tools/pagemanifest/PageError.h"
#include "tools/pagemanifest/PageScan.h"

#include <cstddef>
#include <cstdint>
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
    return 0;
}
