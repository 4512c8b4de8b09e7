#include "window/PageBridge.h"

namespace kesto {

void PageBridge::pageReady(int pageId, const QVariantMap& values)
{
    if (onReady)
        onReady(pageId, values);
}

void PageBridge::elementEvent(int pageId, const QString& id, const QString& event,
                              const QVariantMap& values)
{
    if (onElementEvent)
        onElementEvent(pageId, id, event, values);
}

} // namespace kesto
