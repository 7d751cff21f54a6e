// user.reg, the desktop's password switch: reading (UTF-8, Shift-JIS or UTF-16), the value
// syntax, the switch read from it, and the switch written into whatever file is there.

#include "FuzzSupport.h"

#include "password/RegFile.h"
#include "password/UserReg.h"

#include <QDir>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

using namespace tavello;

namespace {

const QString kDesktop = QStringLiteral("HKEY_CURRENT_USER\\Control Panel\\desktop");

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
    fuzz::Keep(RegFile::Parse(text).value(kDesktop, QStringLiteral("ScreenSaveUsePassword")));
    fuzz::Keep(ReadScreenSaveUsePassword());

    // The switch written into whatever file was there reads back as written.
    const bool on = size % 2 == 1;
    if (WriteScreenSaveUsePassword(on)) {
        fuzz::Check(ReadScreenSaveUsePassword() == on,
                    "the password switch read back other than it was written");
    }
    return 0;
}
