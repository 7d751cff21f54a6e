#include "platform/ErrorText.h"

#include <cerrno>

namespace tavello {

QString SystemErrorText(int error) {
    switch (error) {
        case ENOSPC:
            return QStringLiteral("ディスクに空きがありません");
        case EDQUOT:
            return QStringLiteral("ディスクの使用量の上限を超えています");
        case EACCES:
            return QStringLiteral("アクセスが許されていません");
        case EPERM:
            return QStringLiteral("その操作は許されていません");
        case EROFS:
            return QStringLiteral("読み出し専用のファイルシステムです");
        case ENOENT:
            return QStringLiteral("ファイルまたはフォルダーがありません");
        case ELOOP:
            return QStringLiteral("シンボリックリンクをたどれません");
        case EIO:
            return QStringLiteral("ディスクの読み書きに失敗しました");
        case ENOTDIR:
            return QStringLiteral("パスの途中にフォルダーでないものがあります");
        case EISDIR:
            return QStringLiteral("フォルダーです");
        case ENAMETOOLONG:
            return QStringLiteral("パスが長すぎます");
        case EFBIG:
            return QStringLiteral("ファイルが大きすぎます");
        default:
            return QStringLiteral("システムのエラー %1").arg(error);
    }
}

}  // namespace tavello
