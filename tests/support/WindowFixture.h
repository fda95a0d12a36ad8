#pragma once

#include "mainwindow/Form1.h"
#include "mainwindow/ListBox.h"
#include "support/Expectations.h"
#include "support/TempLibrary.h"
#include "support/TestDoubles.h"

#include <QRegularExpression>
#include <QtTest>

namespace varnotel::test {

inline const QStringList kRecordFolders{QStringLiteral("Journal"), QStringLiteral("IF"),
                                        QStringLiteral("Homepage"), QStringLiteral("Notes")};

// The main window, loaded from the library, with recording doubles for its seams.
struct Window {
    explicit Window(const TempLibrary &lib) : form(lib.appDir(), seams.platform()) { form.Form_Load(); }
    TestPlatform seams;
    Form1 form;
};

// Holds Chinese and at least two English words, as every message to the user does.
inline bool isBilingual(const QString &message) {
    static const QRegularExpression chinese(QStringLiteral("[\\x{4E00}-\\x{9FFF}]"));
    static const QRegularExpression english(QStringLiteral("[A-Za-z]{2,} [A-Za-z]{2,}"));
    return message.contains(chinese) && message.contains(english);
}

// After an edit the lists are rebuilt from disk and nothing is selected.
inline void checkRebuilt(const Form1 &form, const QStringList &journals, int articles) {
    QCOMPARE(form.List1->items(), journals);
    QCOMPARE(form.List1->listIndex(), -1);
    QCOMPARE(form.List3->listCount(), 0);
    QCOMPARE(form.surfaceLines(), statistics(int(journals.size()), articles));
}

} // namespace varnotel::test
