#include "media/WindowsArguments.h"

namespace varnotel {

namespace {

bool separates(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\n');
}

class Splitter {
public:
    explicit Splitter(const QString &text) : m_text(text) {}

    QStringList run() {
        while (m_pos < m_text.size()) {
            const QChar c = m_text.at(m_pos);
            if (!m_quoted && separates(c))
                endArgument();
            else if (c == QLatin1Char('\\'))
                takeBackslashes();
            else if (c == QLatin1Char('"'))
                takeQuote();
            else
                append(QString(c), 1);
        }
        endArgument();
        return m_result;
    }

private:
    void append(const QString &text, qsizetype consumed) {
        m_current += text;
        m_inArgument = true;
        m_pos += consumed;
    }

    void endArgument() {
        if (m_inArgument)
            m_result << m_current;
        m_current.clear();
        m_inArgument = false;
        ++m_pos;
    }

    void takeBackslashes() {
        qsizetype end = m_pos;
        while (end < m_text.size() && m_text.at(end) == QLatin1Char('\\'))
            ++end;
        const qsizetype count = end - m_pos;
        if (end == m_text.size() || m_text.at(end) != QLatin1Char('"')) {
            append(QString(count, QLatin1Char('\\')), count);
            return;
        }
        append(QString(count / 2, QLatin1Char('\\')), count);
        if (count % 2 == 1)
            append(QStringLiteral("\""), 1); // the escaped quote is text
    }

    void takeQuote() {
        m_inArgument = true;
        if (m_quoted && m_pos + 1 < m_text.size() && m_text.at(m_pos + 1) == QLatin1Char('"')) {
            append(QStringLiteral("\""), 2);
            return;
        }
        m_quoted = !m_quoted;
        ++m_pos;
    }

    const QString &m_text;
    qsizetype m_pos = 0;
    QString m_current;
    bool m_inArgument = false;
    bool m_quoted = false;
    QStringList m_result;
};

} // namespace

QStringList splitWindowsArguments(const QString &arguments) { return Splitter(arguments).run(); }

} // namespace varnotel
