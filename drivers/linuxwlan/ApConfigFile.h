// ApConfigFile: the file hostapd starts our access point from when the interface is
// added to it. The library writes it itself, into a private folder of the user's
// (nothing has to be installed for access-point mode): the interface, the control
// folder and its group, and the settings the access point was given last (name,
// channel, hidden name). It holds no key: the keys, the authentication and the filter
// follow over the control socket, as every later change does.
#pragma once

#include "drivers/linuxwlan/AdapterSettings.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace kesto::linuxwlan {

class ApConfigFile {
public:
    // The name the access point starts with while it was given none.
    static constexpr std::string_view kDefaultName = "WLAN_AP";

    // $XDG_RUNTIME_DIR/kesto when XDG_RUNTIME_DIR is set and absolute, else
    // <temporary folder>/kesto-<uid>.
    static std::filesystem::path DefaultFolder();
    // <folder>/hostapd-<interface>.conf
    static std::filesystem::path PathIn(const std::filesystem::path& folder,
                                        std::string_view interfaceName);

    // The file's text. controlDir: hostapd's folder of per-interface sockets; its group
    // becomes the socket's, so that the user reaches it as before.
    static std::string Text(std::string_view interfaceName, const std::string& controlDir,
                            const AdapterSettings& settings);
    // Writes text as file (mode 0600, replaced whole), making its folder (0700) when it
    // is not there. The folder must be a real folder of this user's, closed to others.
    // Empty on success, else why not.
    static std::string Write(const std::filesystem::path& file, std::string_view text);
};

} // namespace kesto::linuxwlan
