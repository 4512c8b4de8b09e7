// PageSurface: a window that shows HTML pages with members bound to their elements,
// the main window (WindowShell) or a multi-page dialog: what a form spread over several
// pages needs from either of them.
#pragma once

#include "pages/ElementBinding.h"
#include "pages/PageMirror.h"

namespace kesto {

class PageSurface {
public:
    virtual ~PageSurface() = default;

    // Shows page pageId with the bound members pushed into it.
    virtual void ShowPage(int pageId) = 0;
    // The bound members from the page (fromPage) or into it.
    virtual void UpdateData(bool fromPage) = 0;
    virtual ElementBinding& binding() = 0;
    virtual PageMirror& page() = 0;
};

} // namespace kesto
