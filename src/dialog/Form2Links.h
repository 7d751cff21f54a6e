#pragma once

#include <QString>

namespace tavello {

// The contact addresses the dialog shows and opens. Placeholders under the reserved
// documentation domain until the project has addresses of its own.
inline QString ContactMailAddress() {
    return QStringLiteral("tavello@example.org");
}
inline QString HomePageAddress() {
    return QStringLiteral("https://www.example.org/tavello/");
}

}  // namespace tavello
