// The variables that carry every exchange with the gauge: the request
// being waited for, the last reply, the memory-file and directory values,
// the gauge's object Ids and the readiness flags. One object, owned by the
// gauge session.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace qc {

// ReplyState values.
inline constexpr qint16 kReplyOutstanding = 55;
inline constexpr qint16 kReplyDone = 0;
inline constexpr qint16 kReplyNotNumeric = 99;      // "$wr", "$fc", "$rm" with a non-numeric first field
inline constexpr qint16 kReplyListingRepeated = 20; // "$ls" reply holding the listing already taken

// The control's object Ids of the gauge's services and characteristics.
// Filled by discovery; kept across a disconnection.
struct GattIds {
    QString SvcMainId;
    QString SvcAltId;
    QString ChrCommandId;
    QString ChrTraceId;
    QString SvcMemoryId;
    QString ChrMemDirId;
    QString ChrMemDataId;
    QString ChrLiveId;

    bool operator==(const GattIds&) const = default;
};

struct LinkState {
    QString SendText;   // text of the next write
    QString ReplyText;  // payload of the last decoded reply
    qint16 ReplyState = 0;
    qint16 FileHandle = 0;
    qint32 FileSize = 0;
    QString FileData;
    qint16 MemoryCount = 0;
    QStringList MemoryNames;
    QList<qint16> MemoryCounts;
    double BatteryVoltage = 0.0;
    QString RecordText;
    qint32 TickCount = 0;
    bool CommandPathReady = false;
    bool MemoryPathReady = false;
    bool IsSubscribed = false;
    bool EmptyValueSeen = false;
    GattIds Ids;

    bool operator==(const LinkState&) const = default;
};

// Stores an Id found by discovery under the UUID it belongs to, then
// evaluates the readiness rules. Unknown UUIDs change nothing but the
// flags' evaluation.
void ApplyDiscovered(LinkState& state, short gattType, const QString& serviceId, const QString& characteristicId,
                     const QString& uuid);

// CommandPathReady: main service and command characteristic known.
// MemoryPathReady: memory service and live characteristic known, and
// either the alternative service or both directory and data
// characteristics.
void UpdateReadiness(LinkState& state);

} // namespace qc
