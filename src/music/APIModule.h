#pragma once

#include <QString>
#include <cstdint>

namespace tavello {

class MciService;

// The saver's music, spoken as MCI command strings to the device alias "sng".
class APIModule {
  public:
    static constexpr int kReplyLength = 255;

    explicit APIModule(MciService& mci) : mci_(mci) {}

    // Sends one command; reply becomes the reply text followed by NULs, always 255 characters.
    std::int32_t MciSend(const QString& command, QString& reply);
    // "open "<file>" alias sng" (result discarded; a quote in the file name is doubled), then
    // "play sng", whose result is returned.
    std::int32_t PlayMusic(const QString& file);
    // "stop sng wait", then "close sng"; harmless when nothing is open.
    void StopMusic();
    // The 255-character reply of "status sng mode".
    QString MusicStatus();

    const QString& MciReply() const { return mciReply_; }

  private:
    MciService& mci_;
    QString mciReply_;
};

}  // namespace tavello
