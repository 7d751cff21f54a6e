#include "password/RegFile.h"

#include <QRegularExpression>
#include <algorithm>

namespace tavello {
namespace {

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

QString Quoted(const QString& text) {
    QString out = text;
    out.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + out + u'"';
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

// Only hex bytes can go on over several lines; any other line ends such a value, so a dangling
// backslash never swallows the section or value that follows it.
bool ContinuesHexBytes(const QString& trimmed) {
    static const QRegularExpression bytes(QStringLiteral(R"(^[0-9A-Fa-f,\s]*\\?$)"));
    return bytes.match(trimmed).hasMatch();
}

// The name and the value text of a "name"=value or @=value line.
std::optional<std::pair<QString, QString>> SplitAssignment(const QString& trimmed) {
    QString name;
    qsizetype end = 0;
    if (trimmed.startsWith(u'@')) {
        end = 1;
    } else if (auto quoted = ParseQuoted(trimmed, &end)) {
        name = *quoted;
    } else {
        return std::nullopt;
    }
    const QString rest = trimmed.mid(end).trimmed();
    if (!rest.startsWith(u'=')) return std::nullopt;
    return std::pair{name, rest.mid(1).trimmed()};
}

// Builds the entries line by line; a hex value ending in a backslash stays open for the next
// lines that carry more of its bytes.
class Scanner {
  public:
    void add(qsizetype index, const QString& line) {
        const QString trimmed = line.trimmed();
        if (open_) {
            if (ContinuesHexBytes(trimmed)) {
                extend(index, trimmed);
                return;
            }
            close();
        }
        RegLine entry;
        entry.first = entry.last = index;
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            const QString key = trimmed.mid(1, trimmed.size() - 2).trimmed();
            section_ = key.startsWith(u'-') ? QString() : key;
            entry.kind = RegLine::Kind::Section;
            entry.key = section_;
        } else if (auto assignment = SplitAssignment(trimmed)) {
            entry.kind = RegLine::Kind::Value;
            entry.key = section_;
            entry.name = assignment->first;
            text_ = assignment->second;
            open_ = text_.startsWith(QStringLiteral("hex"), Qt::CaseInsensitive) &&
                    text_.endsWith(u'\\');
            if (open_) text_.chop(1);
        }
        entries_.push_back(entry);
        if (!open_) finishValue();
    }

    std::vector<RegLine> take() {
        if (open_) close();
        return std::move(entries_);
    }

  private:
    void extend(qsizetype index, const QString& trimmed) {
        entries_.back().last = index;
        text_ += trimmed;
        open_ = text_.endsWith(u'\\');
        if (open_) {
            text_.chop(1);
        } else {
            finishValue();
        }
    }

    void close() {
        open_ = false;
        finishValue();
    }

    void finishValue() {
        RegLine& entry = entries_.back();
        if (entry.kind == RegLine::Kind::Value) entry.value = ParseRegValue(text_);
        text_.clear();
    }

    std::vector<RegLine> entries_;
    QString section_;
    QString text_;  // the value text of the entry being built
    bool open_ = false;
};

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

QString FormatRegValue(const RegValue& value) {
    const QByteArray& data = value.data;
    if (value.type == REG_DWORD && data.size() == 4) {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(data[i]);
        return QStringLiteral("dword:%1").arg(v, 8, 16, QChar(u'0'));
    }
    if (value.type == REG_SZ && data.endsWith('\0')) {
        const QString text = QString::fromLocal8Bit(data.chopped(1));
        const bool fitsOneLine = !text.contains(u'\n') && !text.contains(u'\r');
        if (fitsOneLine && text.toLocal8Bit() + '\0' == data) return Quoted(text);
    }
    QStringList bytes;
    for (const char b : data)
        bytes << QStringLiteral("%1").arg(static_cast<std::uint8_t>(b), 2, 16, QChar(u'0'));
    const QString prefix = value.type == REG_BINARY
                               ? QStringLiteral("hex:")
                               : QStringLiteral("hex(%1):").arg(value.type, 0, 16);
    return prefix + bytes.join(u',');
}

QStringList SplitRegLines(const QString& text) {
    QStringList lines = text.split(u'\n');
    for (QString& line : lines)
        if (line.endsWith(u'\r')) line.chop(1);
    return lines;
}

std::vector<RegLine> ScanRegLines(const QStringList& lines) {
    Scanner scanner;
    for (qsizetype i = 0; i < lines.size(); ++i) scanner.add(i, lines[i]);
    return scanner.take();
}

RegFile RegFile::Parse(const QString& text) {
    RegFile file;
    for (const RegLine& entry : ScanRegLines(SplitRegLines(text))) {
        if (entry.key.isEmpty()) continue;  // outside any section, or a deleted key
        if (entry.kind == RegLine::Kind::Section) file.key(entry.key);
        if (entry.kind == RegLine::Kind::Value && entry.value)
            file.setValue(entry.key, entry.name, *entry.value);
    }
    return file;
}

RegFile::Key& RegFile::key(const QString& fullKey) {
    Key& key = keys_[fullKey.toLower()];
    if (key.name.isEmpty()) key.name = fullKey;
    return key;
}

void RegFile::setValue(const QString& fullKey, const QString& name, const RegValue& value) {
    auto [it, added] = key(fullKey).values.try_emplace(name.toLower(), NamedValue{name, value});
    if (!added) it->second.value = value;
}

bool RegFile::hasKey(const QString& fullKey) const {
    return keys_.count(fullKey.toLower()) != 0;
}

std::optional<RegValue> RegFile::value(const QString& fullKey, const QString& name) const {
    const auto key = keys_.find(fullKey.toLower());
    if (key == keys_.end()) return std::nullopt;
    const auto v = key->second.values.find(name.toLower());
    if (v == key->second.values.end()) return std::nullopt;
    return v->second.value;
}

QString RegFile::format() const {
    QStringList lines{QStringLiteral("Windows Registry Editor Version 5.00")};
    for (const auto& [lowered, key] : keys_) {
        lines << QString() << u'[' + key.name + u']';
        for (const auto& [lowerName, named] : key.values) {
            const QString name = named.name.isEmpty() ? QStringLiteral("@") : Quoted(named.name);
            lines << name + u'=' + FormatRegValue(named.value);
        }
    }
    lines << QString();
    return lines.join(QStringLiteral("\r\n"));
}

bool RegFile::operator==(const RegFile& other) const {
    const auto sameValues = [](const Key& a, const Key& b) {
        return std::equal(a.values.begin(), a.values.end(), b.values.begin(), b.values.end(),
                          [](const auto& x, const auto& y) {
                              return x.first == y.first && x.second.value == y.second.value;
                          });
    };
    return std::equal(keys_.begin(), keys_.end(), other.keys_.begin(), other.keys_.end(),
                      [&](const auto& x, const auto& y) {
                          return x.first == y.first && sameValues(x.second, y.second);
                      });
}

}  // namespace tavello
