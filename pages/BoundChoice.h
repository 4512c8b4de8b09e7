// BoundChoice: the index a bound select or radio group holds after the page was read,
// for handlers that copy it into a record. A page reports -1 when nothing is selected
// (a select whose option list was emptied, a radio group with no member checked); such
// a reading, or one beyond the element's options, is no choice: the member is set back
// to previous and previous is returned, so the record keeps its value and the page
// shows it again when written back.
#pragma once

#include "pages/ElementBinding.h"
#include "pages/PageMirror.h"

#include <string_view>

namespace kesto {

inline int BoundChoice(ElementBinding& binding, const PageMirror& page, std::string_view id,
                       int previous)
{
    const int index = binding.Number(id);
    const ElementInfo* info = page.Find(id);
    const bool beyond = info && info->optionCount > 0 && index >= info->optionCount;
    if (index >= 0 && !beyond)
        return index;
    binding.SetNumber(id, previous);
    return previous;
}

} // namespace kesto
