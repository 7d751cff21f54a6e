#include "password/PasswordStore.h"

#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"

#include <sodium.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QRegularExpression>
#include <cstring>
#include <optional>
#include <utility>

namespace tavello {

namespace {

// A hash string is about a hundred bytes; anything much longer is not ours.
constexpr qint64 kMaxFileBytes = 512;
// Limits on the cost a stored hash may ask for, so that a tampered file cannot make a check
// take minutes or exhaust memory. Ours use libsodium's interactive limits (64 MiB, 2 passes).
constexpr qint64 kMaxMemoryKiB = 256 * 1024;
constexpr qint64 kMaxPasses = 16;

bool SodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

void WipeString(QString& text) {
    // Only a buffer nobody else shares can be wiped; touching a shared one would copy it first.
    if (!text.isEmpty() && text.isDetached())
        sodium_memzero(text.data(), static_cast<size_t>(text.size()) * sizeof(QChar));
    text.clear();
}

bool IsUsableHash(const QByteArray& hash) {
    static const QRegularExpression shape(QStringLiteral(
        R"(^\$argon2id\$v=19\$m=(\d{1,10}),t=(\d{1,10}),p=1\$[A-Za-z0-9+/]+\$[A-Za-z0-9+/]+$)"));
    const QRegularExpressionMatch match = shape.match(QString::fromLatin1(hash));
    if (!match.hasMatch()) return false;
    const qint64 memoryKiB = match.captured(1).toLongLong();
    const qint64 passes = match.captured(2).toLongLong();
    if (memoryKiB < 8 || memoryKiB > kMaxMemoryKiB || passes < 1 || passes > kMaxPasses)
        return false;
    // libsodium's own parser has the last word on whether it can check against this string.
    return crypto_pwhash_str_needs_rehash(hash.constData(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != -1;
}

bool EnsureFolderOf(const QString& filePath) {
    const QString folder = QFileInfo(filePath).absolutePath();
    if (QFileInfo(folder).isDir()) return true;
    if (!QDir().mkpath(folder)) return false;
    return QFile::setPermissions(
        folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

}  // namespace

// --- SecretBytes ---

SecretBytes SecretBytes::FromString(QString&& text) {
    SecretBytes secret;
    secret.bytes_ = text.toUtf8();
    WipeString(text);
    return secret;
}

SecretBytes SecretBytes::FromLineEdit(const QLineEdit& edit) {
    // The copy shares the field's buffer, so converting makes the only new copy.
    SecretBytes secret;
    secret.bytes_ = edit.text().toUtf8();
    return secret;
}

SecretBytes SecretBytes::FromUtf8(const char* text) {
    SecretBytes secret;
    secret.bytes_ = QByteArray(text, static_cast<qsizetype>(std::strlen(text)));
    return secret;
}

SecretBytes::SecretBytes(SecretBytes&& other) noexcept : bytes_(std::move(other.bytes_)) {
    other.bytes_ = QByteArray();
}

SecretBytes& SecretBytes::operator=(SecretBytes&& other) noexcept {
    if (this != &other) {
        wipe();
        bytes_ = std::move(other.bytes_);
        other.bytes_ = QByteArray();
    }
    return *this;
}

bool SecretBytes::sameAs(const SecretBytes& other) const {
    if (size() != other.size()) return false;
    if (isEmpty()) return true;
    return sodium_memcmp(data(), other.data(), static_cast<size_t>(size())) == 0;
}

void SecretBytes::wipe() {
    if (!bytes_.isEmpty() && bytes_.isDetached())
        sodium_memzero(bytes_.data(), static_cast<size_t>(bytes_.size()));
    bytes_ = QByteArray();
}

void WipeLineEdit(QLineEdit& edit) {
    QString text = edit.text();
    // setText (unlike clear) also drops the field's undo history; afterwards our copy is the
    // last holder of the old buffer and can be wiped.
    edit.setText(QString());
    WipeString(text);
}

// --- PasswordStore ---

PasswordStore::PasswordStore(QString filePath) : filePath_(std::move(filePath)) {
    SodiumReady();
}

PasswordStore::State PasswordStore::state() const {
    bool present = false;
    const QByteArray hash = readHash(&present);
    if (!present) return State::None;
    return hash.isEmpty() ? State::Damaged : State::Set;
}

QByteArray PasswordStore::readHash(bool* present) const {
    const QFileInfo info(filePath_);
    *present = info.exists() || info.isSymLink();
    if (!*present) return {};
    // Something that is not a regular file is a stored password that cannot be read: it never
    // matches, and opening it never waits (a FIFO put there after the check included).
    const std::optional<QByteArray> bytes = ReadRegularFile(filePath_, kMaxFileBytes + 1);
    if (!bytes) return {};
    const QByteArray hash = bytes->trimmed();
    if (hash.size() >= crypto_pwhash_STRBYTES || !IsUsableHash(hash)) return {};
    return hash;
}

bool PasswordStore::verify(const SecretBytes& password) const {
    if (!SodiumReady()) return false;
    bool present = false;
    const QByteArray hash = readHash(&present);
    if (hash.isEmpty()) return false;
    return crypto_pwhash_str_verify(hash.constData(), password.data(),
                                    static_cast<unsigned long long>(password.size())) == 0;
}

bool PasswordStore::set(const SecretBytes& password) {
    if (password.isEmpty()) return clear();
    if (!SodiumReady()) return false;
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(
            hash, password.data(), static_cast<unsigned long long>(password.size()),
            crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE,
            crypto_pwhash_ALG_ARGON2ID13) != 0)
        return false;
    return writeHash(QByteArray(hash));
}

bool PasswordStore::writeHash(const QByteArray& hash) {
    if (!EnsureFolderOf(filePath_)) return false;
    // Only a regular file is replaced: through a symbolic link the write would land on whatever
    // it points to, a device included.
    const QFileInfo info(filePath_);
    if ((info.exists() || info.isSymLink()) && !info.isFile()) return false;
    // Owner-only before a single byte goes in, and kept so when the file replaces the old one.
    return WriteFileAtomically(filePath_, hash + '\n', nullptr,
                               QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

bool PasswordStore::clear() {
    const QFileInfo info(filePath_);
    if (!info.exists() && !info.isSymLink()) return true;
    if (info.isDir()) return false;
    return QFile::remove(filePath_);
}

}  // namespace tavello
