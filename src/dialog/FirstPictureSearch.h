#pragma once

#include "settings/FolderEntry.h"
#include "toolkit/GuiTicket.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

namespace tavello {

// Looks for a folder entry's first picture on a worker thread, so that a huge folder on a slow
// disk never stops the dialog. Only the latest search can answer: starting another or cancelling
// stops the one before, whose result is then dropped. Nothing ever waits for a search: a stopped
// one ends by itself at its next check, and one stuck on a share that no longer answers is left
// behind, unable to reach this object once it is gone.
class FirstPictureSearch : public QObject {
    Q_OBJECT
  public:
    explicit FirstPictureSearch(QObject* parent = nullptr);
    ~FirstPictureSearch() override;

    // Looks for the entry's first picture that usable accepts (any, without it); usable is called
    // on the worker thread.
    void start(const QString& entry, PictureUsable usable = {});
    // Stops the latest search; it no longer answers.
    void cancel();

  signals:
    // The entry's first (usable) picture, "" when it holds none; only for the latest search.
    void found(const QString& entry, const QString& picture);

  private:
    void deliver(quint64 generation, const QString& entry, const QString& picture);

    GuiTicket ticket_;
    std::shared_ptr<std::atomic_bool> cancelled_;
    quint64 generation_ = 0;
};

}  // namespace tavello
