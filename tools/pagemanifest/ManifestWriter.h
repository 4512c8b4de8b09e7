// Writes the C++ source that implements pages/PageManifest.h from scanned pages.
#pragma once

#include "PageScan.h"

#include <string>
#include <vector>

namespace kesto::pages {

// The source text of PageManifest.cpp for pages (any order; the output is sorted by
// page id so it does not depend on the order the files were found in). Throws
// PageError (line 0) when two documents carry the same page id.
std::string WriteManifestSource(std::vector<PageDocument> pages);

} // namespace kesto::pages
