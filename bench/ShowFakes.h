#pragma once

// What a benchmark of the running show stands in for the desk's music and password.

#include "music/Mci.h"
#include "platform/Password.h"
#include "saver/Form1.h"
#include "saver/ShowTimer.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QString>
#include <cstdint>

namespace tavello::bench {

// Music that plays for ever, so no change restarts it.
class EndlessMusic final : public MciService {
  public:
    std::uint32_t Send(const MciParseResult& sent, QByteArray& reply) override {
        reply = sent.command.text == "status sng mode" ? "playing" : "";
        return 0;
    }
};

class NoPassword final : public PasswordService {
  public:
    std::int32_t VerifyScreenSavePwd(QWidget*) override { return 1; }
    std::int32_t PwdChangePasswordA(const QString&, std::int32_t, std::int32_t,
                                    std::int32_t) override {
        return 0;
    }
};

// Loads the show and runs the event loop until it has ended.
inline void RunShowToEnd(Form1& form) {
    QEventLoop loop;
    QObject::connect(&form, &Form1::showEnded, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    form.Form_Load();
    if (!form.ended()) loop.exec();
}

// The show's own timer, noting when the show first asks to wait: the headline is then up, and
// painted here.
class HeadlineTimer final : public ShowTimer {
  public:
    void WakeAfter(int milliseconds, std::function<void()> due) override {
        if (headlineMs < 0) {
            form->repaint();
            headlineMs = double(timer.nsecsElapsed()) / 1e6;
            onHeadline();
        }
        real_.WakeAfter(milliseconds, std::move(due));
    }
    void Stop() override { real_.Stop(); }

    Form1* form = nullptr;
    QElapsedTimer timer;  // started with the show
    double headlineMs = -1;
    std::function<void()> onHeadline = [] {};

  private:
    EventLoopTimer real_;
};

}  // namespace tavello::bench
