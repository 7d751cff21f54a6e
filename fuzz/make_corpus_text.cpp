// Seeds for the harnesses that read text: the settings file, user.reg, MCI commands, the file
// dialog's answer and the password file.

#include "make_corpus.h"

#include <sodium.h>
#include <QByteArrayList>
#include <QStringEncoder>
#include <QStringList>

namespace tavello::fuzz {
namespace {

QByteArray Crlf(const QStringList& lines) {
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

QByteArray ShiftJis(const QString& text) {
    QStringEncoder encoder("Shift_JIS");
    return encoder.encode(text);
}

// Pieces joined by NUL bytes.
QByteArray NulJoined(const QList<QByteArray>& pieces) {
    return pieces.join('\0');
}

const QStringList kSettings{QStringLiteral("5"),
                            QStringLiteral("ＭＳ Ｐゴシック"),
                            QStringLiteral("48"),
                            QStringLiteral("100%"),
                            QStringLiteral("/home/user/音楽/旅.mid"),
                            QStringLiteral("夏の旅行 2023"),
                            QStringLiteral("-1"),
                            QStringLiteral("/home/user/写真/001.jpg"),
                            QStringLiteral("/home/user/写真/002.bmp")};

Seeds SettingsSeeds() {
    QStringList sixLines = kSettings.mid(0, 6);
    sixLines << QStringLiteral("/home/user/a.jpg") << QStringLiteral("/home/user/b.jpg");
    QStringList numbers = kSettings;
    numbers[0] = QStringLiteral(" 2.5 秒");
    numbers[2] = QStringLiteral("&H1F");
    numbers[3] = QStringLiteral("1e3%");
    numbers[6] = QStringLiteral("&O17");
    return {
        {"seven-lines", Crlf(kSettings)},
        {"six-line-layout", Crlf(sixLines)},
        {"numbers", Crlf(numbers)},
        {"shift-jis", ShiftJis(kSettings.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"))},
        {"broken-shift-jis", ShiftJis(kSettings.mid(0, 6).join(u'\r')) + "\x82\r\x81"},
        {"nul-bytes",
         NulJoined({"5\r\nA", "B\r\n48\r\n", "\r\n\r\nx", "\r\n0\r\n/p", "q.jpg\r\n"})},
        {"lone-lf-and-cr", QByteArray("5\rfont\n\r48\r\n100%\r\r\nhead\nline\r0\r/a.jpg")},
        {"bom", "\xEF\xBB\xBF" + Crlf(kSettings)},
        {"short", QByteArray("10\r\nfont\r\n")},
        {"empty", QByteArray()},
    };
}

Seeds UserRegSeeds() {
    const QByteArray desktop = "[HKEY_CURRENT_USER\\Control Panel\\desktop]\r\n";
    const QByteArray header = "Windows Registry Editor Version 5.00\r\n\r\n";
    const QByteArray value = "\"ScreenSaveUsePassword\"=dword:00000001\r\n";
    const QString utf16Text = QString::fromUtf8(header + desktop + value);
    QByteArray utf16("\xFF\xFE");
    utf16.append(reinterpret_cast<const char*>(utf16Text.utf16()), utf16Text.size() * 2);
    return {
        {"password-on", header + desktop + value},
        {"regedit4", "REGEDIT4\r\n\r\n" + desktop + "\"ScreenSaveUsePassword\"=dword:0\r\n"},
        {"utf16", utf16},
        {"other-values", header +
                             "[HKEY_CURRENT_USER\\Software\\Tavello]\r\n"
                             "@=\"default \\\"quoted\\\" \\\\ text\"\r\n"
                             "\"Binary\"=hex:01,02,ff\r\n"
                             "\"Expand\"=hex(2):25,00,41,00,00,00\r\n"
                             "; a comment\r\n" +
                             desktop + "\"Wallpaper\"=\"C:\\\\a.bmp\"\r\n" + value},
        {"continued-hex",
         header + desktop + "\"Long\"=hex:00,01,02,\\\r\n  03,04,\\\r\n  05\r\n" + value},
        {"deleted-key", header + "[-HKEY_CURRENT_USER\\Control Panel\\desktop]\r\n" + value},
        {"lf-only", QByteArray(header + desktop + value).replace("\r\n", "\n")},
        {"empty", QByteArray()},
    };
}

Seeds MciSeeds() {
    // The command, the device's reply and a music file's name, between NULs.
    return {
        {"open", NulJoined({"open \"/home/user/a b.mid\" alias sng", "1"})},
        {"open-typed", NulJoined({"open /m/a.wav type waveaudio alias x shareable wait", "2"})},
        {"play-from", "play sng from 1500 notify"},
        {"status", NulJoined({"status sng mode", "playing"})},
        {"status-length", NulJoined({"STATUS sng length", "12345"})},
        {"close-all", "close all wait"},
        {"stop-pause-resume", "stop sng\tpause\r\nresume"},
        {"no-closing-quote", "open \"/m/a.mid alias sng"},
        {"long-reply", NulJoined({"status sng position", QByteArray(300, 'r')})},
        {"file-name", NulJoined({"status sng ready", "true",
                                 QStringLiteral("/home/user/音楽/曲 (1).mp3").toUtf8()})},
        {"file-name-blanks", NulJoined({"", "", " /m/a b.wav alias x type waveaudio "})},
        {"empty", QByteArray()},
    };
}

// A hash string in libsodium's format, made from a fixed salt so the seed stays the same.
QByteArray Argon2Hash(int memoryKiB, int passes) {
    if (sodium_init() < 0) return {};
    unsigned char salt[crypto_pwhash_SALTBYTES];
    for (unsigned i = 0; i < sizeof salt; ++i) salt[i] = static_cast<unsigned char>(i * 7);
    unsigned char hash[32];
    const char password[] = "パスワード";
    if (crypto_pwhash(hash, sizeof hash, password, sizeof password - 1, salt, passes,
                      static_cast<size_t>(memoryKiB) * 1024, crypto_pwhash_ALG_ARGON2ID13) != 0)
        return {};
    auto base64 = [](const unsigned char* bin, size_t length) {
        const int variant = sodium_base64_VARIANT_ORIGINAL_NO_PADDING;
        QByteArray out(static_cast<qsizetype>(sodium_base64_encoded_len(length, variant)), '\0');
        sodium_bin2base64(out.data(), out.size(), bin, length, variant);
        return QByteArray(out.constData());
    };
    return "$argon2id$v=19$m=" + QByteArray::number(memoryKiB) +
           ",t=" + QByteArray::number(passes) + ",p=1$" + base64(salt, sizeof salt) + '$' +
           base64(hash, sizeof hash);
}

Seeds PasswordSeeds() {
    const QByteArray cheap = Argon2Hash(8, 1);
    QByteArray argon2i = cheap;
    argon2i.replace("argon2id", "argon2i");
    return {
        {"cheap-hash", cheap + '\n'},
        {"usual-hash", Argon2Hash(65536, 2) + '\n'},
        {"crlf", cheap + "\r\n"},
        {"argon2i", argon2i},
        {"costly", QByteArray(cheap).replace("m=8,t=1", "m=9999999,t=99")},
        {"two-lanes", QByteArray(cheap).replace("p=1", "p=2")},
        {"too-long", cheap + QByteArray(600, 'A')},
        {"garbage", QByteArray("not a hash at all\n")},
        {"empty", QByteArray()},
    };
}

}  // namespace

std::vector<Harness> TextHarnesses() {
    return {{"settings", SettingsSeeds()},
            {"userreg", UserRegSeeds()},
            {"mci", MciSeeds()},
            {"password", PasswordSeeds()}};
}

}  // namespace tavello::fuzz
