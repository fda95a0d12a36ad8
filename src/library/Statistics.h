#pragma once

#include <QString>

namespace varnotel {

// A count as the program prints it: one leading blank when not negative.
QString numberText(qint64 value);

QString chineseStatisticsLine(qint64 journals, qint64 articles);
QString englishStatisticsLine(qint64 journals, qint64 articles);

} // namespace varnotel
