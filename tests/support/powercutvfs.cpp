#include "powercutvfs.h"

#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace corvane::test {

namespace {

// A disk writes sectors of this size, none of them atomically.
constexpr std::size_t SectorSize = 512;

// One write or truncation made since the file's last sync.
struct Change
{
    bool truncation = false;
    std::size_t offset = 0; // a truncation's new size
    std::string bytes;
};

// A file's contents as the disk knows them: what the last sync made durable,
// and the changes since, oldest first.
struct Node
{
    std::string synced;
    std::vector<Change> unsynced;
};

void applyExactly(std::string &image, const Change &change)
{
    if (change.truncation) {
        image.resize(change.offset);
        return;
    }
    const std::size_t end = change.offset + change.bytes.size();
    if (image.size() < end)
        image.resize(end, '\0');
    image.replace(change.offset, change.bytes.size(), change.bytes);
}

// Grows the image to `size` with garbage: space a file gains holds whatever
// the disk had there until the data written to it arrives.
void growWithGarbage(std::string &image, std::size_t size, std::mt19937_64 &random)
{
    while (image.size() < size)
        image.push_back(char(random()));
}

// What became of one unsynced change when the power went: lost, done, or (a
// write) torn, each sector of it old, new or new only up to some byte.
void applyAfterLoss(std::string &image, const Change &change, std::mt19937_64 &random)
{
    const auto fate = random() % 3;
    if (fate == 0)
        return;
    if (change.truncation) {
        image.resize(change.offset);
        return;
    }
    const std::size_t end = change.offset + change.bytes.size();
    growWithGarbage(image, end, random);
    if (fate == 1) {
        image.replace(change.offset, change.bytes.size(), change.bytes);
        return;
    }
    for (std::size_t at = change.offset; at < end;) {
        const std::size_t sectorEnd = std::min(end, (at / SectorSize + 1) * SectorSize);
        std::size_t written = 0;
        switch (random() % 3) {
        case 0:
            break;
        case 1:
            written = sectorEnd - at;
            break;
        default:
            written = random() % (sectorEnd - at);
        }
        image.replace(at, written, change.bytes, at - change.offset, written);
        at = sectorEnd;
    }
}

std::string fileContents(const std::string &path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

} // namespace

struct PowerCutVfs::State
{
    sqlite3_vfs vfs{};
    sqlite3_io_methods methods{};
    sqlite3_vfs *real = nullptr;

    qint64 cutAt = 0;
    qint64 count = 0;
    bool off = false;
    quint64 seed = 0;

    std::vector<std::unique_ptr<Node>> nodes;
    // Which file each path names now, and which it names on the disk for sure.
    std::map<std::string, Node *> live;
    std::map<std::string, Node *> durable;

    // A counted call is about to be made: false when it must fail instead.
    bool counts()
    {
        if (!off && ++count == cutAt)
            off = true;
        return !off;
    }

    Node *newNode(std::string contents)
    {
        nodes.push_back(std::make_unique<Node>(Node{std::move(contents), {}}));
        return nodes.back().get();
    }
};

namespace {

using State = PowerCutVfs::State;

// A file open through the VFS; the default VFS's own file follows it.
struct File
{
    sqlite3_file base;
    State *state;
    Node *node; // null for a temporary file, which no power cut concerns
    // The unix VFS syncs the directory at the first sync of a journal or WAL
    // it opened to create, making the file's name durable.
    bool syncsDirectory;
};

constexpr std::size_t RealFileOffset = (sizeof(File) + 7) & ~std::size_t(7);

File *fileOf(sqlite3_file *file)
{
    return reinterpret_cast<File *>(file);
}

sqlite3_file *realOf(sqlite3_file *file)
{
    return reinterpret_cast<sqlite3_file *>(reinterpret_cast<char *>(file) + RealFileOffset);
}

State *stateOf(sqlite3_vfs *vfs)
{
    return static_cast<State *>(vfs->pAppData);
}

// Whether a write-like call on the file may go ahead: temporary files do not
// count towards the cut but fail once the power is off.
bool mayChange(File *file)
{
    return file->node ? file->state->counts() : !file->state->off;
}

int fileClose(sqlite3_file *file)
{
    sqlite3_file *real = realOf(file);
    return real->pMethods ? real->pMethods->xClose(real) : SQLITE_OK;
}

int fileRead(sqlite3_file *file, void *buffer, int amount, sqlite3_int64 offset)
{
    if (fileOf(file)->state->off)
        return SQLITE_IOERR_READ;
    sqlite3_file *real = realOf(file);
    return real->pMethods->xRead(real, buffer, amount, offset);
}

int fileWrite(sqlite3_file *file, const void *buffer, int amount, sqlite3_int64 offset)
{
    File *f = fileOf(file);
    if (!mayChange(f))
        return SQLITE_IOERR_WRITE;
    sqlite3_file *real = realOf(file);
    const int rc = real->pMethods->xWrite(real, buffer, amount, offset);
    if (rc == SQLITE_OK && f->node)
        f->node->unsynced.push_back(Change{
            false, std::size_t(offset), std::string(static_cast<const char *>(buffer), std::size_t(amount))});
    return rc;
}

int fileTruncate(sqlite3_file *file, sqlite3_int64 size)
{
    File *f = fileOf(file);
    if (!mayChange(f))
        return SQLITE_IOERR_TRUNCATE;
    sqlite3_file *real = realOf(file);
    const int rc = real->pMethods->xTruncate(real, size);
    if (rc == SQLITE_OK && f->node)
        f->node->unsynced.push_back(Change{true, std::size_t(size), {}});
    return rc;
}

// The real file is not synced: what the disk keeps is the model's business,
// and a thousand runs of real fsyncs would be slow.
int fileSync(sqlite3_file *file, int)
{
    File *f = fileOf(file);
    if (!mayChange(f))
        return SQLITE_IOERR_FSYNC;
    if (f->node) {
        for (const Change &change : f->node->unsynced)
            applyExactly(f->node->synced, change);
        f->node->unsynced.clear();
    }
    if (f->syncsDirectory) {
        f->state->durable = f->state->live;
        f->syncsDirectory = false;
    }
    return SQLITE_OK;
}

int fileSize(sqlite3_file *file, sqlite3_int64 *size)
{
    if (fileOf(file)->state->off)
        return SQLITE_IOERR_FSTAT;
    sqlite3_file *real = realOf(file);
    return real->pMethods->xFileSize(real, size);
}

int fileLock(sqlite3_file *file, int lock)
{
    sqlite3_file *real = realOf(file);
    return real->pMethods->xLock(real, lock);
}

int fileUnlock(sqlite3_file *file, int lock)
{
    sqlite3_file *real = realOf(file);
    return real->pMethods->xUnlock(real, lock);
}

int fileCheckReservedLock(sqlite3_file *file, int *reserved)
{
    sqlite3_file *real = realOf(file);
    return real->pMethods->xCheckReservedLock(real, reserved);
}

int fileControl(sqlite3_file *file, int op, void *arg)
{
    sqlite3_file *real = realOf(file);
    return real->pMethods->xFileControl(real, op, arg);
}

int fileSectorSize(sqlite3_file *file)
{
    sqlite3_file *real = realOf(file);
    return real->pMethods->xSectorSize(real);
}

int fileDeviceCharacteristics(sqlite3_file *file)
{
    sqlite3_file *real = realOf(file);
    return real->pMethods->xDeviceCharacteristics(real);
}

int fileShmMap(sqlite3_file *file, int page, int pageSize, int extend, void volatile **memory)
{
    if (fileOf(file)->state->off)
        return SQLITE_IOERR_SHMMAP;
    sqlite3_file *real = realOf(file);
    return real->pMethods->xShmMap(real, page, pageSize, extend, memory);
}

int fileShmLock(sqlite3_file *file, int offset, int n, int flags)
{
    sqlite3_file *real = realOf(file);
    return real->pMethods->xShmLock(real, offset, n, flags);
}

void fileShmBarrier(sqlite3_file *file)
{
    sqlite3_file *real = realOf(file);
    real->pMethods->xShmBarrier(real);
}

int fileShmUnmap(sqlite3_file *file, int deleteFlag)
{
    sqlite3_file *real = realOf(file);
    return real->pMethods->xShmUnmap(real, deleteFlag);
}

int vfsOpen(sqlite3_vfs *vfs, const char *name, sqlite3_file *file, int flags, int *outFlags)
{
    State *state = stateOf(vfs);
    File *f = fileOf(file);
    f->base.pMethods = nullptr;
    if (state->off)
        return SQLITE_CANTOPEN;
    const bool tracked = name && !(flags & SQLITE_OPEN_DELETEONCLOSE);
    Node *node = nullptr;
    const std::string path = name ? name : "";
    if (tracked) {
        const auto known = state->live.find(path);
        if (known != state->live.end()) {
            node = known->second;
        } else if (QFile::exists(QString::fromStdString(path))) {
            // There before the run began: safely on the disk.
            node = state->newNode(fileContents(path));
            state->live[path] = node;
            state->durable[path] = node;
        }
    }
    const int rc = state->real->xOpen(state->real, name, realOf(file), flags, outFlags);
    if (rc != SQLITE_OK)
        return rc;
    if (tracked && !node) {
        node = state->newNode({});
        state->live[path] = node;
    }
    f->state = state;
    f->node = node;
    f->syncsDirectory = tracked && (flags & SQLITE_OPEN_CREATE) &&
                        (flags & (SQLITE_OPEN_MAIN_JOURNAL | SQLITE_OPEN_SUPER_JOURNAL | SQLITE_OPEN_WAL));
    f->base.pMethods = &state->methods;
    return SQLITE_OK;
}

int vfsDelete(sqlite3_vfs *vfs, const char *name, int syncDirectory)
{
    State *state = stateOf(vfs);
    if (!state->counts())
        return SQLITE_IOERR_DELETE;
    const int rc = state->real->xDelete(state->real, name, 0);
    if (rc == SQLITE_OK) {
        state->live.erase(name);
        if (syncDirectory)
            state->durable = state->live;
    }
    return rc;
}

int vfsAccess(sqlite3_vfs *vfs, const char *name, int flags, int *result)
{
    State *state = stateOf(vfs);
    if (state->off)
        return SQLITE_IOERR_ACCESS;
    return state->real->xAccess(state->real, name, flags, result);
}

int vfsFullPathname(sqlite3_vfs *vfs, const char *name, int size, char *out)
{
    sqlite3_vfs *real = stateOf(vfs)->real;
    return real->xFullPathname(real, name, size, out);
}

void *vfsDlOpen(sqlite3_vfs *vfs, const char *name)
{
    sqlite3_vfs *real = stateOf(vfs)->real;
    return real->xDlOpen(real, name);
}

void vfsDlError(sqlite3_vfs *vfs, int size, char *message)
{
    sqlite3_vfs *real = stateOf(vfs)->real;
    real->xDlError(real, size, message);
}

void (*vfsDlSym(sqlite3_vfs *vfs, void *library, const char *symbol))(void)
{
    sqlite3_vfs *real = stateOf(vfs)->real;
    return real->xDlSym(real, library, symbol);
}

void vfsDlClose(sqlite3_vfs *vfs, void *library)
{
    sqlite3_vfs *real = stateOf(vfs)->real;
    real->xDlClose(real, library);
}

int vfsRandomness(sqlite3_vfs *vfs, int size, char *out)
{
    sqlite3_vfs *real = stateOf(vfs)->real;
    return real->xRandomness(real, size, out);
}

int vfsSleep(sqlite3_vfs *vfs, int microseconds)
{
    sqlite3_vfs *real = stateOf(vfs)->real;
    return real->xSleep(real, microseconds);
}

int vfsCurrentTime(sqlite3_vfs *vfs, double *now)
{
    sqlite3_vfs *real = stateOf(vfs)->real;
    return real->xCurrentTime(real, now);
}

int vfsGetLastError(sqlite3_vfs *vfs, int size, char *out)
{
    sqlite3_vfs *real = stateOf(vfs)->real;
    return real->xGetLastError(real, size, out);
}

int vfsCurrentTimeInt64(sqlite3_vfs *vfs, sqlite3_int64 *now)
{
    sqlite3_vfs *real = stateOf(vfs)->real;
    return real->xCurrentTimeInt64(real, now);
}

} // namespace

PowerCutVfs::PowerCutVfs() : m_state(std::make_unique<State>())
{
    State &s = *m_state;
    s.real = sqlite3_vfs_find(nullptr);
    s.methods = sqlite3_io_methods{2,
                                   fileClose,
                                   fileRead,
                                   fileWrite,
                                   fileTruncate,
                                   fileSync,
                                   fileSize,
                                   fileLock,
                                   fileUnlock,
                                   fileCheckReservedLock,
                                   fileControl,
                                   fileSectorSize,
                                   fileDeviceCharacteristics,
                                   fileShmMap,
                                   fileShmLock,
                                   fileShmBarrier,
                                   fileShmUnmap,
                                   nullptr,
                                   nullptr};
    s.vfs.iVersion = 2;
    s.vfs.szOsFile = int(RealFileOffset) + s.real->szOsFile;
    s.vfs.mxPathname = s.real->mxPathname;
    s.vfs.zName = name();
    s.vfs.pAppData = &s;
    s.vfs.xOpen = vfsOpen;
    s.vfs.xDelete = vfsDelete;
    s.vfs.xAccess = vfsAccess;
    s.vfs.xFullPathname = vfsFullPathname;
    s.vfs.xDlOpen = vfsDlOpen;
    s.vfs.xDlError = vfsDlError;
    s.vfs.xDlSym = vfsDlSym;
    s.vfs.xDlClose = vfsDlClose;
    s.vfs.xRandomness = vfsRandomness;
    s.vfs.xSleep = vfsSleep;
    s.vfs.xCurrentTime = vfsCurrentTime;
    s.vfs.xGetLastError = vfsGetLastError;
    s.vfs.xCurrentTimeInt64 = vfsCurrentTimeInt64;
    sqlite3_vfs_register(&s.vfs, 0);
}

PowerCutVfs::~PowerCutVfs()
{
    sqlite3_vfs_unregister(&m_state->vfs);
}

const char *PowerCutVfs::name()
{
    return "corvane-powercut";
}

void PowerCutVfs::start(qint64 cutAt, quint64 seed)
{
    State &s = *m_state;
    s.cutAt = cutAt;
    s.count = 0;
    s.off = false;
    s.seed = seed;
    s.live.clear();
    s.durable.clear();
    s.nodes.clear();
}

qint64 PowerCutVfs::ioCount() const
{
    return m_state->count;
}

bool PowerCutVfs::powerIsOff() const
{
    return m_state->off;
}

bool PowerCutVfs::restoreDisk()
{
    State &s = *m_state;
    std::mt19937_64 random(s.seed);
    std::set<std::string> paths;
    for (const auto &entry : s.live)
        paths.insert(entry.first);
    for (const auto &entry : s.durable)
        paths.insert(entry.first);
    const auto nodeAt = [](const std::map<std::string, Node *> &directory, const std::string &path) {
        const auto found = directory.find(path);
        return found == directory.end() ? nullptr : found->second;
    };
    bool restored = true;
    for (const std::string &path : paths) {
        Node *now = nodeAt(s.live, path);
        Node *stored = nodeAt(s.durable, path);
        // An unsynced creation or deletion may or may not have reached the disk.
        Node *kept = now == stored || random() % 2 ? now : stored;
        const QString fileName = QString::fromStdString(path);
        if (!kept) {
            restored = (QFile::remove(fileName) || !QFile::exists(fileName)) && restored;
            continue;
        }
        std::string image = kept->synced;
        for (const Change &change : kept->unsynced)
            applyAfterLoss(image, change, random);
        QFile file(fileName);
        restored = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                   file.write(image.data(), qint64(image.size())) == qint64(image.size()) && restored;
    }
    start(0, s.seed);
    return restored;
}

} // namespace corvane::test
