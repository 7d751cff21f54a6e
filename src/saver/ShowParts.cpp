#include "saver/ShowParts.h"

#include "settings/Numbers.h"

namespace tavello {

ShowParams ShowParams::From(const SaverSettings& settings) {
    ShowParams params;
    params.intervalMs = LeadingNumber(settings.Speed) * 1000;
    params.order = ReadOrderMode(settings.RandomOrder);
    params.picSize = settings.PicSize;
    return params;
}

void MusicLoop::Start(const QString& file) {
    file_ = file;
    music_.PlayMusic(file_);
}

void MusicLoop::RestartIfFinished() {
    if (music_.MusicStatus().startsWith(QStringLiteral("stopped"))) {
        music_.StopMusic();
        music_.PlayMusic(file_);
    }
}

}  // namespace tavello
