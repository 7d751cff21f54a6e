#include "startup/DisplayCheck.h"

#include <cstdio>

namespace tavello {

QString WindowSystemMessage(const WindowSystemProblem& problem) {
    using Kind = WindowSystemProblem::Kind;
    switch (problem.kind) {
        case Kind::None:
            break;
        case Kind::NoDisplay:
            return QStringLiteral(
                "TAVELLO: X ディスプレイが決まっていません（DISPLAY を設定してください）。");
        case Kind::Unreachable: {
            QString line =
                QStringLiteral(
                    "TAVELLO: X ディスプレイ %1 に接続できません（DISPLAY を確かめてください）。")
                    .arg(problem.name);
            if (!problem.reason.isEmpty())
                line += QStringLiteral("サーバーの答え: %1").arg(problem.reason);
            return line;
        }
        case Kind::NoSuchScreen:
            return QStringLiteral(
                       "TAVELLO: X ディスプレイ %1 に画面 %2 はありません（DISPLAY "
                       "を確かめてください）。")
                .arg(problem.name)
                .arg(problem.screen);
        case Kind::InvisiblePlatform:
            return QStringLiteral(
                       "TAVELLO: 画面に映らないプラットフォーム %1 では動きません"
                       "（QT_QPA_PLATFORM を外してください）。")
                .arg(problem.name);
    }
    return {};
}

bool ReachDisplayOrSay(DisplayHold& hold) {
    const WindowSystemProblem problem = UseX11Display(hold);
    if (problem.kind == WindowSystemProblem::Kind::None) return true;
    std::fprintf(stderr, "%s\n", WindowSystemMessage(problem).toLocal8Bit().constData());
    return false;
}

}  // namespace tavello
