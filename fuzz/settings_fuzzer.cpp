// The settings file: text decoding (UTF-8, else Shift-JIS), the line rules, the older six-line
// layout, and the number rules every value meets where it is used.

#include "FuzzSupport.h"

#include "platform/TextCodec.h"
#include "settings/Numbers.h"
#include "settings/SettingsFile.h"

#include <cstdint>

using namespace tavello;

namespace {

void ReadNumbers(const SaverSettings& s) {
    for (const QString* value : {&s.Speed, &s.HeadlineSize, &s.PicSize, &s.RandomOrder}) {
        const double lenient = LeadingNumber(*value);
        fuzz::Keep(RoundHalfEven<std::int16_t>(lenient));
        fuzz::Keep(RoundHalfEven<std::int32_t>(lenient));
        if (const auto strict = StrictNumber(*value))
            fuzz::Keep(RoundHalfEven<std::int16_t>(*strict));
    }
}

// The writer puts every value on one line (OnOneLine); everything else must come back, each
// value on its own line, and the pictures exactly as read (a read line never holds a CR), in
// their order.
SaverSettings Normalised(SaverSettings s) {
    for (QString* value : {&s.Speed, &s.HeadlineFont, &s.HeadlineSize, &s.PicSize, &s.MusicFile,
                           &s.Headline, &s.RandomOrder})
        *value = OnOneLine(*value);
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    fuzz::Keep(DecodeText(bytes));

    const QString path = fuzz::WriteScratchFile(QStringLiteral("TAVELLO.INI"), bytes);
    const SaverSettings loaded = LoadSettings(path);
    ReadNumbers(loaded);

    // What was read, saved and read again, is what was read.
    const SaveResult saved = SaveSettings(path, loaded);
    fuzz::Check(saved.ok, "the settings file could not be saved");
    if (saved.ok) {
        fuzz::Check(Normalised(LoadSettings(path)) == Normalised(loaded),
                    "saving and reloading the settings changed them");
    }
    return 0;
}
