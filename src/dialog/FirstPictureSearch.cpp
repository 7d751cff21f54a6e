#include "dialog/FirstPictureSearch.h"

#include <QMetaObject>

namespace tavello {

FirstPictureSearch::FirstPictureSearch(QObject* parent) : QObject(parent) {
    // One search at a time does the work; cancelled ones end at their next folder.
    pool_.setMaxThreadCount(1);
}

FirstPictureSearch::~FirstPictureSearch() {
    stop();
}

void FirstPictureSearch::start(const QString& entry, PictureUsable usable) {
    cancel();
    auto cancelled = std::make_shared<std::atomic_bool>(false);
    cancelled_ = cancelled;
    const quint64 generation = ++generation_;
    // The object outlives every task (its destructor waits for them); a call still queued when
    // it is destroyed is discarded with it.
    pool_.start([this, cancelled, generation, entry, usable = std::move(usable)] {
        if (*cancelled) return;
        const QString picture = FirstPictureOf(
            entry, [&cancelled] { return cancelled->load(); }, usable);
        if (*cancelled) return;
        QMetaObject::invokeMethod(
            this, [this, generation, entry, picture] { deliver(generation, entry, picture); },
            Qt::QueuedConnection);
    });
}

void FirstPictureSearch::cancel() {
    ++generation_;
    if (cancelled_) *cancelled_ = true;
    cancelled_.reset();
}

void FirstPictureSearch::stop() {
    cancel();
    pool_.waitForDone();
}

void FirstPictureSearch::deliver(quint64 generation, const QString& entry, const QString& picture) {
    if (generation == generation_) emit found(entry, picture);
}

}  // namespace tavello
