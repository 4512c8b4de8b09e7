#include "pages/HtmlDialog.h"

#include <utility>

namespace kesto {

HtmlDialog::HtmlDialog(PageHost& host, int firstPageId, ManifestLookup manifest)
    : m_host(host), m_firstPageId(firstPageId),
      m_page(host, HtmlSurface::Dialog, std::move(manifest))
{
}

int HtmlDialog::DoModal()
{
    OnInitDialog();
    const PageValues values =
        m_page.PreparePage(m_firstPageId, [this](PageMirror& page) { Push(page); });
    return m_host.RunDialog(m_firstPageId, values, *this);
}

void HtmlDialog::OnElementEvent(int pageId, std::string_view elementId, ElementEvent event,
                                const PageValues& values)
{
    // An event of a page already replaced describes elements that are gone.
    if (pageId != m_page.pageId())
        return;
    m_page.Update(values);
    if (const ElementHandler* handler = m_handlers.Find(pageId, elementId, event))
        (*handler)();
}

void HtmlDialog::AddHandler(int pageId, std::string_view elementId, ElementEvent event,
                            ElementHandler handler)
{
    m_handlers.AddHandler(pageId, elementId, event, std::move(handler));
}

void HtmlDialog::ShowPage(int pageId)
{
    m_page.ShowPage(pageId, [this](PageMirror& page) { Push(page); });
}

void HtmlDialog::UpdateData(bool fromPage)
{
    if (fromPage)
        Pull(m_page);
    else
        Push(m_page);
}

void HtmlDialog::EndDialog(int result)
{
    m_host.EndDialog(result);
}

} // namespace kesto
