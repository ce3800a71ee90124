#include "diy/DiyHistory.h"

#include <QSet>

DiyHistory::DiyHistory() = default;
DiyHistory::~DiyHistory() = default;

void DiyHistory::push(const QImage &image, const QImage &baseImage, int zoomStep)
{
    undone.clear();
    done.push_back(std::make_unique<HistoryObject>(image, baseImage, zoomStep));
    applyLimits();
}

const HistoryObject *DiyHistory::undo()
{
    if (done.size() < 2)
        return nullptr;
    undone.push_back(std::move(done.back()));
    done.pop_back();
    return done.back().get();
}

const HistoryObject *DiyHistory::redo()
{
    if (undone.empty())
        return nullptr;
    done.push_back(std::move(undone.back()));
    undone.pop_back();
    return done.back().get();
}

const HistoryObject *DiyHistory::current() const
{
    return done.empty() ? nullptr : done.back().get();
}

qint64 DiyHistory::bytes() const
{
    QSet<qint64> counted;
    qint64 total = 0;
    auto add = [&](const QImage &picture) {
        if (picture.isNull() || counted.contains(picture.cacheKey()))
            return;
        counted.insert(picture.cacheKey());
        total += picture.sizeInBytes();
    };
    for (const auto &snapshot : done) {
        add(snapshot->image());
        add(snapshot->baseImage());
    }
    for (const auto &snapshot : undone) {
        add(snapshot->image());
        add(snapshot->baseImage());
    }
    return total;
}

void DiyHistory::applyLimits()
{
    while (done.size() > size_t(MaxSnapshots))
        done.erase(done.begin());
    while (done.size() > 2 && bytes() > MaxBytes)
        done.erase(done.begin());
}
