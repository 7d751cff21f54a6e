#pragma once

#include <QValidator>

namespace tavello {

// Keeps a one-line text box on one line: whatever enters it (a paste, a drop, an input method, a
// text set from the file) has its line breaks taken out by the rule the settings file is written
// with, OnOneLine. Every other text is acceptable as it is.
class OneLineValidator final : public QValidator {
    Q_OBJECT
  public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

}  // namespace tavello
