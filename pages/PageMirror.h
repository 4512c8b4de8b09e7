// PageMirror: the core's copy of the element values of the page shown on one surface
// of the page host. Reads are answered from the copy at once; writes update the copy
// and send the change to the host. The page's elements come from the element manifest,
// so an element the page lacks is told apart from an empty one.
//
// Identifiers match case-insensitively (ASCII), as the page engine the pages were
// written for did: "RadioGroupWep" finds a group spelled "RadioGroupWEP". Commands to
// the host carry the page's own spelling.
#pragma once

#include "base/AsciiText.h"

#include "pages/PageManifest.h"
#include "platform/PageHost.h"

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kesto {

// The elements of a page by PageId; PageElements in the program, a fixed table in tests.
using ManifestLookup = std::function<std::span<const ElementInfo>(int pageId)>;

// True for the kinds that carry a value (text and image strings, check, radio and
// select numbers).
bool CarriesText(ElementKind kind);
bool CarriesNumber(ElementKind kind);

class PageMirror {
public:
    PageMirror(PageHost& host, HtmlSurface surface, ManifestLookup manifest = PageElements);

    // Replaces the page: takes pageId's elements from the manifest, lets fill set their
    // first values (nothing is sent while it runs), then sends the page with the values
    // set. Elements fill left alone keep what the page itself says, and read as "" or
    // 0 until an event reports them.
    void ShowPage(int pageId, const std::function<void(PageMirror&)>& fill = {});
    // As ShowPage, but sends nothing: returns the values for a host command that shows
    // the page itself (a dialog's first page).
    PageValues PreparePage(int pageId, const std::function<void(PageMirror&)>& fill = {});

    // The page shown; 0 before the first.
    int pageId() const { return m_pageId; }
    // The manifest entry of element id on the current page, or nullptr.
    const ElementInfo* Find(std::string_view id) const;
    bool Has(std::string_view id) const { return Find(id) != nullptr; }

    // The element's value: "" or 0 when the page lacks it, its kind carries the other
    // sort of value, or no value is known yet.
    std::string Text(std::string_view id) const;
    int Number(std::string_view id) const;

    // Sets the element's value and sends it when it differs from the copy. False (and
    // nothing sent) when the page lacks the element or its kind carries the other sort
    // of value.
    bool SetText(std::string_view id, std::string_view text);
    bool SetNumber(std::string_view id, int number);

    // Enables or disables the element (a radio group: all its members) on the page
    // shown; sent at once, so only after the page was shown (not from a fill). False
    // (and nothing sent) when the page lacks the element.
    bool SetDisabled(std::string_view id, bool disabled);

    // Takes the values an event reported. Values of elements the page lacks, or of the
    // wrong sort for their element, are ignored.
    void Update(const PageValues& values);

    // Every known value of the page, in manifest order, with the page's spelling.
    PageValues Values() const;

private:
    struct Slot {
        const ElementInfo* info;
        std::optional<ElementValue> value;
    };
    Slot* FindSlot(std::string_view id);
    const Slot* FindSlot(std::string_view id) const;
    bool Set(std::string_view id, ElementValue value);
    void Load(int pageId);

    PageHost& m_host;
    HtmlSurface m_surface;
    ManifestLookup m_manifest;
    int m_pageId = 0;
    std::vector<Slot> m_slots;
    bool m_sending = true;
};

} // namespace kesto
