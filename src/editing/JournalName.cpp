#include "editing/JournalName.h"

#include "library/LibraryPaths.h"
#include "library/Messages.h"
#include "platform/FileNames.h"

#include <QFile>

#include <algorithm>

namespace varnotel {

namespace {

bool isForbidden(QChar c) {
    static const QString kReserved = QStringLiteral("/\\:*?\"<>|");
    return kReserved.contains(c) || c.category() == QChar::Other_Control;
}

} // namespace

std::optional<Failure> journalNameProblem(const QString &name) {
    if (name.isEmpty())
        return std::nullopt;
    if (std::any_of(name.cbegin(), name.cend(), isForbidden))
        return failureNaming(FailureKind::NotAJournalName,
                             QStringLiteral("期刊名称不能含有 / \\ : * ? \" < > | 或控制字符:"),
                             QStringLiteral("A journal name cannot hold / \\ : * ? \" < > | or control "
                                            "characters:"),
                             name);
    // With no reserved character left, only "." and ".." lack a folder of their own.
    if (!hasOwnExampleFolder(name))
        return Failure{FailureKind::NotAJournalName,
                       bilingual(QStringLiteral("期刊名称不能是 . 或 ..。"),
                                 QStringLiteral("A journal name cannot be . or .."))};
    if (bytesFromName(name + QStringLiteral(".txt")).size() > kMaxFileNameBytes)
        return failureNaming(FailureKind::NotAJournalName, QStringLiteral("期刊名称太长,文件系统无法保存:"),
                             QStringLiteral("The journal name is too long for the file system:"), name);
    return std::nullopt;
}

} // namespace varnotel
