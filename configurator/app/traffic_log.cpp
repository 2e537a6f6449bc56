#include "app/traffic_log.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

#include "qrvlink/qrvlink.h"

namespace {

// The SDK's decoder names its commands and fields the way its trace lines
// and qrvctl do ("read-base-info answer addr=0x0001"). The window shows the
// same line with those names in the interface's language; values and
// anything the list below does not name stay as decoded.
const char* const kFrameWords[][2] = {
    {"read-base-info", QT_TRANSLATE_NOOP("TrafficModel", "读取基本信息")},
    {"read-property", QT_TRANSLATE_NOOP("TrafficModel", "读取配置")},
    {"write-property", QT_TRANSLATE_NOOP("TrafficModel", "写入配置")},
    {"tune-radio", QT_TRANSLATE_NOOP("TrafficModel", "切换信道")},
    {"search-broadcast", QT_TRANSLATE_NOOP("TrafficModel", "广播搜索")},
    {"search-by-addr", QT_TRANSLATE_NOOP("TrafficModel", "按地址搜索")},
    {"reset", QT_TRANSLATE_NOOP("TrafficModel", "复位")},
    {"enter-update", QT_TRANSLATE_NOOP("TrafficModel", "进入升级")},
    {"firmware-block", QT_TRANSLATE_NOOP("TrafficModel", "固件数据块")},
    {"finish-update", QT_TRANSLATE_NOOP("TrafficModel", "结束升级")},
    {"factory-reset", QT_TRANSLATE_NOOP("TrafficModel", "恢复出厂设置")},
    {"io-set-directions", QT_TRANSLATE_NOOP("TrafficModel", "设置IO方向")},
    {"io-set-outputs", QT_TRANSLATE_NOOP("TrafficModel", "设置IO输出")},
    {"io-read-inputs", QT_TRANSLATE_NOOP("TrafficModel", "读取IO输入")},
    {"io-read-ad", QT_TRANSLATE_NOOP("TrafficModel", "读取AD")},
    {"answer", QT_TRANSLATE_NOOP("TrafficModel", "应答")},
    {"unrecognised", QT_TRANSLATE_NOOP("TrafficModel", "无法识别")},
    {"bytes", QT_TRANSLATE_NOOP("TrafficModel", "字节")},
    {"first", QT_TRANSLATE_NOOP("TrafficModel", "第一区")},
    {"second", QT_TRANSLATE_NOOP("TrafficModel", "第二区")},
    {"addr", QT_TRANSLATE_NOOP("TrafficModel", "地址")},
    {"new-addr", QT_TRANSLATE_NOOP("TrafficModel", "新地址")},
    {"type", QT_TRANSLATE_NOOP("TrafficModel", "类型")},
    {"run", QT_TRANSLATE_NOOP("TrafficModel", "运行状态")},
    {"fw", QT_TRANSLATE_NOOP("TrafficModel", "固件版本")},
    {"status", QT_TRANSLATE_NOOP("TrafficModel", "状态")},
    {"channel", QT_TRANSLATE_NOOP("TrafficModel", "信道")},
    {"rate", QT_TRANSLATE_NOOP("TrafficModel", "速率")},
    {"offset", QT_TRANSLATE_NOOP("TrafficModel", "偏移")},
    {"count", QT_TRANSLATE_NOOP("TrafficModel", "数量")},
    {"region", QT_TRANSLATE_NOOP("TrafficModel", "区域")},
    {"value", QT_TRANSLATE_NOOP("TrafficModel", "值")},
    {"lines", QT_TRANSLATE_NOOP("TrafficModel", "输入")},
    {"mv", QT_TRANSLATE_NOOP("TrafficModel", "毫伏")},
};

QString InInterfaceLanguage(const QString& decoded) {
    // Whole words only: letters, digits and hyphens ("new-addr", not "addr" in it).
    static const QRegularExpression word(QStringLiteral("[A-Za-z][A-Za-z0-9-]*"));
    QString shown;
    qsizetype from = 0;
    for (const QRegularExpressionMatch& match : word.globalMatch(decoded)) {
        shown += decoded.mid(from, match.capturedStart() - from);
        QString token = match.captured();
        for (const auto& [name, label] : kFrameWords)
            if (token == QLatin1String(name)) {
                token = QCoreApplication::translate("TrafficModel", label);
                break;
            }
        shown += token;
        from = match.capturedEnd();
    }
    return shown + decoded.mid(from);
}

QString Describe(const QByteArray& bytes) {
    char text[256] = {};
    Q_DescribeFrame(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::int32_t>(bytes.size()),
                    text, static_cast<std::int32_t>(sizeof text));
    return InInterfaceLanguage(QString::fromUtf8(text));
}

QString DirectionText(int direction) {
    return direction == 0 ? QCoreApplication::translate("TrafficModel", "发送")
                          : QCoreApplication::translate("TrafficModel", "接收");
}

}  // namespace

QString HexBytes(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex(' ').toUpper()); }

QString TrafficTime(std::uint64_t microseconds) {
    return QStringLiteral("%1.%2")
        .arg(microseconds / 1000000)
        .arg(microseconds % 1000000, 6, 10, QLatin1Char('0'));
}

QString TrafficClockTime(const TrafficFrame& frame) {
    return frame.clock.isValid() ? frame.clock.toString(QStringLiteral("hh:mm:ss.zzz")) : TrafficTime(frame.microseconds);
}

TrafficQueue::TrafficQueue() { Q_SetTraceHandler(&TrafficQueue::OnTrace, this); }

TrafficQueue::~TrafficQueue() {
    // Returns once no call of the handler runs: the queue may go then.
    Q_SetTraceHandler(nullptr, nullptr);
}

void TrafficQueue::OnTrace(void* user, std::int32_t direction, const std::uint8_t* bytes, std::int32_t length,
                           std::uint64_t microseconds) {
    auto* queue = static_cast<TrafficQueue*>(user);
    TrafficFrame frame{microseconds, direction, QByteArray(reinterpret_cast<const char*>(bytes), length),
                       QTime::currentTime()};
    std::lock_guard lock(queue->mutex_);
    if (queue->pending_.size() >= static_cast<std::size_t>(kTrafficCapacity)) queue->pending_.pop_front();
    queue->pending_.push_back(std::move(frame));
}

std::vector<TrafficFrame> TrafficQueue::Take() {
    std::lock_guard lock(mutex_);
    std::vector<TrafficFrame> frames(std::make_move_iterator(pending_.begin()), std::make_move_iterator(pending_.end()));
    pending_.clear();
    return frames;
}

TrafficModel::TrafficModel(QObject* parent, int capacity)
    : QAbstractTableModel(parent), capacity_(static_cast<std::size_t>(std::max(capacity, 1))) {}

void TrafficModel::Append(const std::vector<TrafficFrame>& frames) {
    // Of a batch larger than the ring only its newest frames can stay.
    const std::size_t keep = std::min(frames.size(), capacity_);
    if (keep == 0) return;
    const std::size_t overflow = rows_.size() + keep > capacity_ ? rows_.size() + keep - capacity_ : 0;
    if (overflow > 0) {
        beginRemoveRows(QModelIndex(), 0, static_cast<int>(overflow) - 1);
        rows_.erase(rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(overflow));
        endRemoveRows();
    }
    const int start = static_cast<int>(rows_.size());
    beginInsertRows(QModelIndex(), start, start + static_cast<int>(keep) - 1);
    for (auto frame = frames.end() - static_cast<std::ptrdiff_t>(keep); frame != frames.end(); ++frame)
        rows_.push_back({TrafficClockTime(*frame), frame->direction, HexBytes(frame->bytes),
                         Describe(frame->bytes)});
    endInsertRows();
}

void TrafficModel::Clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

QString TrafficModel::Text() const {
    QStringList lines;
    for (const Row& entry : rows_) {
        lines << QStringLiteral("[%1] %2 %3 | %4")
                     .arg(entry.time, entry.direction == 0 ? QStringLiteral("->") : QStringLiteral("<-"), entry.bytes,
                          entry.meaning);
    }
    return lines.join(QLatin1Char('\n')) + (lines.isEmpty() ? QString() : QStringLiteral("\n"));
}

QString TrafficModel::RowDetails(int row) const {
    if (row < 0 || row >= rowCount()) return QString();
    const Row& entry = rows_[static_cast<std::size_t>(row)];
    return QCoreApplication::translate("TrafficModel", "时间：%1\n方向：%2\n数据：%3\n含义：%4")
        .arg(entry.time, DirectionText(entry.direction), entry.bytes, entry.meaning);
}

int TrafficModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TrafficModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QString TrafficModel::CellText(const Row& row, int column) const {
    switch (column) {
        case kTime: return row.time;
        case kDirection: return DirectionText(row.direction);
        case kBytes: return row.bytes;
        case kMeaning: return row.meaning;
        default: return QString();
    }
}

QVariant TrafficModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    // A long frame is cut in its cell; its tooltip shows it whole.
    if (role == Qt::ToolTipRole) return RowDetails(index.row());
    if (role != Qt::DisplayRole) return {};
    return CellText(rows_[static_cast<std::size_t>(index.row())], index.column());
}

QVariant TrafficModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
        case kTime: return QCoreApplication::translate("TrafficModel", "时间");
        case kDirection: return QCoreApplication::translate("TrafficModel", "方向");
        case kBytes: return QCoreApplication::translate("TrafficModel", "数据");
        case kMeaning: return QCoreApplication::translate("TrafficModel", "含义");
        default: return {};
    }
}
