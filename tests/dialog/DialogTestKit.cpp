#include "DialogTestKit.h"

#include <QListWidget>
#include <QTimer>

namespace tavello::test {

QStringList Items(const QListWidget* l) {
    QStringList out;
    for (int i = 0; i < l->count(); ++i) out << l->item(i)->text();
    return out;
}

QStringList Numbered(int count) {
    QStringList paths;
    for (int i = 0; i < count; ++i) paths << QStringLiteral("/photos/p%1.jpg").arg(i);
    return paths;
}

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
