// HtmlDialog: a modal dialog made of HTML pages (about box, chart window, security
// pop-up), run through the page host above the main window. Subclasses set their
// members in OnInitDialog, exchange them with the page in Push/Pull, and register
// element handlers per page.
#pragma once

#include "pages/PageMap.h"
#include "pages/PageMirror.h"
#include "platform/PageHost.h"

#include <string_view>

namespace kesto {

class HtmlDialog : public PageEventSink {
public:
    HtmlDialog(PageHost& host, int firstPageId, ManifestLookup manifest = PageElements);
    ~HtmlDialog() override = default;
    HtmlDialog(const HtmlDialog&) = delete;
    HtmlDialog& operator=(const HtmlDialog&) = delete;

    // Runs OnInitDialog, shows the first page with the pushed members and returns when
    // the dialog ends: the result given to EndDialog, or kDialogCancel when the user
    // closed it.
    int DoModal();

    void OnElementEvent(int pageId, std::string_view elementId, ElementEvent event,
                        const PageValues& values) override;

protected:
    virtual void OnInitDialog() {}
    // Member values into the page's elements, and back.
    virtual void Push(PageMirror& /*page*/) {}
    virtual void Pull(const PageMirror& /*page*/) {}

    void AddHandler(int pageId, std::string_view elementId, ElementEvent event,
                    ElementHandler handler);
    // Replaces the dialog's page (multi-page dialogs), pushing the members into it.
    void ShowPage(int pageId);
    // The members from the page (fromPage) or into it.
    void UpdateData(bool fromPage);
    void EndDialog(int result);

    PageMirror& page() { return m_page; }
    PageHost& host() { return m_host; }
    // The element handlers of every page, for a subclass that binds them in bulk.
    PageMap& handlers() { return m_handlers; }

private:
    PageHost& m_host;
    int m_firstPageId;
    PageMirror m_page;
    PageMap m_handlers;
};

} // namespace kesto
