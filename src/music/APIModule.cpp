#include "music/APIModule.h"

#include "music/Mci.h"
#include "music/MciCommand.h"

#include <QByteArray>

namespace tavello {

namespace {
const QString kAlias = QStringLiteral("sng");
}

std::int32_t APIModule::MciSend(const QString& command, QString& reply) {
    // Read once here; the device and everything between get the command as read. A fresh reply
    // for every command: a failed command can never hand back an earlier reply.
    QByteArray text;
    const std::uint32_t result = mci_.Send(ParseMciCommand(command.toLocal8Bit()), text);
    // The reply keeps its full length: its text, then NULs up to 255 characters.
    const qsizetype end = text.indexOf('\0');
    reply = QString::fromLocal8Bit(end < 0 ? text : text.left(end)).left(kReplyLength);
    reply.resize(kReplyLength, QChar(0));
    return static_cast<std::int32_t>(result);
}

std::int32_t APIModule::PlayMusic(const QString& file) {
    // Quoted so that no file name, not even one with quotes in it, can end the name early and
    // have the rest read as keywords.
    MciSend(QStringLiteral("open ") + QuotedMciName(file) + QStringLiteral(" alias ") + kAlias,
            mciReply_);
    return MciSend(QStringLiteral("play ") + kAlias, mciReply_);
}

void APIModule::StopMusic() {
    MciSend(QStringLiteral("stop ") + kAlias + QStringLiteral(" wait"), mciReply_);
    MciSend(QStringLiteral("close ") + kAlias, mciReply_);
}

QString APIModule::MusicStatus() {
    MciSend(QStringLiteral("status ") + kAlias + QStringLiteral(" mode"), mciReply_);
    return mciReply_;
}

}  // namespace tavello
