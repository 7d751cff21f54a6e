#include "settings/SaverSettings.h"

namespace tavello {

SaverSettings DefaultSettings() {
    SaverSettings s;
    s.Speed = QStringLiteral("5");
    s.HeadlineFont = QStringLiteral("ＭＳ Ｐゴシック");
    s.HeadlineSize = QStringLiteral("48");
    s.PicSize = QStringLiteral("100%");
    s.MusicFile = QString();
    s.Headline = QStringLiteral("TAVELLO Ver1.00");
    s.RandomOrder = QStringLiteral("0");
    return s;
}

}  // namespace tavello
