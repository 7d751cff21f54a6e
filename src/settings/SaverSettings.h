#pragma once

#include <QString>
#include <QStringList>

namespace tavello {

// Full picture paths in show order, first entry at index 0.
using PictureList = QStringList;

// Every value is kept as the text it was read as; users convert at the point of use.
struct SaverSettings {
    QString Speed;
    QString HeadlineFont;
    QString HeadlineSize;
    QString PicSize;
    QString MusicFile;
    QString Headline;
    QString RandomOrder;
    PictureList Pictures;

    bool operator==(const SaverSettings&) const = default;
};

// The values that stand in for a missing settings file.
SaverSettings DefaultSettings();

// The picture-size choices the dialog offers, in its list order; the last one fits to the screen.
inline const QStringList& PicSizeChoices() {
    static const QStringList choices{QStringLiteral("400%"), QStringLiteral("200%"),
                                     QStringLiteral("150%"), QStringLiteral("100%"),
                                     QStringLiteral("75%"),  QStringLiteral("50%"),
                                     QStringLiteral("25%"),  QStringLiteral("画面の大きさに調整")};
    return choices;
}

}  // namespace tavello
