#pragma once
// The line's traffic as the "通信记录" window shows it. The SDK's trace
// handler runs on the exchange's thread, which waits for it: TrafficQueue
// only copies the bytes under a lock; the window thread takes them in
// batches into TrafficModel, a ring of the last kTrafficCapacity frames, so
// memory stays flat however long the program runs.
#include <QAbstractTableModel>
#include <QByteArray>
#include <QString>
#include <QTime>

#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

inline constexpr int kTrafficCapacity = 10000;

struct TrafficFrame {
    std::uint64_t microseconds = 0;  // monotonic, as the SDK stamps it
    int direction = 0;               // 0 written, 1 read
    QByteArray bytes;
    QTime clock;  // the wall clock when the frame passed; invalid: not taken
};

class TrafficQueue {
public:
    // Installs this queue as the SDK's trace handler; the destructor removes it.
    TrafficQueue();
    ~TrafficQueue();
    TrafficQueue(const TrafficQueue&) = delete;
    TrafficQueue& operator=(const TrafficQueue&) = delete;

    // The frames queued since the last call, oldest first.
    std::vector<TrafficFrame> Take();

    // The SDK trace handler it installed (with `this`), for a step that
    // installs its own for a while and passes the frames on.
    static void OnTrace(void* user, std::int32_t direction, const std::uint8_t* bytes, std::int32_t length,
                        std::uint64_t microseconds);

private:
    std::mutex mutex_;
    std::deque<TrafficFrame> pending_;  // at most kTrafficCapacity: older ones would be dropped anyway
};

class TrafficModel : public QAbstractTableModel {
public:
    enum Column { kTime, kDirection, kBytes, kMeaning, kColumnCount };

    explicit TrafficModel(QObject* parent = nullptr, int capacity = kTrafficCapacity);

    // Adds the frames at the bottom, dropping the oldest beyond the capacity.
    void Append(const std::vector<TrafficFrame>& frames);
    void Clear();
    // Every row as one line: time, arrow, hex bytes, meaning.
    QString Text() const;
    // One row whole, on four lines: time, direction, bytes, meaning (the
    // details pane and the row's tooltip).
    QString RowDetails(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Row {
        QString time;
        int direction = 0;
        QString bytes;
        QString meaning;
    };
    QString CellText(const Row& row, int column) const;

    std::size_t capacity_;
    std::deque<Row> rows_;  // oldest first, never more than capacity_
};

// "AB D1 BA"
QString HexBytes(const QByteArray& bytes);
// "8123.402011": the SDK's monotonic seconds, as its own trace lines show them.
QString TrafficTime(std::uint64_t microseconds);
// "14:03:27.105" from the frame's wall clock; TrafficTime without one.
QString TrafficClockTime(const TrafficFrame& frame);
