// The Shell port: the running executable's path and the desktop's document opener.
#pragma once

#include "platform/Shell.h"

#include <QString>

namespace kesto {

class QtShell final : public Shell {
public:
    // helpDir: where the shipped help document is (share/kesto/help).
    explicit QtShell(QString helpDir = {});

    std::string ExecutablePath() override;
    // Opens path with the desktop's viewer for its type. The help is asked for by its
    // compiled-help name (".chm") beside the executable, a format this desktop has no
    // viewer for; the help document ships as HTML under the same base name, beside the
    // executable or in helpDir (the installed layout keeps data out of bin/), and that is
    // what opens.
    bool OpenDocument(std::string_view path) override;

    // The file OpenDocument hands to the desktop for path.
    static QString DocumentFor(const QString& path, const QString& helpDir = {});

private:
    QString m_helpDir;
};

} // namespace kesto
