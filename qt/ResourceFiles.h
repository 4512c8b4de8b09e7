// Where the programs find the data they ship: the HTML pages with their style sheet and
// bridge script, the images and icons, the default scenario. Installed programs find it
// beside themselves; programs run from a build tree find the source tree's copy.
#pragma once

#include <QString>

namespace kesto {

// The first of these that holds an images/ folder: $KESTO_RESOURCES_DIR; resources/
// beside the executable; ../share/kesto/resources from it; the resources/ folder of the
// source tree the program was built from. Empty when none does.
QString FindResourceDir();

// Image resource number as a file: images/<n>.png, else images/<n>.svg; empty when
// there is neither.
QString ImageFile(const QString& resourceDir, int resource);
// images/<bitmap>_<index>.png: one picture of a strip bitmap (the list rows' images).
QString StripImageFile(const QString& resourceDir, int bitmap, int index);
QString PageFile(const QString& resourceDir, int pageId);
QString DefaultScenarioFile(const QString& resourceDir);

} // namespace kesto
