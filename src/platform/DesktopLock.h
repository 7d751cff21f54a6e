#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace tavello {

// The desktop's own screen lock, for a desk where the show cannot ask for the password itself:
// the show hands locking over to it when the password switch is on.
class DesktopLock : public QObject {
    Q_OBJECT
  public:
    ~DesktopLock() override = default;
    // Asks for the lock and reports once, from the event loop: true once the lock is up, false
    // when it could not be put up. One request at a time.
    virtual void Lock(std::function<void(bool locked)> done) = 0;
};

// The locker for this session: the user's lock command when one is given (empty: none), else the
// desktop's screen saver service on the session bus, else the login session's lock.
std::unique_ptr<DesktopLock> OpenDesktopLock(const QString& lockCommand);

}  // namespace tavello
