#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <chrono>

namespace tavello {

class IdleMonitor;

// Starts the show, a program of its own, each time the desk has been idle for the time watched
// for; never two at once. A show that ends (input ended it, or it would not run) is followed by
// the next idle period, which starts with the next input: the monitor reports each period once.
class IdleWatcher : public QObject {
    Q_OBJECT
  public:
    IdleWatcher(IdleMonitor& monitor, const QString& program, const QStringList& arguments,
                QObject* parent = nullptr);

    void Start(std::chrono::milliseconds idleTime);
    // Ends the show it runs, if any, then reports finished(status).
    void Stop(int status);

  signals:
    void finished(int status);

  private:
    void onIdled();
    void onShowEnded();
    void onShowFailed(QProcess::ProcessError error);
    void finish();

    IdleMonitor& monitor_;
    QProcess show_;
    QTimer killTimer_;
    bool stopping_ = false;
    int status_ = 0;
};

}  // namespace tavello
