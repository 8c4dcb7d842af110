#pragma once

#include "gedcom/GedcomReader.h"
#include "gedcom/RecordFacts.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace radici {

// Reads a GEDCOM file and the facts of its records on a thread of its own, some records ahead of
// the caller, so that reading the file and planning with its facts share two cores. Only the
// facts cross to the caller; the lines they were read from stay on the reading thread. The progress
// is told, and a cancel asked, on the caller's thread only. The device is read on the other thread:
// leave it alone until this is gone.
class GedcomReadAhead {
public:
    // keepGoing is told how many bytes are read: when a batch of records is handed over after the
    // reading has moved on, and each time the caller has waited, at the latest every few
    // hundredths of a second, even inside one long line. false stops the reading with
    // ImportCancelled.
    GedcomReadAhead(QIODevice& device, std::function<bool(qint64 bytesRead)> keepGoing);
    ~GedcomReadAhead();
    GedcomReadAhead(const GedcomReadAhead&) = delete;
    GedcomReadAhead& operator=(const GedcomReadAhead&) = delete;

    // Waits for the header: the encoding found and the version checked.
    Status readHeader();
    const QString& encodingName() const { return encodingName_; }
    const QString& version() const { return version_; }
    const QString& source() const { return source_; }

    // The facts of the next record after the header, valid until the next call; none once
    // "0 TRLR" is read.
    Result<const RecordFacts*> nextRecord();

private:
    using Batch = std::vector<RecordFacts>;

    // On the reading thread.
    void read();
    bool handOver(Batch& batch, Batch& spent);
    void finish(Batch& batch, const Status& outcome);

    // On the caller's thread.
    Status waitUntil(std::unique_lock<std::mutex>& lock, const std::function<bool()>& ready);
    bool tell(bool waited);
    void stop();

    QIODevice& device_;
    std::function<bool(qint64)> keepGoing_;
    std::atomic<qint64> bytesRead_{0};
    std::atomic<bool> stopped_{false};

    std::mutex mutex_;
    std::condition_variable changed_;
    // Guarded by mutex_.
    bool headerRead_ = false;
    Status headerStatus_;
    std::deque<Batch> ready_;
    std::vector<Batch> spent_;  // read by the caller, for the reading thread to empty and fill
    std::optional<Status> finished_;
    QString encodingName_;
    QString version_;
    QString source_;

    // The caller's.
    Batch current_;
    std::size_t next_ = 0;
    qint64 bytesTold_ = -1;

    std::thread thread_;  // last, so it starts once everything above is made
};

}  // namespace radici
