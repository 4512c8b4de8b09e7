// Where the programs find the data they ship: the HTML pages with their style sheet and
// bridge script, the images and icons, the help document, the default scenario and
// QVWlan.INI. Everything is found relative to the program's own folder, as the installed
// layout places it (bin/, libexec/kesto/, share/kesto/), so an unpacked package runs in
// place; no path of the build or source tree is compiled in. A build tree has the same
// shape: its share/kesto holds the pages the build assembled and links to the rest of the
// source tree's resources/ folder.
#pragma once

#include <QString>

namespace kesto {

// The first of these that holds an images/ folder: $KESTO_RESOURCES_DIR;
// <programDir>/../share/kesto (programs in bin/); <programDir>/../../share/kesto (the
// window program in libexec/kesto/). Empty when none does.
QString FindResourceDir(const QString& programDir);
// The same for the running program's folder.
QString FindResourceDir();

// The window program that the tray program starts: libexec/kesto/kesto-window beside its
// bin/ folder.
QString WindowProgramFile(const QString& programDir);

// Image resource number as a file: images/<n>.png, else images/<n>.svg; empty when
// there is neither.
QString ImageFile(const QString& resourceDir, int resource);
// images/<bitmap>_<index>.png: one picture of a strip bitmap (the list rows' images).
QString StripImageFile(const QString& resourceDir, int bitmap, int index);
QString PageFile(const QString& resourceDir, int pageId);
QString DefaultScenarioFile(const QString& resourceDir);
// The folder of the help document.
QString HelpDir(const QString& resourceDir);

} // namespace kesto
