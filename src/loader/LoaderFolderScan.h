#pragma once

#include "settings/FolderEntry.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace tavello {

// The show's folder scan (its FolderScan): lists a folder entry's pictures into found until
// cancelled, passing over the folders in seen and adding those it enters.
using LoaderScan =
    std::function<void(const QString& entry, const std::function<void(const QString&)>& found,
                       const ScanCancelled& cancelled, FoldersSeen& seen)>;

// A folder scan that lists the folder entries in a loader process, one for all the entries it is
// given and confined to listing folders (no file is read), and hands on what it finds as it
// comes. Blocks its (background)
// thread until the listing ends; a cancelled scan kills the loader at once. program: the program to
// start as the loader, by default this one.
LoaderScan MakeLoaderFolderScan(QByteArray program = {});

}  // namespace tavello
