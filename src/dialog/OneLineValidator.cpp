#include "dialog/OneLineValidator.h"

#include "settings/SettingsFile.h"

#include <algorithm>

namespace tavello {

QValidator::State OneLineValidator::validate(QString& input, int& pos) const {
    if (!input.contains(u'\r') && !input.contains(u'\n')) return Acceptable;
    // The caret stays behind the same character: the text before it is joined as it is within
    // the whole text, where a break right before the caret is followed by more text.
    const QString before = OnOneLine(input.left(pos) + u'x');
    input = OnOneLine(input);
    pos = std::clamp(int(before.size()) - 1, 0, int(input.size()));
    return Acceptable;
}

}  // namespace tavello
