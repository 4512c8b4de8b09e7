#include "window/PageBridge.h"

#include <cmath>

namespace kesto {

void PageBridge::pageReady(int pageId, const QVariantMap& values)
{
    if (onReady)
        onReady(pageId, values);
}

void PageBridge::elementEvent(int pageId, const QString& id, const QString& event,
                              const QVariantMap& values, double applied)
{
    // Marks are sequence numbers, well within a script number's exact integers.
    const qint64 mark = std::isfinite(applied) && applied > 0 && applied < 9.0e15
                            ? static_cast<qint64>(applied)
                            : 0;
    if (onElementEvent)
        onElementEvent(pageId, id, event, values, mark);
}

} // namespace kesto
