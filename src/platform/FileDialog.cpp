#include "platform/FileDialog.h"

namespace tavello {

FileRequest MusicFileRequest() {
    return {{{QStringLiteral(u"WAV,MID,MP3ﾌｧｧｲﾙ(*.WAV,*.MID,*.MP3)"),
              {QStringLiteral("*.WAV"), QStringLiteral("*.MID"), QStringLiteral("*.MP3")}}},
            false};
}

QString ChooseMusicFile(FileDialogService& dialogs) {
    const QStringList chosen = dialogs.ChooseFiles(MusicFileRequest());
    return chosen.isEmpty() ? QString() : chosen.front();
}

FileRequest PictureFileRequest(const QStringList& extensions) {
    QStringList patterns;
    for (const QString& extension : extensions)
        patterns << QStringLiteral("*.") + extension.toUpper();
    FileRequest request;
    request.several = true;
    if (!patterns.isEmpty())
        request.filters << FileFilter{QStringLiteral(u"画像ファイル(") + patterns.join(u';') + u')',
                                      patterns};
    request.filters << FileFilter{QStringLiteral(u"JPG,BMPﾌｧｲﾙ(*.JPG;*.BMP)"),
                                  {QStringLiteral("*.JPG"), QStringLiteral("*.BMP")}};
    return request;
}

QStringList ChoosePictureFiles(FileDialogService& dialogs, const QStringList& extensions) {
    return dialogs.ChooseFiles(PictureFileRequest(extensions));
}

}  // namespace tavello
