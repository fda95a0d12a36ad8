#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace varnotel::test {

// The two statistics lines the window should show for these counts.
inline QStringList statistics(int journals, int articles) {
    return {QStringLiteral(" 总计收录 %1个期刊, %2篇期刊例文。").arg(journals).arg(articles),
            QStringLiteral(" There are %1 journals and  %2 example articles.").arg(journals).arg(articles)};
}

// The bytes of a record file the program wrote with this value.
inline QByteArray quoted(const QString &value) { return "\"" + value.toUtf8() + "\"\r\n"; }

} // namespace varnotel::test
