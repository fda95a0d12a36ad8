#pragma once

#include <QString>

namespace varnotel {

// Elapsed and total time as a media bar shows them: "1:05 / 3:20", with hours
// in front once the media is an hour long ("1:02:03 / 1:30:00").
QString playbackTimeText(qint64 positionMs, qint64 durationMs);

} // namespace varnotel
