#include "platform/MessageBox.h"

#include <QMessageBox>

namespace tavello {
namespace {

class QtMessageBox final : public MessageBoxService {
  public:
    void MsgBox(QWidget* parent, const QString& text, MsgIcon icon) override {
        QMessageBox box(parent);
        box.setWindowTitle(QStringLiteral("TAVELLO"));
        box.setText(text);
        box.setIcon(icon == MsgIcon::Critical      ? QMessageBox::Critical
                    : icon == MsgIcon::Exclamation ? QMessageBox::Warning
                                                   : QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
    }
};

}  // namespace

MessageBoxService& SystemMessageBox() {
    static QtMessageBox box;
    return box;
}

}  // namespace tavello
