// The Shell port: the running executable's path and the desktop's document opener.
#pragma once

#include "platform/Shell.h"

#include <QString>

namespace kesto {

class QtShell final : public Shell {
public:
    std::string ExecutablePath() override;
    // Opens path with the desktop's viewer for its type. The help is asked for by its
    // compiled-help name (".chm"), a format this desktop has no viewer for; the help
    // document ships as HTML under the same base name, and that is what opens.
    bool OpenDocument(std::string_view path) override;

    // The file OpenDocument hands to the desktop for path.
    static QString DocumentFor(const QString& path);
};

} // namespace kesto
