#include "windowlink/SurfaceMirror.h"

namespace kesto {

void SurfaceMirror::ShowPage(int pageId, const PageValues& values, qint64 seq)
{
    m_pageId = pageId;
    m_pageSeq = seq;
    m_entries.clear();
    m_disabled.clear();
    for (const ElementState& state : values)
        Set(state.id, state.value, seq);
}

SurfaceMirror::Entry* SurfaceMirror::Find(std::string_view id)
{
    for (Entry& entry : m_entries) {
        if (entry.id == id)
            return &entry;
    }
    return nullptr;
}

void SurfaceMirror::Set(std::string_view id, const ElementValue& value, qint64 seq)
{
    if (Entry* entry = Find(id)) {
        entry->value = value;
        entry->setSeq = seq;
        return;
    }
    m_entries.push_back({std::string(id), value, seq});
}

bool SurfaceMirror::TakeReported(const PageValues& values, qint64 ack)
{
    if (!IsCurrent(ack))
        return false;
    for (const ElementState& state : values) {
        Entry* entry = Find(state.id);
        if (!entry)
            m_entries.push_back({state.id, state.value, 0});
        else if (entry->setSeq <= ack)
            entry->value = state.value;
    }
    return true;
}

void SurfaceMirror::SetDisabled(std::string_view id, bool disabled)
{
    for (auto& [element, off] : m_disabled) {
        if (element == id) {
            off = disabled;
            return;
        }
    }
    m_disabled.emplace_back(std::string(id), disabled);
}

void SurfaceMirror::Clear()
{
    m_pageId = 0;
    m_pageSeq = 0;
    m_entries.clear();
    m_disabled.clear();
}

PageValues SurfaceMirror::Values() const
{
    PageValues values;
    values.reserve(m_entries.size());
    for (const Entry& entry : m_entries)
        values.push_back({entry.id, entry.value});
    return values;
}

} // namespace kesto
