#include "CatalogueGenerator.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace varnotel::bench {

using namespace Qt::StringLiterals;

namespace {

// Plain system calls: a catalogue of 400,000 files is written in seconds.
void writeFile(const QString &path, const QByteArray &bytes) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        qFatal("cannot write %s", qPrintable(path));
    if (!bytes.isEmpty() && ::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    ::close(fd);
}

void makeFolder(const QString &path) {
    if (::mkdir(QFile::encodeName(path).constData(), 0755) != 0 && errno != EEXIST)
        qFatal("cannot make %s", qPrintable(path));
}

QString journalName(int number) {
    static const QStringList latin{u"Applied Physics"_s, u"Organic Chemistry"_s, u"Cell Biology"_s,
                                   u"Number Theory"_s,   u"Fluid Mechanics"_s,   u"Clinical Medicine"_s};
    static const QStringList chinese{u"物理学报"_s,   u"化学学报"_s, u"中国科学"_s,
                                     u"计算机学报"_s, u"地理学报"_s, u"数学年刊"_s};
    // One in three Chinese, the rest Latin; the number keeps every name unique.
    if (number % 3 == 0)
        return chinese.at(number / 3 % chinese.size()) + u" 第"_s + QString::number(number) + u"卷"_s;
    return u"Journal of "_s + latin.at(number % latin.size()) + u' ' + QString::number(number);
}

QString articleName(int number) {
    static const QStringList stems{u"article "_s, u"论文 "_s, u"Template "_s, u"审稿意见 "_s};
    static const QStringList endings{u".pdf"_s, u".docx"_s, u".pdf"_s, u".txt"_s};
    return stems.at(number % stems.size()) + QString::number(number) +
           endings.at(number / 4 % endings.size());
}

void writeRecords(const QString &appDir, const QString &journalFolder, const QString &name) {
    const QByteArray utf8 = name.toUtf8();
    writeFile(appDir + journalFolder + name + u".txt"_s, "\"\"\r\n");
    writeFile(appDir + u"/IF/"_s + name + u".txt"_s, "\"IF: 3.2\"\r\n");
    writeFile(appDir + u"/Homepage/"_s + name + u".txt"_s,
              "\"http://journals.example/" + QByteArray::number(qHash(utf8)) + "\"\r\n");
    writeFile(appDir + u"/Notes/"_s + name + u".txt"_s, "\"" + utf8 + ":\"\r\n");
}

// Exactly `total` articles over `folders` folders: an even share each, then
// shifted between random pairs, so that some hold none and some twice as many.
std::vector<int> smallCounts(int folders, qint64 total, QRandomGenerator &random) {
    std::vector<int> counts(size_t(folders), int(total / std::max(folders, 1)));
    for (qint64 i = 0; i < total % std::max(folders, 1); ++i)
        ++counts[size_t(i)];
    for (int shift = 0; shift < folders; ++shift) {
        const size_t from = random.bounded(folders);
        const size_t to = random.bounded(folders);
        const int moved = int(random.bounded(counts[from] + 1));
        counts[from] -= moved;
        counts[to] += moved;
    }
    return counts;
}

// Some folders keep part of their articles in subfolders, a few two deep.
void writeExampleFolder(const QString &folder, int count, QRandomGenerator &random) {
    const int roll = int(random.bounded(100));
    const int inSubfolder = roll < 5 ? count / 2 : 0;
    writeArticles(folder, count - inSubfolder, 0);
    if (inSubfolder == 0)
        return;
    const QString drafts = folder + u"/drafts 草稿"_s;
    if (roll == 0) {
        writeArticles(drafts, 0, 0);
        writeArticles(drafts + u"/2024"_s, inSubfolder, count);
    } else {
        writeArticles(drafts, inSubfolder, count);
    }
}

} // namespace

void writeArticles(const QString &folder, int count, int firstNumber) {
    makeFolder(folder);
    for (int i = 0; i < count; ++i)
        writeFile(folder + u'/' + articleName(firstNumber + i), {}); // empty: counting reads no content
}

Catalogue layOutCatalogue(const QString &appDir, int journals, qint64 articles, quint32 seed) {
    QRandomGenerator random(seed);
    Catalogue catalogue;
    for (const QString &folder : {u"/Journal"_s, u"/IF"_s, u"/Homepage"_s, u"/Notes"_s, u"/Example"_s})
        makeFolder(appDir + folder);
    // One journal in a hundred lies in a subfolder of Journal, as an old
    // catalogue's leftovers do.
    makeFolder(appDir + u"/Journal/旧 old"_s);
    const int large = std::min<qint64>(std::max(1, journals / 2000), articles / kLargeFolderArticles);
    const std::vector<int> counts =
        smallCounts(journals - large, articles - qint64(large) * kLargeFolderArticles, random);
    for (int j = 0; j < journals; ++j) {
        const QString name = journalName(j);
        catalogue.journals << name;
        writeRecords(appDir, j % 100 == 99 ? u"/Journal/旧 old/"_s : u"/Journal/"_s, name);
        const QString folder = appDir + u"/Example/"_s + name;
        if (j < large) {
            writeArticles(folder, kLargeFolderArticles, 0);
            catalogue.largeFolders << name;
        } else {
            writeExampleFolder(folder, counts[size_t(j - large)], random);
            catalogue.smallFolders << name;
        }
    }
    // Stray files: counted like any other.
    writeFile(appDir + u"/Journal/desktop.ini"_s, "");
    writeFile(appDir + u"/Example/Thumbs.db"_s, "");
    writeFile(appDir + u"/Example/readme 说明.txt"_s, "");
    catalogue.journalFiles = journals + 1;
    catalogue.exampleFiles = articles + 2;
    return catalogue;
}

} // namespace varnotel::bench
