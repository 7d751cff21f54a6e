#include "DialogTestKit.h"

#include <QTimer>

namespace tavello::test {

Form2& DialogTest::open(bool show) {
    form_ = std::make_unique<Form2>(services_);
    form_->Form_Load();
    if (auto* timer = form_->findChild<QTimer*>(QStringLiteral("Timer1"))) timer->stop();
    if (show) {
        form_->show();
        form_->activateWindow();
    }
    return *form_;
}

QByteArray CrLfLines(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) bytes += line.toUtf8() + "\r\n";
    return bytes;
}

}  // namespace tavello::test
