#include "gedcom/GedcomReadAhead.h"

#include <QIODevice>
#include <chrono>
#include <utility>

namespace radici {
namespace {

// Records handed over at once, and batches the reading may be ahead: enough to keep both threads
// busy, few enough that the records in between take a few megabytes.
constexpr std::size_t BatchRecords = 256;
constexpr std::size_t BatchesAhead = 8;

// How long the caller waits before it tells the progress again and may cancel.
constexpr std::chrono::milliseconds Patience{40};

}  // namespace

GedcomReadAhead::GedcomReadAhead(QIODevice& device, std::function<bool(qint64)> keepGoing)
    : device_(device), keepGoing_(std::move(keepGoing)) {
    thread_ = std::thread([this] { read(); });
}

GedcomReadAhead::~GedcomReadAhead() {
    stop();
    thread_.join();
}

void GedcomReadAhead::stop() {
    {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    changed_.notify_all();
}

void GedcomReadAhead::read() {
    GedcomReader reader(device_, [this] {
        bytesRead_ = device_.pos();
        changed_.notify_all();  // so a caller waiting inside a long line tells the progress
        return !stopped_;
    });
    const Status header = reader.readHeader();
    {
        const std::lock_guard lock(mutex_);
        headerRead_ = true;
        headerStatus_ = header;
        encodingName_ = reader.encodingName();
        version_ = reader.version();
        source_ = reader.source();
        if (!header.ok()) finished_ = header;
    }
    changed_.notify_all();
    if (!header.ok()) return;
    Batch batch;
    Batch spent;
    for (;;) {
        const Result<std::optional<GedcomNode>> record = reader.nextRecord();
        if (!record.ok() || !record.value()) return finish(batch, record.status());
        batch.push_back(TakeFacts(*record.value()));
        // The caller's records are freed here, on the thread that allocated their texts: memory
        // freed by another thread comes back to this one's heap only the slow way. One is freed
        // for each record read, so the allocator hands its memory straight out again.
        if (!spent.empty()) spent.pop_back();
        if (batch.size() == BatchRecords && !handOver(batch, spent)) return;
    }
}

// Waits while the caller is far enough behind, then takes back a batch the caller is done with,
// to be emptied while the next one fills the room of the batch emptied before it.
bool GedcomReadAhead::handOver(Batch& batch, Batch& spent) {
    Batch returned;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return ready_.size() < BatchesAhead || stopped_; });
        if (stopped_) return false;
        ready_.push_back(std::move(batch));
        if (!spent_.empty()) {
            returned = std::move(spent_.back());
            spent_.pop_back();
        }
    }
    changed_.notify_all();
    spent.clear();
    batch = std::exchange(spent, std::move(returned));
    return true;
}

void GedcomReadAhead::finish(Batch& batch, const Status& outcome) {
    {
        const std::lock_guard lock(mutex_);
        if (!batch.empty()) ready_.push_back(std::move(batch));
        finished_ = outcome;
    }
    changed_.notify_all();
}

// Tells how far the reading is when it has moved on, or when the caller has waited: a device
// that cannot say where it is must still be cancellable.
bool GedcomReadAhead::tell(bool waited) {
    const qint64 bytesRead = bytesRead_;
    if (bytesRead == bytesTold_ && !waited) return true;
    bytesTold_ = bytesRead;
    if (!keepGoing_ || keepGoing_(bytesRead)) return true;
    stop();
    return false;
}

Status GedcomReadAhead::waitUntil(std::unique_lock<std::mutex>& lock,
                                  const std::function<bool()>& ready) {
    while (!ready()) {
        changed_.wait_for(lock, Patience);
        lock.unlock();
        const bool going = tell(true);
        lock.lock();
        if (!going) return ImportCancelled();
    }
    return Status::success();
}

Status GedcomReadAhead::readHeader() {
    std::unique_lock lock(mutex_);
    if (Status waited = waitUntil(lock, [&] { return headerRead_; }); !waited.ok()) return waited;
    return headerStatus_;
}

Result<const RecordFacts*> GedcomReadAhead::nextRecord() {
    if (next_ < current_.size()) return &current_[next_++];
    std::unique_lock lock(mutex_);
    if (current_.capacity() > 0) spent_.push_back(std::exchange(current_, {}));
    next_ = 0;
    if (Status waited = waitUntil(lock, [&] { return !ready_.empty() || finished_; }); !waited.ok())
        return waited;
    if (ready_.empty()) {
        if (!finished_->ok()) return *finished_;
        return static_cast<const RecordFacts*>(nullptr);
    }
    current_ = std::move(ready_.front());
    ready_.pop_front();
    lock.unlock();
    changed_.notify_all();
    if (!tell(false)) return ImportCancelled();
    return &current_[next_++];
}

}  // namespace radici
