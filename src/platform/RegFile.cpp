#include "platform/RegFile.h"

#include "platform/Registry.h"

#include <QStringList>

namespace tavello {
namespace {

// Joins lines continued by a trailing backslash (long hex values), and drops comments.
QStringList LogicalLines(const QString& text) {
    QStringList out;
    QString pending;
    for (QString line : text.split(QChar(u'\n'))) {
        if (line.endsWith(u'\r')) line.chop(1);
        const QString trimmed = line.trimmed();
        if (pending.isEmpty() && trimmed.startsWith(u';')) continue;
        const bool continues = trimmed.endsWith(u'\\') &&
                               (!pending.isEmpty() || trimmed.contains(QStringLiteral("=hex")));
        if (continues) {
            pending += trimmed.left(trimmed.size() - 1);
            continue;
        }
        out.append(pending + trimmed);
        pending.clear();
    }
    if (!pending.isEmpty()) out.append(pending);
    return out;
}

std::optional<QString> ParseQuoted(const QString& text, qsizetype* end) {
    if (!text.startsWith(u'"')) return std::nullopt;
    QString out;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' && i + 1 < text.size()) {
            out.append(text[++i]);
        } else if (c == u'"') {
            *end = i + 1;
            return out;
        } else {
            out.append(c);
        }
    }
    return std::nullopt;
}

std::optional<QByteArray> ParseHexBytes(const QString& text) {
    QByteArray bytes;
    if (text.trimmed().isEmpty()) return bytes;
    for (const QString& part : text.split(u',')) {
        bool ok = false;
        const uint b = part.trimmed().toUInt(&ok, 16);
        if (!ok || b > 0xff) return std::nullopt;
        bytes.append(static_cast<char>(b));
    }
    return bytes;
}

}  // namespace

std::optional<RegValue> ParseRegValue(const QString& raw) {
    const QString text = raw.trimmed();
    if (text.startsWith(u'"')) {
        qsizetype end = 0;
        const auto s = ParseQuoted(text, &end);
        if (!s) return std::nullopt;
        QByteArray data = s->toLocal8Bit();
        data.append('\0');
        return RegValue{REG_SZ, data};
    }
    const QString lower = text.toLower();
    if (lower.startsWith(QStringLiteral("dword:"))) {
        bool ok = false;
        const uint v = text.mid(6).trimmed().toUInt(&ok, 16);
        if (!ok) return std::nullopt;
        QByteArray data(4, '\0');
        for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((v >> (8 * i)) & 0xff);
        return RegValue{REG_DWORD, data};
    }
    if (lower.startsWith(QStringLiteral("hex:"))) {
        const auto bytes = ParseHexBytes(text.mid(4));
        if (!bytes) return std::nullopt;
        return RegValue{REG_BINARY, *bytes};
    }
    if (lower.startsWith(QStringLiteral("hex("))) {
        const qsizetype close = text.indexOf(QStringLiteral("):"));
        if (close < 0) return std::nullopt;
        bool ok = false;
        const uint type = text.mid(4, close - 4).toUInt(&ok, 16);
        const auto bytes = ParseHexBytes(text.mid(close + 2));
        if (!ok || !bytes) return std::nullopt;
        return RegValue{type, *bytes};
    }
    return std::nullopt;
}

RegFile RegFile::Parse(const QString& text) {
    RegFile file;
    std::map<QString, RegValue>* current = nullptr;
    for (const QString& line : LogicalLines(text)) {
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            const QString key = line.mid(1, line.size() - 2).trimmed().toLower();
            current = key.startsWith(u'-') ? nullptr : &file.keys_[key];
            continue;
        }
        if (current == nullptr) continue;
        QString name;
        qsizetype end = 0;
        if (line.startsWith(u'@')) {
            end = 1;
        } else if (auto quoted = ParseQuoted(line, &end)) {
            name = *quoted;
        } else {
            continue;
        }
        const QString rest = line.mid(end).trimmed();
        if (!rest.startsWith(u'=')) continue;
        if (auto value = ParseRegValue(rest.mid(1))) (*current)[name.toLower()] = *value;
    }
    return file;
}

bool RegFile::hasKey(const QString& fullKey) const {
    return keys_.count(fullKey.toLower()) != 0;
}

std::optional<RegValue> RegFile::value(const QString& fullKey, const QString& name) const {
    const auto key = keys_.find(fullKey.toLower());
    if (key == keys_.end()) return std::nullopt;
    const auto v = key->second.find(name.toLower());
    if (v == key->second.end()) return std::nullopt;
    return v->second;
}

}  // namespace tavello
