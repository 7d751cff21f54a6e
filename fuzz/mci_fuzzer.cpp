// MCI command strings: the reader every command goes through, and APIModule's side of the
// exchange (the 255-character reply, the commands it builds around a music file's name). The
// device is a fake that keeps each command as read and answers with the input's own bytes.
//
// Input: three pieces separated by NUL bytes: a command, the device's reply, and the name of a
// music file to play (which may hold further NULs).

#include "FuzzSupport.h"

#include "music/APIModule.h"
#include "music/Mci.h"
#include "music/MciCommand.h"

#include <cstdint>
#include <vector>

using namespace tavello;

namespace {

class FakeDevice final : public MciService {
  public:
    explicit FakeDevice(QByteArray reply) : reply_(std::move(reply)) {}

    std::uint32_t Send(const MciParseResult& sent, QByteArray& reply) override {
        received_.push_back(sent);
        // A misbehaving device may answer at any length, NULs and all.
        reply = reply_;
        if (sent.error) return sent.error;
        return reply_.isEmpty() ? 0 : static_cast<unsigned char>(reply_[0]) % 2;
    }

    std::vector<MciParseResult> received_;

  private:
    QByteArray reply_;
};

bool IsSng(const QByteArray& name) {
    return name.compare("sng", Qt::CaseInsensitive) == 0;
}

// A music file's name is only ever a name: the open names exactly that file, under the alias
// "sng", and nothing in the name becomes a keyword; every other command speaks to "sng".
void CheckPlayCommands(const std::vector<MciParseResult>& commands, const QString& file) {
    for (const MciParseResult& sent : commands) {
        if (sent.error) continue;
        const MciCommand& c = sent.command;
        if (c.verb != MciVerb::Open) {
            fuzz::Check(IsSng(c.device), "a command went to a device other than sng");
            continue;
        }
        fuzz::Check(c.device == file.toLocal8Bit(), "the open named another file");
        fuzz::Check(IsSng(c.alias) && c.type.isNull() && !c.shareable && !c.wait && !c.notify,
                    "a keyword came from the music file's name");
    }
}

void CheckReply(const QString& reply) {
    fuzz::Check(reply.size() == APIModule::kReplyLength, "the reply is not 255 characters long");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    const qsizetype end1 = bytes.indexOf('\0');
    const qsizetype end2 = end1 < 0 ? -1 : bytes.indexOf('\0', end1 + 1);
    const QString command = QString::fromUtf8(bytes.left(end1 < 0 ? bytes.size() : end1));
    const QByteArray reply = end1 < 0   ? QByteArray()
                             : end2 < 0 ? bytes.mid(end1 + 1)
                                        : bytes.mid(end1 + 1, end2 - end1 - 1);
    const QString file = end2 < 0 ? QString() : QString::fromUtf8(bytes.mid(end2 + 1));
    FakeDevice device(reply);
    APIModule api(device);

    QString answer;
    api.MciSend(command, answer);
    CheckReply(answer);

    device.received_.clear();
    api.PlayMusic(file);
    CheckPlayCommands(device.received_, file);
    CheckReply(api.MciReply());
    CheckReply(api.MusicStatus());
    api.StopMusic();
    return 0;
}
