#pragma once

// What a benchmark of the running show stands in for the desk's music and password.

#include "music/Mci.h"
#include "platform/Password.h"

#include <QByteArray>
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

}  // namespace tavello::bench
