#include "platform/FolderListing.h"

#include "platform/PosixStatus.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace varnotel::posix {

namespace {

bool isDotOrDotDot(const char *name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

void addFile(Listing &listing, const char *name, FileNames files, bool link) {
    if (files == FileNames::Counted && !link)
        ++listing.unlistedFiles;
    else
        listing.entries.append({QFile::decodeName(name), DirEntry::Kind::File, {}, {}, link});
}

// Plain files are known from the folder alone; folders are asked for their
// identity and times; links are followed. Sockets, FIFOs, devices and dangling
// links are system entries and not listed.
void addEntry(int fd, const dirent64 &entry, FileNames files, Listing &listing) {
    const char *name = entry.d_name;
    unsigned char type = entry.d_type;
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
    if (type != DT_DIR && type != DT_LNK)
        return;
    if (!stated && ::fstatat(fd, name, &st, 0) != 0)
        st.st_mode = 0;
    if (S_ISREG(st.st_mode))
        addFile(listing, name, files, link);
    else if (S_ISDIR(st.st_mode))
        listing.entries.append(
            {QFile::decodeName(name), DirEntry::Kind::Folder, idOf(st), timesOf(st), link});
    else if (link)
        listing.idleLinks.append(QFile::decodeName(name));
}

} // namespace

Listing listFolder(int fd, FileNames files) {
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
                addEntry(fd, *entry, files, listing);
            else if (entry->d_name[1] == '\0')
                listing.selfInode = entry->d_ino;
        }
    }
    sortByName(listing.entries);
    return listing;
}

void sortByName(QList<DirEntry> &entries) {
    std::sort(entries.begin(), entries.end(), [](const DirEntry &a, const DirEntry &b) {
        const int folded = a.name.compare(b.name, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a.name < b.name;
    });
}

} // namespace varnotel::posix
