#include "dialog/FirstPictureSearch.h"

#include <thread>

namespace tavello {

FirstPictureSearch::FirstPictureSearch(QObject* parent) : QObject(parent) {}

FirstPictureSearch::~FirstPictureSearch() {
    cancel();
    ticket_.revoke();
}

void FirstPictureSearch::start(const QString& entry, PictureUsable usable) {
    cancel();
    auto cancelled = std::make_shared<std::atomic_bool>(false);
    cancelled_ = cancelled;
    const quint64 generation = ++generation_;
    // Each search on a thread of its own: one stuck on a dead share does not hold up the next.
    // The answer reaches this object through its ticket, so only while it still exists.
    std::thread([this, ticket = ticket_, cancelled, generation, entry, usable = std::move(usable)] {
        if (*cancelled) return;
        const QString picture = FirstPictureOf(
            entry, [&cancelled] { return cancelled->load(); }, usable);
        if (*cancelled) return;
        ticket.post([this, generation, entry, picture] { deliver(generation, entry, picture); });
    }).detach();
}

void FirstPictureSearch::cancel() {
    ++generation_;
    if (cancelled_) *cancelled_ = true;
    cancelled_.reset();
}

void FirstPictureSearch::deliver(quint64 generation, const QString& entry, const QString& picture) {
    if (generation == generation_) emit found(entry, picture);
}

}  // namespace tavello
