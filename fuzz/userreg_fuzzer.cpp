// user.reg, the registry stand-in: reading (UTF-8, Shift-JIS or UTF-16), the value syntax, the
// registry calls over it, and the password switch written into whatever file is there.

#include "FuzzSupport.h"

#include "platform/RegFile.h"
#include "platform/Registry.h"
#include "platform/linux/UserReg.h"
#include "startup/Start.h"

#include <QDir>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

using namespace tavello;

namespace {

const QString kDesktop = QStringLiteral("Control Panel\\desktop");

// The value under the desktop key read with a buffer of `capacity` bytes, as a caller would.
void QueryWithBuffer(Registry& registry, HKEY key, const QString& name, std::uint32_t capacity) {
    QByteArray buffer(static_cast<qsizetype>(capacity), '\0');
    std::uint32_t type = 0;
    std::uint32_t size = capacity;
    auto* data = capacity ? reinterpret_cast<std::uint8_t*>(buffer.data()) : nullptr;
    if (registry.RegQueryValueExA(key, name, nullptr, &type, data, &size) == ERROR_SUCCESS)
        fuzz::Check(size <= capacity || data == nullptr, "a value overran the caller's buffer");
}

void QueryDesktop(Registry& registry, const RegFile& file) {
    HKEY key = 0;
    if (registry.RegOpenKeyExA(HKEY_CURRENT_USER, kDesktop, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return;
    for (const QString& name : {QStringLiteral("ScreenSaveUsePassword"), QString()}) {
        for (const std::uint32_t capacity : {0u, 1u, 4u, 260u}) {
            QueryWithBuffer(registry, key, name, capacity);
        }
    }
    fuzz::Keep(file.value(QStringLiteral("HKEY_CURRENT_USER\\") + kDesktop,
                          QStringLiteral("ScreenSaveUsePassword")));
    registry.RegCloseKey(key);
}

void ParseEveryValue(const QString& text) {
    for (const QString& line : text.split(u'\n')) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals >= 0) fuzz::Keep(ParseRegValue(line.mid(equals + 1)));
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The settings folder (and so user.reg) lives in the scratch folder.
    setenv("XDG_CONFIG_HOME", qPrintable(fuzz::ScratchFolder()), 1);
    QDir().mkpath(fuzz::ScratchFolder() + QStringLiteral("/tavello"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    fuzz::WriteScratchFile(QStringLiteral("tavello/user.reg"), bytes);
    const QString text = ReadUserRegText();
    ParseEveryValue(text);
    Registry& registry = SystemRegistry();
    QueryDesktop(registry, RegFile::Parse(text));

    // The switch written into whatever file was there reads back as written at start-up.
    const bool on = size % 2 == 1;
    if (WriteScreenSaveUsePassword(on)) {
        fuzz::Check((ReadPasswordFlag(registry) != 0) == on,
                    "the password switch read back other than it was written");
    }
    return 0;
}
