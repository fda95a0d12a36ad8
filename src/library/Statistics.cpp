#include "library/Statistics.h"

namespace varnotel {

QString numberText(qint64 value) {
    return value >= 0 ? QLatin1Char(' ') + QString::number(value) : QString::number(value);
}

QString chineseStatisticsLine(qint64 journals, qint64 articles) {
    return QStringLiteral(" 总计收录") + numberText(journals) + QStringLiteral("个期刊,") +
           numberText(articles) + QStringLiteral("篇期刊例文。");
}

QString englishStatisticsLine(qint64 journals, qint64 articles) {
    return QStringLiteral(" There are") + numberText(journals) + QStringLiteral(" journals and ") +
           numberText(articles) + QStringLiteral(" example articles.");
}

} // namespace varnotel
