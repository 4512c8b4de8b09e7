#include "pages/PageMirror.h"

#include "base/AsciiText.h"

#include <utility>

namespace kesto {

bool CarriesText(ElementKind kind)
{
    switch (kind) {
    case ElementKind::Text:
    case ElementKind::Image:
        return true;
    case ElementKind::Check:
    case ElementKind::Radio:
    case ElementKind::Select:
    case ElementKind::Button:
    case ElementKind::Other:
        return false;
    }
    return false;
}

bool CarriesNumber(ElementKind kind)
{
    switch (kind) {
    case ElementKind::Check:
    case ElementKind::Radio:
    case ElementKind::Select:
        return true;
    case ElementKind::Text:
    case ElementKind::Image:
    case ElementKind::Button:
    case ElementKind::Other:
        return false;
    }
    return false;
}

PageMirror::PageMirror(PageHost& host, HtmlSurface surface, ManifestLookup manifest)
    : m_host(host), m_surface(surface), m_manifest(std::move(manifest))
{
}

void PageMirror::Load(int pageId)
{
    m_pageId = pageId;
    m_slots.clear();
    if (!m_manifest)
        return;
    for (const ElementInfo& info : m_manifest(pageId))
        m_slots.push_back({&info, std::nullopt});
}

PageValues PageMirror::PreparePage(int pageId, const std::function<void(PageMirror&)>& fill)
{
    Load(pageId);
    if (fill) {
        m_sending = false;
        fill(*this);
        m_sending = true;
    }
    return Values();
}

void PageMirror::ShowPage(int pageId, const std::function<void(PageMirror&)>& fill)
{
    const PageValues values = PreparePage(pageId, fill);
    m_host.ShowPage(m_surface, pageId, values);
}

PageMirror::Slot* PageMirror::FindSlot(std::string_view id)
{
    for (Slot& slot : m_slots)
        if (EqualsNoCase(slot.info->id, id))
            return &slot;
    return nullptr;
}

const PageMirror::Slot* PageMirror::FindSlot(std::string_view id) const
{
    for (const Slot& slot : m_slots)
        if (EqualsNoCase(slot.info->id, id))
            return &slot;
    return nullptr;
}

const ElementInfo* PageMirror::Find(std::string_view id) const
{
    const Slot* slot = FindSlot(id);
    return slot ? slot->info : nullptr;
}

std::string PageMirror::Text(std::string_view id) const
{
    const Slot* slot = FindSlot(id);
    if (!slot || !slot->value)
        return {};
    const auto* text = std::get_if<std::string>(&*slot->value);
    return text ? *text : std::string();
}

int PageMirror::Number(std::string_view id) const
{
    const Slot* slot = FindSlot(id);
    if (!slot || !slot->value)
        return 0;
    const auto* number = std::get_if<int>(&*slot->value);
    return number ? *number : 0;
}

bool PageMirror::Set(std::string_view id, ElementValue value)
{
    Slot* slot = FindSlot(id);
    if (!slot)
        return false;
    const bool isText = std::holds_alternative<std::string>(value);
    if (isText ? !CarriesText(slot->info->kind) : !CarriesNumber(slot->info->kind))
        return false;
    if (slot->value == value)
        return true;
    slot->value = std::move(value);
    if (m_sending)
        m_host.SetElement(m_surface, slot->info->id, *slot->value);
    return true;
}

bool PageMirror::SetDisabled(std::string_view id, bool disabled)
{
    const Slot* slot = FindSlot(id);
    if (!slot)
        return false;
    m_host.SetDisabled(m_surface, slot->info->id, disabled);
    return true;
}

bool PageMirror::SetText(std::string_view id, std::string_view text)
{
    return Set(id, ElementValue(std::string(text)));
}

bool PageMirror::SetNumber(std::string_view id, int number)
{
    return Set(id, ElementValue(number));
}

void PageMirror::Update(const PageValues& values)
{
    for (const ElementState& state : values) {
        Slot* slot = FindSlot(state.id);
        if (!slot)
            continue;
        const bool isText = std::holds_alternative<std::string>(state.value);
        if (isText ? CarriesText(slot->info->kind) : CarriesNumber(slot->info->kind))
            slot->value = state.value;
    }
}

PageValues PageMirror::Values() const
{
    PageValues values;
    for (const Slot& slot : m_slots)
        if (slot.value)
            values.push_back({std::string(slot.info->id), *slot.value});
    return values;
}

} // namespace kesto
