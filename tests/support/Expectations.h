#pragma once

#include <QByteArray>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <algorithm>

namespace varnotel::test {

// The two statistics lines the window should show for these counts.
inline QStringList statistics(int journals, int articles) {
    return {QStringLiteral(" 总计收录 %1个期刊, %2篇期刊例文。").arg(journals).arg(articles),
            QStringLiteral(" There are %1 journals and  %2 example articles.").arg(journals).arg(articles)};
}

// The bytes of a record file the program wrote with this value.
inline QByteArray quoted(const QString &value) { return "\"" + value.toUtf8() + "\"\r\n"; }

// Holds Chinese and at least two English words, as every message to the user does.
inline bool isBilingual(const QString &message) {
    static const QRegularExpression chinese(QStringLiteral("[\\x{4E00}-\\x{9FFF}]"));
    static const QRegularExpression english(QStringLiteral("[A-Za-z]{2,} [A-Za-z]{2,}"));
    return message.contains(chinese) && message.contains(english);
}

// Empty when there are `count` messages, each bilingual, naming between them
// every text in `naming`; otherwise the messages, to be read.
inline QString unexpectedIn(const QStringList &messages, qsizetype count, const QStringList &naming = {}) {
    const QString all =
        QString::number(messages.size()) + QStringLiteral(" messages:\n") + messages.join(u'\n');
    const auto named = [&all](const QString &text) { return all.contains(text); };
    const bool expected = messages.size() == count &&
                          std::all_of(messages.cbegin(), messages.cend(), isBilingual) &&
                          std::all_of(naming.cbegin(), naming.cend(), named);
    return expected ? QString() : all;
}

} // namespace varnotel::test
