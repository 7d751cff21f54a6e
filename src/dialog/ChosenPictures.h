#pragma once

#include <QString>
#include <QStringList>

#include "platform/FileDialog.h"

namespace tavello {

// The full paths of the pictures in a file-open dialog's answer, in the dialog's order.
// first is what ChoosePictureFiles returned (the one file, or the folder of several); ofn is the
// record it filled. An empty first (cancelled) gives no paths. The list limit is the caller's.
QStringList ChosenPicturePaths(const QString& first, const OPENFILENAME& ofn);

}  // namespace tavello
