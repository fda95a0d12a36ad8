#include "music/PlaybackTime.h"

namespace varnotel {

namespace {

QString clockText(qint64 ms, bool withHours) {
    const qint64 seconds = qMax<qint64>(ms, 0) / 1000;
    const QString minutesAndSeconds = QStringLiteral("%1:%2")
                                          .arg(withHours ? (seconds / 60) % 60 : seconds / 60)
                                          .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (!withHours)
        return minutesAndSeconds;
    return QStringLiteral("%1:").arg(seconds / 3600) + minutesAndSeconds.rightJustified(5, QLatin1Char('0'));
}

} // namespace

QString playbackTimeText(qint64 positionMs, qint64 durationMs) {
    const bool withHours = durationMs >= 3600 * 1000 || positionMs >= 3600 * 1000;
    return clockText(positionMs, withHours) + QStringLiteral(" / ") + clockText(durationMs, withHours);
}

} // namespace varnotel
