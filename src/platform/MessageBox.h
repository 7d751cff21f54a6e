#pragma once

#include <QString>

class QWidget;

namespace tavello {

enum class MsgIcon { Critical, Exclamation, Information };

// Modal message box with a single OK button under the title "TAVELLO".
class MessageBoxService {
  public:
    virtual ~MessageBoxService() = default;
    virtual void MsgBox(QWidget* parent, const QString& text, MsgIcon icon) = 0;
};

MessageBoxService& SystemMessageBox();

}  // namespace tavello
