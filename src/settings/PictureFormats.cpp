#include "settings/PictureFormats.h"

namespace tavello {

const QStringList& PictureExtensions() {
    static const QStringList extensions{
        QStringLiteral("jpg"),  QStringLiteral("jpeg"), QStringLiteral("jpe"),
        QStringLiteral("jfif"), QStringLiteral("bmp"),  QStringLiteral("dib"),
        QStringLiteral("png"),  QStringLiteral("gif"),  QStringLiteral("webp"),
        QStringLiteral("tif"),  QStringLiteral("tiff"), QStringLiteral("heic"),
        QStringLiteral("heif"), QStringLiteral("avif")};
    return extensions;
}

bool IsPictureFileName(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0) return false;
    const QStringView extension = QStringView(name).mid(dot + 1);
    for (const QString& known : PictureExtensions())
        if (extension.compare(known, Qt::CaseInsensitive) == 0) return true;
    return false;
}

}  // namespace tavello
