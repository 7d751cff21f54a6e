#pragma once

#include "platform/FolderReader.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <unordered_set>

namespace tavello {

// An entry of the picture list may name a folder: its full path followed by "/", so it reads as a
// folder even while the folder is missing. It stands for every picture below the folder.
bool IsFolderEntry(const QString& entry);

// The entry for a folder: its absolute, cleaned path followed by "/".
QString FolderEntryFor(const QString& folder);

// Asked between folders; true stops the scan, which then returns what it found so far.
using ScanCancelled = std::function<bool()>;

// The folders scans have entered, so that the scans of several entries enter each folder once.
using FoldersSeen = std::unordered_set<FolderId, FolderIdHash>;

// Every picture file inside the entry's folder and its subfolders, as full paths, in the order a
// file manager shows them: folder level by folder level, names compared case-insensitively and
// naturally ("2.jpg" before "10.jpg"). Hidden files and folders are skipped, symbolic links are
// followed but no folder is entered twice, and a folder that cannot be read is passed over. A
// missing folder gives an empty list.
QStringList ScanFolderEntry(const QString& entry, const ScanCancelled& cancelled = {});

// The same pictures in the same order, handed to found one at a time, so a caller that keeps
// them in a form of its own never holds the whole list twice. With seen, the folders in it are
// passed over and those entered are added: a folder reached by several entries is listed once.
void VisitFolderEntry(const QString& entry, const std::function<void(const QString&)>& found,
                      const ScanCancelled& cancelled = {}, FoldersSeen* seen = nullptr);

// Whether a picture can be used (read, decoded...); asked from the scanning thread.
using PictureUsable = std::function<bool(const QString&)>;

// The first picture ScanFolderEntry would give, found without listing the rest of the tree; with
// usable, the first one it accepts (cancellation is then heard before each picture tried). ""
// when there is none.
QString FirstPictureOf(const QString& entry, const ScanCancelled& cancelled = {},
                       const PictureUsable& usable = {});

}  // namespace tavello
