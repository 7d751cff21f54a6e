// The password file: its size limit, the hash string's shape and cost limits, and libsodium's
// reading of what passes. A hash that asks for little work is also checked against a password.
//
// Input: the file's bytes.

#include "FuzzSupport.h"

#include "password/PasswordStore.h"

#include <QRegularExpression>
#include <cstdint>

using namespace tavello;

namespace {

// Checking a password costs what the stored hash asks for; cheap ones are checked every time.
bool CheapToCheck(const QByteArray& bytes) {
    static const QRegularExpression cost(QStringLiteral(R"(\$m=(\d{1,3}),t=(\d)[,$])"));
    const QRegularExpressionMatch match = cost.match(QString::fromLatin1(bytes));
    return match.hasMatch() && match.captured(1).toInt() <= 64 && match.captured(2).toInt() <= 2;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    const QString path = fuzz::WriteScratchFile(PasswordStore::FileName(), bytes);
    const PasswordStore store(path);
    const PasswordStore::State state = store.state();
    // A damaged file must still ask for a password: read as none, it would let the show end.
    fuzz::Check(state != PasswordStore::State::None, "a password file that is there reads as none");
    if (CheapToCheck(bytes)) fuzz::Keep(store.verify(SecretBytes::FromUtf8("パスワード")));
    return 0;
}
