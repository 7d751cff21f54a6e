#pragma once

#include <QByteArray>
#include <QString>

class QLineEdit;

namespace tavello {

// A password's bytes (UTF-8), wiped from memory when the holder goes away. Move-only, so no
// unwiped copy is ever made by accident.
class SecretBytes {
  public:
    SecretBytes() = default;
    // Converts once to UTF-8 and wipes the text's own buffer when nothing else shares it.
    static SecretBytes FromString(QString&& text);
    // Reads a password field without keeping a second copy of its text.
    static SecretBytes FromLineEdit(const QLineEdit& edit);
    static SecretBytes FromUtf8(const char* text);

    SecretBytes(SecretBytes&& other) noexcept;
    SecretBytes& operator=(SecretBytes&& other) noexcept;
    SecretBytes(const SecretBytes&) = delete;
    SecretBytes& operator=(const SecretBytes&) = delete;
    ~SecretBytes() { wipe(); }

    const char* data() const { return bytes_.constData(); }
    qsizetype size() const { return bytes_.size(); }
    bool isEmpty() const { return bytes_.isEmpty(); }
    // Compares in time that does not depend on where the first difference lies.
    bool sameAs(const SecretBytes& other) const;
    void wipe();

  private:
    QByteArray bytes_;
};

// Empties a password field and wipes the buffer that held its text.
void WipeLineEdit(QLineEdit& edit);

// The screen-saver password on disk: one argon2id hash string (libsodium's crypto_pwhash_str
// format) in a file readable by its owner only. The password itself is never written.
class PasswordStore {
  public:
    enum class State {
        None,     // no password: nothing to ask for
        Set,      // a hash the store can check against
        Damaged,  // a file is there but holds no usable hash; it never matches
    };

    // The file's name inside the settings folder.
    static QString FileName() { return QStringLiteral("scrsave.pwd"); }

    explicit PasswordStore(QString filePath);

    const QString& filePath() const { return filePath_; }
    State state() const;
    bool isSet() const { return state() != State::None; }

    // True only when a usable hash is stored and the password matches it.
    bool verify(const SecretBytes& password) const;
    // Replaces the stored password; an empty password removes it. False when nothing could be
    // written, in which case the previous file is left as it was.
    bool set(const SecretBytes& password);
    // Removes the password; true when none is stored afterwards.
    bool clear();

  private:
    // The stored hash string when the file holds a usable one, else empty.
    QByteArray readHash(bool* present) const;
    bool writeHash(const QByteArray& hash);

    QString filePath_;
};

}  // namespace tavello
