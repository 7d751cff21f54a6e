#pragma once

#include <memory>

namespace tavello {

class DeskHold;
class Form1;
class MonitorCovers;
class ShowKeeper;

// The rest of the desk around the show's window: the other monitors covered, the show's windows
// kept on the screen, and with the password on, the input and the top of the stacking held.
class ShowDesk {
  public:
    explicit ShowDesk(Form1& show);
    ~ShowDesk();

    // Takes the hold of a password show anew; false when the show has none.
    bool Hold();

  private:
    // After another program took a window of the show off the screen and it came back.
    void Retake();

    Form1& show_;
    std::unique_ptr<MonitorCovers> covers_;
    std::unique_ptr<DeskHold> hold_;
    std::unique_ptr<ShowKeeper> keeper_;
};

}  // namespace tavello
