#include "password/SystemPassword.h"

#include "password/PasswordProvider.h"
#include "password/UserReg.h"
#include "platform/Paths.h"

#include <QDir>

namespace tavello {

namespace {

QString PasswordFilePath() {
    return QDir(SettingsFolder()).filePath(PasswordStore::FileName());
}

}  // namespace

PasswordService& SystemPassword() {
    static PasswordProvider provider(PasswordProviderParts{
        .storePath = PasswordFilePath,
        .readUsePassword = ReadScreenSaveUsePassword,
        .writeUsePassword = WriteScreenSaveUsePassword,
    });
    return provider;
}

}  // namespace tavello
