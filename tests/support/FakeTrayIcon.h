// A notification area with one slot per icon id; the menu answers what the test says.
#pragma once

#include "platform/TrayIcon.h"

#include <map>
#include <string>
#include <vector>

namespace kesto::test {

class FakeTrayIcon : public TrayIcon {
public:
    struct Icon {
        std::uint32_t message = 0;
        std::string tooltip;
        int picture = 0;
    };

    void SetSink(TrayEventSink* s) override { sink = s; }
    bool Add(int id, std::uint32_t message, std::string_view tooltip, int picture) override
    {
        ++addCalls;
        if (refuse || icons.contains(id))
            return false;
        icons[id] = {message, std::string(tooltip), picture};
        return true;
    }
    bool Modify(int id, int picture) override
    {
        ++modifyCalls;
        const auto it = icons.find(id);
        if (it == icons.end())
            return false;
        it->second.picture = picture;
        return true;
    }
    bool Delete(int id) override
    {
        ++deleteCalls;
        return icons.erase(id) > 0;
    }
    int TrackPopupMenu(const TrayMenu& menu) override
    {
        menus.push_back(menu);
        return menuAnswer;
    }

    void Notify(TrayMouse mouse, std::uint32_t message = 0x040A, int id = 128)
    {
        sink->OnTrayNotify(message, id, mouse);
    }

    TrayEventSink* sink = nullptr;
    bool refuse = false;
    std::map<int, Icon> icons;
    int addCalls = 0;
    int modifyCalls = 0;
    int deleteCalls = 0;
    std::vector<TrayMenu> menus;
    int menuAnswer = 0;
};

} // namespace kesto::test
