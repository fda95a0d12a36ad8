#include "platform/FolderListing.h"

#include "platform/PosixStatus.h"
#include "platform/ScratchNames.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace varnotel::posix {

namespace {

bool isDotOrDotDot(const char *name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

void addFile(Listing &listing, const char *name, FileNames files, bool link) {
    if (files == FileNames::Counted && !link)
        ++listing.unlistedFiles;
    else
        listing.entries.append({nameOf(name), DirEntry::Kind::File, {}, {}, link});
}

// Only a plain file is ever a scratch file; anything else of that name is
// someone's, and passed over all the same.
void noteScratchFile(int fd, const char *name, unsigned char type, Listing &listing) {
    struct stat st {};
    if (type == DT_REG ||
        (type == DT_UNKNOWN && ::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode)))
        listing.scratchFiles.append(nameOf(name));
}

// ".Trash" or ".Trash-" and a user id.
bool isTrashName(const QString &name) {
    if (name == QLatin1String(".Trash"))
        return true;
    if (!name.startsWith(QLatin1String(".Trash-")) || name.size() == 7)
        return false;
    return std::all_of(name.cbegin() + 7, name.cend(),
                       [](QChar c) { return c.isDigit() && c.unicode() < 128; });
}

// The top of a disk: its parent lies on another device, or it is its own
// parent. Asked only of a folder that holds a trash-like name.
bool isTopOfADisk(int fd) {
    struct stat self {
    }, parent{};
    if (::fstat(fd, &self) != 0 || ::fstatat(fd, "..", &parent, 0) != 0)
        return false;
    return self.st_dev != parent.st_dev || self.st_ino == parent.st_ino;
}

void passOverTrash(int fd, Listing &listing) {
    const auto isTrash = [](const DirEntry &entry) {
        return entry.kind == DirEntry::Kind::Folder && !entry.link && isTrashName(entry.name);
    };
    if (std::any_of(listing.entries.cbegin(), listing.entries.cend(), isTrash) && isTopOfADisk(fd))
        listing.entries.removeIf(isTrash);
}

struct Reading {
    int fd;
    FileNames files;
    Subfolders subfolders;
    quint64 device;
};

// Plain files are known from the folder alone; folders are asked for their
// identity and times, or named by their entry's inode; links are followed.
// Sockets, FIFOs, devices and dangling links are system entries and not listed.
void addEntry(const Reading &reading, const char *name, unsigned char type, quint64 inode, Listing &listing) {
    const int fd = reading.fd;
    const FileNames files = reading.files;
    if (isScratchName(name)) {
        noteScratchFile(fd, name, type, listing);
        return;
    }
    if (type == DT_DIR && reading.subfolders == Subfolders::InodesOnly) {
        listing.entries.append(
            {nameOf(name), DirEntry::Kind::Folder, {reading.device, inode}, {}, false, false});
        return;
    }
    struct stat st {};
    bool link = type == DT_LNK;
    bool stated = false;
    if (type == DT_UNKNOWN) {
        if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return;
        link = S_ISLNK(st.st_mode);
        type = link ? static_cast<unsigned char>(DT_LNK) : static_cast<unsigned char>(IFTODT(st.st_mode));
        stated = !link;
    }
    if (type == DT_REG) {
        addFile(listing, name, files, link);
        return;
    }
    if (type != DT_DIR && type != DT_LNK) {
        ++listing.systemEntries;
        return;
    }
    if (!stated && ::fstatat(fd, name, &st, 0) != 0)
        st.st_mode = 0;
    if (S_ISREG(st.st_mode))
        addFile(listing, name, files, link);
    else if (S_ISDIR(st.st_mode))
        listing.entries.append({nameOf(name), DirEntry::Kind::Folder, idOf(st), timesOf(st), link});
    else if (link)
        listing.idleLinks.append(nameOf(name));
}

} // namespace

Listing listFolder(int fd, FileNames files, Subfolders subfolders, quint64 device) {
    const Reading reading{fd, files, subfolders, device};
    Listing listing;
    alignas(dirent64) char buffer[32768];
    for (;;) {
        const ssize_t size = ::getdents64(fd, buffer, sizeof buffer);
        if (size == 0)
            break;
        if (size < 0) {
            if (errno == EINTR)
                continue;
            listing.complete = false;
            break;
        }
        for (ssize_t offset = 0; offset < size;) {
            const auto *entry = reinterpret_cast<const dirent64 *>(buffer + offset);
            offset += entry->d_reclen;
            if (!isDotOrDotDot(entry->d_name))
                addEntry(reading, entry->d_name, entry->d_type, quint64(entry->d_ino), listing);
            else if (entry->d_name[1] == '\0')
                listing.selfInode = entry->d_ino;
        }
    }
    passOverTrash(fd, listing);
    sortByName(listing.entries);
    return listing;
}

// Each name is asked as a reading meets it: its type and the inode its entry
// names, which lstat gives for all but a folder something is mounted on, and
// a mount never comes with a new entry.
Listing listNames(int fd, const QStringList &names, Subfolders subfolders, quint64 device) {
    const Reading reading{fd, FileNames::Listed, subfolders, device};
    Listing listing;
    for (const QString &name : names) {
        const QByteArray bytes = native(name);
        struct stat st {};
        if (!isDotOrDotDot(bytes.constData()) &&
            ::fstatat(fd, bytes.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0)
            addEntry(reading, bytes.constData(), static_cast<unsigned char>(IFTODT(st.st_mode)),
                     quint64(st.st_ino), listing);
    }
    passOverTrash(fd, listing);
    sortByName(listing.entries);
    return listing;
}

namespace {

// What QString::compare(Qt::CaseInsensitive) compares, unit by unit: each
// UTF-16 unit case-folded as a code point, a low surrogate together with the
// high one before it. Written big-endian, `width` bytes per unit, these keys
// order by memcmp exactly as that function orders the names, so a big folder
// is sorted without folding every name again at every comparison. False when
// a folded unit does not fit the width.
bool writeFoldedKey(const QString &name, int width, char *&out) {
    char32_t last = 0;
    for (const QChar character : name) {
        const char32_t unit = character.unicode();
        char32_t folded = unit;
        if (unit >= 'A' && unit <= 'Z')
            folded = unit + ('a' - 'A');
        else if (unit >= 0x80)
            folded = QChar::toCaseFolded(QChar::isLowSurrogate(unit) && QChar::isHighSurrogate(last)
                                             ? QChar::surrogateToUcs4(char16_t(last), char16_t(unit))
                                             : unit);
        if (width == 3)
            *out++ = char(folded >> 16);
        else if (folded > 0xFFFF)
            return false;
        *out++ = char((folded >> 8) & 0xFF);
        *out++ = char(folded & 0xFF);
        last = unit;
    }
    return true;
}

struct SortKey {
    quint32 offset;
    quint32 length;
    quint32 entry;
};

// Two bytes a unit while every folded unit fits them, which is the rule:
// folding stays within the first plane.
bool writeFoldedKeys(const QList<DirEntry> &entries, int width, std::vector<char> &keys,
                     std::vector<SortKey> &order) {
    order.clear();
    char *end = keys.data();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        char *const start = end;
        if (!writeFoldedKey(entries.at(i).name, width, end))
            return false;
        order.push_back({quint32(start - keys.data()), quint32(end - start), quint32(i)});
    }
    return true;
}

// Puts entries[order[i].entry] at i, moving each entry once, without a second
// list of them.
void permute(QList<DirEntry> &entries, std::vector<SortKey> &order) {
    for (quint32 start = 0; start < order.size(); ++start) {
        if (order[start].entry == start)
            continue;
        DirEntry carried = std::move(entries[start]);
        quint32 at = start;
        while (order[at].entry != start) {
            const quint32 from = order[at].entry;
            entries[at] = std::move(entries[from]);
            order[at].entry = at;
            at = from;
        }
        entries[at] = std::move(carried);
        order[at].entry = at;
    }
}

} // namespace

void sortByName(QList<DirEntry> &entries) {
    if (entries.size() < 2)
        return;
    // Kept between readings: a fresh buffer of megabytes costs more in page
    // faults than its sorting.
    thread_local std::vector<char> keys;
    thread_local std::vector<SortKey> order;
    size_t units = 0;
    for (const DirEntry &entry : std::as_const(entries))
        units += size_t(entry.name.size());
    keys.resize(std::max(keys.size(), 3 * units));
    if (!writeFoldedKeys(entries, 2, keys, order))
        writeFoldedKeys(entries, 3, keys, order);
    std::sort(order.begin(), order.end(), [&](const SortKey &a, const SortKey &b) {
        const int folded =
            std::memcmp(keys.data() + a.offset, keys.data() + b.offset, std::min(a.length, b.length));
        if (folded != 0)
            return folded < 0;
        if (a.length != b.length)
            return a.length < b.length;
        return entries.at(qsizetype(a.entry)).name < entries.at(qsizetype(b.entry)).name;
    });
    permute(entries, order);
}

} // namespace varnotel::posix
